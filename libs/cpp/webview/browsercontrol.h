#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace QMWebView {

// The page engine behind CustomWebView. navigate() fetches the page in the
// background with Qt's network access manager and shows nothing: no page is
// rendered, no script runs, and cookies live only in memory for the life of
// the control. Redirects are followed as a browser would (never from https
// to http). One navigation at a time: a new one, stop() or deleting the
// control aborts the running fetch without a signal.
class BrowserControl : public QObject
{
    Q_OBJECT
public:
    explicit BrowserControl(QObject *parent = nullptr);
    ~BrowserControl() override;

    // Returns at once. A text without a scheme is taken as an http address.
    // Empty texts and hosts in the reserved "invalid" domain are ignored (no
    // name lookup, no signal); schemes other than http and https end in
    // navigateError() from the event loop.
    void navigate(const QString &url);
    void stop();
    bool isLoading() const { return m_reply != nullptr; }
    // The address of the last page that loaded, after redirects.
    QString locationUrl() const { return m_location; }

    static bool isNoOpAddress(const QString &url);
    // The url a navigation to text goes to.
    static QUrl pageUrl(const QString &text);

signals:
    // The page at url (after redirects) has arrived; frame is the target frame
    // name, empty for the top-level document.
    void documentComplete(const QString &url, const QString &frame);
    // The page at url could not be loaded (HTTP error status, unknown host,
    // refused connection, unsupported scheme).
    void navigateError(const QString &url);
    // The control now shows the page at url; sent just before documentComplete().
    void locationChanged(const QString &url);

private:
    void onFinished();

    QNetworkAccessManager *m_manager;
    QNetworkReply *m_reply = nullptr;
    QString m_location;
};

} // namespace QMWebView
