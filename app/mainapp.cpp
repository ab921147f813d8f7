#include "mainapp.h"
#include "appupdatedialog.h"
#include "buildsinfo.h"

#include "downloader.h"
#include "nativewebview.h"
#include "platforminfo.h"
#include "siteconfig.h"

#include <QDate>
#include <QDebug>
#include <QJSEngine>
#include <QPixmap>
#include <QQmlEngine>
#include <QStyle>
#include <QTimer>
#include <QUrl>

namespace {
const char kLastUpdateCheckKey[] = "LastUpdateCheckDate";
const char kDateFormat[] = "yyyy-MM-dd";
// The build information is a few dozen bytes of text: a larger reply is no
// build information and is not read to its end.
const qint64 kMaxBuildsInfoSize = 64 * 1024;
QString s_buildsInfoBuild;

void runUpdateDialog(const QString &text, const QPixmap &icon)
{
    AppUpdateDialog dialog(nullptr);
    dialog.setText(text);
    dialog.setPixmap(icon); // a missing picture leaves the icon empty
    dialog.exec();
}
}

MainApp::MainApp(int &argc, char **argv, QString organization, QString application)
    : QMWidgets::App(argc, argv, organization, application)
{
    // The engine must not take the application object for a garbage-collected
    // script object: it has no Qt parent, so the ownership is set explicitly.
    m_scriptEngine = new QJSEngine(this);
    QQmlEngine::setObjectOwnership(this, QQmlEngine::CppOwnership);
    m_scriptEngine->globalObject().setProperty(QStringLiteral("app"),
                                               m_scriptEngine->newQObject(this));

    setWebDistribution(true);
    setLogToNowhere();

    m_usagePingView = new QMWebView::NativeWebView;

    QTimer::singleShot(4000, this, SLOT(slotDoWebMetrics()));
    if (AppUpdateDialog::checkUpdatesOnStart())
        QTimer::singleShot(2000, this, SLOT(nop_cuos()));
}

MainApp::~MainApp()
{
    // Deleted here, not later: after the event loop has ended a deferred
    // delete would never run. Deleting the view aborts a running ping.
    delete m_usagePingView;
    m_usagePingView = nullptr;
    // The engine goes before the object it publishes.
    delete m_scriptEngine;
    m_scriptEngine = nullptr;
}

QString MainApp::siteBaseAddress()
{
    return QMWidgets::SiteConfig::siteBaseAddress();
}

QString MainApp::fallbackSiteBaseAddress()
{
    return QMWidgets::SiteConfig::fallbackSiteBaseAddress();
}

QString MainApp::metricsAddress()
{
    return QMWidgets::SiteConfig::metricsAddress();
}

QString MainApp::storeProductUrl(const QString &url) const
{
    return url;
}

void MainApp::slotShowMoreApps()
{
    openLink(siteBaseAddress() + QStringLiteral("/apps/crosspromo.php?appname=")
             + QStringLiteral("\"\""));
}

void MainApp::slotDoWebMetrics()
{
    QString text = metricsAddress() + QStringLiteral("/?");
    text += isNewInstallation() ? QStringLiteral("f=") : QStringLiteral("a=");
    text += applicationName().toLower().remove(QLatin1Char(' '));
    // Fire and forget: nothing of the answer is looked at.
    if (m_usagePingView)
        m_usagePingView->load(QUrl(text, QUrl::TolerantMode));
}

// ---------------------------------------------------------------------------
// Update check

QString MainApp::buildsInfoPath()
{
    return QStringLiteral("/apps/buildsinfo/") + applicationName().toLower()
        + QStringLiteral("_win");
}

QString MainApp::fetchBuildsInfo(QString base, QString *error)
{
    const QString address = base + buildsInfoPath();
    QMRequest::Downloader downloader;
    downloader.setAbortTime(m_fetchAbortTime);
    downloader.setMaxReplySize(kMaxBuildsInfoSize);
    const QString text = BuildsInfo::textFromReply(downloader.download(address, 0));
    if (error) {
        *error = QMRequest::Downloader::isNoOpAddress(address) ? tr("No update server is set up.")
                                                               : downloader.errorString();
    }
    return text;
}

QString MainApp::fetchBuildsInfoWithFallback(QString *error)
{
    QString firstError;
    const QString text = fetchBuildsInfo(siteBaseAddress(), &firstError);
    if (!text.isEmpty()) {
        if (error)
            error->clear();
        return text;
    }
    const QString fallback = fallbackSiteBaseAddress();
    const QString fallbackText = fetchBuildsInfo(fallback, error);
    // A fallback that is not set up says nothing about why the first failed.
    if (error && fallbackText.isEmpty()
        && QMRequest::Downloader::isNoOpAddress(fallback + buildsInfoPath()))
        *error = firstError;
    return fallbackText;
}

bool MainApp::isNewerBuildAvailable(QString *error)
{
    QString failure;
    const BuildsInfo info = BuildsInfo::parse(fetchBuildsInfoWithFallback(&failure));
    if (failure.isEmpty() && !info.isValid()) {
        failure = tr("The reply holds no build information.");
    } else if (failure.isEmpty() && !info.date().isValid()) {
        // Without its date a build cannot be compared with the running one.
        QString date = info.dateText();
        if (date.isEmpty()) {
            failure = tr("The reply gives no build date.");
        } else {
            // The server's text is quoted, cut to what a date needs.
            const int shown = 20;
            if (date.size() > shown)
                date = date.left(date.at(shown - 1).isHighSurrogate() ? shown - 1 : shown)
                       + QChar(0x2026);
            failure = tr("The build date cannot be read: %1").arg(date);
        }
    }
    if (error)
        *error = failure;
    if (info.hasBuild())
        s_buildsInfoBuild = info.build();
    return info.offersUpdate(buildDate(), windowsVersionTag());
}

void MainApp::showUpdateDialog(bool newer)
{
    if (newer) {
        runUpdateDialog(tr("<CENTER><H2>The newer version ") + s_buildsInfoBuild + tr(" of ")
                            + applicationName()
                            + tr(" is available.<br>Get the newest version?</H2></CENTER>"),
                        QPixmap(QStringLiteral(":/update_available.png")));
    } else {
        runUpdateDialog(tr("<CENTER><H2>You are using the latest version available.<br>"
                           "Go to the app web page anyway?</H2></CENTER>"),
                        QPixmap(QStringLiteral(":/update_not_available.png")));
    }
}

void MainApp::showCheckFailedDialog(const QString &reason)
{
    runUpdateDialog(tr("<CENTER><H2>The check for updates could not be made.</H2><P>")
                        + reason.toHtmlEscaped()
                        + tr("</P><H2>Go to the app web page anyway?</H2></CENTER>"),
                    style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(64, 64));
}

QString MainApp::windowsVersionTag()
{
    return QMWidgets::PlatformInfo::windowsVersionTag();
}

QString MainApp::buildsInfoBuild()
{
    return s_buildsInfoBuild;
}

QString MainApp::lastUpdateCheckDate() const
{
    return value(QLatin1String(kLastUpdateCheckKey)).toString();
}

void MainApp::setLastUpdateCheckDate(const QString &date)
{
    setValue(QLatin1String(kLastUpdateCheckKey), date);
}

void MainApp::slotCheckUpdate()
{
    // The check may take several seconds; the windows stay usable meanwhile.
    setOverrideCursor(Qt::BusyCursor);
    QString failure;
    const bool newer = isNewerBuildAvailable(&failure);
    restoreOverrideCursor();
    if (failure.isEmpty())
        showUpdateDialog(newer);
    else
        showCheckFailedDialog(failure);
}

void MainApp::nop_cuos()
{
    const QString stored = lastUpdateCheckDate();
    const QDate last = QDate::fromString(stored, QLatin1String(kDateFormat));
    const QDate today = QDate::currentDate();
    if (stored.isEmpty() || !last.isValid()) {
        // First start: remember the day, check from the sixth day on.
        setLastUpdateCheckDate(today.toString(QLatin1String(kDateFormat)));
        return;
    }
    // No newer build: nothing is stored, so the next start asks again.
    if (last.daysTo(today) > 5 && isNewerBuildAvailable()) {
        showUpdateDialog(true);
        setLastUpdateCheckDate(today.toString(QLatin1String(kDateFormat)));
    }
}
