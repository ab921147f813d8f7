#include "nativewebview.h"
#include "browsercontrol.h"
#include "nativewebviewinternal.h"

#include <QVBoxLayout>

namespace QMWebView {

NativeWebView::NativeWebView(QWidget *parent)
    : QWidget(parent)
    , m_internal(new NativeWebViewInternal(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_internal);
    connect(m_internal, SIGNAL(loadStart(QString,QString)), this, SLOT(slotLoadStart(QString,QString)));
    connect(m_internal, SIGNAL(loadFinish(QString,QString)), this, SLOT(slotLoadFinish(QString,QString)));
    connect(m_internal, SIGNAL(loadError()), this, SLOT(slotLoadError()));
    connect(m_internal, SIGNAL(urlChanged(QString)), this, SIGNAL(urlChanged(QString)));
}

void NativeWebView::load(const QUrl &url)
{
    const QString text = url.toString();
    if (BrowserControl::isNoOpAddress(text))
        return;
    m_internal->navigate(text);
    emit loadStarted();
}

void NativeWebView::slotLoadStart(const QString &, const QString &)
{
    emit loadStarted();
}

void NativeWebView::slotLoadFinish(const QString &, const QString &)
{
    emit loadFinished(true);
}

void NativeWebView::slotLoadError()
{
    // A failed load is reported as such.
    emit loadFinished(false);
}

} // namespace QMWebView
