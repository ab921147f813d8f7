#include "siteconfig.h"
#include "testmain.h"

using QMWidgets::SiteConfig;

class TestSiteConfig : public QObject
{
    Q_OBJECT

private slots:
    void defaultsReachNobody()
    {
        const QStringList addresses = {
            SiteConfig::siteBaseAddress(), SiteConfig::fallbackSiteBaseAddress(),
            SiteConfig::metricsAddress(), SiteConfig::internationalSite(), SiteConfig::germanSite(),
            SiteConfig::russianSite(), SiteConfig::languageSite("fr"), SiteConfig::rateSite(),
            SiteConfig::appsSite(), SiteConfig::crossPromoPage(),
            "mailto:" + SiteConfig::contactAddress() + "?subject=x",
            SiteConfig::facebookShareRedirect(), SiteConfig::twitterShareRedirect(),
            SiteConfig::followRedirect(), SiteConfig::facebookSharer(), SiteConfig::twitterHome(),
            SiteConfig::facebookPage(), SiteConfig::youtubeChannel(), SiteConfig::twitterPage(),
            SiteConfig::vkontaktePage(), SiteConfig::videoPagePrefix("de") + "x",
            SiteConfig::videoPagePrefix("en") + "x", SiteConfig::videoShortLinkPrefix(),
            SiteConfig::videoWatchPrefix(), SiteConfig::tutorialPage("de"),
            SiteConfig::tutorialVideo(), SiteConfig::privacyPolicyPage(),
            SiteConfig::appStoreAppPage(), "https://" + SiteConfig::organizationDomain(),
            SiteConfig::siteUrlCom(), SiteConfig::siteUrlNet(), SiteConfig::siteUrlDe()};
        for (const QString &address : addresses)
            QVERIFY2(!SiteConfig::isReachable(QUrl(address, QUrl::TolerantMode)), qPrintable(address));
    }

    void environmentOverridesAtRunTime()
    {
        qputenv("GLYPH_SITE_RATE", "https://rate.example.test");
        const QString overridden = SiteConfig::rateSite();
        qputenv("GLYPH_SITE_RATE", "");
        const QString emptyMeansDefault = SiteConfig::rateSite();
        qunsetenv("GLYPH_SITE_RATE");

        QCOMPARE(overridden, QString("https://rate.example.test"));
        QVERIFY(SiteConfig::isReachable(QUrl(overridden)));
        QCOMPARE(emptyMeansDefault, SiteConfig::rateSite());
        QCOMPARE(SiteConfig::rateSite(), QString("https://rate.quillar.invalid"));
    }

    void isReachable_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("reachable");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("placeholder") << "https://www.quillar.invalid/x" << false;
        QTest::newRow("upper case, trailing dot") << "HTTPS://WWW.QUILLAR.INVALID./x" << false;
        QTest::newRow("bare invalid") << "http://invalid" << false;
        QTest::newRow("invalid inside a name") << "https://quillar.invalid.example.com/" << true;
        QTest::newRow("ordinary host") << "https://www.example.test/" << true;
        QTest::newRow("mail to placeholder") << "mailto:support@quillar.invalid?subject=x" << false;
        QTest::newRow("mail to several") << "mailto:a@b.test,c@quillar.invalid" << false;
        QTest::newRow("mail without recipient") << "mailto:?subject=x&body=y" << true;
        QTest::newRow("store link") << "ms-windows-store://pdp/?productid=9N" << true;
    }

    void isReachable()
    {
        QFETCH(QString, url);
        QFETCH(bool, reachable);
        QCOMPARE(SiteConfig::isReachable(QUrl(url, QUrl::TolerantMode)), reachable);
    }

    void isRealLink_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("real");
        QTest::newRow("real page") << "http://127.0.0.1:6/glyphcraft" << true;
        QTest::newRow("placeholder page") << "https://de.quillar.invalid/glyphcraft" << false;
        QTest::newRow("share of a real page")
            << "http://127.0.0.1:1/social/share.php?link=http://127.0.0.1:4/sharer.php?u=http://127.0.0.1:7/glyphcraft"
            << true;
        QTest::newRow("share of a placeholder page")
            << "http://127.0.0.1:1/social/share.php?link=http://127.0.0.1:4/sharer.php?u=https://de.quillar.invalid/glyphcraft"
            << false;
        QTest::newRow("encoded placeholder page")
            << "http://127.0.0.1:4/sharer.php?u=https%3A%2F%2Fde.quillar.invalid%2Fglyphcraft" << false;
        QTest::newRow("mail naming a placeholder page")
            << "mailto:?subject=x&body=Glyphcraft - https://ru.quillar.invalid/glyphcraft" << false;
        QTest::newRow("mail naming a real page") << "mailto:?subject=x&body=Glyphcraft - http://127.0.0.1:8/glyphcraft"
                                                 << true;
        QTest::newRow("empty") << "" << false;
    }

    void isRealLink()
    {
        QFETCH(QString, link);
        QFETCH(bool, real);
        QCOMPARE(SiteConfig::isRealLink(link), real);
    }

    void siteFollowsLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("siteLanguages");
        QTest::addColumn<QString>("site");
        QTest::newRow("de") << "de" << QStringList() << SiteConfig::germanSite();
        QTest::newRow("ru") << "ru" << QStringList{"ru"} << SiteConfig::russianSite();
        QTest::newRow("fr unlisted") << "fr" << QStringList() << SiteConfig::internationalSite();
        QTest::newRow("fr listed") << "fr" << QStringList{"fr"} << "https://www.quillar.invalid/fr/";
        QTest::newRow("listing is case-sensitive") << "fr" << QStringList{"FR"}
                                                   << SiteConfig::internationalSite();
        QTest::newRow("en") << "en" << QStringList() << SiteConfig::internationalSite();
    }

    void siteFollowsLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, siteLanguages);
        QFETCH(QString, site);
        QCOMPARE(SiteConfig::siteForLanguage(language, siteLanguages), site);
    }

    void videoAndTutorialPagesFollowLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("video");
        QTest::addColumn<QString>("tutorial");
        QTest::newRow("de") << "de" << "http://www.quillar.de.invalid/video.php?view="
                            << "https://www.quillar.invalid/de/tutorial/tutorial.htm";
        QTest::newRow("nl") << "nl" << "http://www.quillar.nl.invalid/video.php?view="
                            << "https://www.quillar.invalid/nl/tutorial/tutorial.htm";
        QTest::newRow("es") << "es" << "http://www.quillar.org.invalid/video.php?view="
                            << "https://www.quillar.invalid/es/tutorial/tutorial.htm";
        QTest::newRow("en_US") << "en_US" << "http://www.quillar.org.invalid/video.php?view="
                               << "https://www.quillar.invalid/tutorial/tutorial.htm";
    }

    void videoAndTutorialPagesFollowLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, video);
        QFETCH(QString, tutorial);
        QCOMPARE(SiteConfig::videoPagePrefix(language), video);
        QCOMPARE(SiteConfig::tutorialPage(language), tutorial);
    }

    void placeholdersSwitchWebLinksOff_data()
    {
        QTest::addColumn<QByteArray>("leftAsPlaceholder");
        QTest::addColumn<bool>("placeholders");
        QTest::newRow("every address real") << QByteArray() << false;
        QTest::newRow("rate site left") << QByteArray("GLYPH_SITE_RATE") << true;
        QTest::newRow("contact left") << QByteArray("GLYPH_SITE_CONTACT") << true;
        QTest::newRow("video playlist left") << QByteArray("GLYPH_SITE_TUTORIAL_VIDEO") << true;
    }
    void placeholdersSwitchWebLinksOff()
    {
        QFETCH(QByteArray, leftAsPlaceholder);
        QFETCH(bool, placeholders);
        const QList<QByteArray> opened = {
            "GLYPH_SITE_INTERNATIONAL", "GLYPH_SITE_BASE", "GLYPH_SITE_RATE", "GLYPH_SITE_APPS",
            "GLYPH_SITE_PRIVACY", "GLYPH_SITE_TUTORIAL_VIDEO", "GLYPH_SITE_SHARE_FACEBOOK",
            "GLYPH_SITE_SHARE_TWITTER", "GLYPH_SITE_FOLLOW", "GLYPH_SITE_FACEBOOK_SHARER",
            "GLYPH_SITE_TWITTER_HOME", "GLYPH_SITE_FACEBOOK_PAGE", "GLYPH_SITE_YOUTUBE_CHANNEL",
            "GLYPH_SITE_TWITTER_PAGE", "GLYPH_SITE_CONTACT"};
        QVERIFY(SiteConfig::hasPlaceholderAddresses()); // the defaults
        for (const QByteArray &variable : opened) {
            if (variable != leftAsPlaceholder)
                qputenv(variable.constData(), variable == "GLYPH_SITE_CONTACT" ? "me@127.0.0.1"
                                                                                : "http://127.0.0.1:9/");
        }
        const bool got = SiteConfig::hasPlaceholderAddresses();
        for (const QByteArray &variable : opened)
            qunsetenv(variable.constData());
        QCOMPARE(got, placeholders);
    }

    void crossPromoPageSitsInTheAppsSite()
    {
        qputenv("GLYPH_SITE_APPS", "https://apps.example.test/apps");
        const QString page = SiteConfig::crossPromoPage();
        qunsetenv("GLYPH_SITE_APPS");
        QCOMPARE(page, QString("https://apps.example.test/apps/crosspromo.php"));
        QCOMPARE(SiteConfig::crossPromoPage(), QString("https://www.quillar.invalid/apps/crosspromo.php"));
    }
};

GLYPH_TEST_MAIN(TestSiteConfig)

#include "tst_siteconfig.moc"
