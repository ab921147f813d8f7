#include "app.h"
#include "helpdialog.h"
#include "modalanswerer.h"
#include "platforminfo.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QPointer>
#include <QPushButton>
#include <QUrlQuery>

using QMWidgets::App;

namespace {

// Maker-site addresses on a host that counts as reachable; nothing is fetched,
// the URL recorder only records what would be opened.
const char *const kTestSites[][2] = {
    {"GLYPH_SITE_INTERNATIONAL", "https://127.0.0.1/intl/"},
    {"GLYPH_SITE_GERMAN", "https://127.0.0.1/de/"},
    {"GLYPH_SITE_RUSSIAN", "https://127.0.0.1/ru/"},
    {"GLYPH_SITE_LANGUAGE", "https://127.0.0.1/lang/"},
    {"GLYPH_SITE_RATE", "https://127.0.0.1/rate"},
    {"GLYPH_SITE_CONTACT", "contact@127.0.0.1"},
    {"GLYPH_SITE_FACEBOOK_SHARER", "https://127.0.0.1/fb"},
    {"GLYPH_SITE_TWITTER_HOME", "https://127.0.0.1/tw"},
    {"GLYPH_SITE_SHARE_FACEBOOK", "https://127.0.0.1/redirect"},
};

QList<QWidget *> visibleTopLevels(const char *className)
{
    QList<QWidget *> found;
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget *w : tops) {
        if (w->inherits(className) && w->isVisible())
            found << w;
    }
    return found;
}

} // namespace

class TestMenuServices : public QObject
{
    Q_OBJECT

private:
    App *app() const { return App::instance(); }
    QList<QUrl> opened() const { return UrlRecorder::instance()->urls(); }

private slots:
    void initTestCase()
    {
        for (const auto &site : kTestSites)
            qputenv(site[0], site[1]);
        QCoreApplication::setApplicationVersion("1.8");
    }

    void init()
    {
        UrlRecorder::instance()->clear();
        app()->setLanguage("en");
        app()->setSiteLanguages({});
        app()->setWebDistribution(true);
        app()->setAppPageUrl(QString());
        app()->setPrivacyPolicyUrl(QString());
        app()->setMainWidget(nullptr);
        QMWidgets::PlatformInfo::clearOverride();
    }

    void contactMail_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("web");
        QTest::addColumn<QString>("subject");

        QTest::newRow("web distribution")
            << "Win 10" << true << "Contact (Glyphcraft 1.8) Win 10 en I";
        QTest::newRow("store distribution")
            << "Win 10" << false << "Contact (Glyphcraft 1.8) Win 10 en ";
        QTest::newRow("name with link characters")
            << "Win #10 & more" << true << "Contact (Glyphcraft 1.8) Win 10 more en I";
    }

    void contactMail()
    {
        QFETCH(QString, platform);
        QFETCH(bool, web);
        QFETCH(QString, subject);
        QMWidgets::PlatformInfo::setOverride(platform, QString());
        app()->setWebDistribution(web);

        app()->slotContactUs();

        QCOMPARE(opened().size(), 1);
        const QUrl mail = opened().first();
        QCOMPARE(mail.scheme(), QString("mailto"));
        QCOMPARE(mail.path(), QString("contact@127.0.0.1"));
        QVERIFY(!mail.hasFragment());
        const QUrlQuery query(mail);
        QCOMPARE(query.queryItems().size(), 2);
        QCOMPARE(query.queryItemValue("subject", QUrl::FullyDecoded), subject);
        QVERIFY(query.hasQueryItem("body"));
        QCOMPARE(query.queryItemValue("body"), QString());
    }

    void linksOpened_data()
    {
        QTest::addColumn<QByteArray>("slot");
        QTest::addColumn<bool>("web");
        QTest::addColumn<QString>("appPage");
        QTest::addColumn<QString>("privacy");
        QTest::addColumn<QString>("expected"); // "" nothing opens; <id> the program's store id

        QTest::newRow("rate, web") << QByteArray("slotRateApp") << true << "" << ""
                                   << "https://127.0.0.1/rate/rate.php?appname=glyphcraft";
        QTest::newRow("rate, store") << QByteArray("slotRateApp") << false
                                     << "https://127.0.0.1/intl/glyphcraft/" << ""
                                     << "ms-windows-store://review/?ProductId=<id>";
        QTest::newRow("support, page") << QByteArray("slotSupportPage") << true
                                       << "https://127.0.0.1/de/glyphcraft" << ""
                                       << "https://127.0.0.1/de/glyphcraft";
        QTest::newRow("support, no page") << QByteArray("slotSupportPage") << true << "" << ""
                                          << "https://127.0.0.1/intl/";
        QTest::newRow("privacy") << QByteArray("slotShowPrivacyPolicy") << true << ""
                                 << "https://127.0.0.1/privacy.html"
                                 << "https://127.0.0.1/privacy.html";
        QTest::newRow("privacy, none") << QByteArray("slotShowPrivacyPolicy") << true << "" << ""
                                       << "";
    }

    void linksOpened()
    {
        QFETCH(QByteArray, slot);
        QFETCH(bool, web);
        QFETCH(QString, appPage);
        QFETCH(QString, privacy);
        QFETCH(QString, expected);
        app()->setWebDistribution(web);
        app()->setAppPageUrl(appPage);
        app()->setPrivacyPolicyUrl(privacy);

        QVERIFY(QMetaObject::invokeMethod(app(), slot.constData()));

        if (expected.isEmpty()) {
            QVERIFY2(opened().isEmpty(), qPrintable(opened().value(0).toString()));
            return;
        }
        expected.replace("<id>", app()->storeId());
        QCOMPARE(opened().size(), 1);
        QCOMPARE(opened().first().toString(), QUrl(expected, QUrl::TolerantMode).toString());
    }

    void sharePagesByLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("siteLanguages");
        QTest::addColumn<bool>("web");
        QTest::addColumn<QString>("appPage");

        QTest::newRow("german")
            << "de" << QStringList() << false << "https://127.0.0.1/de/glyphcraft";
        QTest::newRow("russian")
            << "ru" << QStringList() << false << "https://127.0.0.1/ru/glyphcraft";
        QTest::newRow("french with a site")
            << "fr" << QStringList({"fr"}) << false << "https://127.0.0.1/lang/fr/glyphcraft";
        QTest::newRow("french without a site")
            << "fr" << QStringList({"it"}) << false << "https://127.0.0.1/intl/glyphcraft";
        QTest::newRow("german, web redirect")
            << "de" << QStringList() << true << "https://127.0.0.1/de/glyphcraft";
    }

    void sharePagesByLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, siteLanguages);
        QFETCH(bool, web);
        QFETCH(QString, appPage);
        app()->setLanguage(language);
        app()->setSiteLanguages(siteLanguages);
        app()->setWebDistribution(web);
        app()->setSharePage(QString());
        // The sharing dialog's Facebook button opens the share link.
        ModalAnswerer answerer([](QWidget *dialog) {
            QPushButton *facebook = dialog->findChild<QPushButton *>("FaceBookShareButton");
            if (facebook)
                facebook->click();
            ModalAnswerer::clickButtonWithText(dialog, "&Close");
        });

        app()->slotShareApp();

        QVERIFY(answerer.answered());
        QCOMPARE(app()->appPageUrl(), appPage);
        const QString facebook = "https://127.0.0.1/fb/sharer.php?u=" + appPage;
        QCOMPARE(app()->facebookShareUrl(), facebook);
        QCOMPARE(app()->twitterShareUrl(), "https://127.0.0.1/tw/home?status=" + appPage);
        const QString expected =
            web ? "https://127.0.0.1/redirect/social/share.php?link=" + facebook : facebook;
        QCOMPARE(opened().size(), 1);
        QCOMPARE(opened().first(), QUrl(expected, QUrl::TolerantMode));
    }

    void modalDialogsRunAndGo_data()
    {
        QTest::addColumn<QByteArray>("slot");
        QTest::addColumn<QByteArray>("className");
        QTest::addColumn<bool>("overMainWidget"); // else over the active window
        QTest::addColumn<bool>("deleteParent");

        QTest::newRow("about") << QByteArray("slotAbout") << QByteArray("QMWidgets::AboutDialog")
                               << true << false;
        QTest::newRow("share") << QByteArray("slotShareApp") << QByteArray("QMWidgets::TellDialog")
                               << false << false;
        QTest::newRow("join") << QByteArray("slotJoin") << QByteArray("QMWidgets::JoinDialog")
                              << false << false;
        QTest::newRow("about, main window deleted")
            << QByteArray("slotAbout") << QByteArray("QMWidgets::AboutDialog") << true << true;
        QTest::newRow("share, window deleted")
            << QByteArray("slotShareApp") << QByteArray("QMWidgets::TellDialog") << false << true;
        QTest::newRow("join, window deleted")
            << QByteArray("slotJoin") << QByteArray("QMWidgets::JoinDialog") << false << true;
    }

    void modalDialogsRunAndGo()
    {
        QFETCH(QByteArray, slot);
        QFETCH(QByteArray, className);
        QFETCH(bool, overMainWidget);
        QFETCH(bool, deleteParent);
        // arrange: a shown, active window as main widget or as the active window
        QPointer<QWidget> window = new QWidget;
        window->show();
        QApplication::setActiveWindow(window);
        QCOMPARE(QApplication::activeWindow(), window.data());
        QWidget *const expectedParent = window;
        if (overMainWidget)
            app()->setMainWidget(window);
        QByteArray shownClass;
        QWidget *shownParent = nullptr;
        ModalAnswerer answerer([&](QWidget *dialog) {
            shownClass = dialog->metaObject()->className();
            shownParent = dialog->parentWidget();
            if (deleteParent)
                delete window.data(); // takes the dialog along and ends exec()
            else
                ModalAnswerer::pressKey(dialog, Qt::Key_Escape);
        });

        // act
        QVERIFY(QMetaObject::invokeMethod(app(), slot.constData()));

        // assert
        QVERIFY(answerer.answered());
        QCOMPARE(shownClass, className);
        QCOMPARE(shownParent, expectedParent);
        QCOMPARE(window.isNull(), deleteParent);
        QVERIFY(!answerer.dialog()); // deleted once exec() returned
        QVERIFY(visibleTopLevels(className).isEmpty());
        delete window.data();
    }

    void introductionIsMadeOnceAndShown()
    {
        QWidget page;
        app()->setMainWidget(&page);
        app()->setHelpSlides({"/nonexistent/slide1.jpg", "/nonexistent/slide2.jpg",
                              "/nonexistent/slide3.jpg"});
        app()->setVideoTutorialUrl("https://127.0.0.1/video");

        app()->slotHelp();

        QMWidgets::HelpDialog *help = page.findChild<QMWidgets::HelpDialog *>();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(!help->isModal());
        QCOMPARE(help->findChildren<QPushButton *>("HelpSlideButton").size(), 3);
        QPushButton *video = help->findChild<QPushButton *>("VideoButton");
        QVERIFY(video && !video->isHidden());

        // Again after closing: the same dialog, no slides added.
        help->close();
        app()->setHelpSlides({"/nonexistent/slide4.jpg"});
        app()->slotHelp();
        QCOMPARE(page.findChildren<QMWidgets::HelpDialog *>().size(), 1);
        QVERIFY(help->isVisible());
        QCOMPARE(help->findChildren<QPushButton *>("HelpSlideButton").size(), 3);
        app()->setHelpSlides({});
        app()->setVideoTutorialUrl(QString());
    }

    void styleEditorOpensAParentlessWindowEachTime()
    {
        app()->slotShowCssEditor();
        app()->slotShowCssEditor();

        const QList<QWidget *> editors = visibleTopLevels("QMWidgets::CssEditor");
        QCOMPARE(editors.size(), 2);
        QList<QPointer<QWidget>> guards;
        for (QWidget *editor : editors) {
            QVERIFY(!editor->parentWidget());
            guards << editor;
            editor->close();
        }
        QTRY_VERIFY(guards.at(0).isNull() && guards.at(1).isNull());
    }
};

GLYPH_APP_TEST_MAIN(TestMenuServices, QMWidgets::App)

#include "tst_menuservices.moc"
