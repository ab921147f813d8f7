#include "virtualresolutionwidget.h"

#include <QDebug>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPalette>
#include <QVBoxLayout>

namespace QMWidgets {

VirtualResolutionWidget::VirtualResolutionWidget(QWidget *parent)
    : QWidget(parent)
    , m_scene(new QGraphicsScene(0, 0, 800, 800, this))
    , m_view(new QGraphicsView(m_scene))
{
    m_view->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    // The scene is always fitted to the view, so scroll bars would only take
    // room from it.
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    QPalette pal = palette();
    pal.setBrush(backgroundRole(), QBrush(Qt::green, Qt::SolidPattern));
    setPalette(pal);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
}

void VirtualResolutionWidget::setWidget(QWidget *widget)
{
    m_proxy = m_scene->addWidget(widget);
    fitView();
    if (m_proxy)
        m_proxy->setPos(0, 0);
}

VirtualResolutionWidget *VirtualResolutionWidget::instance()
{
    static VirtualResolutionWidget *window = new VirtualResolutionWidget(nullptr);
    return window;
}

void VirtualResolutionWidget::slotSetWidth(int width)
{
    m_virtualSize.setWidth(width);
    qDebug() << "Size1:" << m_virtualSize;
    applySize();
}

void VirtualResolutionWidget::slotSetHeight(int height)
{
    m_virtualSize.setHeight(height);
    qDebug() << "Size2:" << m_virtualSize;
    applySize();
}

void VirtualResolutionWidget::slotSetSize(QSize size)
{
    m_virtualSize = size;
    applySize();
}

void VirtualResolutionWidget::resizeEvent(QResizeEvent *event)
{
    fitView();
    if (m_proxy)
        m_view->ensureVisible(m_proxy, 50, 50);
    QWidget::resizeEvent(event);
}

void VirtualResolutionWidget::applySize()
{
    // A side that is still unset (or negative) cannot be a widget size.
    const QSize size = m_virtualSize.expandedTo(QSize(0, 0));
    if (m_proxy && m_proxy->widget())
        m_proxy->widget()->setFixedSize(size);
    m_scene->setSceneRect(0, 0, size.width(), size.height());
    fitView();
    if (m_proxy)
        m_proxy->setPos(0, 0);
}

void VirtualResolutionWidget::fitView()
{
    // Fitting into a viewport with no room (fitInView keeps a 2-pixel margin)
    // would give a zero scale that later fits can never undo; start every fit
    // from the identity instead.
    const QSize room = m_view->viewport()->size();
    if (!m_proxy || room.width() <= 4 || room.height() <= 4 || m_proxy->boundingRect().isEmpty())
        return;
    m_view->resetTransform();
    m_view->fitInView(m_proxy, Qt::IgnoreAspectRatio);
}

} // namespace QMWidgets
