#include "ultraradioboxpopup.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>

namespace QMWidgets {

UltraRadioBoxPopup::UltraRadioBoxPopup(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
}

bool UltraRadioBoxPopup::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate) {
        // Only a deactivation while the pointer is on the face can come from a
        // press there; a click anywhere else closes the popup for good.
        const QWidget *face = parentWidget();
        if (isVisible() && face && face->rect().contains(face->mapFromGlobal(QCursor::pos())))
            deactivationClose.start();
        else
            deactivationClose.invalidate();
        hide();
    } else if (event->type() == QEvent::Show) {
        deactivationClose.invalidate();
    }
    return QWidget::event(event);
}

bool UltraRadioBoxPopup::takeRecentDeactivationClose()
{
    // The activation moves at the press itself; anything older is another
    // action of the user.
    const bool recent = deactivationClose.isValid()
        && deactivationClose.elapsed() <= QApplication::doubleClickInterval();
    deactivationClose.invalidate();
    return recent;
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
