#include "menubutton.h"

#include <QPainter>

namespace QMWidgets {

MenuButton::MenuButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
{
}

MenuButton::MenuButton(QWidget *parent)
    : QPushButton(parent)
{
}

void MenuButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    QPainter painter(this);
    // White with a dark shadow, so the word shows on dark and light faces alike.
    const QRect lowerHalf(0, height() / 2, width(), height() / 2);
    painter.setPen(QColor(0, 0, 0, 170));
    painter.drawText(lowerHalf.translated(1, 1), Qt::AlignHCenter | Qt::AlignVCenter, tr("Menu"));
    painter.setPen(Qt::white);
    painter.drawText(lowerHalf, Qt::AlignHCenter | Qt::AlignVCenter, tr("Menu"));
}

} // namespace QMWidgets
