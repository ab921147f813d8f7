#include "roundprogress.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRadialGradient>

namespace QMWidgets {

RoundProgress::RoundProgress(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void RoundProgress::setValue(const int &value)
{
    m_value = value;
    update();
}

int RoundProgress::spanAngle(int percent)
{
    // The factor is single precision on purpose: 100 % gives 5759, so the
    // pie never closes into a full circle.
    return -int(percent * double(3.6f) * 16.0);
}

void RoundProgress::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();
    const int s = qMin(w, h);
    if (s <= 0)
        return;
    const int left = (w - s) / 2;
    const int top = (h - s) / 2;
    const QPointF c((2 * left + s - 1) / 2, (2 * top + s - 1) / 2);
    const qreal r = s / 2;
    const QRect square(left, top, s, s);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    QRadialGradient disc(c, r, c);
    disc.setColorAt(0, QColor(70, 70, 70));
    disc.setColorAt(0.9, QColor(200, 200, 200));
    disc.setColorAt(1, QColor(100, 100, 100));
    painter.setBrush(disc);
    painter.drawEllipse(square);

    QRadialGradient arc(c, r, c);
    arc.setColorAt(0, QColor(0, 10, 0));
    arc.setColorAt(0.9, QColor(0, 100, 0));
    arc.setColorAt(1, QColor(0, 255, 0));
    painter.setBrush(arc);
    painter.drawPie(QRectF(square), 1440, spanAngle(m_value));

    const int t = s - s / 10;
    painter.setBrush(QColor(45, 45, 45));
    painter.drawEllipse(QRect((w - t) / 2, (h - t) / 2, t, t));

    // A tiny gauge still gets a valid font size. The figure keeps clear of
    // the ring: it may take two thirds of the inner disc's width at most.
    const QString figure = QString::number(m_value) + QLatin1Char('%');
    QFont font(QStringLiteral("System"), qMax(1, s / 3), 50, false);
    const qreal room = t * 0.66;
    const qreal wide = QFontMetricsF(font).horizontalAdvance(figure);
    if (wide > room)
        font.setPointSizeF(qMax(1.0, font.pointSizeF() * room / wide));
    painter.setFont(font);
    painter.setPen(QColor(0, 210, 0));
    painter.drawText(QRect(0, 0, w, h), Qt::AlignHCenter | Qt::AlignVCenter, figure);
}

} // namespace QMWidgets
