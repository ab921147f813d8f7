#include "app.h"
#include "appbutton.h"
#include "appmenu.h"
#include "promomainpage.h"
#include "promomenubar.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QAction>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>

using namespace QMWidgets;

namespace {

QStringList s_messages;
QtMessageHandler s_previousHandler = nullptr;

void recordingHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        s_messages << message;
    if (s_previousHandler)
        s_previousHandler(type, context, message);
}

// Records warnings while it lives.
struct WarningRecorder
{
    WarningRecorder()
    {
        s_messages.clear();
        s_previousHandler = qInstallMessageHandler(recordingHandler);
    }
    ~WarningRecorder() { qInstallMessageHandler(s_previousHandler); }
    QStringList connectWarnings() const { return s_messages.filter(QStringLiteral("QObject::connect")); }
};

// A main page as a program derives it: the bar at the top of its own layout.
class TestPage : public PromoMainPage
{
public:
    explicit TestPage(bool quitBySignal)
        : PromoMainPage(nullptr, quitBySignal)
    {
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(menuBar());
        layout->addStretch(1);
    }
};

QAction *entry(QMenu *menu, const QString &text)
{
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

QStringList entryTexts(QMenu *menu, bool visibleOnly = false)
{
    QStringList texts;
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (visibleOnly && !action->isVisible())
            continue;
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

AppMenu *appMenuOf(PromoMenuBar *bar)
{
    auto *button = bar->findChild<AppButton *>(QStringLiteral("AppButton"));
    return button ? button->appMenu() : nullptr;
}

const QStringList kButtons{"MoreButton", "IntroButton", "ShareButton", "JoinButton",
                           "MoreAppsButton", "RateButton", "AppButton"};

} // namespace

class TestMenuBar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The support page opens the site of the language.
        qputenv("GLYPH_SITE_INTERNATIONAL", "http://127.0.0.1:6/");
        qputenv("GLYPH_SITE_RUSSIAN", "http://127.0.0.1:8/");
    }

    void init()
    {
        App::instance()->setWebDistribution(true);
        App::instance()->setPrivacyPolicyUrl(QStringLiteral("http://127.0.0.1:9/privacy.html"));
        App::instance()->setWebLinksDisabled(false);
        UrlRecorder::instance()->clear();
    }

    void everyConnectionResolves()
    {
        // arrange
        WarningRecorder recorder;

        // act
        {
            TestPage bySlot(false);
            TestPage bySignal(true);
            bySlot.menuBar()->fillPromoMenu(QStringLiteral("photo"));
            App::instance()->setWebLinksDisabled(true);
            PromoMenuBar withoutLinks;
            AppButton button;
        }

        // assert
        QCOMPARE(recorder.connectWarnings(), QStringList());
    }

    void freshBarLaysOutItsButtons()
    {
        // arrange
        TestPage page(false);
        PromoMenuBar *bar = page.menuBar();
        auto *layout = qobject_cast<QHBoxLayout *>(bar->layout());
        QVERIFY(layout);

        // assert: the frame itself and the layout
        QCOMPARE(bar->objectName(), QStringLiteral("MenuBar"));
        QCOMPARE(bar->parentWidget(), &page);
        QCOMPARE(layout->contentsMargins(), QMargins(5, 5, 5, 5));
        QCOMPARE(layout->spacing(), 0);
        QCOMPARE(layout->count(), 11);
        QCOMPARE(layout->itemAt(0)->widget()->objectName(), QStringLiteral("MoreButton"));
        QVERIFY(layout->itemAt(1)->spacerItem());
        QVERIFY(layout->itemAt(2)->layout());
        QVERIFY(layout->itemAt(3)->spacerItem());
        QVERIFY(layout->itemAt(4)->layout());
        QCOMPARE(layout->stretch(1), 1);
        QCOMPARE(layout->stretch(3), 1);
        const QStringList right{"IntroButton", "ShareButton", "JoinButton", "MoreAppsButton",
                                "RateButton", "AppButton"};
        for (int i = 0; i < right.size(); ++i)
            QCOMPARE(layout->itemAt(5 + i)->widget()->objectName(), right.at(i));

        // assert: the buttons carry a short text, no picture of their own,
        // and are named for assistive tools
        for (const QString &name : kButtons) {
            auto *button = bar->findChild<QPushButton *>(name);
            QVERIFY2(button, qPrintable(name));
            QCOMPARE(button->parentWidget(), bar);
            QCOMPARE(button->size(), QSize(60, 32));
            QCOMPARE(button->minimumSize(), QSize(60, 32));
            QCOMPARE(button->maximumSize(), QSize(60, 32));
            QVERIFY(button->isFlat());
            QVERIFY2(!button->text().isEmpty(), qPrintable(name));
            QVERIFY(button->icon().isNull());
            QCOMPARE(button->accessibleName(), button->toolTip());
        }
        QVERIFY(qobject_cast<AppButton *>(layout->itemAt(10)->widget()));
        QCOMPARE(bar->findChild<QPushButton *>("IntroButton")->toolTip(), QStringLiteral("Introduction"));
        QCOMPARE(bar->findChild<QPushButton *>("AppButton")->toolTip(), QStringLiteral("App Menu"));
        QCOMPARE(bar->findChild<QPushButton *>("JoinButton")->toolTip(), QStringLiteral("Join Us"));
        QCOMPARE(bar->findChild<QPushButton *>("MoreButton")->menu(), bar->promoMenu());
        QCOMPARE(bar->promoMenu()->parent(), bar->findChild<QPushButton *>("MoreButton"));

        // act
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));

        // assert: Rate and More Apps exist but are hidden
        QStringList visible;
        for (const QString &name : kButtons) {
            if (bar->findChild<QPushButton *>(name)->isVisible())
                visible << name;
        }
        QCOMPARE(visible, QStringList({"MoreButton", "IntroButton", "ShareButton", "JoinButton",
                                       "AppButton"}));
    }

    void addedWidgetsGoToTheInnerLayouts()
    {
        // arrange
        TestPage page(false);
        PromoMenuBar *bar = page.menuBar();
        auto *layout = qobject_cast<QHBoxLayout *>(bar->layout());
        auto *first = new QLabel(QStringLiteral("first"));
        auto *second = new QLabel(QStringLiteral("second"));
        auto *centre = new QLabel(QStringLiteral("centre"));
        page.resize(900, 80);

        // act
        bar->addWidget(first);
        bar->addWidget(second);
        bar->addCentralWidget(centre);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));

        // assert
        QCOMPARE(first->parentWidget(), bar);
        QCOMPARE(layout->itemAt(4)->layout()->indexOf(first), 0);
        QCOMPARE(layout->itemAt(4)->layout()->indexOf(second), 1);
        QCOMPARE(layout->itemAt(2)->layout()->indexOf(centre), 0);
        QCOMPARE(layout->itemAt(2)->layout()->contentsMargins(), QMargins());
        const QWidget *more = bar->findChild<QPushButton *>("MoreButton");
        const QWidget *intro = bar->findChild<QPushButton *>("IntroButton");
        QVERIFY(second->geometry().right() < intro->x());
        QVERIFY(first->geometry().right() < second->x());
        QVERIFY(centre->x() > more->geometry().right());
        QVERIFY(centre->geometry().right() < first->x());
    }

    void hideOperationsHideTheirButtonAndEntry_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("hiddenButtons");
        QTest::addColumn<QStringList>("hiddenEntries");
        // Rate and More Apps buttons start hidden.
        QTest::newRow("hideRate") << "hideRate" << QStringList() << QStringList{"Rate this App"};
        QTest::newRow("hideRateButton") << "hideRateButton" << QStringList() << QStringList();
        QTest::newRow("hideIntro") << "hideIntro" << QStringList{"IntroButton"} << QStringList{"Intro"};
        QTest::newRow("hideIntroButton") << "hideIntroButton" << QStringList{"IntroButton"} << QStringList();
        QTest::newRow("hideMoreButton") << "hideMoreButton" << QStringList{"MoreButton"} << QStringList();
        QTest::newRow("hidePromoMenuButton") << "hidePromoMenuButton" << QStringList{"MoreButton"}
                                             << QStringList();
        QTest::newRow("hideMoreApps") << "hideMoreApps" << QStringList() << QStringList{"More Apps"};
        QTest::newRow("hideMoreAppsButton") << "hideMoreAppsButton" << QStringList() << QStringList();
        QTest::newRow("hideShare") << "hideShare" << QStringList{"ShareButton"} << QStringList{"Share"};
        QTest::newRow("hideShareButton") << "hideShareButton" << QStringList{"ShareButton"} << QStringList();
        QTest::newRow("hideJoin") << "hideJoin" << QStringList{"JoinButton"} << QStringList{"Join Us"};
        QTest::newRow("hideJoinButton") << "hideJoinButton" << QStringList{"JoinButton"} << QStringList();
        QTest::newRow("hideSupportPage") << "hideSupportPage" << QStringList() << QStringList{"Support Page"};
    }
    void hideOperationsHideTheirButtonAndEntry()
    {
        QFETCH(QString, operation);
        QFETCH(QStringList, hiddenButtons);
        QFETCH(QStringList, hiddenEntries);

        // arrange
        TestPage page(false);
        PromoMenuBar *bar = page.menuBar();
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QStringList expectedButtons;
        for (const QString &name : kButtons) {
            if (name != "RateButton" && name != "MoreAppsButton" && !hiddenButtons.contains(name))
                expectedButtons << name;
        }
        QStringList expectedEntries = entryTexts(appMenuOf(bar));
        for (const QString &text : hiddenEntries)
            expectedEntries.removeOne(text);

        const QMap<QString, void (PromoMenuBar::*)()> operations{
            {"hideRate", &PromoMenuBar::hideRate},
            {"hideRateButton", &PromoMenuBar::hideRateButton},
            {"hideIntro", &PromoMenuBar::hideIntro},
            {"hideIntroButton", &PromoMenuBar::hideIntroButton},
            {"hideMoreButton", &PromoMenuBar::hideMoreButton},
            {"hidePromoMenuButton", &PromoMenuBar::hidePromoMenuButton},
            {"hideMoreApps", &PromoMenuBar::hideMoreApps},
            {"hideMoreAppsButton", &PromoMenuBar::hideMoreAppsButton},
            {"hideShare", &PromoMenuBar::hideShare},
            {"hideShareButton", &PromoMenuBar::hideShareButton},
            {"hideJoin", &PromoMenuBar::hideJoin},
            {"hideJoinButton", &PromoMenuBar::hideJoinButton},
            {"hideSupportPage", &PromoMenuBar::hideSupportPage}};
        QVERIFY(operations.contains(operation));

        // act: twice, which must be harmless
        (bar->*operations.value(operation))();
        (bar->*operations.value(operation))();

        // assert
        QStringList visible;
        for (const QString &name : kButtons) {
            if (bar->findChild<QPushButton *>(name)->isVisible())
                visible << name;
        }
        QCOMPARE(visible, expectedButtons);
        QCOMPARE(entryTexts(appMenuOf(bar), true), expectedEntries);
    }

    void appMenuEntriesDependOnDistributionAndPrivacyLink_data()
    {
        QTest::addColumn<bool>("web");
        QTest::addColumn<QString>("privacy");
        QTest::addColumn<QStringList>("entries");
        const QStringList head{"Rate this App", "Intro", "Share", "Join Us", "More Apps",
                               "Contact Us", "Support Page"};
        QTest::newRow("web, privacy link")
            << true << "http://127.0.0.1:9/p.html"
            << head + QStringList{"Check Updates", "Privacy Policy", "About", "-", "Quit"};
        QTest::newRow("web, no privacy link")
            << true << "" << head + QStringList{"Check Updates", "About", "-", "Quit"};
        QTest::newRow("store, privacy link")
            << false << "http://127.0.0.1:9/p.html" << head + QStringList{"Privacy Policy", "About", "-", "Quit"};
        QTest::newRow("store, no privacy link") << false << "" << head + QStringList{"About", "-", "Quit"};
    }
    void appMenuEntriesDependOnDistributionAndPrivacyLink()
    {
        QFETCH(bool, web);
        QFETCH(QString, privacy);
        QFETCH(QStringList, entries);

        // arrange
        App::instance()->setWebDistribution(web);
        App::instance()->setPrivacyPolicyUrl(privacy);

        // act
        AppMenu menu;

        // assert
        QCOMPARE(entryTexts(&menu), entries);
        const QList<QAction *> actions = menu.actions();
        for (QAction *action : actions) {
            QVERIFY(action->shortcut().isEmpty());
            QCOMPARE(action->parent(), &menu);
        }
    }

    void supportPageEntryShowsForARealLanguageSite_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("shown");
        QTest::newRow("international site") << "en" << true;
        QTest::newRow("Russian site") << "ru" << true;
        QTest::newRow("German site a placeholder") << "de" << false;
    }
    void supportPageEntryShowsForARealLanguageSite()
    {
        QFETCH(QString, language);
        QFETCH(bool, shown);

        // arrange
        App::instance()->setLanguage(language);
        App::instance()->setSharePage(QString());

        // act
        AppMenu menu;
        App::instance()->setLanguage(QStringLiteral("en"));
        App::instance()->setSharePage(QString());

        // assert
        QVERIFY(entry(&menu, "Support Page"));
        QCOMPARE(entry(&menu, "Support Page")->isVisible(), shown);
    }

    void appMenuEntriesCallApplicationSlots_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("slot");
        QTest::newRow("rate") << "Rate this App" << SLOT(slotImmediatelyRate());
        QTest::newRow("intro") << "Intro" << SLOT(slotHelp());
        QTest::newRow("share") << "Share" << SLOT(slotShareApp());
        QTest::newRow("join") << "Join Us" << SLOT(slotJoin());
        QTest::newRow("more apps") << "More Apps" << SLOT(slotShowMoreApps());
        QTest::newRow("contact") << "Contact Us" << SLOT(slotContactUs());
        QTest::newRow("support") << "Support Page" << SLOT(slotSupportPage());
        QTest::newRow("updates") << "Check Updates" << SLOT(slotCheckUpdate());
        QTest::newRow("privacy") << "Privacy Policy" << SLOT(slotShowPrivacyPolicy());
        QTest::newRow("about") << "About" << SLOT(slotAbout());
    }
    void appMenuEntriesCallApplicationSlots()
    {
        QFETCH(QString, text);
        QFETCH(QString, slot);

        // arrange
        AppMenu menu;
        QAction *action = entry(&menu, text);
        QVERIFY(action);

        // act: removing the connection only succeeds when it was made
        const bool wasConnected = QObject::disconnect(action, SIGNAL(triggered()), App::instance(),
                                                      slot.toLatin1().constData());

        // assert
        QVERIFY(wasConnected);
    }

    void barButtonsCallApplicationSlots_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("slot");
        QTest::newRow("rate") << "RateButton" << SLOT(slotRateApp());
        QTest::newRow("intro") << "IntroButton" << SLOT(slotHelp());
        QTest::newRow("more apps") << "MoreAppsButton" << SLOT(slotShowMoreApps());
        QTest::newRow("share") << "ShareButton" << SLOT(slotShareApp());
        QTest::newRow("join") << "JoinButton" << SLOT(slotJoin());
    }
    void barButtonsCallApplicationSlots()
    {
        QFETCH(QString, button);
        QFETCH(QString, slot);
        PromoMenuBar bar;
        QVERIFY(QObject::disconnect(bar.findChild<QPushButton *>(button), SIGNAL(clicked()),
                                    App::instance(), slot.toLatin1().constData()));
    }

    void menuEntriesReachTheApplicationObject()
    {
        // arrange
        TestPage page(false);
        AppMenu *menu = appMenuOf(page.menuBar());
        QPushButton *rate = page.menuBar()->findChild<QPushButton *>("RateButton");

        // act
        entry(menu, "More Apps")->trigger();
        entry(menu, "Privacy Policy")->trigger();
        rate->click();

        // assert
        QCOMPARE(UrlRecorder::instance()->urls(),
                 QList<QUrl>({QUrl("ms-windows-store://publisher/?name=Quillar"),
                              QUrl("http://127.0.0.1:9/privacy.html")}));
        // (the rate button's default rate site is a placeholder host: nothing opened)
    }

    void webLinksDisabledLeavesOnlyEntriesThatWork()
    {
        // arrange
        App::instance()->setWebLinksDisabled(true);

        // act
        TestPage page(false);
        page.menuBar()->addWidget(new QLabel("own"));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));

        // assert
        QStringList visible;
        for (const QString &name : kButtons) {
            if (page.menuBar()->findChild<QPushButton *>(name)->isVisible())
                visible << name;
        }
        // Share stays for the e-mail, the application menu for About and Quit.
        QCOMPARE(visible, QStringList({"IntroButton", "ShareButton", "AppButton"}));
        QVERIFY(page.menuBar()->findChild<QLabel *>()->isVisible());
        QCOMPARE(entryTexts(appMenuOf(page.menuBar()), true),
                 QStringList({"Intro", "Share", "About", "-", "Quit"}));

        // act: a later change does not reach a built bar
        App::instance()->setWebLinksDisabled(false);
        QVERIFY(!page.menuBar()->findChild<QPushButton *>("JoinButton")->isVisible());
    }

    void unplacedBarGoesWithThePage()
    {
        QPointer<PromoMenuBar> bar;
        {
            PromoMainPage page(nullptr, false);
            bar = page.menuBar();
            QVERIFY(bar);
            QVERIFY(!bar->parent());
        }
        QVERIFY(bar.isNull());
    }

    void quitBySignalOnlyEmitsQuitApp()
    {
        // arrange
        TestPage page(true);
        QSignalSpy quitApp(&page, SIGNAL(quitApp()));
        QAction *quit = entry(appMenuOf(page.menuBar()), "Quit");
        QVERIFY(quit);
        QEventLoop loop;
        QTimer::singleShot(0, quit, &QAction::trigger);
        QTimer::singleShot(200, &loop, [&] { loop.exit(7); });

        // act
        const int result = loop.exec();

        // assert: the loop ran on until its own timer ended it
        QCOMPARE(result, 7);
        QCOMPARE(quitApp.count(), 1);
    }

    // Must stay the last test: once the application was asked to quit, no
    // further event loop can run in this process.
    void quitEndsTheEventLoop()
    {
        // arrange
        TestPage page(false);
        QSignalSpy quitApp(&page, SIGNAL(quitApp()));
        QSignalSpy quitPressed(page.menuBar()->findChild<AppButton *>("AppButton"), SIGNAL(quitPressed()));
        QAction *quit = entry(appMenuOf(page.menuBar()), "Quit");
        QVERIFY(quit);
        QEventLoop loop;
        QTimer::singleShot(0, quit, &QAction::trigger);
        QTimer::singleShot(5000, &loop, [&] { loop.exit(99); });

        // act
        const int result = loop.exec();

        // assert
        QCOMPARE(result, 0);
        QCOMPARE(quitPressed.count(), 1);
        QCOMPARE(quitApp.count(), 0);
    }
};

GLYPH_APP_TEST_MAIN(TestMenuBar, QMWidgets::App)

#include "tst_menubar.moc"
