#pragma once

#include <QFrame>
#include <QString>

class CustomWebView;

namespace QMWebView {

// Frames the browser control and drives it. The control's events reach the
// four on...() operations, which emit the frame's signals.
class WebViewInQt : public QFrame
{
    Q_OBJECT
public:
    explicit WebViewInQt(QWidget *parent = nullptr);

    // Starts loading url in the control; returns at once.
    void navigate(const QString &url);

    void onBeforeNavigate(const QString &url, const QString &frame);
    void onDocumentComplete(const QString &url, const QString &frame);
    void onNavigateError();
    void onUrlChanged(const QString &url);

signals:
    void loadStart(const QString &url, const QString &frame);
    void loadFinish(const QString &url, const QString &frame);
    void loadError();
    void urlChanged(const QString &url);

private:
    CustomWebView *m_view; // owned through the layout
};

} // namespace QMWebView
