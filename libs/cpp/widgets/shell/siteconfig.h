#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace QMWidgets {

// Every address of the maker's web presence lives here. The defaults are
// placeholder hosts under the reserved ".invalid" domain, so a default build
// contacts nobody: callers test isReachable() and do nothing for such a link.
// Each value can be replaced at run time by an environment variable (a
// non-empty value wins; it is read on every call):
//
//   GLYPH_SITE_BASE             site base address (build info, update page, more-apps page)
//                               default "http://www.quillar.invalid"
//   GLYPH_SITE_FALLBACK         fallback site base address for the build info
//                               default "http://mirror.quillar.invalid"
//   GLYPH_SITE_METRICS          usage-ping address
//                               default "https://metrics.quillar.invalid"
//   GLYPH_SITE_INTERNATIONAL    international site, ends in "/"
//                               default "https://www.quillar.invalid/"
//   GLYPH_SITE_GERMAN           German site, ends in "/"
//                               default "https://de.quillar.invalid/"
//   GLYPH_SITE_RUSSIAN          Russian site, ends in "/"
//                               default "https://ru.quillar.invalid/"
//   GLYPH_SITE_LANGUAGE         pattern of the other language sites; the language
//                               code and "/" complete it
//                               default "https://www.quillar.invalid/"
//   GLYPH_SITE_RATE             rate site ("/rate.php?appname=" follows)
//                               default "https://rate.quillar.invalid"
//   GLYPH_SITE_APPS             apps site, ends in "/apps/" (cross-promotion page and
//                               social pages below it)
//                               default "https://www.quillar.invalid/apps/"
//   GLYPH_SITE_CONTACT          contact mail address
//                               default "support@quillar.invalid"
//   GLYPH_SITE_SHARE_FACEBOOK   base of the Facebook share redirect ("/social/share.php?link=")
//                               default "https://www.quillar.invalid"
//   GLYPH_SITE_SHARE_TWITTER    base of the Twitter share redirect
//                               default "https://www.quillar.invalid"
//   GLYPH_SITE_FOLLOW           base of the follow redirect ("/social/join.php?link=")
//                               default "https://www.quillar.invalid"
//   GLYPH_SITE_FACEBOOK_SHARER  Facebook's own address ("/sharer.php?u=" follows)
//                               default "https://www.facebook.invalid"
//   GLYPH_SITE_TWITTER_HOME     Twitter's own address ("/home?status=" follows)
//                               default "https://twitter.invalid"
//   GLYPH_SITE_FACEBOOK_PAGE    the maker's Facebook page
//                               default "https://www.facebook.invalid/quillar"
//   GLYPH_SITE_YOUTUBE_CHANNEL  the maker's video channel
//                               default "https://www.youtube.invalid/user/quillar"
//   GLYPH_SITE_TWITTER_PAGE     the maker's Twitter page
//                               default "https://twitter.invalid/quillar"
//   GLYPH_SITE_VKONTAKTE_PAGE   the maker's VKontakte page
//                               default "https://vk.invalid/quillar"
//   GLYPH_SITE_VIDEO_HOST       the maker's video-page host; "%1" stands for the
//                               top-level domain chosen by language (de, ru, fr, it, nl, org)
//                               default "http://www.quillar.%1.invalid"
//   GLYPH_SITE_VIDEO_SHORT      the video site's short-link prefix (before the video id)
//                               default "https://videos.invalid/"
//   GLYPH_SITE_VIDEO_WATCH      the video site's watch-page prefix (before the video id)
//                               default "https://www.videos.invalid/watch?v="
//   GLYPH_SITE_TUTORIAL         site holding the tutorial pages, ends in "/"
//                               default "https://www.quillar.invalid/"
//   GLYPH_SITE_TUTORIAL_VIDEO   the program's tutorial-video playlist
//                               default "https://www.videos.invalid/playlist?list=glyphcraft"
//   GLYPH_SITE_PRIVACY          the program's privacy-policy page
//                               default "https://www.quillar.invalid/privacy.html"
//   GLYPH_SITE_APPSTORE         desktop app store's app-page address, ends in "/app/"
//                               default "https://apps.store.invalid/app/"
//   GLYPH_SITE_DOMAIN           organisation domain
//                               default "quillar.invalid"
//   GLYPH_SITE_COM              first of three further maker addresses
//                               default "https://www.quillar.invalid"
//   GLYPH_SITE_NET              second one
//                               default "https://www.quillar-net.invalid"
//   GLYPH_SITE_DE               third one
//                               default "https://www.quillar-de.invalid"
class SiteConfig
{
public:
    static QString siteBaseAddress();
    static QString fallbackSiteBaseAddress();
    static QString metricsAddress();

    static QString internationalSite();
    static QString germanSite();
    static QString russianSite();
    static QString languageSitePattern();
    // The site of one further language: the pattern, the code and "/".
    static QString languageSite(const QString &code);
    // "de" the German site, "ru" the Russian site, a code in siteLanguages
    // its own language site, anything else the international site.
    static QString siteForLanguage(const QString &language, const QStringList &siteLanguages);

    static QString rateSite();
    static QString appsSite();
    // The apps site followed by "crosspromo.php".
    static QString crossPromoPage();
    static QString contactAddress();

    static QString facebookShareRedirect();
    static QString twitterShareRedirect();
    static QString followRedirect();
    static QString facebookSharer();
    static QString twitterHome();
    static QString facebookPage();
    static QString youtubeChannel();
    static QString twitterPage();
    static QString vkontaktePage();

    static QString videoHostPattern();
    // "de", "ru", "fr", "it", "nl" keep their own domain, every other language "org".
    static QString videoTopLevelDomain(const QString &language);
    // The host for the language followed by "/video.php?view=".
    static QString videoPagePrefix(const QString &language);
    static QString videoShortLinkPrefix();
    static QString videoWatchPrefix();

    static QString tutorialSite();
    // The tutorial site, the language folder ("" for languages containing "en",
    // else the code and "/") and "tutorial/tutorial.htm".
    static QString tutorialPage(const QString &language);
    static QString tutorialVideo();
    static QString privacyPolicyPage();
    static QString appStoreAppPage();
    static QString organizationDomain();

    // Held as base64 text and decoded on every call.
    static QString siteUrlCom();
    static QString siteUrlNet();
    static QString siteUrlDe();

    // False for an empty or invalid URL and for a host (or mail domain) in the
    // reserved ".invalid" domain: such a request must not be made at all.
    static bool isReachable(const QUrl &url);
    // True when the link (parsed tolerantly) and every address written into it
    // are reachable: a share or follow redirect carries its target appended
    // unencoded, a share link the page it shares, a mail the link in its text.
    // The entries and buttons that open a link show only when this holds.
    static bool isRealLink(const QString &link);
    // True while any address that every language's menus and buttons open is
    // still a placeholder; the program then switches its web links off
    // (App::setWebLinksDisabled). The addresses that depend on the language
    // (the language sites, the VKontakte page) are judged by the entries that
    // open them, through isRealLink.
    static bool hasPlaceholderAddresses();

private:
    static QString configured(const char *variable, const QString &fallback);
};

} // namespace QMWidgets
