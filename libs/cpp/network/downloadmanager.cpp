#include "downloadmanager.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace QMRequest {

namespace {
// Redirects one download follows before it fails.
const int kMaxRedirects = 5;
}

DownloadManager::DownloadManager(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{
    connect(m_manager, SIGNAL(finished(QNetworkReply*)), this, SLOT(slotFinished(QNetworkReply*)));
}

DownloadManager::~DownloadManager() = default;

void DownloadManager::download(const QUrl &url)
{
    m_tooLarge = false;
    m_errorString.clear();
    m_redirects = 0;
    get(url);
}

void DownloadManager::get(const QUrl &url)
{
    QNetworkRequest request(url);
    // Redirects are followed here, not by Qt: each hop is a reply of its own
    // and gets the size checks below (Qt drops the read buffer limit on a
    // redirect it follows itself).
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    // The limit counts the bytes as sent: a compressed body that Qt inflated
    // could outgrow it a thousandfold in one step, before it is looked at.
    if (m_maxReplySize > 0)
        request.setRawHeader("Accept-Encoding", "identity");
    m_reply = m_manager->get(request);
    connect(m_reply, SIGNAL(downloadProgress(qint64,qint64)),
            this, SLOT(slotDownloadProgress(qint64,qint64)));
    if (m_maxReplySize > 0) {
        // One byte over the limit is enough to know the reply is too large;
        // a full read buffer makes Qt stop reading from the connection.
        m_reply->setReadBufferSize(m_maxReplySize + 1);
        connect(m_reply, &QNetworkReply::metaDataChanged, this, &DownloadManager::checkReplySize);
        connect(m_reply, &QNetworkReply::readyRead, this, &DownloadManager::checkReplySize);
    }
}

void DownloadManager::checkReplySize()
{
    if (!m_reply || m_maxReplySize <= 0)
        return;
    const QVariant announced = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if ((announced.isValid() && announced.toLongLong() > m_maxReplySize)
        || m_reply->bytesAvailable() > m_maxReplySize) {
        m_tooLarge = true;
        slotAbort();
        // The abort normally ends the reply through slotFinished(), which
        // reports it; a reply that was only dropped is reported here.
        if (m_errorString.isEmpty()) {
            m_errorString = failureText(nullptr);
            emit error();
        }
    }
}

QString DownloadManager::failureText(const QNetworkReply *reply) const
{
    if (m_tooLarge)
        return tr("The reply is larger than %1 bytes.").arg(m_maxReplySize);
    const int status = reply ? reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
    // An answer other than 2xx that ended without error is a redirect that
    // was not followed (or some other answer without the body asked for).
    if (status >= 400 || (reply && reply->error() == QNetworkReply::NoError && status > 0))
        return tr("The server answered with HTTP status %1.").arg(status);
    return tr("The download failed: %1").arg(reply ? reply->errorString() : tr("cancelled"));
}

void DownloadManager::slotFinished(QNetworkReply *reply)
{
    if (!reply)
        return;
    reply->deleteLater();
    // A reply that was given up by slotAbort() may still finish later; it must
    // not end (or feed) whatever download runs now.
    if (reply != m_reply)
        return;
    m_reply = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError) {
        // Only a 2xx answer carries the body asked for.
        if (status >= 200 && status < 300) {
            emit done(reply->url(), reply->readAll());
            return;
        }
        QUrl target;
        switch (redirectStep(reply->url(), status,
                             reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl(),
                             m_redirects, &target)) {
        case RedirectStep::Follow:
            ++m_redirects;
            get(target);
            return;
        case RedirectStep::TooMany:
            m_errorString = tr("The server redirected more than %1 times.").arg(kMaxRedirects);
            emit error();
            return;
        case RedirectStep::Stop:
            break;
        }
    }
    m_errorString = failureText(reply);
    emit error();
}

DownloadManager::RedirectStep DownloadManager::redirectStep(const QUrl &from, int status,
                                                           const QUrl &location, int followed,
                                                           QUrl *target)
{
    if (status < 300 || status >= 400 || location.isEmpty())
        return RedirectStep::Stop;
    const QUrl to = from.resolved(location);
    const QString scheme = to.scheme().toLower();
    const bool wasSecure = from.scheme().toLower() == QLatin1String("https");
    if (!to.isValid() || to.host().isEmpty()
        || !(scheme == QLatin1String("https") || (scheme == QLatin1String("http") && !wasSecure)))
        return RedirectStep::Stop;
    if (followed >= kMaxRedirects)
        return RedirectStep::TooMany;
    if (target)
        *target = to;
    return RedirectStep::Follow;
}

void DownloadManager::slotDownloadProgress(qlonglong received, qlonglong total)
{
    emit downloadProgress(received, total);
}

void DownloadManager::slotAbort()
{
    if (!m_reply)
        return;
    // Qt finishes an aborted reply at once: slotFinished() then runs inside
    // abort(), emits error() and clears the current reply.
    m_reply->abort();
    if (m_reply) {
        QNetworkReply *stale = m_reply;
        m_reply = nullptr;
        stale->disconnect(this);
        stale->deleteLater();
    }
}

} // namespace QMRequest
