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
    m_reply = m_manager->get(QNetworkRequest(url));
    connect(m_reply, SIGNAL(downloadProgress(qint64,qint64)),
            this, SLOT(slotDownloadProgress(qint64,qint64)));
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
    if (reply->error() != QNetworkReply::NoError)
        emit error();
    else
        emit done(reply->url(), reply->readAll());
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
