#include "app.h"
#include "joindialog.h"
#include "joinwidget.h"
#include "mmessagebox.h"
#include "modalanswerer.h"
#include "openerprocess.h"
#include "promoadsbar.h"
#include "telldialog.h"
#include "tellwidget.h"
#include "standinopener.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QDesktopServices>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <csignal>
#include <memory>

using namespace QMWidgets;

namespace {

// Every address the sharing and following links are made of, on loopback
// ports so each part of a link can be told apart.
const char *const kSites[][2] = {
    {"GLYPH_SITE_SHARE_FACEBOOK", "http://127.0.0.1:1"},
    {"GLYPH_SITE_SHARE_TWITTER", "http://127.0.0.1:2"},
    {"GLYPH_SITE_FOLLOW", "http://127.0.0.1:3"},
    {"GLYPH_SITE_FACEBOOK_SHARER", "http://127.0.0.1:4"},
    {"GLYPH_SITE_TWITTER_HOME", "http://127.0.0.1:5"},
    {"GLYPH_SITE_INTERNATIONAL", "http://127.0.0.1:6/"},
    {"GLYPH_SITE_GERMAN", "http://127.0.0.1:7/"},
    {"GLYPH_SITE_RUSSIAN", "http://127.0.0.1:8/"},
    {"GLYPH_SITE_FACEBOOK_PAGE", "http://127.0.0.1:10/quillar"},
    {"GLYPH_SITE_YOUTUBE_CHANNEL", "http://127.0.0.1:11/user/quillar"},
    {"GLYPH_SITE_TWITTER_PAGE", "http://127.0.0.1:12/quillar"},
    {"GLYPH_SITE_VKONTAKTE_PAGE", "http://127.0.0.1:13/quillar"},
};

App *app()
{
    return App::instance();
}

QStringList shownButtons(QWidget *panel)
{
    QStringList names;
    const auto buttons = panel->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (!button->isHidden())
            names << button->objectName();
    }
    return names;
}

// Clicks the named button of a freshly built panel and returns what was opened.
template <class Panel>
QList<QUrl> clickOn(const QString &buttonName)
{
    Panel panel;
    QPushButton *button = panel.template findChild<QPushButton *>(buttonName);
    if (!button || button->isHidden())
        return {QUrl(QStringLiteral("missing:") + buttonName)};
    UrlRecorder::instance()->clear();
    button->click();
    return UrlRecorder::instance()->urls();
}

} // namespace

class TestSharing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (const auto &site : kSites)
            qputenv(site[0], site[1]);
    }

    void init()
    {
        UrlRecorder::instance()->clear();
        app()->setLanguage(QStringLiteral("en"));
        app()->setWebDistribution(true);
        app()->setSharePage(QString());
    }

    void shareButtonsOpenTheirLinks_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("web");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected");

        const QString fb = QStringLiteral("FaceBookShareButton");
        const QString tw = QStringLiteral("TwitterShareButton");
        QTest::newRow("web, Facebook") << "en" << true << fb
            << "http://127.0.0.1:1/social/share.php?link=http://127.0.0.1:4/sharer.php?u=http://127.0.0.1:6/glyphcraft";
        QTest::newRow("web, Twitter") << "en" << true << tw
            << "http://127.0.0.1:2/social/share.php?link=http://127.0.0.1:5/home?status=http://127.0.0.1:6/glyphcraft";
        QTest::newRow("web, German page") << "de" << true << fb
            << "http://127.0.0.1:1/social/share.php?link=http://127.0.0.1:4/sharer.php?u=http://127.0.0.1:7/glyphcraft";
        QTest::newRow("web, Russian page") << "ru" << true << tw
            << "http://127.0.0.1:2/social/share.php?link=http://127.0.0.1:5/home?status=http://127.0.0.1:8/glyphcraft";
        QTest::newRow("web, language without a site") << "fr" << true << fb
            << "http://127.0.0.1:1/social/share.php?link=http://127.0.0.1:4/sharer.php?u=http://127.0.0.1:6/glyphcraft";
        QTest::newRow("direct, Facebook") << "en" << false << fb
            << "http://127.0.0.1:4/sharer.php?u=http://127.0.0.1:6/glyphcraft";
        QTest::newRow("direct, Twitter") << "de" << false << tw
            << "http://127.0.0.1:5/home?status=http://127.0.0.1:7/glyphcraft";
        QTest::newRow("mail") << "de" << true << "EmailShareButton"
            << "mailto:?subject=Check out the cool Glyphcraft app!&body=%1 - http://127.0.0.1:7/glyphcraft";
    }

    void shareButtonsOpenTheirLinks()
    {
        // arrange
        QFETCH(QString, language);
        QFETCH(bool, web);
        QFETCH(QString, button);
        QFETCH(QString, expected);
        app()->setLanguage(language);
        app()->setWebDistribution(web);
        app()->setSharePage(QString());
        expected.replace(QStringLiteral("%1"), app()->displayName());

        // act
        const QList<QUrl> opened = clickOn<TellWidget>(button);

        // assert
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().toString(), expected);
    }

    void followButtonsOpenTheirPages_data()
    {
        QTest::addColumn<bool>("web");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected");

        QTest::newRow("web, YouTube") << true << "YouTubeJoinButton"
            << "http://127.0.0.1:3/social/join.php?link=http://127.0.0.1:11/user/quillar?sub_confirmation=1";
        QTest::newRow("web, Twitter") << true << "TwitterJoinButton"
            << "http://127.0.0.1:3/social/join.php?link=http://127.0.0.1:12/quillar";
        QTest::newRow("web, VKontakte without redirect") << true << "VKontakteJoinButton"
            << "http://127.0.0.1:13/quillar";
        QTest::newRow("direct, YouTube") << false << "YouTubeJoinButton"
            << "http://127.0.0.1:11/user/quillar?sub_confirmation=1";
        QTest::newRow("direct, Twitter") << false << "TwitterJoinButton"
            << "http://127.0.0.1:12/quillar";
    }

    void followButtonsOpenTheirPages()
    {
        // arrange: Russian, so the VKontakte button is there
        QFETCH(bool, web);
        QFETCH(QString, button);
        QFETCH(QString, expected);
        app()->setLanguage(QStringLiteral("ru"));
        app()->setWebDistribution(web);

        // act
        const QList<QUrl> opened = clickOn<JoinWidget>(button);

        // assert
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().toString(), expected);
    }

    void facebookFollowOpensThePageAfterTheNotice_data()
    {
        QTest::addColumn<bool>("web");
        QTest::addColumn<QString>("expected");
        QTest::newRow("web") << true << "http://127.0.0.1:3/social/join.php?link=http://127.0.0.1:10/quillar";
        QTest::newRow("direct") << false << "http://127.0.0.1:10/quillar";
    }

    void facebookFollowOpensThePageAfterTheNotice()
    {
        // arrange
        QFETCH(bool, web);
        QFETCH(QString, expected);
        app()->setWebDistribution(web);
        int openedBeforeClose = -1;
        QStringList texts;
        QString title;
        ModalAnswerer answerer([&](QWidget *dialog) {
            openedBeforeClose = UrlRecorder::instance()->urls().size();
            title = dialog->windowTitle();
            const auto labels = dialog->findChildren<QLabel *>();
            for (QLabel *label : labels)
                texts << label->text();
            ModalAnswerer::clickButtonWithText(dialog, QStringLiteral("Ok"));
        });
        answerer.setClassName("QMWidgets::MMessageBox");

        // act
        const QList<QUrl> opened = clickOn<JoinWidget>(QStringLiteral("FaceBookJoinButton"));

        // assert
        QVERIFY(answerer.answered());
        QCOMPARE(openedBeforeClose, 0);
        QCOMPARE(title, QStringLiteral("Information"));
        QVERIFY(texts.contains(QStringLiteral("<H3>\"Like\" Quillar on Facebook to join us!<br>Thank you!</H3>")));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().toString(), expected);
    }

    void panelsShowTheirButtons_data()
    {
        QTest::addColumn<bool>("sharing");
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("noFacebookLink");
        QTest::addColumn<QByteArray>("placeholder");
        QTest::addColumn<QStringList>("shown");

        const QStringList share{"FaceBookShareButton", "TwitterShareButton", "EmailShareButton"};
        const QStringList follow{"YouTubeJoinButton", "FaceBookJoinButton", "TwitterJoinButton"};
        QTest::newRow("sharing") << true << "en" << false << QByteArray() << share;
        QTest::newRow("sharing without a Facebook link") << true << "en" << true << QByteArray()
            << QStringList{"TwitterShareButton", "EmailShareButton"};
        QTest::newRow("sharing, German site a placeholder") << true << "de" << false
            << QByteArray("GLYPH_SITE_GERMAN") << QStringList{"EmailShareButton"};
        QTest::newRow("sharing, Russian site a placeholder") << true << "ru" << false
            << QByteArray("GLYPH_SITE_RUSSIAN") << QStringList{"EmailShareButton"};
        QTest::newRow("sharing, German; Russian site a placeholder") << true << "de" << false
            << QByteArray("GLYPH_SITE_RUSSIAN") << share;
        QTest::newRow("following, English") << false << "en" << false << QByteArray() << follow;
        QTest::newRow("following, Russian") << false << "ru" << false << QByteArray()
            << follow + QStringList{"VKontakteJoinButton"};
        QTest::newRow("following, Russian, VKontakte page a placeholder") << false << "ru" << false
            << QByteArray("GLYPH_SITE_VKONTAKTE_PAGE") << follow;
        QTest::newRow("following, Russian with region") << false << "ru_RU" << false << QByteArray()
                                                        << follow;
    }

    void panelsShowTheirButtons()
    {
        // arrange
        QFETCH(bool, sharing);
        QFETCH(QString, language);
        QFETCH(bool, noFacebookLink);
        QFETCH(QByteArray, placeholder);
        QFETCH(QStringList, shown);
        const QByteArray configured = qgetenv(placeholder.constData());
        if (!placeholder.isEmpty())
            qunsetenv(placeholder.constData());
        app()->setLanguage(language);
        app()->setSharePage(QString());
        if (noFacebookLink)
            app()->setFacebookShareUrl(QString());

        // act
        QScopedPointer<QWidget> panel(sharing ? static_cast<QWidget *>(new TellWidget)
                                              : static_cast<QWidget *>(new JoinWidget));
        if (!placeholder.isEmpty())
            qputenv(placeholder.constData(), configured);

        // assert
        QStringList names = shownButtons(panel.data());
        names.sort();
        shown.sort();
        QCOMPARE(names, shown);
    }

    void buttonsAreDrawnAndNamedWithoutStyleSheet_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("name");
        for (const char *name : {"FaceBookShareButton", "TwitterShareButton", "VKontakteShareButton",
                                 "LinkedinShareButton", "EmailShareButton"})
            QTest::newRow(name) << "share" << QString::fromLatin1(name);
        for (const char *name : {"YouTubeJoinButton", "FaceBookJoinButton", "TwitterJoinButton",
                                 "VKontakteJoinButton", "EmailJoinButton"})
            QTest::newRow(name) << "follow" << QString::fromLatin1(name);
        QTest::newRow("AdsBarCloseButton") << "banner" << QStringLiteral("AdsBarCloseButton");
    }

    void buttonsAreDrawnAndNamedWithoutStyleSheet()
    {
        // arrange
        QFETCH(QString, panel);
        QFETCH(QString, name);
        QScopedPointer<QWidget> widget;
        if (panel == QLatin1String("share"))
            widget.reset(new TellWidget);
        else if (panel == QLatin1String("follow"))
            widget.reset(new JoinWidget);
        else
            widget.reset(new PromoAdsBar(nullptr, nullptr));
        QPushButton *button = widget->findChild<QPushButton *>(name);
        QVERIFY(button);

        // act
        const QImage image = button->grab().toImage();

        // assert: the flat button draws a text or an icon and is named
        QVERIFY(!button->text().isEmpty() || !button->icon().isNull());
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 1, "the button renders as a blank area");
        QVERIFY(!button->toolTip().isEmpty());
        QVERIFY(!button->accessibleName().isEmpty());
    }

    void withoutWebLinksOnlyTheMailStaysAndNamesNoPlaceholder()
    {
        // arrange
        app()->setAppPageUrl(QStringLiteral("https://www.quillar.invalid/glyphcraft"));
        app()->setWebLinksDisabled(true);
        // act
        TellWidget share;
        JoinWidget follow;
        const QList<QUrl> mailed = clickOn<TellWidget>(QStringLiteral("EmailShareButton"));
        app()->setWebLinksDisabled(false);
        // assert
        QCOMPARE(shownButtons(&share), QStringList{"EmailShareButton"});
        QCOMPARE(shownButtons(&follow), QStringList());
        QCOMPARE(mailed.size(), 1);
        QCOMPARE(mailed.first().toString(),
                 "mailto:?subject=Check out the cool Glyphcraft app!&body=" + app()->displayName());
    }

    void emailShareSaysWhyWhenNothingOpensIt_data()
    {
        QTest::addColumn<bool>("contact");
        QTest::addColumn<int>("openerStatus"); // the stand-in opener's; -1: none
        QTest::addColumn<QString>("cause");    // "": no warning
        const QString none = QStringLiteral("No e-mail program could be started");
        const QString failed = QStringLiteral("xdg-open found no e-mail program to use (exit status 3)");
        QTest::newRow("Share by E-mail") << false << -1 << none;
        QTest::newRow("Contact Us") << true << -1 << none;
        QTest::newRow("Share by E-mail, opener finds nothing") << false << 3 << failed;
        QTest::newRow("Contact Us, opener finds nothing") << true << 3 << failed;
        QTest::newRow("Share by E-mail, opener succeeds") << false << 0 << "";
        QTest::newRow("Contact Us, opener succeeds") << true << 0 << "";
    }

    void emailShareSaysWhyWhenNothingOpensIt()
    {
        QFETCH(bool, contact);
        QFETCH(int, openerStatus);
        QFETCH(QString, cause);
        // arrange: no program takes mail links, or the desktop's opener is a
        // stand-in; the contact address is a real one
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        std::unique_ptr<StandInOpener> opener;
        if (openerStatus >= 0) {
            opener = std::make_unique<StandInOpener>(openerStatus);
            App::setLinkOpener(QStringLiteral("xdg-open"));
        }
        qputenv("GLYPH_SITE_CONTACT", "support@site.test");
        auto restore = qScopeGuard([] {
            App::setLinkOpener(QString());
            UrlRecorder::instance()->install();
            qunsetenv("GLYPH_SITE_CONTACT");
        });
        QString said;
        ModalAnswerer warning([&](QWidget *box) {
            said = ModalAnswerer::labelTexts(box);
            ModalAnswerer::pressKey(box, Qt::Key_Escape);
        });
        warning.setClassName("QMWidgets::MMessageBox");

        // act
        UrlRecorder::instance()->clear();
        const QList<QUrl> opened = contact ? (app()->slotContactUs(), UrlRecorder::instance()->urls())
                                           : clickOn<TellWidget>(QStringLiteral("EmailShareButton"));
        QTRY_VERIFY_WITH_TIMEOUT(OpenerProcess::running() == 0, 60000);

        // assert
        QVERIFY(opened.isEmpty());
        QCOMPARE(warning.answered(), !cause.isEmpty());
        QVERIFY2(said.contains(cause), qPrintable(said));
    }

    // A page handed to the opener that it fails to open is said, whichever
    // way the opener failed, with the link it was given.
    void followLinkSaysWhyTheOpenerFailed_data()
    {
        QTest::addColumn<int>("openerStatus");
        QTest::addColumn<int>("killedBy");
        QTest::addColumn<QString>("cause"); // "": no warning
        QTest::newRow("opener finds no browser") << 3 << 0
            << "\"http://127.0.0.1:12/quillar\" could not be opened: xdg-open found no web browser to use (exit status 3).";
        QTest::newRow("opener killed by a signal") << 0 << int(SIGKILL)
            << "\"http://127.0.0.1:12/quillar\" could not be opened: xdg-open stopped unexpectedly.";
        QTest::newRow("opener succeeds") << 0 << 0 << "";
    }

    void followLinkSaysWhyTheOpenerFailed()
    {
        QFETCH(int, openerStatus);
        QFETCH(int, killedBy);
        QFETCH(QString, cause);
        // arrange: the desktop's opener is a stand-in
        app()->setWebDistribution(false);
        StandInOpener opener(openerStatus, killedBy);
        App::setLinkOpener(QStringLiteral("xdg-open"));
        auto restore = qScopeGuard([] { App::setLinkOpener(QString()); });
        QString said;
        ModalAnswerer warning([&](QWidget *box) {
            said = ModalAnswerer::labelTexts(box);
            ModalAnswerer::pressKey(box, Qt::Key_Escape);
        });
        warning.setClassName("QMWidgets::MMessageBox");

        // act
        const QList<QUrl> opened = clickOn<JoinWidget>(QStringLiteral("TwitterJoinButton"));
        QTRY_VERIFY_WITH_TIMEOUT(OpenerProcess::running() == 0, 60000);

        // assert: the opener had the link, not the desktop services
        QVERIFY(opened.isEmpty());
        QCOMPARE(warning.answered(), !cause.isEmpty());
        QVERIFY2(said.contains(cause), qPrintable(said));
    }

    void dialogsRunModallyAndClose_data()
    {
        QTest::addColumn<bool>("sharing");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("byButton");

        QTest::newRow("sharing, Close button") << true << "Share Glyphcraft" << true;
        QTest::newRow("sharing, Escape") << true << "Share Glyphcraft" << false;
        QTest::newRow("following, Close button") << false << "Join us" << true;
        QTest::newRow("following, Escape") << false << "Join us" << false;
    }

    void dialogsRunModallyAndClose()
    {
        // arrange: on the heap with a parent, as the application object makes them
        QFETCH(bool, sharing);
        QFETCH(QString, title);
        QFETCH(bool, byButton);
        QWidget parent;
        QDialog *dialog = sharing ? static_cast<QDialog *>(new TellDialog(&parent))
                                  : static_cast<QDialog *>(new JoinDialog(&parent));
        QCOMPARE(dialog->objectName(), QStringLiteral("Dialog"));
        QCOMPARE(dialog->windowTitle(), title);
        QVERIFY(sharing ? bool(dialog->findChild<TellWidget *>()) : bool(dialog->findChild<JoinWidget *>()));
        QPushButton *close = dialog->findChild<QPushButton *>(QStringLiteral("PushButton"));
        QVERIFY(close);
        QCOMPARE(close->text(), QStringLiteral("&Close"));
        ModalAnswerer answerer([&](QWidget *shown) {
            if (byButton)
                close->click();
            else
                ModalAnswerer::pressKey(shown, Qt::Key_Escape);
        });

        // act
        const int result = dialog->exec();

        // assert
        QVERIFY(answerer.answered());
        QCOMPARE(answerer.dialog(), static_cast<QWidget *>(dialog));
        QCOMPARE(result, byButton ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
        delete dialog;
    }
};

GLYPH_APP_TEST_MAIN(TestSharing, QMWidgets::App)

#include "tst_sharing.moc"
