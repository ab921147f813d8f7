#include "downloadmanager.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace QMRequest {

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
    QNetworkRequest request(url);
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
    if (status >= 400)
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
    if (reply->error() == QNetworkReply::NoError) {
        emit done(reply->url(), reply->readAll());
        return;
    }
    m_errorString = failureText(reply);
    emit error();
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
