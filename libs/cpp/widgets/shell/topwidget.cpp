#include "topwidget.h"

#include "app.h"
#include "iconlabel.h"
#include "stylehelpers.h"
#include "titlelabel.h"

#include <QAction>
#include <QBitmap>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QVBoxLayout>

namespace QMWidgets {

TopWidget::TopWidget(bool withOverWidget, QWidget *parent)
    : QFrame(parent)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);

    m_closeButton = newTitleButton(QStringLiteral("TopWidgetClose"), tr("Close"));
    m_maximizeButton = newTitleButton(QStringLiteral("TopWidgetMaximize"), tr("Maximize"));
    m_minimizeButton = newTitleButton(QStringLiteral("TopWidgetMinimize"), tr("Minimize"));
    setDefaultIcon(m_closeButton, QStyle::SP_TitleBarCloseButton);
    setDefaultIcon(m_maximizeButton, QStyle::SP_TitleBarMaxButton);
    setDefaultIcon(m_minimizeButton, QStyle::SP_TitleBarMinButton);
    connect(m_closeButton, SIGNAL(clicked()), this, SLOT(reject()));
    connect(m_maximizeButton, SIGNAL(clicked()), this, SLOT(showMaximized()));
    connect(m_minimizeButton, SIGNAL(clicked()), this, SLOT(showMinimized()));

    m_titleLabel = new TitleLabel;
    m_titleLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    setNameAndToolTip(m_titleLabel, QStringLiteral("TopWidgetTitle"), tr("Title"));
    m_titleLabel->setFixedHeight(28);
    m_titleLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    m_iconLabel = new IconLabel;
    m_iconLabel->setFixedSize(24, 24);
    m_iconLabel->hide();

    // The icon and the buttons sit on the title label itself.
    auto *titleBar = new QHBoxLayout;
    titleBar->setContentsMargins(1, 1, 1, 1);
    titleBar->setSpacing(1);
    const App *app = App::instance();
    if (app && app->isStoreDistribution()) {
        titleBar->addWidget(m_closeButton);
        titleBar->addWidget(m_maximizeButton);
        titleBar->addWidget(m_minimizeButton);
        titleBar->addStretch(1);
        titleBar->addWidget(m_iconLabel);
        titleBar->addStretch(1);
    } else {
        titleBar->addWidget(m_iconLabel);
        titleBar->addStretch(1);
        titleBar->addWidget(m_minimizeButton);
        titleBar->addWidget(m_maximizeButton);
        titleBar->addWidget(m_closeButton);
    }
    m_titleLabel->setLayout(titleBar);

    if (withOverWidget) {
        auto *over = new QWidget;
        over->setObjectName(QStringLiteral("TopOverWidget"));
        m_contentLayout = new QVBoxLayout;
        m_contentLayout->setContentsMargins(0, 0, 0, 0);
        m_contentLayout->setSpacing(0);
        over->setLayout(m_contentLayout);
        auto *main = new QVBoxLayout;
        main->setContentsMargins(0, 0, 0, 0);
        main->setSpacing(0);
        main->addWidget(m_titleLabel);
        main->addWidget(over);
        setLayout(main);
    } else {
        m_contentLayout = new QVBoxLayout;
        m_contentLayout->setContentsMargins(1, 1, 1, 1);
        m_contentLayout->setSpacing(1);
        m_contentLayout->addWidget(m_titleLabel);
        setLayout(m_contentLayout);
    }
}

TopWidget::~TopWidget()
{
    // A window destroyed inside its own exec() ends that loop; exec() notices
    // the destruction and touches nothing of the window afterwards.
    endLoop(0);
}

QPushButton *TopWidget::newTitleButton(const QString &name, const QString &toolTip)
{
    auto *button = new QPushButton;
    setNameAndToolTip(button, name, toolTip);
    button->setFixedSize(24, 24);
    button->setFlat(true);
    return button;
}

void TopWidget::setTitle(const QString &title)
{
    m_titleLabel->setText(title);
    setWindowTitle(title);
}

void TopWidget::setTitleHeight(int height)
{
    m_titleLabel->setFixedHeight(height);
}

void TopWidget::setIcon(const QPixmap &icon)
{
    m_iconLabel->setPixmap(icon.scaled(24, 24, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    m_iconLabel->show();
}

void TopWidget::hideCloseButton() { m_closeButton->hide(); }
void TopWidget::hideMaximizeButton() { m_maximizeButton->hide(); }
void TopWidget::hideMinimizeButton() { m_minimizeButton->hide(); }
void TopWidget::showCloseButton() { m_closeButton->show(); }
void TopWidget::showMaximizeButton() { m_maximizeButton->show(); }
void TopWidget::showMinimizeButton() { m_minimizeButton->show(); }

void TopWidget::setTitlePopup(QWidget *popup, const QPoint &offset)
{
    m_titleLabel->setPopup(popup, offset);
}

void TopWidget::setTitleMovie(QMovie *movie, const QPoint &offset)
{
    if (!movie)
        return;
    auto *label = new QLabel;
    label->setMovie(movie);
    movie->start();
    const QPixmap frame = movie->currentPixmap();
    label->setFixedSize(frame.size());
    label->setAutoFillBackground(false);
    const QBitmap mask = frame.mask();
    if (!mask.isNull())
        label->setMask(mask);
    m_titleLabel->setPopup(label, offset);
}

void TopWidget::setTitlePixmap(const QPixmap &pixmap, const QPoint &offset)
{
    auto *label = new QLabel;
    label->setPixmap(pixmap);
    label->setFixedSize(pixmap.size());
    label->setAutoFillBackground(false);
    const QBitmap mask = pixmap.mask();
    if (!mask.isNull())
        label->setMask(mask);
    m_titleLabel->setPopup(label, offset);
}

int TopWidget::exec()
{
    if (m_loop) {
        qWarning("QMWidgets::TopWidget::exec: the window's loop is already running");
        return -1;
    }

    const bool wasShowModal = testAttribute(Qt::WA_ShowModal);
    setAttribute(Qt::WA_ShowModal, true);

    if (!m_escapeAction) {
        m_escapeAction = new QAction(this);
        m_escapeAction->setShortcut(QKeySequence(Qt::Key_Escape));
        connect(m_escapeAction, SIGNAL(triggered()), this, SLOT(reject()));
        addAction(m_escapeAction);
    }

    QEventLoop loop;
    m_loop = &loop;
    QPointer<TopWidget> self(this);
    show();
    // A window that could not be shown, or was hidden at once, has no loop to wait in.
    const int result = isVisible() ? loop.exec(QEventLoop::DialogExec) : 0;

    if (!self)
        return 0;
    m_loop = nullptr;
    hide();
    setAttribute(Qt::WA_ShowModal, wasShowModal);
    return result;
}

void TopWidget::endLoop(int code)
{
    // Only the first ending counts: the loop is forgotten as soon as it is told to exit.
    QEventLoop *loop = m_loop;
    m_loop = nullptr;
    if (loop)
        loop->exit(code);
}

void TopWidget::accept()
{
    endLoop(1);
}

void TopWidget::reject()
{
    if (m_loop)
        endLoop(0);
    else
        hide();
}

void TopWidget::hideEvent(QHideEvent *event)
{
    // Closed or hidden by anyone while running: the loop ends as rejected.
    // A minimized window gets a spontaneous hide event and keeps its loop.
    if (!event->spontaneous())
        endLoop(0);
    QFrame::hideEvent(event);
}

} // namespace QMWidgets
