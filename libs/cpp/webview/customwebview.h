#pragma once

#include <QVariant>
#include <QWidget>

namespace QMWebView {
class BrowserControl;
}

// The widget that hosts the browser control. Only the system web-browser
// control's class identifier is known; it binds a QMWebView::BrowserControl,
// which is driven through dynamicCall() like the control it stands for.
class CustomWebView : public QWidget
{
    Q_OBJECT
public:
    explicit CustomWebView(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    // Binds the control with that class identifier (braces and case do not
    // matter). False for an unknown identifier: the widget stays empty and
    // dynamicCall() does nothing.
    bool setControl(const QString &classId);
    // The bound control's class identifier, empty when none is bound.
    QString control() const { return m_classId; }
    // The bound control (owned by this widget), null when none is bound.
    QMWebView::BrowserControl *browser() const { return m_browser; }

    // Calls a method of the control by its signature: "Navigate(const QString&)"
    // with the address as first argument, or "Stop()". Returns an invalid
    // QVariant (the methods return nothing; unknown methods are reported on
    // the debug output).
    QVariant dynamicCall(const char *function, const QVariant &var1 = QVariant(),
                         const QVariant &var2 = QVariant(), const QVariant &var3 = QVariant(),
                         const QVariant &var4 = QVariant(), const QVariant &var5 = QVariant(),
                         const QVariant &var6 = QVariant(), const QVariant &var7 = QVariant(),
                         const QVariant &var8 = QVariant());

    // Whether a key message goes to the control before the window handles
    // it: true for the keyboard messages 256 to 265, false otherwise.
    virtual bool translateKeyEvent(int message, int keycode) const;

private:
    QString m_classId;
    QMWebView::BrowserControl *m_browser = nullptr;
};
