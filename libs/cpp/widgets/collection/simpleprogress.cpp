#include "simpleprogress.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QTimerEvent>

namespace QMWidgets {

SimpleProgress::SimpleProgress(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(20);
    startBusyTimer();
}

void SimpleProgress::setText(const QString &newText)
{
    text = newText;
    update();
}

void SimpleProgress::setValue(const int &value)
{
    m_value = value;
    if (value == 0)
        startBusyTimer();
    update();
}

// One timer at most: repeated zero values must not speed the stripes up.
void SimpleProgress::startBusyTimer()
{
    if (busyTimer == 0)
        busyTimer = startTimer(100, Qt::CoarseTimer);
}

int SimpleProgress::filledWidth() const
{
    return qBound(0, m_value * width() / 100, width());
}

void SimpleProgress::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != busyTimer) {
        QWidget::timerEvent(event);
        return;
    }
    if (m_value != 0) {
        killTimer(busyTimer);
        busyTimer = 0;
    }
    busyStep = busyStep < width() / 20 ? busyStep + 1 : 0;
    update();
}

void SimpleProgress::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    QLinearGradient background(0, 0, 0, h);
    background.setColorAt(0, QColor(100, 100, 100));
    background.setColorAt(0.5, QColor(150, 150, 150));
    background.setColorAt(1, QColor(100, 100, 100));
    painter.fillRect(rect(), background);

    QLinearGradient bar(0, 0, 0, h);
    bar.setColorAt(0, QColor(0, 140, 0));
    bar.setColorAt(0.5, QColor(0, 230, 0));
    bar.setColorAt(1, QColor(0, 140, 0));
    painter.setBrush(bar);

    if (m_value != 0) {
        painter.drawRect(QRect(0, 0, filledWidth(), h));
    } else {
        const int v = w / 20;
        for (int i = 0; i <= 20; i += 2) {
            const int p = i * v + busyStep;
            const QPoint stripe[4] = {QPoint(p - v, 0), QPoint(p, 0), QPoint(p - 2 * v, h),
                                      QPoint(p - 3 * v, h)};
            painter.drawPolygon(stripe, 4, Qt::OddEvenFill);
        }
    }

    QFont font(QStringLiteral("System"), qMax(1, int(float(h) * 0.8f)), 50, false);
    painter.setFont(font);
    painter.setPen(QColor(255, 250, 255));
    const QString shown = QFontMetrics(font).elidedText(text, Qt::ElideMiddle, w);
    painter.drawText(QRect(0, 0, w, h), Qt::AlignHCenter | Qt::AlignVCenter, shown);
}

} // namespace QMWidgets
