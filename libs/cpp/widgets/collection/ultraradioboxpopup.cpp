#include "ultraradioboxpopup.h"

#include <QEvent>

namespace QMWidgets {

UltraRadioBoxPopup::UltraRadioBoxPopup(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
}

bool UltraRadioBoxPopup::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate)
        hide();
    return QWidget::event(event);
}

void UltraRadioBoxPopup::enterEvent(QEvent *event)
{
    hovered = true;
    QWidget::enterEvent(event);
}

void UltraRadioBoxPopup::leaveEvent(QEvent *event)
{
    hovered = false;
    QWidget::leaveEvent(event);
}

} // namespace QMWidgets
