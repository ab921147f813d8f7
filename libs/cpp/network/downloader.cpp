#include "downloader.h"
#include "downloadmanager.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QSaveFile>

#include <climits>

namespace QMRequest {

Downloader::Downloader(QObject *parent)
    : QObject(parent)
    , m_manager(new DownloadManager(this))
    , m_abortTimer(this)
{
    connect(m_manager, SIGNAL(done(const QUrl&, const QByteArray&)),
            this, SLOT(slotFinished(const QUrl&, const QByteArray&)));
    connect(m_manager, SIGNAL(downloadProgress(qint64, qint64)),
            this, SLOT(slotProgress(qint64, qint64)));
    connect(m_manager, SIGNAL(error()), this, SLOT(slotError()));
    m_abortTimer.setSingleShot(true);
    connect(&m_abortTimer, &QTimer::timeout, this, &Downloader::abortForTime);
}

Downloader::~Downloader()
{
    if (m_busy) {
        // Destroyed from inside the nested loop: let download() return, and
        // release the mutex it holds, since it will not touch us again.
        if (m_loop)
            m_loop->exit(0);
        m_mutex.unlock();
        // The destruction may come from a slot on a signal that the current
        // reply is still emitting: the reply and its manager must outlive that
        // emission, so the manager is only given up here and deleted later.
        m_manager->disconnect(this);
        m_manager->setParent(nullptr);
        m_manager->slotAbort();
        m_manager->deleteLater();
    }
}

QString Downloader::normalizedUrl(const QString &text)
{
    static const QRegularExpression web(QStringLiteral("^https?://"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (web.match(text).hasMatch())
        return text;
    return QStringLiteral("http://") + text;
}

bool Downloader::isNoOpAddress(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return true;
    QString host = QUrl(normalizedUrl(trimmed), QUrl::TolerantMode).host().toLower();
    if (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    return host.isEmpty() || host == QLatin1String("invalid")
           || host.endsWith(QLatin1String(".invalid"));
}

qint64 Downloader::maxReplySize() const
{
    return m_manager->maxReplySize();
}

void Downloader::setMaxReplySize(qint64 bytes)
{
    m_manager->setMaxReplySize(bytes);
}

QByteArray Downloader::download(const QString &url, int loopFlags)
{
    if (!fetch(url, loopFlags))
        return QByteArray();
    return m_result;
}

void Downloader::downloadToFile(const QString &url, const QString &fileName, int loopFlags)
{
    // A folder, device or pipe under the name is never replaced by a file.
    const QFileInfo target(fileName);
    if ((target.exists() && !target.isFile()) || !fetch(url, loopFlags))
        return;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return;
    if (file.write(m_result) != m_result.size()) {
        file.cancelWriting();
        return;
    }
    file.commit();
}

bool Downloader::fetch(const QString &url, int loopFlags)
{
    // The busy test comes before the mutex: a call made from inside the nested
    // loop runs on the same thread and would dead-lock on it.
    if (m_busy) {
        m_errorString = tr("Another download is running.");
        return false;
    }
    if (isNoOpAddress(url)) {
        m_errorString = tr("There is no address to download from.");
        return false;
    }
    m_result.clear();
    m_errorString.clear();
    m_abortReason.clear();
    m_busy = true;
    m_mutex.lock();

    m_ended = false;
    m_succeeded = false;
    m_manager->download(QUrl(normalizedUrl(url), QUrl::TolerantMode));
    m_done = false;
    if (m_abortTime > 0)
        m_abortTimer.start(m_abortTime);

    QPointer<Downloader> self(this);
    QEventLoop loop;
    m_loop = &loop;
    if (!m_ended) // a reply may end before the loop runs
        loop.exec(QEventLoop::ProcessEventsFlags(loopFlags));
    if (!self)
        return false; // destroyed meanwhile: touch nothing
    m_loop = nullptr;
    m_abortTimer.stop();
    m_done = true;
    m_busy = false;
    m_mutex.unlock();
    // A call refused meanwhile ("Another download is running.") set a reason
    // that is not this download's.
    if (m_succeeded)
        m_errorString.clear();
    return m_succeeded;
}

void Downloader::endLoop()
{
    m_ended = true;
    if (m_loop)
        m_loop->exit(0);
}

void Downloader::abortForTime()
{
    m_abortReason = tr("No answer within %1 s.").arg(m_abortTime / 1000.0);
    slotAbort();
}

void Downloader::slotAbort()
{
    if (m_busy && m_abortReason.isEmpty())
        m_abortReason = tr("The download was cancelled.");
    m_manager->slotAbort();
    // The manager normally ends the reply inside its abort; when the reply was
    // only dropped, no signal reaches us, so the download is ended here.
    if (m_busy && !m_ended) {
        m_result.clear();
        m_succeeded = false;
        m_errorString = m_abortReason;
        endLoop();
    }
}

void Downloader::slotFinished(const QUrl &url, const QByteArray &data)
{
    Q_UNUSED(url)
    m_result = data;
    m_succeeded = true;
    endLoop();
}

void Downloader::slotError()
{
    m_result.clear();
    m_succeeded = false;
    m_errorString = m_abortReason.isEmpty() ? m_manager->errorString() : m_abortReason;
    endLoop();
}

void Downloader::slotProgress(qlonglong received, qlonglong total)
{
    // A slot on either signal may delete this downloader.
    QPointer<Downloader> self(this);
    emit progress(int(qMin<qlonglong>(received, INT_MAX)));
    if (self && total > 0)
        emit progressPercent(int(double(received) * 100.0 / double(total)));
}

} // namespace QMRequest
