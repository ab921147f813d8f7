#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

class QEventLoop;

namespace QMRequest {

class DownloadManager;

// A blocking HTTP GET: download() spins a nested event loop on the caller's
// thread until the reply has ended and returns its body, or an empty array
// after any failure (an empty body looks the same). Only a 2xx answer
// succeeds; redirects are followed a few hops (never from https to http). A busy downloader returns
// empty at once, so a call made from inside the nested loop does not block.
// A download runs until its reply ends unless the caller sets an abortTime()
// or arms a timer on slotAbort().
class Downloader : public QObject
{
    Q_OBJECT
public:
    explicit Downloader(QObject *parent = nullptr);
    // Safe while a download runs (from a slot inside the nested loop, also
    // one on progress() or progressPercent()): the loop ends and download()
    // returns empty without touching this object.
    ~Downloader() override;

    // loopFlags are the QEventLoop::ProcessEventsFlags of the nested loop.
    // An empty address, or one whose host lies in the reserved "invalid"
    // domain, returns empty at once without any name lookup.
    QByteArray download(const QString &url, int loopFlags = 0);
    // The same GET; the bytes replace the file's contents only when the
    // download succeeded (a complete 2xx body). After a failure or an abort the file is left as it
    // was; the file is written through a temporary file, so a write error
    // does not damage it either. A folder, device or pipe under the name is
    // left alone and nothing is downloaded.
    void downloadToFile(const QString &url, const QString &fileName, int loopFlags = 0);

    // The text unchanged when it starts with "http://" or "https://" (in any
    // case), otherwise "http://" followed by the text.
    static QString normalizedUrl(const QString &text);
    // True for texts that download() answers with empty at once: blank, no
    // host, or a host in the reserved "invalid" domain.
    static bool isNoOpAddress(const QString &text);

    // True after a download has ended; false while one runs and before the first.
    bool isDone() const { return m_done; }
    bool isBusy() const { return m_busy; }

    // Milliseconds after which a running download is aborted; 0 or less (the
    // default): no time-out of its own.
    int abortTime() const { return m_abortTime; }
    void setAbortTime(int ms) { m_abortTime = ms; }

    // Bytes a reply body may have; 0 or less (the default): no limit. A larger
    // reply is refused from its announced length or cut off as soon as more
    // has arrived, and the download fails.
    qint64 maxReplySize() const;
    void setMaxReplySize(qint64 bytes);

    // Why the last download gave an empty result, in a short sentence (an
    // HTTP status, no answer in time, a reply over the size limit, ...);
    // empty after a successful download.
    QString errorString() const { return m_errorString; }

signals:
    void progress(int received);
    void progressPercent(int percent);

public slots:
    void slotAbort();
    void slotFinished(const QUrl &url, const QByteArray &data);
    void slotProgress(qlonglong received, qlonglong total);
    void slotError();

private:
    // Runs one GET to its end; true when it ended with a body (kept in
    // m_result). False when it failed, was aborted, was not started (busy or
    // no-op address) or the downloader was destroyed meanwhile, in which case
    // the caller must not touch any member.
    bool fetch(const QString &url, int loopFlags);
    void endLoop();
    // The abort timer ran out: abort with a time-out as the reason.
    void abortForTime();

    QMutex m_mutex;
    DownloadManager *m_manager;
    bool m_done = false;
    bool m_busy = false;
    QEventLoop *m_loop = nullptr; // the running nested loop (lives on download's stack)
    QByteArray m_result;
    bool m_ended = false;     // the current reply has ended (loop may not run yet)
    bool m_succeeded = false; // ... and it ended with a body, not an error
    int m_abortTime = 0;
    QTimer m_abortTimer;
    QString m_errorString;
    QString m_abortReason; // why the running download is being aborted
};

} // namespace QMRequest
