#include "screenmeasurer.h"

#include "os.h"
#include "stylehelpers.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

namespace QMWidgets {

ScreenMeasurer::ScreenMeasurer(QWidget *parent)
    : ScreenCropper(parent)
{
}

void ScreenMeasurer::saveLocationText()
{
}

QRect ScreenMeasurer::selectionRect() const
{
    // Normalised, so a drag to the left or upward measures the same span as
    // one to the right or downward.
    return QRect(pressPoint, currentPoint).normalized();
}

QString ScreenMeasurer::measuredText() const
{
    const QRect r = selectionRect();
    const double scale = Os::scaleFactor();
    const double f = measureFactor / (scale > 0 ? scale : 1.0);
    return QStringLiteral("%1x%2").arg(int(qAbs(r.width() * f))).arg(int(qAbs(r.height() * f)));
}

void ScreenMeasurer::slotClose()
{
    releaseApplicationCursor();
    showNormal();
    hide();
    emit doQuit();
}

void ScreenMeasurer::grabScreen()
{
    selecting = false;
    grabbedPixmap = grabDesktop();
    emit done();
    repaint();
    setFocus(Qt::OtherFocusReason);
    setCursor(Qt::CrossCursor);
    setApplicationCursor(Qt::CrossCursor);
}

void ScreenMeasurer::mousePressEvent(QMouseEvent *event)
{
    ScreenCropper::mousePressEvent(event);
}

void ScreenMeasurer::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    selecting = false;
}

void ScreenMeasurer::mouseMoveEvent(QMouseEvent *event)
{
    if (selecting) {
        currentPoint = event->localPos().toPoint();
        repaint();
    }
    QFrame::mouseMoveEvent(event);
}

void ScreenMeasurer::enterEvent(QEvent *event)
{
    setApplicationCursor(Qt::CrossCursor);
    ScreenCropper::enterEvent(event);
}

void ScreenMeasurer::leaveEvent(QEvent *event)
{
    // Outside the overlay the application's own cursors apply again.
    releaseApplicationCursor();
    ScreenCropper::leaveEvent(event);
}

void ScreenMeasurer::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.fillRect(rect(), QColor(71, 71, 71));
    painter.drawPixmap((width() - displayPixmap.width()) / 2, (height() - displayPixmap.height()) / 2,
                       displayPixmap);

    if (!selecting) {
        paintHintBox(painter, 24, 3.5, 2.5);
        return;
    }

    const QRect r(pressPoint, currentPoint);
    const QBrush selectionBrush(QColor(10, 10, 80, 100));
    painter.setPen(QPen(QColor(210, 210, 210), 1, Qt::SolidLine));
    painter.setBrush(selectionBrush);
    painter.drawRect(r);
    painter.setRenderHint(QPainter::Antialiasing, true);

    const QRect measured = selectionRect();
    // Point sizes below 1 are invalid; the tiny-rectangle label takes over there.
    QFont font(QStringLiteral("Times"), qMax(1, int(measured.width() / 4.5)), 75, false);
    if (measured.height() < QFontMetrics(font).height())
        font = QFont(QStringLiteral("Times"), qMax(1, int(measured.height() / 1.5)), 75, false);
    const QString text = measuredText();

    if (QFontMetrics(font).height() <= 8) {
        const QFont labelFont(QStringLiteral("Times"), 13, 75, false);
        const QFontMetrics metrics(labelFont);
        const int tw = metrics.horizontalAdvance(text);
        const int th = metrics.height();
        painter.setFont(labelFont);
        painter.setPen(Qt::NoPen);
        painter.fillRect(QRect(QPoint(r.left() - 2, r.top() - th - 3), QPoint(r.left() + tw + 1, r.top())),
                         selectionBrush);
        painter.setPen(QPen(QColor(210, 210, 210), 1));
        painter.drawText(QPoint(r.left(), r.top() - 3), text);
    } else {
        painter.setFont(font);
        painter.drawText(r, Qt::AlignCenter, text);
    }
}

void ScreenMeasurer::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
}

} // namespace QMWidgets
