#include "colorwidget.h"

#include "colorwidgetpopup.h"
#include "defaultlook.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QRadialGradient>

namespace QMWidgets {

ColorWidget::ColorWidget(QWidget *parent)
    : QWidget(parent)
    , m_color(Qt::green)
{
    setAttribute(Qt::WA_MouseTracking);
    setMinimumWidth(10);
    setMinimumHeight(10);
    giveDefaultLabel(this, tr("Colour"));
    m_popup = new ColorWidgetPopup(this, Qt::ToolTip);
    m_popup->hide();
    m_popup->setWindowOpacity(1.0);
    connect(m_popup, SIGNAL(colorChanged(QColor)), this, SLOT(slotColorChanged(QColor)));
}

QColor ColorWidget::color() const
{
    return m_color;
}

void ColorWidget::setColor(const QColor &color)
{
    m_color = color;
    repaint();
}

void ColorWidget::setPopupOpacity(float opacity)
{
    m_popup->setWindowOpacity(qBound(0.0f, opacity, 1.0f));
}

ColorWidgetPopup *ColorWidget::popup() const
{
    return m_popup;
}

void ColorWidget::slotColorChanged(const QColor &color)
{
    m_color = color;
    repaint();
    emit colorChanged(color);
}

void ColorWidget::mousePressEvent(QMouseEvent *event)
{
    // The popup's top-left corner goes to the swatch's bottom-left corner.
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    m_popup->move(origin.x(), origin.y() + height());
    m_popup->setVisible(m_popup->isHidden());
    QWidget::mousePressEvent(event);
}

void ColorWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);

    painter.setBrush(QBrush(m_color, Qt::SolidPattern));
    painter.drawRect(rect());

    // A soft highlight from the top-left corner over the colour.
    QRadialGradient gradient(QPointF(5, 5), width() / 2, QPointF(5, 5));
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, Qt::gray);
    painter.setOpacity(0.5);
    painter.setBrush(gradient);
    painter.drawRect(rect());

    // The drop-down mark at the bottom-right corner.
    painter.setOpacity(1.0);
    painter.setBrush(QBrush(Qt::white, Qt::SolidPattern));
    painter.translate(width() - 10, height() - 8);
    QPolygon mark;
    mark << QPoint(0, 0) << QPoint(8, 0) << QPoint(4, 4);
    painter.drawPolygon(mark, Qt::OddEvenFill);
}

} // namespace QMWidgets
