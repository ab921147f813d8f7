#include "app.h"
#include "siteconfig.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QDesktopWidget>
#include <QFileOpenEvent>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>

using QMWidgets::App;

namespace {

// Points the maker-site addresses at hosts that count as reachable, so the
// links the slots open can be seen in the URL recorder.
const char *const kTestSites[][2] = {
    {"GLYPH_SITE_INTERNATIONAL", "https://www.site.test/"},
    {"GLYPH_SITE_GERMAN", "https://de.site.test/"},
    {"GLYPH_SITE_RATE", "https://rate.site.test"},
    {"GLYPH_SITE_CONTACT", "contact@site.test"},
    {"GLYPH_SITE_FACEBOOK_SHARER", "https://fb.test"},
    {"GLYPH_SITE_TWITTER_HOME", "https://tw.test"},
};

void useTestSites(bool on)
{
    for (const auto &site : kTestSites) {
        if (on)
            qputenv(site[0], site[1]);
        else
            qunsetenv(site[0]);
    }
}

class ClickRecorder : public QWidget
{
public:
    QList<QPair<QEvent::Type, QPoint>> events;

protected:
    void mousePressEvent(QMouseEvent *e) override { events.append({e->type(), e->pos()}); }
    void mouseReleaseEvent(QMouseEvent *e) override { events.append({e->type(), e->pos()}); }
};

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

private:
    App *app() const { return App::instance(); }
    QList<QUrl> opened() const { return UrlRecorder::instance()->urls(); }

private slots:
    void initTestCase()
    {
        app()->setValue("Language", "en");
        QCOMPARE(app()->language(), QString("en"));
    }

    void init()
    {
        UrlRecorder::instance()->clear();
        app()->setWebDistribution(false);
        app()->setLanguage("en");
        app()->setAppPageUrl(QString());
    }

    void constructsWithTheProgramNames()
    {
        QVERIFY(app());
        QCOMPARE(QCoreApplication::organizationName(), QString("Quillar"));
        QCOMPARE(QCoreApplication::applicationName(), QString("Glyphcraft"));
        QCOMPARE(app()->resourcesDirectory(), QCoreApplication::applicationDirPath() + "/Resources/");
        QVERIFY(app()->aboutText().contains(
            "<A HREF=\"file://" + app()->resourcesDirectory() + "LICENSE.LGPL\">(more)</A>"));
        QVERIFY(!app()->isInactive());
        QVERIFY(!app()->hasPromotedApp());
        QCOMPARE(app()->displayName(), QString("Glyphcraft"));
        QCOMPARE(app()->reminderInterval(), 10);
        QCOMPARE(app()->reminderDelay(), 4000);
    }

    void slotsExistInDeclaredOrder()
    {
        const char *slotNames[] = {
            "slotCallRateReminderInternal()", "slotCallRateReminder()", "slotCallTellReminder()",
            "slotCallJoinReminder()", "slotImmediatelyRate()", "slotStartCount()",
            "slotShowPrivacyPolicy()", "slotShowCssEditor()", "slotContactUs()", "slotTellFriend()",
            "slotRateApp()", "slotSupportPage()", "slotHelp()", "slotGoToPromotedApp()",
            "slotShareApp()", "slotJoin()", "slotAbout()", "slotSetBlendMainWidget(bool)",
            "slotCheckUpdate()", "slotShowMoreApps()"};
        const QMetaObject *meta = app()->metaObject();
        int previous = meta->indexOfSignal("fileOpenRequest(QString)");
        QVERIFY(previous >= 0);
        for (const char *name : slotNames) {
            const int index = meta->indexOfSlot(name);
            QVERIFY2(index > previous, name);
            previous = index;
        }
    }

    void notifySignalsTheirEvents_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<bool>("inactiveAfter");
        QTest::newRow("deactivate") << int(QEvent::ApplicationDeactivate)
                                    << QByteArray(SIGNAL(applicationDeactivated())) << true;
        QTest::newRow("activate") << int(QEvent::ApplicationActivate)
                                  << QByteArray(SIGNAL(applicationActivated())) << false;
        QTest::newRow("expose") << int(QEvent::Expose) << QByteArray(SIGNAL(applicationExposed()))
                                << false;
    }

    void notifySignalsTheirEvents()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, signal);
        QFETCH(bool, inactiveAfter);
        QSignalSpy spy(app(), signal.constData());
        QObject receiver;
        QEvent event{QEvent::Type(type)};

        QCoreApplication::sendEvent(&receiver, &event);

        QCOMPARE(spy.count(), 1);
        QCOMPARE(app()->isInactive(), inactiveAfter);
    }

    void mousePressIsSignalledBeforeDelivery()
    {
        ClickRecorder widget;
        widget.resize(101, 41);
        QSignalSpy spy(app(), SIGNAL(mouseButtonPress()));
        QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(3, 4));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(widget.events.size(), 1);
    }

    void fileOpenEventSignalsItsFile()
    {
        QSignalSpy spy(app(), SIGNAL(fileOpenRequest(QString)));
        QFileOpenEvent event(QString("/tmp/picture.png"));
        QVERIFY(QCoreApplication::sendEvent(app(), &event));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toString(), QString("/tmp/picture.png"));
    }

    void blendOverlayCoversTheMainWidget()
    {
        QWidget *page = new QWidget;
        page->resize(320, 200);
        app()->setMainWidget(page);
        QLabel *overlay = page->findChild<QLabel *>("MainWidgetBlender");
        QVERIFY(overlay);
        QVERIFY(overlay->inherits("QMWidgets::BlenderWidget"));
        QVERIFY(overlay->isHidden());
        QVERIFY(overlay->autoFillBackground());

        app()->slotSetBlendMainWidget(true);
        QVERIFY(!overlay->isHidden());
        QCOMPARE(overlay->size(), QSize(320, 200));
        app()->slotSetBlendMainWidget(false);
        QVERIFY(overlay->isHidden());

        // The application object outlives the page it was handed.
        delete page;
        QVERIFY(!app()->mainWidget());
        app()->slotSetBlendMainWidget(true);
        app()->setMainWidget(nullptr);
    }

    void findTopLevelByClassSearchesDescendants()
    {
        QWidget top;
        top.setObjectName("top");
        QWidget *inner = new QWidget(&top);
        QSpinBox *spin = new QSpinBox(inner);
        QCOMPARE(App::findTopLevelByClass("QSpinBox"), spin);
        QVERIFY(App::findTopLevelByClass("QMWidgets::NoSuchClass") == nullptr);
        QVERIFY(App::isDescendant(spin, &top));
        QVERIFY(!App::isDescendant(&top, spin));
    }

    void simulateClickPostsPressAndReleaseAtTheCentre()
    {
        ClickRecorder widget;
        widget.resize(101, 41);
        App::simulateClick(&widget, -1, -1, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(widget.events.isEmpty()); // posted, not sent
        QCoreApplication::processEvents();
        QCOMPARE(widget.events.size(), 2);
        QCOMPARE(widget.events.at(0).first, QEvent::MouseButtonPress);
        QCOMPARE(widget.events.at(0).second, QPoint(50, 20));
        QCOMPARE(widget.events.at(1).first, QEvent::MouseButtonRelease);
        App::simulateClick(nullptr, 1, 1); // nothing happens
    }

    void screenQueriesFollowTheDesktop()
    {
        const QRect desktop = QApplication::desktop()->geometry();
        QCOMPARE(App::screenMinSide(), qMin(desktop.width(), desktop.height()));
        QCOMPARE(App::screenMaxSide(), qMax(desktop.width(), desktop.height()));
        QCOMPARE(App::isSmallScreen(), App::screenMinSide() < 480);
        QCOMPARE(App::isPortrait(), !App::isLandscape());
        QCOMPARE(App::devicePixelRatio(), QGuiApplication::primaryScreen()->devicePixelRatio());
    }

    void buildDateParsesBothCompilerForms_data()
    {
        QTest::addColumn<QString>("compiler");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("two-digit day") << "Sep 12 2019" << "9/12/2019" << QDate(2019, 9, 12);
        QTest::newRow("padded day") << "Sep  2 2019" << "9/2/2019" << QDate(2019, 9, 2);
        QTest::newRow("january") << "Jan  1 2020" << "1/1/2020" << QDate(2020, 1, 1);
        QTest::newRow("december") << "Dec 31 1999" << "12/31/1999" << QDate(1999, 12, 31);
    }

    void buildDateParsesBothCompilerForms()
    {
        QFETCH(QString, compiler);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(App::buildDateStringFrom(compiler), text);
        QCOMPARE(QDate::fromString(App::buildDateStringFrom(compiler), "M/d/yyyy"), date);
        QVERIFY(App::buildDate().isValid());
    }

    void storeProductUrl_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("known");
        QTest::newRow("own page") << "https://www.site.test/glyphcraft" << true;
        QTest::newRow("trailing slash") << "https://www.site.test/glyphcraft/" << true;
        QTest::newRow("capitals") << "https://www.site.test/GlyphCraft" << true;
        QTest::newRow("unknown") << "https://www.site.test/nosuchapp" << false;
        QTest::newRow("empty") << "" << false;
    }

    void storeProductUrl()
    {
        QFETCH(QString, link);
        QFETCH(bool, known);
        const QString id = app()->storeIdFor("glyphcraft");
        QCOMPARE(app()->storeProductUrl(link),
                 known ? "ms-windows-store://pdp/?productid=" + id : QString());
    }

    void storeIdsHaveTheStoreForm()
    {
        const QRegularExpression form("^9[MNP][A-Z0-9]{10}$");
        QVERIFY(form.match(app()->storeIdFor("glyphcraft")).hasMatch());
        QVERIFY(form.match(app()->storeIdFor("glyphcraftlite")).hasMatch());
        QCOMPARE(app()->storeId(), app()->storeIdFor("glyphcraft"));
        QCOMPARE(app()->storeIdFor("Glyphcraft"), QString());
    }

    void distributionChannel()
    {
        app()->setWebDistribution(true);
        QVERIFY(app()->isWebDistribution());
        QVERIFY(!app()->isStoreDistribution());
        app()->setWebDistribution(false);
        QVERIFY(app()->isStoreDistribution()); // no "independent" marker beside the test
    }

    void sharePageFollowsLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("appPage");
        QTest::newRow("english, default page") << "en" << "" << "https://www.site.test/glyphcraft";
        QTest::newRow("german") << "de" << "tool" << "https://de.site.test/tool";
        QTest::newRow("french unlisted") << "fr" << "" << "https://www.site.test/glyphcraft";
    }

    void sharePageFollowsLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, page);
        QFETCH(QString, appPage);
        useTestSites(true);
        app()->setLanguage(language);
        app()->setSharePage(page);
        useTestSites(false);

        QCOMPARE(app()->appPageUrl(), appPage);
        QCOMPARE(app()->facebookShareUrl(), "https://fb.test/sharer.php?u=" + appPage);
        QCOMPARE(app()->twitterShareUrl(), "https://tw.test/home?status=" + appPage);
    }

    void defaultSitesOpenNothing()
    {
        app()->setSharePage(QString());
        app()->setWebDistribution(true);
        app()->slotRateApp();
        app()->slotSupportPage();
        app()->slotContactUs();
        app()->setPrivacyPolicyUrl(QMWidgets::SiteConfig::privacyPolicyPage());
        app()->slotShowPrivacyPolicy();
        app()->setPrivacyPolicyUrl(QString());
        QVERIFY2(opened().isEmpty(), qPrintable(opened().value(0).toString()));
    }

    void menuSlotsOpenTheirLinks()
    {
        useTestSites(true);
        app()->setWebDistribution(true);
        app()->slotRateApp();
        app()->slotSupportPage(); // no page link: the international site
        app()->slotContactUs();
        app()->slotShowMoreApps();
        app()->slotShowPrivacyPolicy(); // no link: nothing
        app()->setPrivacyPolicyUrl("https://www.site.test/privacy");
        app()->slotShowPrivacyPolicy();
        app()->setPrivacyPolicyUrl(QString());
        useTestSites(false);

        const QList<QUrl> urls = opened();
        QCOMPARE(urls.size(), 5);
        QCOMPARE(urls.at(0), QUrl("https://rate.site.test/rate.php?appname=glyphcraft"));
        QCOMPARE(urls.at(1), QUrl("https://www.site.test/"));
        QCOMPARE(urls.at(2).scheme(), QString("mailto"));
        QCOMPARE(urls.at(2).path(), QString("contact@site.test"));
        const QString subject = QUrl::fromPercentEncoding(urls.at(2).query().toUtf8());
        QVERIFY2(subject.startsWith("subject=Contact (Glyphcraft " + QCoreApplication::applicationVersion()
                                    + ") " + App::osName() + " en I&body="),
                 qPrintable(subject));
        QCOMPARE(urls.at(3), QUrl("ms-windows-store://publisher/?name=Quillar"));
        QCOMPARE(urls.at(4), QUrl("https://www.site.test/privacy"));
    }

    void storeRatingUsesTheReviewPage()
    {
        app()->setAppPageUrl("https://www.site.test/glyphcraft");
        app()->slotRateApp();
        app()->setAppPageUrl("https://www.site.test/nosuchapp");
        app()->slotRateApp(); // not in the store map: nothing
        QCOMPARE(opened().size(), 1);
        QCOMPARE(opened().first().toString(),
                 "ms-windows-store://review/?ProductId=" + app()->storeIdFor("glyphcraft"));
    }

    void promotedAppLinks()
    {
        app()->slotGoToPromotedApp(); // nothing set: nothing opens
        app()->setPromotedAppFallbackLink("https://www.site.test/fallback");
        app()->slotGoToPromotedApp();
        app()->setPromotedAppLink("https://www.site.test/glyphcraftlite");
        QVERIFY(app()->hasPromotedApp());
        app()->slotGoToPromotedApp();
        app()->setPromotedAppLink(QString());
        app()->setPromotedAppFallbackLink(QString());

        QCOMPARE(opened().size(), 2);
        QCOMPARE(opened().at(0), QUrl("https://www.site.test/fallback"));
        QCOMPARE(opened().at(1).toString(),
                 "ms-windows-store://pdp/?productid=" + app()->storeIdFor("glyphcraftlite"));
    }

    void osNameForWindowsVersions_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("name");
        QTest::newRow("XP") << 0x30 << "Win XP";
        QTest::newRow("8.1") << 0xB0 << "Win 8.1";
        QTest::newRow("10") << 0xC0 << "Win 10";
        QTest::newRow("unlisted") << 0x100 << "Win (256)";
    }

    void osNameForWindowsVersions()
    {
        QFETCH(int, version);
        QFETCH(QString, name);
        QCOMPARE(App::osNameFor(version), name);
    }

    void smallAccessors()
    {
        app()->setLanguage("en_US");
        QCOMPARE(app()->languagePathPart(), QString());
        app()->setLanguage("de");
        QCOMPARE(app()->languagePathPart(), QString("de/"));

        QCoreApplication::setOrganizationDomain("quillar.example");
        QCOMPARE(App::bundleIdentifier(), QString("example.quillar.Glyphcraft"));

        app()->setDisplayName("Glyph Craft");
        QCOMPARE(app()->displayName(), QString("Glyph Craft"));
        app()->setDisplayName(QString());
    }

    void startReminderChoosesKindAndWatchesQuit()
    {
        app()->setWebDistribution(true);
        app()->startReminder(2, 8);
        QCOMPARE(app()->reminderKind(), 2); // web distribution: sharing
        QCOMPARE(app()->reminderInterval(), 2);

        app()->startReminder(2, 1);
        QCOMPARE(app()->reminderKind(), 1);
        app()->startReminder(2, 3);
        QVERIFY(app()->reminderKind() == 1 || app()->reminderKind() == 2);
        app()->startReminder(0, 4);
        QCOMPARE(app()->reminderKind(), 4);
        QCOMPARE(app()->reminderInterval(), 1); // kept positive for the remainder test

        app()->setReminderDelay(1);
        app()->slotCallJoinReminder();
        QCOMPARE(app()->reminderKind(), 4);
        app()->slotCallRateReminder();
        QCOMPARE(app()->reminderKind(), 1);
        // Each start tied the quit signal to the cycle.
        QVERIFY(disconnect(app(), SIGNAL(aboutToQuit()), app(), SLOT(slotCallRateReminderInternal())));
    }
};

GLYPH_APP_TEST_MAIN(TestApp, QMWidgets::App)

#include "tst_app.moc"
