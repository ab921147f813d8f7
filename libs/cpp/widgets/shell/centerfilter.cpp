#include "centerfilter.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QEvent>
#include <QWidget>

namespace QMWidgets {

CenterFilter::CenterFilter(QObject *parent)
    : QObject(parent)
{
}

bool CenterFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        m_widget = qobject_cast<QWidget *>(watched);
        if (m_widget)
            center();
    }
    return false;
}

void CenterFilter::center()
{
    if (!m_widget)
        return;
    const QWidget *container = m_widget->parentWidget();
    if (!container)
        container = QApplication::desktop();
    const QPoint position(container->width() / 2 - m_widget->width() / 2,
                          container->height() / 2 - m_widget->height() / 2);
    if (m_widget->pos() != position)
        m_widget->move(position);
}

void CenterFilter::slotResized(int)
{
    if (m_widget && m_widget->isVisible())
        center();
}

} // namespace QMWidgets
