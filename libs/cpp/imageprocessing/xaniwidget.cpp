#include "xaniwidget.h"

#include <QPainter>

namespace MGraphX {

XaniWidget::XaniWidget(QWidget *parent)
    : QWidget(parent, Qt::WindowFlags())
    , m_xani(nullptr)
{
    connect(&m_xani, SIGNAL(frameChanged()), this, SLOT(repaint()));
}

XaniWidget::~XaniWidget() = default;

void XaniWidget::setXani(const Xani &xani)
{
    m_xani = xani;
}

void XaniWidget::play()
{
    m_xani.start();
}

void XaniWidget::stop()
{
    m_xani.stop();
}

void XaniWidget::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        const QImage &picture = m_xani;
        painter.drawImage(QRect(0, 0, width(), height()), picture,
                          QRect(0, 0, picture.width(), picture.height()));
    }
    QWidget::paintEvent(event);
}

} // namespace MGraphX
