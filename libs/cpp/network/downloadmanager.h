#pragma once

#include <QByteArray>
#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace QMRequest {

// Issues one plain GET at a time through Qt's network access manager and
// reports its end: done() with the reply's url and bytes, or error() for any
// failure (HTTP error status, unknown host, refused connection, abort).
class DownloadManager : public QObject
{
    Q_OBJECT
public:
    explicit DownloadManager(QObject *parent = nullptr);
    ~DownloadManager() override;

    // Starts a GET with a bare request (no headers, no attributes). The reply
    // is owned by the network access manager and deleted after it ends.
    void download(const QUrl &url);

signals:
    void downloadProgress(qlonglong received, qlonglong total);
    void done(const QUrl &url, const QByteArray &data);
    void error();

public slots:
    void slotAbort();
    void slotFinished(QNetworkReply *reply);
    void slotDownloadProgress(qlonglong received, qlonglong total);

private:
    QNetworkAccessManager *m_manager;
    QNetworkReply *m_reply = nullptr; // the current reply, null while no request runs
};

} // namespace QMRequest
