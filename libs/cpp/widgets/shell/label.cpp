#include "label.h"

#include "app.h"

#include <QPainter>

namespace QMWidgets {

Label::Label(QWidget *parent)
    : QLabel(parent)
{
}

void Label::setPixmap(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void Label::setMode(int mode)
{
    m_mode = mode;
}

void Label::setOpacity(double opacity)
{
    m_opacity = opacity;
}

void Label::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (m_picture.isNull())
        return;

    QPainter painter(this);
    if (m_opacity < 1.0)
        painter.setOpacity(m_opacity);

    // Scale in device pixels and draw at logical size, so the picture stays
    // sharp on high-density screens.
    const qreal ratio = App::devicePixelRatio();
    const qreal r = ratio > 0 ? ratio : 1.0;
    const int w = width();
    const int h = height();
    const QSize target(int(w * r), int(h * r));

    if (m_mode == 0) {
        const QPixmap s = m_picture.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (s.isNull())
            return;
        const int x = int((w - s.width() / r) * 0.5);
        const int y = int((h - s.height() / r) * 0.5);
        painter.drawPixmap(QRect(x, y, int(s.width() / r), int(s.height() / r)), s);
    } else {
        const QPixmap s = m_picture.scaled(target, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        if (s.isNull())
            return;
        painter.drawPixmap(QRect(0, 0, int(s.width() / r), int(s.height() / r)), s);
    }
}

} // namespace QMWidgets
