#include "customwebview.h"
#include "browsercontrol.h"

#include <QDebug>
#include <QMetaObject>

namespace {
const char BrowserClassId[] = "8856F961-340A-11D0-A96B-00C04FD705A2";
}

CustomWebView::CustomWebView(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    setControl(QLatin1String(BrowserClassId));
}

bool CustomWebView::setControl(const QString &classId)
{
    QString id = classId.trimmed();
    if (id.startsWith(QLatin1Char('{')) && id.endsWith(QLatin1Char('}')))
        id = id.mid(1, id.size() - 2);
    if (id.compare(QLatin1String(BrowserClassId), Qt::CaseInsensitive) != 0)
        return false;
    if (!m_browser)
        m_browser = new QMWebView::BrowserControl(this);
    m_classId = classId;
    return true;
}

QVariant CustomWebView::dynamicCall(const char *function, const QVariant &var1,
                                    const QVariant &, const QVariant &, const QVariant &,
                                    const QVariant &, const QVariant &, const QVariant &,
                                    const QVariant &)
{
    if (!m_browser || !function)
        return QVariant();
    const QByteArray signature = QMetaObject::normalizedSignature(function);
    if (signature == "Navigate(QString)")
        m_browser->navigate(var1.toString());
    else if (signature == "Stop()")
        m_browser->stop();
    else
        qDebug() << "CustomWebView::dynamicCall: unknown method" << function;
    return QVariant();
}

bool CustomWebView::translateKeyEvent(int message, int keycode) const
{
    Q_UNUSED(keycode)
    return message >= 0x100 && message <= 0x109;
}
