#include "hybridwidget.h"

#include "virtualresolutionwidget.h"

#include <QVBoxLayout>

namespace QMWidgets {

HybridWidget::HybridWidget(QWidget *parent)
    : QWidget(parent)
    , m_container(new QWidget(nullptr))
    , m_viewWindow(new VirtualResolutionWidget(nullptr))
    , m_layout(new QVBoxLayout(this))
{
    m_viewWindow->setWidget(m_container);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
}

HybridWidget::~HybridWidget()
{
    // In virtual mode the host is a child of the container, which the view
    // window's scene owns: leave it first so it is not deleted twice.
    if (parentWidget() == m_container)
        setParent(nullptr);
    delete m_viewWindow;
    delete m_dialog;
}

void HybridWidget::addWidget(QWidget *widget)
{
    m_layout->addWidget(widget);
}

void HybridWidget::setWindowTitle(const QString &title)
{
    QWidget::setWindowTitle(title);
    m_viewWindow->setWindowTitle(title);
}

void HybridWidget::slotSetVirtualResolutionMode(bool on)
{
    if (on == m_virtual)
        return;
    if (on) {
        m_normalRect = QRect(QPoint(0, 0), size());
        hide();
        m_container->setFixedSize(size());
        setParent(m_container);
        m_viewWindow->show();
        show();
        m_virtual = true;
        applyVirtualSize(m_dialog ? m_dialog->size() : QSize(1280, 800));
        setGeometry(m_container->rect());
    } else {
        setParent(nullptr);
        setGeometry(m_normalRect);
        move(50, 50);
        show();
        m_viewWindow->hide();
        m_virtual = false;
    }
}

void HybridWidget::slotShowFullScreenMode(bool on)
{
    m_fullScreen = on;
    QWidget *window = m_virtual ? static_cast<QWidget *>(m_viewWindow) : this;
    if (on)
        window->showFullScreen();
    else
        window->showNormal();
}

void HybridWidget::slotSetSize(QSize size)
{
    if (m_virtual)
        applyVirtualSize(size);
}

void HybridWidget::slotSetMode(VirtualResolutionDialog::Mode mode)
{
    slotSetVirtualResolutionMode(mode != VirtualResolutionDialog::NormalMode);
}

void HybridWidget::slotSetSettings()
{
    if (!m_dialog)
        return;
    slotSetMode(m_dialog->mode());
    if (m_virtual)
        applyVirtualSize(m_dialog->size());
}

void HybridWidget::slotShowSettingsDialog()
{
    if (!m_dialog) {
        m_dialog = new VirtualResolutionDialog(nullptr);
        connect(m_dialog, SIGNAL(changeSettings()), this, SLOT(slotSetSettings()));
    }
    m_dialog->raise();
    m_dialog->activateWindow();
    m_dialog->show();
}

void HybridWidget::applyVirtualSize(const QSize &size)
{
    m_viewWindow->slotSetSize(size);
    setGeometry(m_container->rect());
}

} // namespace QMWidgets
