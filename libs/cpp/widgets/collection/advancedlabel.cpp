#include "advancedlabel.h"

#include "imageprocess.h"

#include <QPainter>

namespace QMWidgets {

AdvancedLabel::AdvancedLabel(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(16, 16);
}

void AdvancedLabel::setText(const QString &text)
{
    m_text = text;
    repaint();
}

void AdvancedLabel::setPixmap(const QPixmap &pixmap)
{
    m_pixmap = pixmap;
    repaint();
}

void AdvancedLabel::setMargin(int margin)
{
    m_margin = margin;
    repaint();
}

void AdvancedLabel::mousePressEvent(QMouseEvent *event)
{
    emit clicked();
    QWidget::mousePressEvent(event);
}

void AdvancedLabel::enterEvent(QEvent *event)
{
    m_hover = true;
    setCursor(Qt::PointingHandCursor);
    QWidget::enterEvent(event);
    repaint();
}

void AdvancedLabel::leaveEvent(QEvent *event)
{
    m_hover = false;
    setCursor(Qt::ArrowCursor);
    QWidget::leaveEvent(event);
    repaint();
}

void AdvancedLabel::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRect area(0, 0, width(), height());

    const int w = width() - 2 * m_margin;
    const int h = height() - 2 * m_margin;
    // A margin that leaves no room draws no picture.
    if (!m_pixmap.isNull() && w > 0 && h > 0) {
        QImage image = m_pixmap.toImage().scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (m_hover) {
            MGraphX::ImageProcess planes(image);
            planes.adjustBrightness(30);
            image = planes.toImage();
        }
        painter.drawImage(QPoint(m_margin, m_margin), image);
    }

    if (!m_text.isEmpty()) {
        QFont font(QStringLiteral("Courier"), 8, 75, false);
        painter.setFont(font);
        painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_text);
    }
    painter.end();
    QWidget::paintEvent(event);
}

} // namespace QMWidgets
