#include "colorwidgetpopup.h"

#include "defaultlook.h"

#include <QGridLayout>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

namespace QMWidgets {

namespace {
const int ButtonSide = 20;

const unsigned char Palette[ColorWidgetPopup::Rows][ColorWidgetPopup::Columns][3] = {
    {{255, 255, 255}, {255, 192, 192}, {255, 224, 192}, {255, 255, 192}, {192, 255, 192}, {192, 255, 255}, {192, 192, 255}, {255, 192, 255}},
    {{224, 224, 224}, {255, 128, 128}, {255, 192, 128}, {255, 255, 128}, {128, 255, 128}, {128, 255, 255}, {128, 128, 255}, {255, 128, 255}},
    {{192, 192, 192}, {255, 0, 0}, {255, 128, 0}, {255, 255, 0}, {0, 255, 0}, {0, 255, 255}, {0, 0, 255}, {255, 0, 255}},
    {{128, 128, 128}, {192, 0, 0}, {192, 64, 0}, {192, 192, 0}, {0, 192, 0}, {0, 192, 192}, {0, 0, 192}, {192, 0, 192}},
    {{64, 64, 64}, {128, 0, 0}, {128, 64, 0}, {128, 128, 0}, {0, 128, 0}, {0, 128, 128}, {0, 0, 128}, {128, 0, 128}},
    {{0, 0, 0}, {64, 0, 0}, {128, 64, 64}, {64, 64, 0}, {0, 64, 0}, {0, 64, 64}, {0, 0, 64}, {64, 0, 64}},
};
} // namespace

ColorWidgetPopup::ColorWidgetPopup(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    m_mouseOver = false;
    setWindowFlags(Qt::Popup);
    setObjectName(QStringLiteral("ColorWidgetPopup"));
    setMinimumSize(30, 15);

    auto *grid = new QGridLayout;
    grid->setContentsMargins(5, 5, 5, 5);
    grid->setSpacing(2);
    for (int row = 0; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column)
            grid->addWidget(addColorButton(gridColor(row, column)), row, column);
    }
    setLayout(grid);
}

bool ColorWidgetPopup::isMouseOver() const
{
    return m_mouseOver;
}

QColor ColorWidgetPopup::gridColor(int row, int column)
{
    if (row < 0 || row >= Rows || column < 0 || column >= Columns)
        return QColor();
    const unsigned char *rgb = Palette[row][column];
    return QColor(rgb[0], rgb[1], rgb[2], 255);
}

QPushButton *ColorWidgetPopup::addColorButton(const QColor &color)
{
    QPixmap swatch(ButtonSide, ButtonSide);
    swatch.fill(color);

    auto *button = new QPushButton;
    button->setFixedSize(ButtonSide, ButtonSide);
    button->setIcon(QIcon(swatch));
    button->setFlat(true);
    giveDefaultLabel(button, color.name());
    connect(button, SIGNAL(clicked()), this, SLOT(slotColorChanged()));
    return button;
}

void ColorWidgetPopup::slotColorChanged()
{
    // The colour is read back from the button's own icon, so the grid needs
    // no separate table of button to colour.
    if (auto *button = qobject_cast<QPushButton *>(sender())) {
        const QImage image = button->icon()
                                 .pixmap(ButtonSide, ButtonSide, QIcon::Normal, QIcon::Off)
                                 .toImage();
        if (!image.isNull())
            emit colorChanged(image.pixelColor(0, 0));
    }
    m_mouseOver = false;
    hide();
}

void ColorWidgetPopup::enterEvent(QEvent *event)
{
    m_mouseOver = true;
    QWidget::enterEvent(event);
}

void ColorWidgetPopup::leaveEvent(QEvent *event)
{
    m_mouseOver = false;
    hide();
    QWidget::leaveEvent(event);
}

} // namespace QMWidgets
