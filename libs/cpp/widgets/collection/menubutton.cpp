#include "menubutton.h"

#include "defaultlook.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace QMWidgets {

namespace {

// Mean lightness (0 to 255) of the button's face, without its text and icon,
// over the given part: what a style or a style sheet paints there.
int faceLightness(const QPushButton *button, const QStyleOptionButton &buttonOption, const QRect &part)
{
    QStyleOptionButton option = buttonOption;
    option.text.clear();
    option.icon = QIcon();
    QImage face(button->size(), QImage::Format_ARGB32_Premultiplied);
    // What shows through a flat or translucent face.
    face.fill(button->palette().color(QPalette::Window));
    QPainter painter(&face);
    button->style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, button);
    painter.end();

    const QRect area = part & face.rect();
    qint64 sum = 0;
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); y += 2) {
        for (int x = area.left(); x <= area.right(); x += 2) {
            sum += QColor(face.pixel(x, y)).lightness();
            ++count;
        }
    }
    return count ? int(sum / count) : 255;
}

} // namespace

MenuButton::MenuButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
{
    // A given text names the button; without one, the caption does.
    if (text.isEmpty())
        giveDefaultLabel(this, tr("Menu"));
}

MenuButton::MenuButton(QWidget *parent)
    : QPushButton(parent)
{
    giveDefaultLabel(this, tr("Menu"));
}

void MenuButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    const QRect lowerHalf(0, height() / 2, width(), height() / 2);
    QStyleOptionButton option;
    initStyleOption(&option);
    QPainter painter(this);
    // White with a dark shadow on a dark face (the look a style sheet gives
    // it), the button text colour on a light one, so the word stays legible
    // with and without a style sheet.
    if (faceLightness(this, option, lowerHalf) < 128) {
        painter.setPen(QColor(0, 0, 0, 170));
        painter.drawText(lowerHalf.translated(1, 1), Qt::AlignHCenter | Qt::AlignVCenter, tr("Menu"));
        painter.setPen(Qt::white);
    } else {
        painter.setPen(option.palette.color(QPalette::ButtonText));
    }
    painter.drawText(lowerHalf, Qt::AlignHCenter | Qt::AlignVCenter, tr("Menu"));
}

} // namespace QMWidgets
