#include "windowtitle.h"

#include "defaultlook.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace QMWidgets {

namespace {

QPushButton *flatButton(const QString &name)
{
    auto *button = new QPushButton;
    button->setObjectName(name);
    button->setFlat(true);
    return button;
}

} // namespace

WindowTitle::WindowTitle(QWidget *parent)
    : QFrame(parent)
{
    m_rightEndWidget = new QWidget;
    m_rowWidget = new QWidget;

    m_alwaysOptimizeButton = flatButton(QStringLiteral("AlwaysOptimizeButton"));
    m_alwaysOptimizeButton->setCheckable(true);
    m_alwaysOptimizeButton->setChecked(true);
    m_alwaysOptimizeButton->setFixedSize(32, 32);
    m_hundredPercentButton = flatButton(QStringLiteral("100PercentButton"));
    m_closeButton = flatButton(QStringLiteral("CloseButton"));
    giveDefaultLook(m_alwaysOptimizeButton, collectionIcon(QStringLiteral("optimize")), tr("Always optimize"));
    giveDefaultLook(m_hundredPercentButton, collectionIcon(QStringLiteral("actualpixels")), tr("100%"));
    giveDefaultLook(m_closeButton, collectionIcon(QStringLiteral("close")), tr("Close"));

    // Hidden and outside every layout; parented so it is not a window of its own.
    m_actionsButton = new QPushButton(QStringLiteral("Actions"), this);
    m_actionsButton->setObjectName(QStringLiteral("Actions"));
    m_actionsButton->setFlat(true);
    giveDefaultLabel(m_actionsButton, tr("Actions"));
    m_actionsButton->hide();
    auto *menu = new QMenu(m_actionsButton);
    menu->addAction(tr("Save as..."));
    menu->addAction(tr("Open with default program"));
    menu->addSeparator();
    menu->addAction(tr("Forward via e-mail"));
    m_actionsButton->setMenu(menu);
    connect(menu, SIGNAL(aboutToShow()), this, SLOT(slotMenuAboutToShow()));
    connect(menu, SIGNAL(aboutToHide()), this, SLOT(slotMenuAboutToHide()));

    m_barLayout = new QHBoxLayout;
    m_barLayout->setContentsMargins(5, 5, 5, 5);
    m_barLayout->setSpacing(3);

    m_tools = new QWidget;
    m_tools->setObjectName(QStringLiteral("WindowTitleTools"));
    m_bar = new QFrame;
    m_bar->setObjectName(QStringLiteral("WindowTitleBar"));

    QPushButton *zoomIn = flatButton(QStringLiteral("ZoomInButton"));
    QPushButton *zoomOut = flatButton(QStringLiteral("ZoomOutButton"));
    // Named as the style sheet knows them; each asks for the opposite step.
    giveDefaultLook(zoomIn, collectionIcon(QStringLiteral("zoomout")), tr("Zoom out"));
    giveDefaultLook(zoomOut, collectionIcon(QStringLiteral("zoomin")), tr("Zoom in"));

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(zoomIn);
    row->addWidget(zoomOut);
    row->addWidget(m_hundredPercentButton);
    row->addWidget(m_alwaysOptimizeButton);
    row->addWidget(m_rowWidget);
    row->addStretch(1);
    row->addWidget(m_rightEndWidget);

    m_barLayout->addWidget(m_tools);
    m_barLayout->addLayout(row);
    m_barLayout->addWidget(m_closeButton);
    m_bar->setLayout(m_barLayout);

    auto *outer = new QVBoxLayout;
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(m_bar);
    setLayout(outer);

    setCursor(Qt::ArrowCursor);

    connect(m_closeButton, SIGNAL(clicked()), this, SIGNAL(closeWindow()));
    connect(zoomIn, SIGNAL(clicked()), this, SIGNAL(zoomOutClicked()));
    connect(zoomOut, SIGNAL(clicked()), this, SIGNAL(zoomInClicked()));
    connect(m_hundredPercentButton, SIGNAL(clicked()), this, SIGNAL(hundertPercentClicked()));
    connect(m_alwaysOptimizeButton, SIGNAL(clicked()), this, SIGNAL(doOptimize()));
}

bool WindowTitle::isMenuOpen() const
{
    return m_menuOpen;
}

void WindowTitle::addToolLayout(QLayout *layout)
{
    if (!layout)
        return;
    // A second tool layout joins the first instead of being refused and leaked.
    if (auto *existing = qobject_cast<QBoxLayout *>(m_tools->layout())) {
        existing->addLayout(layout);
        return;
    }
    auto *box = new QHBoxLayout;
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addLayout(layout);
    m_tools->setLayout(box);
}

void WindowTitle::slotMenuAboutToShow()
{
    m_menuOpen = true;
}

void WindowTitle::slotMenuAboutToHide()
{
    m_menuOpen = false;
}

void WindowTitle::mousePressEvent(QMouseEvent *event)
{
    m_pressX = qRound(event->localPos().x());
    m_pressY = qRound(event->localPos().y());
    QFrame::mousePressEvent(event);
}

void WindowTitle::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint global(qRound(event->screenPos().x()), qRound(event->screenPos().y()));
    emit changePosition(global - QPoint(m_pressX, m_pressY));
    QFrame::mouseMoveEvent(event);
    event->accept();
}

} // namespace QMWidgets
