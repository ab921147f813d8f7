#include "promoadsbar.h"

#include "app.h"
#include "promomenubar.h"
#include "stylehelpers.h"

#include <QAction>
#include <QHBoxLayout>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTime>
#include <QTimer>

namespace QMWidgets {

PromoAdsBar::PromoAdsBar(QWidget *parent, PromoMenuBar *source)
    : QFrame(parent)
    , m_source(source)
{
    setObjectName(QStringLiteral("AdsBar"));

    m_closeButton = new QPushButton;
    m_closeButton->setObjectName(QStringLiteral("AdsBarCloseButton"));
    m_closeButton->setFlat(true);
    m_closeButton->setToolTip(tr("Close the banner"));
    setDefaultIcon(m_closeButton, QStyle::SP_TitleBarCloseButton);
    connect(m_closeButton, SIGNAL(clicked()), this, SLOT(slotCloseClicked()));

    QHBoxLayout *layout = new QHBoxLayout;
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addStretch(1);
    layout->addWidget(m_closeButton);
    setLayout(layout);

    setCursor(Qt::PointingHandCursor);

    m_timer = new QTimer(this);
    m_timer->setInterval(25000);
    connect(m_timer, SIGNAL(timeout()), this, SLOT(slotInsertAd()));
}

void PromoAdsBar::setInterval(int milliseconds)
{
    m_timer->setInterval(milliseconds);
}

void PromoAdsBar::setMaxAds(int maxAds)
{
    m_maxAds = maxAds;
}

void PromoAdsBar::setHideOnClick(bool hide)
{
    m_hideOnClick = hide;
}

void PromoAdsBar::setHideOnClose(bool hide)
{
    m_hideOnClose = hide;
}

void PromoAdsBar::hideCloseButton()
{
    m_closeButton->hide();
    update();
}

QAction *PromoAdsBar::currentAd() const
{
    return m_currentAd;
}

void PromoAdsBar::slotInsertAd()
{
    if (!m_source)
        return;

    const QList<QAction *> actions = m_source->promoActions();
    const int n = actions.size();
    if (n < 2)
        return;

    // The last entry (the menu's closing separator) never shows.
    int limit = n - 1;
    if (m_maxAds > 0 && m_maxAds < limit)
        limit = m_maxAds;

    // Only entries with a text can be shown; separators have none.
    QList<QAction *> candidates;
    for (int i = 0; i < limit; ++i) {
        QAction *action = actions.at(i);
        if (!action->isSeparator() && !action->text().isEmpty())
            candidates.append(action);
    }

    if (candidates.isEmpty())
        m_currentAd = nullptr;
    else
        m_currentAd = candidates.at(int(m_random.bounded(quint32(candidates.size()))));
    update();
}

void PromoAdsBar::slotCloseClicked()
{
    if (m_hideOnClose)
        hide();
    emit closeClicked();
}

void PromoAdsBar::mousePressEvent(QMouseEvent *event)
{
    QFrame::mousePressEvent(event);
    // The banner consumes the press: the page below must not see it too.
    event->accept();

    // Triggering may open a dialog whose loop can destroy the banner.
    QPointer<PromoAdsBar> self(this);
    if (m_currentAd)
        m_currentAd->trigger();
    if (!self)
        return;
    emit adClicked();
    if (self && m_hideOnClick)
        hide();
}

void PromoAdsBar::paintEvent(QPaintEvent *event)
{
    if (m_currentAd) {
        const int h = height();
        const int side = h * qMax(1, int(App::devicePixelRatio()));
        const QPixmap icon = m_currentAd->icon().pixmap(QSize(side, side), QIcon::Normal, QIcon::Off);

        QString text = m_currentAd->text();
        text.replace(QStringLiteral("&&"), QStringLiteral("&"));
        text += QLatin1Char('!');

        // Ends before the frame paints with a painter of its own.
        QPainter painter(this);
        if (!icon.isNull())
            painter.drawPixmap(QRect(0, 0, h, h), icon);
        painter.drawText(textRect(), Qt::AlignCenter | Qt::TextWordWrap, text);
    }
    QFrame::paintEvent(event);
}

void PromoAdsBar::showEvent(QShowEvent *event)
{
    m_random.seed(quint32(QTime::currentTime().msec()));
    slotInsertAd();
    m_timer->start();
    QFrame::showEvent(event);
}

QRect PromoAdsBar::textRect() const
{
    const int h = height();
    const int w = width();
    if (m_closeButton->isHidden())
        return QRect(QPoint(h + 12, 0), QPoint(w - 13, h - 1));
    return QRect(QPoint(h + 10, 0), QPoint(w - 26, h - 1));
}

} // namespace QMWidgets
