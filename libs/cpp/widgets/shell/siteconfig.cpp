#include "siteconfig.h"

#include <QByteArray>

namespace QMWidgets {

QString SiteConfig::configured(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable).trimmed();
    return value.isEmpty() ? fallback : value;
}

QString SiteConfig::siteBaseAddress()
{
    return configured("GLYPH_SITE_BASE", QStringLiteral("http://www.quillar.invalid"));
}

QString SiteConfig::fallbackSiteBaseAddress()
{
    return configured("GLYPH_SITE_FALLBACK", QStringLiteral("http://mirror.quillar.invalid"));
}

QString SiteConfig::metricsAddress()
{
    return configured("GLYPH_SITE_METRICS", QStringLiteral("https://metrics.quillar.invalid"));
}

QString SiteConfig::internationalSite()
{
    return configured("GLYPH_SITE_INTERNATIONAL", QStringLiteral("https://www.quillar.invalid/"));
}

QString SiteConfig::germanSite()
{
    return configured("GLYPH_SITE_GERMAN", QStringLiteral("https://de.quillar.invalid/"));
}

QString SiteConfig::russianSite()
{
    return configured("GLYPH_SITE_RUSSIAN", QStringLiteral("https://ru.quillar.invalid/"));
}

QString SiteConfig::languageSitePattern()
{
    return configured("GLYPH_SITE_LANGUAGE", QStringLiteral("https://www.quillar.invalid/"));
}

QString SiteConfig::languageSite(const QString &code)
{
    return languageSitePattern() + code + QLatin1Char('/');
}

QString SiteConfig::siteForLanguage(const QString &language, const QStringList &siteLanguages)
{
    if (language == QLatin1String("de"))
        return germanSite();
    if (language == QLatin1String("ru"))
        return russianSite();
    if (siteLanguages.contains(language))
        return languageSite(language);
    return internationalSite();
}

QString SiteConfig::rateSite()
{
    return configured("GLYPH_SITE_RATE", QStringLiteral("https://rate.quillar.invalid"));
}

QString SiteConfig::appsSite()
{
    return configured("GLYPH_SITE_APPS", QStringLiteral("https://www.quillar.invalid/apps/"));
}

QString SiteConfig::crossPromoPage()
{
    QString apps = appsSite();
    if (!apps.endsWith(QLatin1Char('/')))
        apps += QLatin1Char('/');
    return apps + QStringLiteral("crosspromo.php");
}

QString SiteConfig::contactAddress()
{
    return configured("GLYPH_SITE_CONTACT", QStringLiteral("support@quillar.invalid"));
}

QString SiteConfig::facebookShareRedirect()
{
    return configured("GLYPH_SITE_SHARE_FACEBOOK", QStringLiteral("https://www.quillar.invalid"));
}

QString SiteConfig::twitterShareRedirect()
{
    return configured("GLYPH_SITE_SHARE_TWITTER", QStringLiteral("https://www.quillar.invalid"));
}

QString SiteConfig::followRedirect()
{
    return configured("GLYPH_SITE_FOLLOW", QStringLiteral("https://www.quillar.invalid"));
}

QString SiteConfig::facebookSharer()
{
    return configured("GLYPH_SITE_FACEBOOK_SHARER", QStringLiteral("https://www.facebook.invalid"));
}

QString SiteConfig::twitterHome()
{
    return configured("GLYPH_SITE_TWITTER_HOME", QStringLiteral("https://twitter.invalid"));
}

QString SiteConfig::facebookPage()
{
    return configured("GLYPH_SITE_FACEBOOK_PAGE", QStringLiteral("https://www.facebook.invalid/quillar"));
}

QString SiteConfig::youtubeChannel()
{
    return configured("GLYPH_SITE_YOUTUBE_CHANNEL",
                      QStringLiteral("https://www.youtube.invalid/user/quillar"));
}

QString SiteConfig::twitterPage()
{
    return configured("GLYPH_SITE_TWITTER_PAGE", QStringLiteral("https://twitter.invalid/quillar"));
}

QString SiteConfig::vkontaktePage()
{
    return configured("GLYPH_SITE_VKONTAKTE_PAGE", QStringLiteral("https://vk.invalid/quillar"));
}

QString SiteConfig::videoHostPattern()
{
    return configured("GLYPH_SITE_VIDEO_HOST", QStringLiteral("http://www.quillar.%1.invalid"));
}

QString SiteConfig::videoTopLevelDomain(const QString &language)
{
    static const QStringList own = {QStringLiteral("de"), QStringLiteral("ru"), QStringLiteral("fr"),
                                    QStringLiteral("it"), QStringLiteral("nl")};
    return own.contains(language) ? language : QStringLiteral("org");
}

QString SiteConfig::videoPagePrefix(const QString &language)
{
    QString host = videoHostPattern();
    host.replace(QLatin1String("%1"), videoTopLevelDomain(language));
    return host + QStringLiteral("/video.php?view=");
}

QString SiteConfig::videoShortLinkPrefix()
{
    return configured("GLYPH_SITE_VIDEO_SHORT", QStringLiteral("https://videos.invalid/"));
}

QString SiteConfig::videoWatchPrefix()
{
    return configured("GLYPH_SITE_VIDEO_WATCH", QStringLiteral("https://www.videos.invalid/watch?v="));
}

QString SiteConfig::tutorialSite()
{
    return configured("GLYPH_SITE_TUTORIAL", QStringLiteral("https://www.quillar.invalid/"));
}

QString SiteConfig::tutorialPage(const QString &language)
{
    const QString folder = language.contains(QLatin1String("en")) ? QString()
                                                                  : language + QLatin1Char('/');
    QString site = tutorialSite();
    if (!site.endsWith(QLatin1Char('/')))
        site += QLatin1Char('/');
    return site + folder + QStringLiteral("tutorial/tutorial.htm");
}

QString SiteConfig::tutorialVideo()
{
    return configured("GLYPH_SITE_TUTORIAL_VIDEO",
                      QStringLiteral("https://www.videos.invalid/playlist?list=glyphcraft"));
}

QString SiteConfig::privacyPolicyPage()
{
    return configured("GLYPH_SITE_PRIVACY", QStringLiteral("https://www.quillar.invalid/privacy.html"));
}

QString SiteConfig::appStoreAppPage()
{
    return configured("GLYPH_SITE_APPSTORE", QStringLiteral("https://apps.store.invalid/app/"));
}

QString SiteConfig::organizationDomain()
{
    return configured("GLYPH_SITE_DOMAIN", QStringLiteral("quillar.invalid"));
}

// The three further addresses are kept base64-encoded in the binary.
QString SiteConfig::siteUrlCom()
{
    return configured("GLYPH_SITE_COM",
                      QString::fromLatin1(QByteArray::fromBase64("aHR0cHM6Ly93d3cucXVpbGxhci5pbnZhbGlk")));
}

QString SiteConfig::siteUrlNet()
{
    return configured("GLYPH_SITE_NET", QString::fromLatin1(QByteArray::fromBase64(
                                            "aHR0cHM6Ly93d3cucXVpbGxhci1uZXQuaW52YWxpZA==")));
}

QString SiteConfig::siteUrlDe()
{
    return configured("GLYPH_SITE_DE", QString::fromLatin1(QByteArray::fromBase64(
                                           "aHR0cHM6Ly93d3cucXVpbGxhci1kZS5pbnZhbGlk")));
}

static bool isPlaceholderHost(QString host)
{
    host = host.toLower();
    while (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    return host == QLatin1String("invalid") || host.endsWith(QLatin1String(".invalid"));
}

bool SiteConfig::isReachable(const QUrl &url)
{
    if (url.isEmpty() || !url.isValid())
        return false;
    if (url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0) {
        // The recipients sit in the path: "a@b.c,d@e.f".
        const QStringList recipients = url.path().split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString &recipient : recipients) {
            const int at = recipient.lastIndexOf(QLatin1Char('@'));
            if (at >= 0 && isPlaceholderHost(recipient.mid(at + 1).trimmed()))
                return false;
        }
        return true;
    }
    return !isPlaceholderHost(url.host());
}

static bool isSchemeCharacter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+')
        || c == QLatin1Char('-') || c == QLatin1Char('.');
}

bool SiteConfig::isRealLink(const QString &link)
{
    if (!isReachable(QUrl(link, QUrl::TolerantMode)))
        return false;
    // Each "scheme://" inside the text starts an address that runs to the end
    // of it; a percent-encoded one counts too.
    const QString text = QUrl::fromPercentEncoding(link.toUtf8());
    const QString separator = QStringLiteral("://");
    for (int at = text.indexOf(separator); at >= 0; at = text.indexOf(separator, at + separator.size())) {
        int start = at;
        while (start > 0 && isSchemeCharacter(text.at(start - 1)))
            --start;
        if (start < at && !isReachable(QUrl(text.mid(start), QUrl::TolerantMode)))
            return false;
    }
    return true;
}

bool SiteConfig::hasPlaceholderAddresses()
{
    const QStringList opened = {
        internationalSite(),     siteBaseAddress(),       rateSite(),
        appsSite(),              privacyPolicyPage(),     tutorialVideo(),
        facebookShareRedirect(), twitterShareRedirect(),  followRedirect(),
        facebookSharer(),        twitterHome(),           facebookPage(),
        youtubeChannel(),        twitterPage(),           QStringLiteral("mailto:") + contactAddress()};
    for (const QString &address : opened) {
        if (!isReachable(QUrl(address, QUrl::TolerantMode)))
            return true;
    }
    return false;
}

} // namespace QMWidgets
