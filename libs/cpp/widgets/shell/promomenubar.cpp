#include "promomenubar.h"

#include "app.h"
#include "appbutton.h"
#include "moreappsbutton.h"
#include "promotable.h"
#include "siteconfig.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QSignalMapper>

namespace QMWidgets {

namespace {

QPushButton *makeBarButton(const QString &name)
{
    QPushButton *button = new QPushButton;
    button->setObjectName(name);
    button->setFlat(true);
    return button;
}

} // namespace

PromoMenuBar::PromoMenuBar(QWidget *parent, bool quitBySignal)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("MenuBar"));

    m_mapper = new QSignalMapper(this);
    connect(m_mapper, SIGNAL(mapped(QString)), this, SLOT(slotCallUrl(QString)));

    m_introButton = makeBarButton(QStringLiteral("IntroButton"));
    m_rateButton = makeBarButton(QStringLiteral("RateButton"));
    m_moreAppsButton = makeBarButton(QStringLiteral("MoreAppsButton"));
    m_moreButton = makeBarButton(QStringLiteral("MoreButton"));
    m_shareButton = makeBarButton(QStringLiteral("ShareButton"));
    m_joinButton = makeBarButton(QStringLiteral("JoinButton"));

    m_introButton->setToolTip(tr("Introduction"));
    m_rateButton->setToolTip(tr("Rate App"));
    m_moreAppsButton->setToolTip(tr("More Apps"));
    m_moreButton->setToolTip(tr("More"));
    m_shareButton->setToolTip(tr("Share"));
    m_joinButton->setToolTip(tr("Join Us"));

    // Short texts, so that the bar reads without a style sheet; a sheet that
    // draws the buttons as pictures hides them.
    m_introButton->setText(tr("Intro"));
    m_rateButton->setText(tr("Rate"));
    m_moreAppsButton->setText(tr("Apps"));
    m_moreButton->setText(tr("More"));
    m_shareButton->setText(tr("Share"));
    m_joinButton->setText(tr("Join"));

    m_promoMenu = new QMenu(m_moreButton);
    m_moreButton->setMenu(m_promoMenu);

    m_moreAppsButton->hide();
    m_rateButton->hide();

    m_appButton = new AppButton;
    m_appButton->setFlat(true);
    m_appButton->setObjectName(QStringLiteral("AppButton"));
    m_appButton->setToolTip(tr("App Menu"));
    m_appButton->setText(tr("Menu"));

    const QList<QPushButton *> fixedSize{m_appButton,      m_shareButton, m_joinButton, m_moreAppsButton,
                                         m_rateButton,     m_introButton, m_moreButton};
    for (QPushButton *button : fixedSize) {
        button->setFixedSize(60, 32);
        button->setAccessibleName(button->toolTip());
    }

    App *app = App::instance();
    if (quitBySignal)
        connect(m_appButton, SIGNAL(quitPressed()), this, SIGNAL(quitApp()));
    else
        connect(m_appButton, SIGNAL(quitPressed()), QCoreApplication::instance(), SLOT(quit()));

    if (app) {
        connect(m_rateButton, SIGNAL(clicked()), app, SLOT(slotRateApp()));
        connect(m_introButton, SIGNAL(clicked()), app, SLOT(slotHelp()));
        connect(m_moreAppsButton, SIGNAL(clicked()), app, SLOT(slotShowMoreApps()));
        connect(m_shareButton, SIGNAL(clicked()), app, SLOT(slotShareApp()));
        connect(m_joinButton, SIGNAL(clicked()), app, SLOT(slotJoin()));
    }

    m_centralLayout = new QHBoxLayout;
    m_centralLayout->setContentsMargins(0, 0, 0, 0);
    m_centralLayout->setSpacing(0);
    m_rightLayout = new QHBoxLayout;

    QHBoxLayout *layout = new QHBoxLayout;
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(0);
    layout->addWidget(m_moreButton);
    layout->addStretch(1);
    layout->addLayout(m_centralLayout);
    layout->addStretch(1);
    layout->addLayout(m_rightLayout);
    layout->addWidget(m_introButton);
    layout->addWidget(m_shareButton);
    layout->addWidget(m_joinButton);
    layout->addWidget(m_moreAppsButton);
    layout->addWidget(m_rateButton);
    layout->addWidget(m_appButton);
    setLayout(layout);

    // Without web links the buttons that open the maker's pages go; the
    // application menu (which hides its own web entries) stays for About and
    // Quit, and Share stays for the e-mail.
    if (app && app->areWebLinksDisabled()) {
        m_moreButton->hide();
        m_rateButton->hide();
        m_moreAppsButton->hide();
        m_joinButton->hide();
    }
}

void PromoMenuBar::addWidget(QWidget *widget)
{
    m_rightLayout->addWidget(widget);
}

void PromoMenuBar::addCentralWidget(QWidget *widget)
{
    m_centralLayout->addWidget(widget);
}

void PromoMenuBar::hideIntroButton()
{
    m_introButton->hide();
}

void PromoMenuBar::hideIntro()
{
    m_appButton->hideIntro();
    m_introButton->hide();
}

void PromoMenuBar::hideMoreButton()
{
    m_moreButton->hide();
}

void PromoMenuBar::hidePromoMenuButton()
{
    m_moreButton->hide();
}

void PromoMenuBar::hideRateButton()
{
    m_rateButton->hide();
}

void PromoMenuBar::hideRate()
{
    m_appButton->hideRate();
    m_rateButton->hide();
}

void PromoMenuBar::hideMoreAppsButton()
{
    m_moreAppsButton->hide();
}

void PromoMenuBar::hideMoreApps()
{
    m_appButton->hideMoreApps();
    m_moreAppsButton->hide();
}

void PromoMenuBar::hideShareButton()
{
    m_shareButton->hide();
}

void PromoMenuBar::hideShare()
{
    m_shareButton->hide();
    m_appButton->hideShare();
}

void PromoMenuBar::hideJoinButton()
{
    m_joinButton->hide();
}

void PromoMenuBar::hideJoin()
{
    m_joinButton->hide();
    m_appButton->hideJoin();
}

void PromoMenuBar::hideSupportPage()
{
    m_appButton->hideSupportPage();
}

QMenu *PromoMenuBar::promoMenu() const
{
    return m_promoMenu;
}

QList<QAction *> PromoMenuBar::promoActions() const
{
    return m_promoMenu->actions();
}

void PromoMenuBar::addSeparator()
{
    m_promoMenu->addSeparator();
}

void PromoMenuBar::addAction(QAction *action)
{
    m_promoMenu->addAction(action);
}

void PromoMenuBar::fillPromoMenu(const QString &category)
{
    static const QStringList ownFamilies{QStringLiteral("guitar"),   QStringLiteral("bass"),
                                         QStringLiteral("ukulele"),  QStringLiteral("mandolin"),
                                         QStringLiteral("banjo"),    QStringLiteral("balalaika"),
                                         QStringLiteral("piano")};

    if (category.isEmpty()) {
        // The family of the first instrument the application is named after.
        const QString name = QCoreApplication::applicationName().toLower();
        const QStringList instruments = PromoTable::instruments();
        for (const QString &instrument : instruments) {
            if (name.contains(instrument)) {
                addFamilyApps(instrument);
                break;
            }
        }
        addOtherApps();
    } else if (ownFamilies.contains(category)) {
        addFamilyApps(category);
        addOtherApps();
        addSeparator();
    } else if (category == QLatin1String("violin")) {
        // A violin application is offered the piano family.
        addPianoApps();
        addOtherApps();
        addSeparator();
    } else {
        addPromoApps(PromoTable::categoryIds(category, QCoreApplication::applicationName()));
    }
    addSeparator();
    addMoreAppsItem();
}

void PromoMenuBar::addPromoApp(const QString &id)
{
    const QString running = PromoTable::runningName(QCoreApplication::applicationName());
    const PromoTable::Row *row = PromoTable::find(id, running);
    if (!row)
        return;
    addApp(QPixmap(row->icon), row->description, SiteConfig::crossPromoPage() + row->query);
}

void PromoMenuBar::addApp(const QPixmap &icon, const QString &title, const QString &url)
{
    App *app = App::instance();
    const QString target = app ? app->storeProductUrl(url) : url;
    if (target.isEmpty())
        return;
    QAction *action = new QAction(QIcon(icon), title, this);
    connect(action, SIGNAL(triggered()), m_mapper, SLOT(map()));
    m_mapper->setMapping(action, target);
    m_promoMenu->addAction(action);
}

void PromoMenuBar::addAppStoreApp(const QPixmap &icon, const QString &title, const QString &name,
                                  const QString &id)
{
    addApp(icon, title, MoreAppsButton::appStoreUrl(name, id));
}

void PromoMenuBar::addMoreAppsItem()
{
    addSeparator();
    QAction *action = new QAction(QIcon(QPixmap(QStringLiteral(":/moreappsicon.png"))),
                                  tr("More Apps"), this);
    if (App *app = App::instance())
        connect(action, SIGNAL(triggered()), app, SLOT(slotShowMoreApps()));
    m_promoMenu->addAction(action);
    addSeparator();
}

void PromoMenuBar::addBanjoApps()
{
    addFamilyApps(QStringLiteral("banjo"));
}

void PromoMenuBar::addMandolinApps()
{
    addFamilyApps(QStringLiteral("mandolin"));
}

void PromoMenuBar::addBalalaikaApps()
{
    addFamilyApps(QStringLiteral("balalaika"));
}

void PromoMenuBar::addPianoApps()
{
    addFamilyApps(QStringLiteral("piano"));
}

void PromoMenuBar::addGuitarApps()
{
    addFamilyApps(QStringLiteral("guitar"));
}

void PromoMenuBar::addBassApps()
{
    addFamilyApps(QStringLiteral("bass"));
}

void PromoMenuBar::addUkuleleApps()
{
    addFamilyApps(QStringLiteral("ukulele"));
}

void PromoMenuBar::addViolinApps()
{
    addFamilyApps(QStringLiteral("violin"));
}

void PromoMenuBar::addOtherApps()
{
    addPromoApps(PromoTable::otherIds());
}

void PromoMenuBar::slotCallUrl(const QString &url)
{
    App::openLink(url);
}

void PromoMenuBar::addPromoApps(const QStringList &ids)
{
    for (const QString &id : ids) {
        if (id.isEmpty())
            addSeparator();
        else
            addPromoApp(id);
    }
}

void PromoMenuBar::addFamilyApps(const QString &instrument)
{
    addPromoApps(PromoTable::familyIds(instrument));
}

} // namespace QMWidgets
