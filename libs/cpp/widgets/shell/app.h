#pragma once

#include "blenderwidget.h"

#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QDialog>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class QSettings;
class QUrl;

namespace QMWidgets {

// The application object of the shell. Exactly one exists per process; every
// part of the system reaches it through App::instance(). It owns the settings
// store, knows the per-user folders, installs the log handlers, holds the
// language, the main widget with its blend overlay, the links the menus open
// and the slots behind every menu entry and behind the reminder cycle.
class App : public QApplication
{
    Q_OBJECT

public:
    // A start-up hook is called with 1 at the end of construction.
    typedef void (*InitHook)(int);

    App(int &argc, char **argv, QString organization, QString application);
    ~App() override;

    // The running QCoreApplication as App; null when none exists or it is no App.
    static App *instance();

    // ---- language ---------------------------------------------------------
    // The UI language code. The first call creates the translations manager,
    // which reads the setting "Language" and loads the translators.
    QString language() const;
    void setLanguage(const QString &language);
    // "" when the language contains "en", else the language followed by "/".
    QString languagePathPart() const;

    // ---- state and plain accessors ---------------------------------------
    bool isInactive() const;

    // The main widget is only watched, never owned: it may be destroyed first.
    QWidget *mainWidget() const;
    void setMainWidget(QWidget *widget);

    QString displayName() const;
    void setDisplayName(const QString &name);

    QString aboutText() const;
    void setAboutText(const QString &text);
    void appendAboutText(const QString &text);

    bool areWebLinksDisabled() const;
    void setWebLinksDisabled(bool disabled);

    bool isWebDistribution() const;
    void setWebDistribution(bool web);
    bool isStoreDistribution() const;

    void setPromotedApp(const QString &a, const QString &b);
    void setPromotedAppLink(const QString &link);
    void setPromotedAppFallbackLink(const QString &link);
    QString promotedAppText() const;
    QString promotedAppSecondText() const;
    QString promotedAppLink() const;
    QString promotedAppFallbackLink() const;

    // Build date of this binary ("M/d/yyyy" text and as QDate).
    static QString buildDateString();
    static QDate buildDate();
    // The same conversion for any compiler date text ("Sep 12 2019", "Sep  2 2019").
    static QString buildDateStringFrom(const QString &compilerDate);

    static QString bundleIdentifier();

    // ---- screen queries -----------------------------------------------------
    static qreal devicePixelRatio();
    static bool isSmallScreen();
    static int screenMinSide();
    static int screenMaxSide();
    static bool isLandscape();
    static bool isPortrait();

    // ---- widget helpers -----------------------------------------------------
    // First top-level widget (or descendant of one) whose class name matches; null if none.
    static QWidget *findTopLevelByClass(const QString &className);
    static bool isDescendant(QWidget *widget, QObject *object);
    // Posts a press and a release at (x, y); a negative coordinate means the centre.
    static void simulateClick(QWidget *widget, int x = -1, int y = -1,
                              Qt::MouseButton button = Qt::LeftButton,
                              Qt::MouseButtons buttons = Qt::LeftButton);

    static void addInitHook(InitHook hook);

    // ---- settings store -----------------------------------------------------
    // Keys are prefixed with applicationName() + "/" unless plain keys are set.
    QVariant value(const QString &key, const QVariant &defaultValue = QVariant()) const;
    void setValue(const QString &key, const QVariant &value);
    void setPlainSettingsKeys(bool plain);
    bool plainSettingsKeys() const;
    void beginGroup(const QString &prefix);
    void endGroup();
    QStringList childKeys() const;
    // The store; owned by the application object.
    QSettings *settings() const;
    bool isFirstStart();
    void startFirstRunCount();

    // ---- per-user folders ----------------------------------------------------
    // Each getter computes its path from the standard locations and the current
    // names; with create true the folder is made (failure is not reported).
    static QString workDirectory(bool create = false);
    static QString downloadsDirectory(bool create = false);
    static QString supportDirectory(bool create = false);
    static QString dataDirectory(bool create = false);
    static QString cachesDirectory(bool create = false);
    static QString documentsDirectory(bool create = false);
    static QString picturesDirectory(bool create = false);
    static QString musicDirectory(bool create = false);
    static QString moviesDirectory(bool create = false);
    // The first of the platform's locations followed by `below`; the work
    // folder when the platform gives none. Made when create is true.
    static QString locationFolder(const QStringList &locations, const QString &below,
                                  bool create = false);
    static void ensureDirectory(const QString &path);

    QString resourcesDirectory() const;
    void setLastSaveDirectory(const QString &path);
    QString lastSaveDirectory() const;
    void setLastSettingsDirectory(const QString &path);
    QString lastSettingsDirectory() const;

    // True when none of the nine folders exists now (nothing is created).
    static bool detectNewInstallation();
    // The probe's answer at construction, before the work folder was made.
    bool isNewInstallation() const;
    static void dumpDirectories();
    // Copies source to folder/name (name empty: the source's file name). An
    // existing target is kept and counts as success; a source that is no
    // regular file (nor a resource) and a failed write return false, the
    // latter removing the partial target.
    static bool copyFileInto(const QString &source, const QString &folder, const QString &name);
    static bool copyFileToSupportDirectory(const QString &source, const QString &name);

    // ---- log handlers --------------------------------------------------------
    static void setLogToNowhere();
    static void setLogToConsole();
    static void setLogToFile();
    static void silentMessageHandler(QtMsgType type, const QMessageLogContext &context,
                                     const QString &message);
    // Appends one line to protocol.log in the support folder; a fatal message aborts.
    static void fileMessageHandler(QtMsgType type, const QMessageLogContext &context,
                                   const QString &message);
    // The line fileMessageHandler writes (without line end); empty for types it skips.
    static QString logLine(QtMsgType type, const QMessageLogContext &context,
                           const QString &message, const QDateTime &time);

    // ---- links and menu services ---------------------------------------------
    void setHelpSlides(const QStringList &slides);
    QStringList helpSlides() const;
    void setVideoTutorialUrl(const QString &url);
    QString videoTutorialUrl() const;
    void showHelpIfWanted();
    void setPrivacyPolicyUrl(const QString &url);
    QString privacyPolicyUrl() const;
    void setAppPageUrl(const QString &url);
    QString appPageUrl() const;
    void setSharePage(const QString &page);
    void setSocialShareLinks(const QString &page);
    void setSiteLanguages(const QStringList &languages);
    QStringList siteLanguages() const;
    bool listContains(const QString &code) const;
    QString facebookShareUrl() const;
    QString twitterShareUrl() const;
    QString vkontakteShareUrl() const;
    void setFacebookShareUrl(const QString &url);
    void setTwitterShareUrl(const QString &url);
    void setVkontakteShareUrl(const QString &url);
    QString storeIdFor(const QString &name) const;
    QString storeId() const;
    static QString osName();
    // osName() for a given QSysInfo::WinVersion value.
    static QString osNameFor(int windowsVersion);
    static bool isAutoUpdateAllowed();
    static QString siteUrlCom();
    static QString siteUrlNet();
    static QString siteUrlDe();

    // Opens a link (tolerant parsing) through openUrlWatched(): a failure
    // the opener reports later is told in a warning that names the link and
    // the cause. Returns whether a program started. Empty links and links
    // that name a placeholder host anywhere (SiteConfig::isRealLink false)
    // open nothing.
    static bool openLink(const QString &link);
    // Os::linkOpener(), Os::setLinkOpener() and Os::openUrlWatched(): the
    // program Show, Share by e-mail, Contact Us and openLink() hand their
    // links to, watched for how it ends.
    static QString linkOpener();
    static void setLinkOpener(const QString &program);
    static bool openUrlWatched(const QUrl &url, const QString &missing, const QObject *context,
                               std::function<void(const QString &cause)> failed);
    // Tells the user, under the given title, that no program took a mail link.
    static void warnNoMailProgram(const QString &title);
    // What slotSupportPage() opens: the application page link, else the
    // international site.
    QString supportPageLink() const;

    // ---- ending unattended ---------------------------------------------------
    // Lets SIGTERM, SIGINT and SIGHUP end the program through
    // slotQuitUnattended(); one ignored when this is called stays ignored.
    // False when the signals could not be caught.
    bool quitOnTerminationSignals();
    // True from slotQuitUnattended() until an event loop runs again: what
    // runs on the way out then asks nothing of the user (no reminder, no
    // dialog; a failure is written to the standard error stream).
    bool isQuittingUnattended() const { return m_quittingUnattended; }

    // ---- reminder cycle ------------------------------------------------------
    void startReminder(int interval, int kinds);
    void startRateReminder(int interval);
    void startTellReminder(int interval);
    void startJoinReminder(int interval);
    void setReminderInterval(int interval);
    void setReminderDelay(int milliseconds);
    int reminderInterval() const;
    int reminderDelay() const;
    int reminderKind() const;

    // What one step of the cycle does for a quit counter: show the reminder
    // when the counter is a multiple of the interval (an interval below 1
    // counts as 1), then store the next counter (1 after the largest value or
    // below -1). With reminders off nothing is shown and nothing is stored.
    struct ReminderStep
    {
        bool show = false;
        bool store = false;
        int nextCount = 0;
    };
    static ReminderStep reminderStep(int interval, int counter, bool enabled);

    // ---- own virtual operations ------------------------------------------------
    virtual bool hasPromotedApp() const;
    // The store product page for a product page link; "" when the product is unknown.
    virtual QString storeProductUrl(const QString &link) const;

signals:
    void mouseButtonPress();
    void applicationActivated();
    void applicationDeactivated();
    void applicationExposed();
    void dockClicked();
    void fileOpenRequest(QString file);

public slots:
    // Ends the program as Quit does, for a request nobody may be there to
    // answer (a termination signal): see isQuittingUnattended().
    void slotQuitUnattended();
    void slotCallRateReminderInternal();
    void slotCallRateReminder();
    void slotCallTellReminder();
    void slotCallJoinReminder();
    void slotImmediatelyRate();
    void slotStartCount();
    void slotShowPrivacyPolicy();
    void slotShowCssEditor();
    void slotContactUs();
    void slotTellFriend();
    void slotRateApp();
    void slotSupportPage();
    void slotHelp();
    void slotGoToPromotedApp();
    void slotShareApp();
    void slotJoin();
    void slotAbout();
    void slotSetBlendMainWidget(bool on);
    virtual void slotCheckUpdate();
    virtual void slotShowMoreApps();

protected:
    bool event(QEvent *e) override;

public:
    bool notify(QObject *receiver, QEvent *e) override;

protected:
    // Fills the store-id map (product identifier -> store product id).
    void initStoreIds();

private:
    // Acts on a reminder dialog's choice: rate or mail open their link, and
    // these and "never ask again" switch the reminders off.
    // Opens the rating page (slotRateApp); false when nothing could be opened.
    bool openRatingPage();
    // Opens a mail link through the watched opener; every failure is told
    // under the title.
    void openMailLink(const QString &link, const QString &title);
    void applyReminderChoice(int choice);

    QSettings *m_settings = nullptr;
    QString m_language;
    bool m_inactive = false;
    QString m_lastSettingsDirectory;
    QString m_lastSaveDirectory;
    int m_reminderInterval = 10;
    int m_reminderDelay = 4000;
    QPointer<QDialog> m_helpDialog;
    QStringList m_helpSlides;
    QString m_videoTutorialUrl;
    QString m_promotedAppText;
    QString m_promotedAppSecondText;
    QString m_promotedAppLink;
    QString m_promotedAppFallbackLink;
    int m_reminderKind = 0;
    QString m_facebookShareUrl;
    QString m_twitterShareUrl;
    QString m_vkontakteShareUrl;
    bool m_plainKeys = false;
    QPointer<QWidget> m_mainWidget;
    QPointer<BlenderWidget> m_blender;
    QString m_appPageUrl;
    QString m_resourcesDirectory;
    bool m_webLinksDisabled = false;
    QString m_aboutText;
    QString m_displayName;
    QStringList m_siteLanguages;
    QString m_privacyPolicyUrl;
    bool m_newInstallation = false;
    QMap<QString, QString> m_storeIds;
    bool m_webDistribution = false;
    bool m_reminderStepRunning = false;
    bool m_quittingUnattended = false;
};

} // namespace QMWidgets
