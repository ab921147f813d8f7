#pragma once

#include "app.h"

#include <QString>

class QJSEngine;

namespace QMWebView {
class NativeWebView;
}

// The program's application object, built by main before any window. On top
// of QMWidgets::App it publishes itself to a script engine as "app", marks the
// program as distributed from the maker's web site, silences logging, and
// arms two start-up timers: the automatic update check (2000 ms, when the
// setting "checkupdates" is on) and the usage ping (4000 ms). It also runs the
// manual update check and opens the more-apps page.
class MainApp : public QMWidgets::App
{
    Q_OBJECT

public:
    MainApp(int &argc, char **argv, QString organization, QString application);
    ~MainApp() override;

    // The maker site's addresses, without a trailing "/". They come from the
    // site configuration; the defaults lie in the reserved ".invalid" domain,
    // so a default build sends nothing anywhere.
    static QString siteBaseAddress();
    static QString fallbackSiteBaseAddress();
    static QString metricsAddress();

    // Promotion links stay web links: the link is returned unchanged.
    QString storeProductUrl(const QString &url) const override;

    // The engine the application object is published to as "app"; owned by
    // the application object.
    QJSEngine *scriptEngine() const { return m_scriptEngine; }

    // ---- update check -------------------------------------------------------
    // "/apps/buildsinfo/" + the lower-case application name + "_win".
    static QString buildsInfoPath();
    // The build-information text from one base address; empty after an HTTP
    // error, no answer within fetchAbortTime(), a reply over 64 KB or a no-op
    // address. When error is given it receives why the text is empty (a short
    // sentence), or nothing when the server answered.
    QString fetchBuildsInfo(QString base, QString *error = nullptr);
    // From siteBaseAddress(), or from fallbackSiteBaseAddress() when that is
    // empty; error as above, from the last address that was asked.
    QString fetchBuildsInfoWithFallback(QString *error = nullptr);
    // Fetches the build information and decides whether a newer build for
    // this system exists; keeps the build name in buildsInfoBuild(). False
    // when the check could not be made (also for a reply whose build date is
    // missing or unreadable); error then receives why (it is cleared when the
    // check was made).
    bool isNewerBuildAvailable(QString *error = nullptr);
    // Runs the modal update dialog with the "newer" or the "latest" text.
    void showUpdateDialog(bool newer);
    // Runs the modal update dialog saying that the check could not be made,
    // and why.
    void showCheckFailedDialog(const QString &reason);
    static QString windowsVersionTag();
    // The name of the newest build from the last reply that had one.
    static QString buildsInfoBuild();

    // The date ("yyyy-MM-dd") of the first start or of the last automatic
    // check that found a newer build.
    QString lastUpdateCheckDate() const;
    void setLastUpdateCheckDate(const QString &date);

    // Milliseconds each build-information download may take (default 7000).
    int fetchAbortTime() const { return m_fetchAbortTime; }
    void setFetchAbortTime(int ms) { m_fetchAbortTime = ms; }

public slots:
    void slotShowMoreApps() override;
    void slotCheckUpdate() override;
    // The automatic update check at start.
    void nop_cuos();
    // The usage ping.
    void slotDoWebMetrics();

private:
    QJSEngine *m_scriptEngine;
    QMWebView::NativeWebView *m_usagePingView; // parentless, deleted by the destructor
    int m_fetchAbortTime = 7000;
};
