#include "promomainpage.h"

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

void PromoMainPage::slotAdClicked()
{
}

} // namespace QMWidgets
