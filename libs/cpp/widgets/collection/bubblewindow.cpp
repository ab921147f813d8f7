#include "bubblewindow.h"

#include "app.h"

#include <QApplication>
#include <QPainter>
#include <QPen>

namespace QMWidgets {

BubbleWindow::BubbleWindow(QWidget *parent, const QColor &color)
    : QFrame(parent)
    , m_color(color)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
}

bool BubbleWindow::hideOnAnyClick()
{
    if (!qobject_cast<App *>(QCoreApplication::instance()))
        return false;
    // A repeated call finds the connection in place and adds none.
    connect(QCoreApplication::instance(), SIGNAL(mouseButtonPress()), this, SLOT(hide()),
            Qt::UniqueConnection);
    return true;
}

void BubbleWindow::setColor(const QColor &color)
{
    m_color = color;
}

void BubbleWindow::setPointerDown(bool down)
{
    m_pointerDown = down;
}

void BubbleWindow::setShowAnimation(QAbstractAnimation *animation)
{
    m_showAnimation = animation;
}

void BubbleWindow::setHideAnimation(QAbstractAnimation *animation)
{
    m_hideAnimation = animation;
}

void BubbleWindow::slotFocusChanged(QWidget *, QWidget *)
{
    if (QApplication::activeWindow() != this)
        hide();
}

bool BubbleWindow::event(QEvent *event)
{
    return QFrame::event(event);
}

void BubbleWindow::mousePressEvent(QMouseEvent *event)
{
    hide();
    QFrame::mousePressEvent(event);
}

void BubbleWindow::showEvent(QShowEvent *event)
{
    if (m_showAnimation)
        m_showAnimation->start(QAbstractAnimation::KeepWhenStopped);
    QFrame::showEvent(event);
}

void BubbleWindow::hideEvent(QHideEvent *event)
{
    if (m_hideAnimation)
        m_hideAnimation->start(QAbstractAnimation::KeepWhenStopped);
    QFrame::hideEvent(event);
}

QPolygonF BubbleWindow::outline(qreal w, qreal h, bool pointerDown)
{
    const qreal c = w / 2.0;
    QPolygonF polygon;
    if (pointerDown) {
        polygon << QPointF(0, 0) << QPointF(w, 0) << QPointF(w, h - 20) << QPointF(c + 20, h - 20)
                << QPointF(c, h) << QPointF(c - 20, h - 20) << QPointF(0, h - 20);
    } else {
        polygon << QPointF(0, 23) << QPointF(3, 20) << QPointF(c - 20, 20) << QPointF(c, 0)
                << QPointF(c + 20, 20) << QPointF(w - 3, 20) << QPointF(w, 23) << QPointF(w, h - 3)
                << QPointF(w - 3, h) << QPointF(3, h) << QPointF(0, h - 3);
    }
    return polygon;
}

void BubbleWindow::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(QBrush(m_color), 1.0, Qt::SolidLine, Qt::SquareCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(QBrush(m_color));
    painter.drawPolygon(outline(width(), height(), m_pointerDown), Qt::OddEvenFill);
}

} // namespace QMWidgets
