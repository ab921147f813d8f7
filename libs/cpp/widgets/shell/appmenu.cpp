#include "appmenu.h"

#include "app.h"
#include "siteconfig.h"

#include <QAction>
#include <QIcon>
#include <QPixmap>

namespace QMWidgets {

namespace {

void hideAction(QAction *action)
{
    if (action)
        action->setVisible(false);
}

} // namespace

AppMenu::AppMenu(QWidget *parent)
    : QMenu(parent)
{
    App *app = App::instance();

    m_rateAction = addEntry(tr("Rate this App"), QStringLiteral(":/star.png"),
                            SLOT(slotImmediatelyRate()));
    m_introAction = addEntry(tr("Intro"), QStringLiteral(":/Help_hover.png"), SLOT(slotHelp()));
    m_shareAction = addEntry(tr("Share"), QStringLiteral(":/share_hover.png"), SLOT(slotShareApp()));
    m_joinAction = addEntry(tr("Join Us"), QStringLiteral(":/join_hover.png"), SLOT(slotJoin()));
    m_moreAppsAction = addEntry(tr("More Apps"), QStringLiteral(":/moreappsicon.png"),
                                SLOT(slotShowMoreApps()));
    QAction *contact = addEntry(tr("Contact Us"), QStringLiteral(":/feedback.png"), SLOT(slotContactUs()));
    m_supportPageAction = addEntry(tr("Support Page"), QStringLiteral(":/webpage.png"),
                                   SLOT(slotSupportPage()));
    // The update check asks the maker's site and offers its page.
    const bool linksOff = app && app->areWebLinksDisabled();
    if (app && app->isWebDistribution() && !linksOff)
        addEntry(tr("Check Updates"), QString(), SLOT(slotCheckUpdate()));
    if (app && !app->privacyPolicyUrl().isEmpty() && !linksOff)
        addEntry(tr("Privacy Policy"), QString(), SLOT(slotShowPrivacyPolicy()));
    addEntry(tr("About"), QStringLiteral(":/appicon.png"), SLOT(slotAbout()));
    addSeparator();

    QAction *quit = new QAction(tr("Quit"), this);
    connect(quit, SIGNAL(triggered()), this, SIGNAL(quitPressed()));
    addAction(quit);

    // Without web links the entries that open the maker's pages or mail
    // address would do nothing. Share stays: its dialog offers the e-mail.
    if (linksOff) {
        hideRate();
        hideJoin();
        hideMoreApps();
        hideSupportPage();
        hideAction(contact);
    }
    // The support page follows the language, whose site may still be a placeholder.
    if (app && !SiteConfig::isRealLink(app->supportPageLink()))
        hideSupportPage();
}

QAction *AppMenu::addEntry(const QString &text, const QString &iconPath, const char *slot)
{
    QAction *action = new QAction(text, this);
    // A missing picture leaves the entry without icon.
    if (!iconPath.isEmpty())
        action->setIcon(QIcon(QPixmap(iconPath)));
    if (App *app = App::instance())
        connect(action, SIGNAL(triggered()), app, slot);
    addAction(action);
    return action;
}

void AppMenu::hideIntro()
{
    hideAction(m_introAction);
}

void AppMenu::hideSupportPage()
{
    hideAction(m_supportPageAction);
}

void AppMenu::hideRate()
{
    hideAction(m_rateAction);
}

void AppMenu::hideMoreApps()
{
    hideAction(m_moreAppsAction);
}

void AppMenu::hideShare()
{
    hideAction(m_shareAction);
}

void AppMenu::hideJoin()
{
    hideAction(m_joinAction);
}

} // namespace QMWidgets
