#include "webviewinqt.h"
#include "browsercontrol.h"
#include "customwebview.h"

#include <QHBoxLayout>
#include <QVariant>

namespace QMWebView {

WebViewInQt::WebViewInQt(QWidget *parent)
    : QFrame(parent)
    , m_view(new CustomWebView(nullptr))
{
    auto *layout = new QHBoxLayout;
    layout->addWidget(m_view);
    setLayout(layout);

    // load() announces the start itself, so only the end of a page and the
    // change of address are passed on.
    if (BrowserControl *browser = m_view->browser()) {
        connect(browser, &BrowserControl::documentComplete, this, &WebViewInQt::onDocumentComplete);
        connect(browser, &BrowserControl::navigateError, this, [this] { onNavigateError(); });
        connect(browser, &BrowserControl::locationChanged, this, &WebViewInQt::onUrlChanged);
    }
}

void WebViewInQt::navigate(const QString &url)
{
    m_view->dynamicCall("Navigate(const QString&)", QVariant(url), QVariant(), QVariant(),
                        QVariant(), QVariant(), QVariant(), QVariant(), QVariant());
}

void WebViewInQt::onBeforeNavigate(const QString &url, const QString &frame)
{
    emit loadStart(url, frame);
}

void WebViewInQt::onDocumentComplete(const QString &url, const QString &frame)
{
    emit loadFinish(url, frame);
}

void WebViewInQt::onNavigateError()
{
    emit loadError();
}

void WebViewInQt::onUrlChanged(const QString &url)
{
    emit urlChanged(url);
}

} // namespace QMWebView
