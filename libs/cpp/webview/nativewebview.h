#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

namespace QMWebView {

class NativeWebViewInternal;

// An embedded browser view. load() returns at once and the page is fetched
// in the background; nothing is rendered. Deleting the view aborts a running
// load without a signal.
class NativeWebView : public QWidget
{
    Q_OBJECT
public:
    explicit NativeWebView(QWidget *parent = nullptr);

    // Starts loading url and emits loadStarted(); loadFinished(true) follows
    // when the page has arrived, loadFinished(false) when it failed. An empty
    // url, or one whose host lies in the reserved "invalid" domain, is
    // ignored: no request, no signal.
    void load(const QUrl &url);

signals:
    void loadStarted();
    void loadFinished(bool ok);
    void urlChanged(const QString &url);

public slots:
    void slotLoadStart(const QString &url, const QString &frame);
    void slotLoadFinish(const QString &url, const QString &frame);
    void slotLoadError();

private:
    NativeWebViewInternal *m_internal; // child of this view
};

} // namespace QMWebView
