#include "promomainpage.h"

#include "promoadsbar.h"
#include "promomenubar.h"

namespace QMWidgets {

PromoMainPage::PromoMainPage(QWidget *parent, bool quitBySignal)
    : QFrame(parent)
{
    m_menuBar = new PromoMenuBar(nullptr, quitBySignal);
    connect(m_menuBar, SIGNAL(quitApp()), this, SIGNAL(quitApp()));
}

PromoMainPage::~PromoMainPage()
{
    // A bar that was placed goes with the page's children; an unplaced one
    // would otherwise be left behind.
    if (m_menuBar && !m_menuBar->parent())
        delete m_menuBar;
}

PromoMenuBar *PromoMainPage::menuBar() const
{
    return m_menuBar;
}

PromoAdsBar *PromoMainPage::adsBar()
{
    if (!m_adsBar) {
        m_adsBar = new PromoAdsBar(this, m_menuBar);
        connect(m_adsBar, SIGNAL(adClicked()), this, SLOT(slotAdClicked()));
    }
    return m_adsBar;
}

void PromoMainPage::slotAdClicked()
{
}

} // namespace QMWidgets
