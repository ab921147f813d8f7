#include "comboboxfilter.h"

#include <QEvent>
#include <QPainter>
#include <QPolygonF>

namespace QMWidgets {

ComboBoxFilter::ComboBoxFilter(QObject *parent)
    : QObject(parent)
{
}

QPolygonF ComboBoxFilter::arrow(int width, int height)
{
    const qreal w = width;
    const qreal h = height;
    QPolygonF triangle;
    triangle << QPointF(w, h) << QPointF(w, h / 1.5) << QPointF(w - height / 3, h);
    return triangle.translated(-7, -7);
}

bool ComboBoxFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Paint)
        return false;

    m_combo = qobject_cast<QComboBox *>(watched);
    if (!m_combo)
        return true;

    QComboBox *combo = m_combo;
    const QRectF area(0, 0, combo->width(), combo->height());
    QPainter painter(combo);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPalette palette = combo->palette();

    painter.setPen(QPen(palette.text(), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(palette.base());
    painter.drawRect(area);

    painter.setPen(palette.color(QPalette::Text));
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap, combo->currentText());

    painter.setPen(palette.color(QPalette::Text));
    painter.setBrush(palette.text());
    painter.drawPolygon(arrow(combo->width(), combo->height()), Qt::OddEvenFill);
    return true;
}

} // namespace QMWidgets
