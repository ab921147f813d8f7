#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace QMRequest {

// Issues one plain GET at a time through Qt's network access manager and
// reports its end: done() with the reply's url and bytes, or error() for any
// failure (an answer other than 2xx, unknown host, refused connection, abort,
// a reply over the size limit); errorString() then says briefly what went
// wrong. A redirect (3xx with a location) is followed up to five hops, to
// http or https but never from https to http; a redirect that is not
// followed fails with its status. Each hop has the size limit.
class DownloadManager : public QObject
{
    Q_OBJECT
public:
    explicit DownloadManager(QObject *parent = nullptr);
    ~DownloadManager() override;

    // Starts a GET with a bare request (no headers; with a size limit it asks
    // for the body uncompressed). The reply is owned by the
    // network access manager and deleted after it ends.
    void download(const QUrl &url);

    // Bytes a reply body may have; 0 or less (the default): no limit. A reply
    // that announces a larger body, or delivers more, is aborted at once and
    // ends with error(); the reply never buffers much more than the limit.
    // Applies to downloads started after the call.
    qint64 maxReplySize() const { return m_maxReplySize; }
    void setMaxReplySize(qint64 bytes) { m_maxReplySize = bytes; }

    // Why the last download failed, in a short sentence; empty after a success.
    QString errorString() const { return m_errorString; }

    // What a download does with an answer of this HTTP status and Location
    // (as the reply gives it) to a GET of `from`, after `followed` redirects.
    enum class RedirectStep {
        Stop,   // no redirect to follow: the download fails with the status
        Follow, // go on to *target
        TooMany // a redirect that would be followed, but the hops are used up
    };
    // Follows a 3xx answer whose location, resolved against `from` (relative,
    // absolute-path and scheme-relative forms), is an http or https address
    // with a host, never from https to http; at most five hops. *target is
    // set for Follow only.
    static RedirectStep redirectStep(const QUrl &from, int status, const QUrl &location,
                                     int followed, QUrl *target);

signals:
    void downloadProgress(qlonglong received, qlonglong total);
    void done(const QUrl &url, const QByteArray &data);
    void error();

public slots:
    void slotAbort();
    void slotFinished(QNetworkReply *reply);
    void slotDownloadProgress(qlonglong received, qlonglong total);

private:
    // Issues the GET of one hop and makes it the current reply.
    void get(const QUrl &url);
    // Aborts the current reply when it announces or holds more than the limit.
    void checkReplySize();
    // The errorString() text for a failed reply (null: a dropped one).
    QString failureText(const QNetworkReply *reply) const;

    QNetworkAccessManager *m_manager;
    QNetworkReply *m_reply = nullptr; // the current reply, null while no request runs
    qint64 m_maxReplySize = 0;
    bool m_tooLarge = false; // the current reply was aborted for its size
    int m_redirects = 0;     // redirects followed in the current download
    QString m_errorString;
};

} // namespace QMRequest
