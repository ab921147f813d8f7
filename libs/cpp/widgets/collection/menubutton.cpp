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
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, height() / 2, width(), height() / 2), Qt::AlignHCenter | Qt::AlignVCenter,
                     tr("Menu"));
}

} // namespace QMWidgets
