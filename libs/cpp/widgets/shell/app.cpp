#include "app.h"

#include "aboutdialog.h"
#include "csseditor.h"
#include "filehelpers.h"
#include "helpdialog.h"
#include "joindialog.h"
#include "joinreminderdialog.h"
#include "mmessagebox.h"
#include "os.h"
#include "platforminfo.h"
#include "rateappstoredialog.h"
#include "siteconfig.h"
#include "telldialog.h"
#include "tellreminderdialog.h"
#include "translationsmanager.h"

#include <QDebug>
#include <QDesktopServices>
#include <QDesktopWidget>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>
#include <QTime>
#include <QTimer>
#include <QUrl>

#include <climits>
#include <cstdlib>

namespace QMWidgets {

namespace {

QList<App::InitHook> &initHooks()
{
    static QList<App::InitHook> hooks;
    return hooks;
}

// Set while fileMessageHandler writes, so a message raised by the writing
// itself is dropped instead of recursing.
thread_local bool t_writingLog = false;

const char *const kQtProjectAddress = "https://www.qt.io";

// Organisation and application name below a standard location.
QString namedPart()
{
    return QLatin1Char('/') + QCoreApplication::organizationName() + QLatin1Char('/')
        + QCoreApplication::applicationName() + QLatin1Char('/');
}

QString created(const QString &path, bool create)
{
    if (create)
        App::ensureDirectory(path);
    return path;
}

const char *const kStoreProductPage = "ms-windows-store://pdp/?productid=";

// Runs a dialog made on the heap modally and deletes it afterwards. Its parent
// may be destroyed during exec() and take the dialog along; the guard sees that.
void execAndDelete(QDialog *dialog)
{
    QPointer<QDialog> guard(dialog);
    dialog->exec();
    delete guard.data();
}

// The same for a reminder dialog; returns the user's choice (no choice when
// the dialog was destroyed while it ran).
int execReminder(ReminderStateDialog *dialog)
{
    QPointer<ReminderStateDialog> guard(dialog);
    dialog->exec();
    const int choice = guard ? guard->state() : int(ReminderStateDialog::NoChoice);
    delete guard.data();
    return choice;
}

} // namespace

// ---------------------------------------------------------------------------
// Construction

App::App(int &argc, char **argv, QString organization, QString application)
    : QApplication(argc, argv)
{
    // A line on a standard stream whose reader is gone (a closed terminal's
    // tee) must not end the program, least of all while it writes held work.
    Os::catchBrokenPipe();

    m_language = QStringLiteral("en");

    // The names are set before the probe so that it looks at the folders of
    // this program, not at those named after the executable; nothing has been
    // created yet at this point.
    setOrganizationName(organization);
    setApplicationName(application);
    m_newInstallation = detectNewInstallation();

    const QString work = workDirectory(true);
    m_lastSaveDirectory = work;
    m_lastSettingsDirectory = work;

    m_settings = new QSettings(organization, application, this);

    m_resourcesDirectory = applicationDirPath() + QStringLiteral("/Resources/");

    m_aboutText = tr("<H3>This Application Uses:</H3>") + QStringLiteral("Qt ") + QStringLiteral("5")
        + QStringLiteral(" Toolkit<BR>") + QStringLiteral("under LGPLv3 <A HREF=") + QLatin1Char('"')
        + QStringLiteral("file://") + m_resourcesDirectory + QStringLiteral("LICENSE.LGPL")
        + QLatin1Char('"') + QStringLiteral(">(more)</A><BR>")
        + QStringLiteral("the Qt source code is available on<br>") + QStringLiteral("<A HREF=")
        + QLatin1Char('"') + QLatin1String(kQtProjectAddress) + QLatin1Char('"') + QLatin1Char('>')
        + QLatin1String(kQtProjectAddress) + QStringLiteral("</A>") + QStringLiteral("<BR>");

    // A program that goes on after its event loop returned (a test) is
    // attended again once a loop runs.
    connect(this, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_quittingUnattended)
            QMetaObject::invokeMethod(this, [this] { m_quittingUnattended = false; },
                                      Qt::QueuedConnection);
    });

    const QList<InitHook> hooks = initHooks();
    for (InitHook hook : hooks) {
        if (hook)
            hook(1);
    }

    initStoreIds();
}

App::~App()
{
    // Made without a main widget, the introduction dialog has no owner but us.
    if (m_helpDialog && !m_helpDialog->parent())
        delete m_helpDialog.data();
    // The overlay belongs to the main widget; drop it only if both still live.
    if (m_blender)
        delete m_blender.data();
}

App *App::instance()
{
    return qobject_cast<App *>(QCoreApplication::instance());
}

// ---------------------------------------------------------------------------
// Language

QString App::language() const
{
    TranslationsManager::instance();
    return m_language;
}

void App::setLanguage(const QString &language)
{
    m_language = language;
}

QString App::languagePathPart() const
{
    const QString code = language();
    return code.contains(QLatin1String("en")) ? QString() : code + QLatin1Char('/');
}

// ---------------------------------------------------------------------------
// Plain accessors

bool App::isInactive() const
{
    return m_inactive;
}

QWidget *App::mainWidget() const
{
    return m_mainWidget.data();
}

void App::setMainWidget(QWidget *widget)
{
    if (m_blender)
        delete m_blender.data();
    m_mainWidget = widget;
    if (!widget)
        return;
    BlenderWidget *blender = new BlenderWidget(widget);
    blender->setObjectName(QStringLiteral("MainWidgetBlender"));
    blender->setAutoFillBackground(true);
    blender->hide();
    m_blender = blender;
}

QString App::displayName() const
{
    return m_displayName.isEmpty() ? applicationName() : m_displayName;
}

void App::setDisplayName(const QString &name)
{
    m_displayName = name;
}

QString App::aboutText() const
{
    return m_aboutText;
}

void App::setAboutText(const QString &text)
{
    m_aboutText = text;
}

void App::appendAboutText(const QString &text)
{
    m_aboutText += text;
}

bool App::areWebLinksDisabled() const
{
    return m_webLinksDisabled;
}

void App::setWebLinksDisabled(bool disabled)
{
    m_webLinksDisabled = disabled;
}

bool App::isWebDistribution() const
{
    return m_webDistribution;
}

void App::setWebDistribution(bool web)
{
    m_webDistribution = web;
}

bool App::isStoreDistribution() const
{
    if (m_webDistribution)
        return false;
    return !QFileInfo::exists(m_resourcesDirectory + QStringLiteral("independent"));
}

void App::setPromotedApp(const QString &a, const QString &b)
{
    m_promotedAppSecondText = a;
    m_promotedAppText = b;
}

void App::setPromotedAppLink(const QString &link)
{
    m_promotedAppLink = storeProductUrl(link);
}

void App::setPromotedAppFallbackLink(const QString &link)
{
    m_promotedAppFallbackLink = link;
}

QString App::promotedAppText() const
{
    return m_promotedAppText;
}

QString App::promotedAppSecondText() const
{
    return m_promotedAppSecondText;
}

QString App::promotedAppLink() const
{
    return m_promotedAppLink;
}

QString App::promotedAppFallbackLink() const
{
    return m_promotedAppFallbackLink;
}

QString App::buildDateString()
{
    return buildDateStringFrom(QStringLiteral(__DATE__));
}

QDate App::buildDate()
{
    return QDate::fromString(buildDateString(), QStringLiteral("M/d/yyyy"));
}

QString App::buildDateStringFrom(const QString &compilerDate)
{
    // The compiler pads days 1 to 9 with a blank ("Sep  2 2019"): collapse
    // runs of blanks first so every field stays one token.
    static const QStringList months = {
        QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
        QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
        QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    QString text = compilerDate.simplified();
    for (int i = 0; i < months.size(); ++i)
        text.replace(months.at(i), QString::number(i + 1));
    text.replace(QLatin1Char(' '), QLatin1Char('/'));
    return text;
}

QString App::bundleIdentifier()
{
    const QStringList parts = organizationDomain().split(QLatin1Char('.'));
    return parts.last() + QLatin1Char('.') + parts.first() + QLatin1Char('.') + applicationName();
}

// ---------------------------------------------------------------------------
// Screen queries

namespace {
QSize desktopSize()
{
    const QRect r = QApplication::desktop()->geometry();
    return QSize(r.right() - r.left() + 1, r.bottom() - r.top() + 1);
}
} // namespace

qreal App::devicePixelRatio()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

bool App::isSmallScreen()
{
    const QSize size = desktopSize();
    return size.width() < 480 || size.height() < 480;
}

int App::screenMinSide()
{
    const QSize size = desktopSize();
    return qMin(size.width(), size.height());
}

int App::screenMaxSide()
{
    const QSize size = desktopSize();
    return qMax(size.width(), size.height());
}

bool App::isLandscape()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen && screen->isLandscape(screen->primaryOrientation());
}

bool App::isPortrait()
{
    return !isLandscape();
}

// ---------------------------------------------------------------------------
// Widget helpers

QWidget *App::findTopLevelByClass(const QString &className)
{
    const QWidgetList topLevels = QApplication::topLevelWidgets();
    for (QWidget *top : topLevels) {
        if (QLatin1String(top->metaObject()->className()) == className)
            return top;
        const QList<QWidget *> children = top->findChildren<QWidget *>();
        for (QWidget *child : children) {
            if (QLatin1String(child->metaObject()->className()) == className)
                return child;
        }
    }
    return nullptr;
}

bool App::isDescendant(QWidget *widget, QObject *object)
{
    if (!widget || !object)
        return false;
    return object->findChildren<QWidget *>().contains(widget);
}

void App::simulateClick(QWidget *widget, int x, int y, Qt::MouseButton button,
                        Qt::MouseButtons buttons)
{
    if (!widget)
        return;
    if (x < 0)
        x = widget->width() / 2;
    if (y < 0)
        y = widget->height() / 2;
    const QPointF local(x, y);
    const QPointF global = widget->mapToGlobal(QPoint(x, y));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonPress, local, global,
                                                        button, buttons, Qt::NoModifier));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, local, global,
                                                        button, buttons, Qt::NoModifier));
}

void App::addInitHook(InitHook hook)
{
    initHooks().append(hook);
}

// ---------------------------------------------------------------------------
// Settings store

QVariant App::value(const QString &key, const QVariant &defaultValue) const
{
    if (!m_settings)
        return defaultValue;
    if (m_plainKeys)
        return m_settings->value(key, defaultValue);
    return m_settings->value(applicationName() + QLatin1Char('/') + key, defaultValue);
}

void App::setValue(const QString &key, const QVariant &value)
{
    if (!m_settings)
        return;
    if (m_plainKeys)
        m_settings->setValue(key, value);
    else
        m_settings->setValue(applicationName() + QLatin1Char('/') + key, value);
}

void App::setPlainSettingsKeys(bool plain)
{
    m_plainKeys = plain;
}

bool App::plainSettingsKeys() const
{
    return m_plainKeys;
}

void App::beginGroup(const QString &prefix)
{
    m_settings->beginGroup(prefix);
}

void App::endGroup()
{
    m_settings->endGroup();
}

QStringList App::childKeys() const
{
    return m_settings->childKeys();
}

QSettings *App::settings() const
{
    return m_settings;
}

bool App::isFirstStart()
{
    const bool first = value(QStringLiteral("AppFirstStart"), true).toBool();
    if (first)
        setValue(QStringLiteral("AppFirstStart"), false);
    return first;
}

void App::startFirstRunCount()
{
    if (isStoreDistribution())
        return;
    if (value(QStringLiteral("Initialized"), false).toBool())
        return;
    QTimer::singleShot(1000, this, SLOT(slotStartCount()));
    setValue(QStringLiteral("Initialized"), true);
}

void App::slotStartCount()
{
    // Target of the first-run timer; nothing to count in this class.
}

// ---------------------------------------------------------------------------
// Per-user folders

QString App::workDirectory(bool create)
{
    return created(QDir::homePath() + QLatin1Char('/') + applicationName() + QLatin1Char('/'), create);
}

QString App::downloadsDirectory(bool create)
{
    return workDirectory(create);
}

QString App::supportDirectory(bool create)
{
    return locationFolder(QStandardPaths::standardLocations(QStandardPaths::AppDataLocation),
                          QString(), create);
}

QString App::locationFolder(const QStringList &locations, const QString &below, bool create)
{
    // No location at all would give a folder at the filesystem root.
    if (locations.isEmpty())
        return workDirectory(create);
    return created(locations.first() + below, create);
}

QString App::dataDirectory(bool create)
{
    return locationFolder(QStandardPaths::standardLocations(QStandardPaths::AppLocalDataLocation),
                          QStringLiteral("/"), create);
}

QString App::cachesDirectory(bool create)
{
    return locationFolder(QStandardPaths::standardLocations(QStandardPaths::CacheLocation),
                          QString(), create);
}

QString App::documentsDirectory(bool create)
{
    return locationFolder(QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation),
                          namedPart(), create);
}

QString App::picturesDirectory(bool create)
{
    return locationFolder(QStandardPaths::standardLocations(QStandardPaths::PicturesLocation),
                          namedPart(), create);
}

QString App::musicDirectory(bool create)
{
    return locationFolder(QStandardPaths::standardLocations(QStandardPaths::MusicLocation),
                          namedPart(), create);
}

QString App::moviesDirectory(bool create)
{
    return locationFolder(QStandardPaths::standardLocations(QStandardPaths::MoviesLocation),
                          namedPart(), create);
}

void App::ensureDirectory(const QString &path)
{
    if (!QDir(path).exists())
        QDir().mkpath(path);
}

QString App::resourcesDirectory() const
{
    return m_resourcesDirectory;
}

void App::setLastSaveDirectory(const QString &path)
{
    m_lastSaveDirectory = QFileInfo(path).absolutePath();
}

QString App::lastSaveDirectory() const
{
    return m_lastSaveDirectory;
}

void App::setLastSettingsDirectory(const QString &path)
{
    m_lastSettingsDirectory = QFileInfo(path).absolutePath();
}

QString App::lastSettingsDirectory() const
{
    return m_lastSettingsDirectory;
}

bool App::detectNewInstallation()
{
    const QStringList folders = {supportDirectory(false),   documentsDirectory(false),
                                 cachesDirectory(false),    dataDirectory(false),
                                 workDirectory(false),      picturesDirectory(false),
                                 musicDirectory(false),     moviesDirectory(false),
                                 downloadsDirectory(false)};
    for (const QString &folder : folders) {
        if (QFileInfo::exists(folder))
            return false;
    }
    return true;
}

bool App::isNewInstallation() const
{
    return m_newInstallation;
}

void App::dumpDirectories()
{
    qDebug().noquote() << "supportDirectory:" << supportDirectory(false);
    qDebug().noquote() << "dataDirectory:" << dataDirectory(false);
    qDebug().noquote() << "cachesDirectory:" << cachesDirectory(false);
    qDebug().noquote() << "documentsDirectory:" << documentsDirectory(false);
    qDebug().noquote() << "workDirectory:" << workDirectory(false);
    qDebug().noquote() << "picturesDirectory:" << picturesDirectory(false);
    qDebug().noquote() << "musicDirectory:" << musicDirectory(false);
    qDebug().noquote() << "moviesDirectory:" << moviesDirectory(false);
    qDebug().noquote() << "downloadsDirectory:" << downloadsDirectory(false);
}

bool App::copyFileInto(const QString &source, const QString &folder, const QString &name)
{
    ensureDirectory(folder);
    const QString fileName = name.isEmpty() ? QFileInfo(source).fileName() : name;
    const QString target = folder + QLatin1Char('/') + fileName;
    if (QFileInfo::exists(target))
        return true;

    // Only a regular file (or a resource), opened without blocking: a FIFO
    // or device as the source would hold the caller for good.
    QFile in;
    if (!MTools::openResourceOrRegularFile(source, &in))
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    in.close();

    // Written beside the target and renamed at the end: a failed write leaves
    // no partial file that a later call would take for a good copy.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        out.commit();
        return false;
    }
    return out.commit();
}

bool App::copyFileToSupportDirectory(const QString &source, const QString &name)
{
    return copyFileInto(source, supportDirectory(true), name);
}

// ---------------------------------------------------------------------------
// Log handlers

void App::setLogToNowhere()
{
    qInstallMessageHandler(silentMessageHandler);
}

void App::setLogToConsole()
{
    qInstallMessageHandler(nullptr);
}

void App::setLogToFile()
{
    qInstallMessageHandler(fileMessageHandler);
}

void App::silentMessageHandler(QtMsgType, const QMessageLogContext &, const QString &)
{
}

QString App::logLine(QtMsgType type, const QMessageLogContext &context, const QString &message,
                     const QDateTime &time)
{
    const char *label = nullptr;
    switch (type) {
    case QtDebugMsg:
        label = " Debug: ";
        break;
    case QtWarningMsg:
        label = " Warning: ";
        break;
    case QtCriticalMsg:
        label = " Critical: ";
        break;
    case QtFatalMsg:
        label = " Fatal: ";
        break;
    default:
        return QString();
    }
    return time.toString(QStringLiteral("dd.MM.yy-hh:mm")) + QLatin1String(label) + message
        + QStringLiteral(", ") + QString::fromUtf8(context.file);
}

void App::fileMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // Without an application object there is no support folder to write to;
    // a message raised while writing would recurse.
    if (t_writingLog || !instance())
        return;
    const QString line = logLine(type, context, message, QDateTime::currentDateTime());
    if (line.isEmpty())
        return;

    t_writingLog = true;
    bool written = false;
    QFile file(supportDirectory(true) + QStringLiteral("/protocol.log"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        QTextStream stream(&file);
        stream << line << Qt::endl;
        stream.flush();
        file.close();
        written = true;
    }
    t_writingLog = false;

    if (type == QtFatalMsg && written)
        std::abort();
}

// ---------------------------------------------------------------------------
// Links and menu services

void App::setHelpSlides(const QStringList &slides)
{
    m_helpSlides = slides;
}

QStringList App::helpSlides() const
{
    return m_helpSlides;
}

void App::setVideoTutorialUrl(const QString &url)
{
    m_videoTutorialUrl = url;
}

QString App::videoTutorialUrl() const
{
    return m_videoTutorialUrl;
}

void App::showHelpIfWanted()
{
    if (HelpDialog::shouldShow())
        QTimer::singleShot(500, this, SLOT(slotHelp()));
}

void App::setPrivacyPolicyUrl(const QString &url)
{
    m_privacyPolicyUrl = url;
}

QString App::privacyPolicyUrl() const
{
    return m_privacyPolicyUrl;
}

void App::setAppPageUrl(const QString &url)
{
    m_appPageUrl = url;
}

QString App::appPageUrl() const
{
    return m_appPageUrl;
}

void App::setSharePage(const QString &page)
{
    const QString name = page.isEmpty() ? applicationName().toLower() : page;
    m_appPageUrl = SiteConfig::siteForLanguage(language(), m_siteLanguages) + name;
    m_facebookShareUrl = SiteConfig::facebookSharer() + QStringLiteral("/sharer.php?u=") + m_appPageUrl;
    m_twitterShareUrl = SiteConfig::twitterHome() + QStringLiteral("/home?status=") + m_appPageUrl;
}

void App::setSocialShareLinks(const QString &page)
{
    const QString name = page.isEmpty() ? applicationName().toLower() : page;
    const QString apps = SiteConfig::appsSite();
    const QString stem = apps + name + QLatin1Char('/') + name;
    m_facebookShareUrl = stem + QStringLiteral("facebook.php");
    m_twitterShareUrl = stem + QStringLiteral("twitter.php");
    m_vkontakteShareUrl = stem + QStringLiteral("vkontakte.php");
    m_appPageUrl = apps + name;
}

void App::setSiteLanguages(const QStringList &languages)
{
    m_siteLanguages = languages;
}

QStringList App::siteLanguages() const
{
    return m_siteLanguages;
}

bool App::listContains(const QString &code) const
{
    return m_siteLanguages.contains(code, Qt::CaseSensitive);
}

QString App::facebookShareUrl() const
{
    return m_facebookShareUrl;
}

QString App::twitterShareUrl() const
{
    return m_twitterShareUrl;
}

QString App::vkontakteShareUrl() const
{
    return m_vkontakteShareUrl;
}

void App::setFacebookShareUrl(const QString &url)
{
    m_facebookShareUrl = url;
}

void App::setTwitterShareUrl(const QString &url)
{
    m_twitterShareUrl = url;
}

void App::setVkontakteShareUrl(const QString &url)
{
    m_vkontakteShareUrl = url;
}

QString App::storeProductUrl(const QString &link) const
{
    QString text = link;
    if (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    const QString key = text.split(QLatin1Char('/')).last().toLower();
    const auto it = m_storeIds.constFind(key);
    if (it == m_storeIds.constEnd())
        return QString();
    return QLatin1String(kStoreProductPage) + it.value();
}

QString App::storeIdFor(const QString &name) const
{
    return m_storeIds.value(name);
}

QString App::storeId() const
{
    return storeIdFor(applicationName().toLower());
}

QString App::osNameFor(int windowsVersion)
{
    QString name;
    switch (windowsVersion) {
    case 0x20: name = QStringLiteral("2000"); break;
    case 0x30: name = QStringLiteral("XP"); break;
    case 0x40: name = QStringLiteral("2003"); break;
    case 0x80: name = QStringLiteral("Vista"); break;
    case 0x90: name = QStringLiteral("7"); break;
    case 0xA0: name = QStringLiteral("8"); break;
    case 0xB0: name = QStringLiteral("8.1"); break;
    case 0xC0: name = QStringLiteral("10"); break;
    default: name = QLatin1Char('(') + QString::number(windowsVersion) + QLatin1Char(')'); break;
    }
    return QStringLiteral("Win ") + name;
}

QString App::osName()
{
    // Goes unescaped into the contact mail's subject: a "#" or "&" there would
    // cut the rest of the link off, so only plain text is passed on.
    return PlatformInfo::plainText(PlatformInfo::osName());
}

bool App::isAutoUpdateAllowed()
{
    return !QFileInfo::exists(QStringLiteral("noautoupdate"));
}

QString App::siteUrlCom()
{
    return SiteConfig::siteUrlCom();
}

QString App::siteUrlNet()
{
    return SiteConfig::siteUrlNet();
}

QString App::siteUrlDe()
{
    return SiteConfig::siteUrlDe();
}

bool App::openLink(const QString &link)
{
    if (link.isEmpty())
        return false;
    if (!SiteConfig::isRealLink(link))
        return false;
    const QUrl url(link, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    const QString missing = scheme == QLatin1String("mailto")
        ? tr("e-mail program")
        : scheme == QLatin1String("http") || scheme == QLatin1String("https")
            ? tr("web browser")
            : tr("program for %1 links").arg(scheme);
    return openUrlWatched(url, missing, instance(), [link](const QString &cause) {
        MMessageBox::warning(activeWindow(), tr("Open Link"),
                             tr("\"%1\" could not be opened: %2.").arg(link, cause),
                             QMessageBox::Ok);
    });
}

QString App::linkOpener()
{
    return Os::linkOpener();
}

void App::setLinkOpener(const QString &program)
{
    Os::setLinkOpener(program);
}

bool App::openUrlWatched(const QUrl &url, const QString &missing, const QObject *context,
                         std::function<void(const QString &cause)> failed)
{
    return Os::openUrlWatched(url, missing, context, std::move(failed));
}

void App::openMailLink(const QString &link, const QString &title)
{
    const bool started = !link.isEmpty() && SiteConfig::isRealLink(link)
                         && openUrlWatched(QUrl(link, QUrl::TolerantMode), tr("e-mail program"),
                                           this, [title](const QString &cause) {
                                               MMessageBox::warning(
                                                   activeWindow(), title,
                                                   tr("No message could be written: %1. This "
                                                      "system may have no e-mail program.")
                                                       .arg(cause),
                                                   QMessageBox::Ok);
                                           });
    if (!started)
        warnNoMailProgram(title);
}

// ---------------------------------------------------------------------------
// Reminder cycle

void App::startReminder(int interval, int kinds)
{
    if (kinds == 8) {
        m_reminderKind = isStoreDistribution() ? 1 : 2;
    } else {
        QRandomGenerator random(quint32(QTime::currentTime().msec()));
        const quint32 r = random.generate();
        switch (kinds & 7) {
        case 7: {
            static const int kinds3[] = {1, 2, 4};
            m_reminderKind = kinds3[r % 3];
            break;
        }
        case 3: m_reminderKind = (r % 2 == 0) ? 1 : 2; break;
        case 5: m_reminderKind = (r % 2 == 0) ? 1 : 4; break;
        case 6: m_reminderKind = (r % 2 == 0) ? 4 : 2; break;
        default: m_reminderKind = kinds; break;
        }
        // Only the three known bits are drawn from; other bits keep kinds as given.
        if ((kinds & ~7) != 0)
            m_reminderKind = kinds;
    }
    setReminderInterval(interval);
    connect(this, SIGNAL(aboutToQuit()), this, SLOT(slotCallRateReminderInternal()));
}

void App::startRateReminder(int interval)
{
    startReminder(interval, 1);
}

void App::startTellReminder(int interval)
{
    startReminder(interval, 2);
}

void App::startJoinReminder(int interval)
{
    startReminder(interval, 4);
}

void App::setReminderInterval(int interval)
{
    // The cycle divides by the interval: keep it positive.
    m_reminderInterval = qMax(1, interval);
}

void App::setReminderDelay(int milliseconds)
{
    m_reminderDelay = milliseconds;
}

int App::reminderInterval() const
{
    return m_reminderInterval;
}

int App::reminderDelay() const
{
    return m_reminderDelay;
}

int App::reminderKind() const
{
    return m_reminderKind;
}

App::ReminderStep App::reminderStep(int interval, int counter, bool enabled)
{
    ReminderStep step;
    if (!enabled)
        return step;
    step.show = counter % qMax(1, interval) == 0;
    step.store = true;
    // Computed wide so the largest counter cannot overflow; a sum that does
    // not fit or is negative starts the count again at 1.
    const qint64 next = qint64(counter) + 1;
    step.nextCount = (next < 0 || next > INT_MAX) ? 1 : int(next);
    return step;
}

void App::applyReminderChoice(int choice)
{
    switch (choice) {
    case ReminderStateDialog::Rate:
        // Asking stops only when the rating page really opened.
        if (openRatingPage())
            setValue(QStringLiteral("AutoReminder"), false);
        break;
    case ReminderStateDialog::Mail:
        slotContactUs();
        setValue(QStringLiteral("AutoReminder"), false);
        break;
    case ReminderStateDialog::NeverAskAgain:
        setValue(QStringLiteral("AutoReminder"), false);
        break;
    default:
        break;
    }
}

bool App::quitOnTerminationSignals()
{
    if (!Os::catchTerminationSignals())
        return false;
    connect(Os::instance(), SIGNAL(atTerminationRequest(int)), this, SLOT(slotQuitUnattended()),
            Qt::UniqueConnection);
    return true;
}

void App::slotQuitUnattended()
{
    m_quittingUnattended = true;
    // Every event loop returns, a modal dialog's too.
    quit();
}

void App::slotCallRateReminderInternal()
{
    if (m_quittingUnattended)
        return;
    // A delayed step that fires while a reminder dialog is open would read the
    // same counter and stack a second dialog on the first: let it pass.
    if (m_reminderStepRunning)
        return;
    // Without web links the rating and follow dialogs would offer nothing
    // that works; the share dialog still offers the e-mail.
    if (areWebLinksDisabled() && m_reminderKind != 2)
        return;

    QWidget *parent = mainWidget();
    // The dialog needs a visible parent while the application closes.
    if (parent && !parent->isVisible())
        parent->show();

    const bool enabled = value(QStringLiteral("AutoReminder"), true).toBool();
    const int counter = value(QStringLiteral("AutoReminderCount"), 1).toInt();
    const ReminderStep step = reminderStep(m_reminderInterval, counter, enabled);

    if (step.show) {
        ReminderStateDialog *dialog = nullptr;
        if (m_reminderKind == 1) {
            if (RateAppStoreDialog::isSuppressed())
                return;
            dialog = new RateAppStoreDialog(parent);
        } else if (m_reminderKind == 2) {
            dialog = new TellReminderDialog(parent);
        } else {
            dialog = new JoinReminderDialog(parent);
        }
        m_reminderStepRunning = true;
        const int choice = execReminder(dialog);
        m_reminderStepRunning = false;
        applyReminderChoice(choice);
    }
    if (step.store)
        setValue(QStringLiteral("AutoReminderCount"), step.nextCount);
}

void App::slotCallRateReminder()
{
    m_reminderKind = 1;
    QTimer::singleShot(m_reminderDelay, this, SLOT(slotCallRateReminderInternal()));
}

void App::slotCallTellReminder()
{
    m_reminderKind = 2;
    QTimer::singleShot(m_reminderDelay, this, SLOT(slotCallRateReminderInternal()));
}

void App::slotCallJoinReminder()
{
    m_reminderKind = 4;
    QTimer::singleShot(m_reminderDelay, this, SLOT(slotCallRateReminderInternal()));
}

void App::slotImmediatelyRate()
{
    // The counter is neither read nor written here; the dialog is not kept.
    applyReminderChoice(execReminder(new RateAppStoreDialog(mainWidget())));
}

// ---------------------------------------------------------------------------
// Menu slots

void App::slotShowPrivacyPolicy()
{
    if (!m_privacyPolicyUrl.isEmpty())
        openLink(m_privacyPolicyUrl);
}

void App::slotShowCssEditor()
{
    // An independent window each time; it deletes itself when closed.
    CssEditor *editor = new CssEditor(nullptr);
    editor->show();
}

void App::slotContactUs()
{
    const QString marker = isStoreDistribution() ? QString() : QStringLiteral("I");
    const QString link = QStringLiteral("mailto:") + SiteConfig::contactAddress()
        + QStringLiteral("?subject=Contact (") + applicationName() + QLatin1Char(' ')
        + applicationVersion() + QStringLiteral(") ") + osName() + QLatin1Char(' ') + language()
        + QLatin1Char(' ') + marker + QStringLiteral("&body=");
    // A placeholder address opens nothing on purpose; a real one that nothing
    // opens is said.
    if (SiteConfig::isRealLink(link))
        openMailLink(link, tr("Contact Us"));
}

void App::warnNoMailProgram(const QString &title)
{
    MMessageBox::warning(activeWindow(), title,
                         tr("No e-mail program could be started to write the message: this "
                            "system has no opener for mail links (xdg-open) or no e-mail "
                            "program."),
                         QMessageBox::Ok);
}

void App::slotTellFriend()
{
    QString link = SiteConfig::internationalSite();
    if (!link.endsWith(QLatin1Char('/')))
        link += QLatin1Char('/');
    link += applicationName().toLower();
    if (!m_appPageUrl.isEmpty())
        link = m_appPageUrl;
    else if (isStoreDistribution())
        link = storeProductUrl(applicationName().toLower())
                   .replace(QStringLiteral("macappstore"), QStringLiteral("https"));
    // A placeholder address is no use to the friend: the mail names the program only.
    QString body = displayName();
    if (SiteConfig::isReachable(QUrl(link, QUrl::TolerantMode)))
        body += QStringLiteral(" - ") + link;
    openMailLink(QStringLiteral("mailto:?subject=Check out the cool ") + applicationName()
                     + QStringLiteral(" app!&body=") + body,
                 tr("Share by E-mail"));
}

void App::slotRateApp()
{
    openRatingPage();
}

bool App::openRatingPage()
{
    QString link;
    if (isWebDistribution()) {
        link = SiteConfig::rateSite() + QStringLiteral("/rate.php?appname=")
            + applicationName().toLower();
    } else {
        link = storeProductUrl(m_appPageUrl);
        link.replace(QStringLiteral("//pdp/?productid="), QStringLiteral("//review/?ProductId="));
    }
    return openLink(link);
}

QString App::supportPageLink() const
{
    return m_appPageUrl.isEmpty() ? SiteConfig::internationalSite() : m_appPageUrl;
}

void App::slotSupportPage()
{
    openLink(supportPageLink());
}

void App::slotHelp()
{
    // Made once per run: slides set later do not reach it.
    if (!m_helpDialog) {
        HelpDialog *dialog = new HelpDialog(mainWidget());
        for (const QString &slide : qAsConst(m_helpSlides))
            dialog->addSlide(slide);
        if (!m_videoTutorialUrl.isEmpty())
            dialog->setVideoUrl(m_videoTutorialUrl);
        m_helpDialog = dialog;
    }
    m_helpDialog->raise();
    m_helpDialog->activateWindow();
    m_helpDialog->show();
}

bool App::hasPromotedApp() const
{
    return !m_promotedAppText.isEmpty() || !m_promotedAppLink.isEmpty();
}

void App::slotGoToPromotedApp()
{
    QString link;
    if (!m_promotedAppLink.isEmpty())
        link = m_promotedAppLink;
    else if (!hasPromotedApp() && !m_promotedAppFallbackLink.isEmpty())
        link = m_promotedAppFallbackLink;
    openLink(link);
}

void App::slotShareApp()
{
    execAndDelete(new TellDialog(QApplication::activeWindow()));
}

void App::slotJoin()
{
    execAndDelete(new JoinDialog(QApplication::activeWindow()));
}

void App::slotAbout()
{
    execAndDelete(new AboutDialog(mainWidget()));
}

void App::slotSetBlendMainWidget(bool on)
{
    if (!m_mainWidget || !m_blender)
        return;
    if (!on) {
        m_blender->hide();
        return;
    }
    m_blender->setFixedSize(m_mainWidget->width(), m_mainWidget->height());
    m_blender->show();
    m_blender->raise();
}

void App::slotCheckUpdate()
{
    qDebug("Not implemented");
}

void App::slotShowMoreApps()
{
    openLink(QStringLiteral("ms-windows-store://publisher/?name=Quillar"));
}

// ---------------------------------------------------------------------------
// Event hooks

bool App::event(QEvent *e)
{
    if (e->type() == QEvent::FileOpen) {
        emit fileOpenRequest(static_cast<QFileOpenEvent *>(e)->file());
        return true;
    }
    return QApplication::event(e);
}

bool App::notify(QObject *receiver, QEvent *e)
{
    switch (e->type()) {
    case QEvent::ApplicationActivate:
        m_inactive = false;
        emit applicationActivated();
        break;
    case QEvent::MouseButtonPress:
        emit mouseButtonPress();
        break;
    case QEvent::ApplicationDeactivate:
        m_inactive = true;
        emit applicationDeactivated();
        break;
    case QEvent::Expose:
        emit applicationExposed();
        break;
    default:
        break;
    }
    return QApplication::notify(receiver, e);
}

// ---------------------------------------------------------------------------
// Store ids

void App::initStoreIds()
{
    // Product identifier (lower case) -> store product id. Placeholder values.
    static const struct {
        const char *name;
        const char *id;
    } table[] = {
        {"glyphcraft", "9MMQVVGXCAAY"},
        {"glyphcraftlite", "9NXS47DJCCTD"},
        {"iconmaker", "9PV92VET459E"},
        {"screencropper", "9MJL3NB33VGT"},
        {"screenmeasure", "9NAKDSRERHQQ"},
        {"photobatcher", "9PKE9Y59KRD5"},
        {"photonoteeditor", "9MHDTJDYAPS6"},
        {"photoframer", "9NFQRLRMGBED"},
        {"pictureviewer", "9PZ6RRJBMUV5"},
        {"colorgrabber", "9MFCTS8NJ6P9"},
        {"htmlminifier", "9NZZGLHG5WBK"},
        {"alarmclock", "9PKKHXWEYTV1"},
        {"chordfinder", "9M2KD60MGBPQ"},
        {"chordlearner", "9NKAW3G4DRJV"},
        {"tunerset", "9P0DTAMS4CV4"},
        {"notefinder", "9M57NY6FNLL7"},
        {"notefinderbase", "9N1VNGEW933T"},
        {"metronome", "9PR1NMQHTZQJ"},
        {"guitarchords", "9MBDC7JBHY41"},
        {"guitarchordlearner", "9N6QVPBJ05QF"},
        {"guitartuner", "9PM7N9EDPCUK"},
        {"guitarnotes", "9MZGWER2PKUV"},
        {"basschords", "9NJZ7W13SUMN"},
        {"basschordlearner", "9PLDK51MVBPA"},
        {"basstuner", "9M1K42YRK3AS"},
        {"bassnotes", "9N8E0GZ92M39"},
        {"ukulelechords", "9P3KKAYGV66T"},
        {"ukulelechordlearner", "9M9B1YUQNDGK"},
        {"ukuleletuner", "9NVG10YCXD2Q"},
        {"ukulelenotes", "9P0Z55FKCS73"},
        {"mandolinchords", "9MQJQZQ5ACV8"},
        {"mandolinchordlearner", "9NMQ89EBFBSR"},
        {"mandolintuner", "9PY48JPRVD9Q"},
        {"mandolinnotes", "9MSB8H38V7RP"},
        {"banjochords", "9NUQHCZTEP8C"},
        {"banjochordlearner", "9PLDJ8AL7PTP"},
        {"banjotuner", "9MMQZZSZS232"},
        {"banjonotes", "9N7C2QKJX0F6"},
        {"balalaikachords", "9PLR4W6KGSNT"},
        {"balalaikachordlearner", "9M4BQTVTQG15"},
        {"balalaikatuner", "9N5EBRHH02W5"},
        {"balalaikanotes", "9P8TBQMC4H3K"},
        {"pianochords", "9M2SNUEJK37C"},
        {"pianochordlearner", "9N5D3ZC1FZ7L"},
        {"pianotuner", "9P5LB9432U71"},
        {"pianonotes", "9MPFWWLCME08"},
        {"violinchords", "9NXE7AQ60G8R"},
        {"violinchordlearner", "9P72ACBJQ8AW"},
        {"violintuner", "9MQ50YEWNBAM"},
        {"violinnotes", "9NSHNGWWG604"},
        {"iconmakerlite", "9P3F479H4NF2"},
        {"screencropperlite", "9MTR5KKWCJX3"},
        {"photobatcherlite", "9NHF9TD9RV8L"},
        {"pictureviewerlite", "9PUNSX3JNFAL"},
        {"chordfinderlite", "9MCYZ17FL7KF"},
        {"tunersetlite", "9NDFEMWRK3UR"},
        {"metronomelite", "9PJQZPWXHL0K"},
        {"notefinderlite", "9MYZYSNGSS87"},
        {"guitarchordslite", "9NT7MD61M0H6"},
        {"pianochordslite", "9PTTTDNN1R7T"},
        {"ukulelechordslite", "9MCH97W3098H"},
        {"basschordslite", "9NAQFK1Y6C0B"},
        {"guitartunerlite", "9PZA1XVSA0U8"},
        {"violintunerlite", "9M85GWGSTB15"},
        {"banjochordslite", "9N8SFDZE55RT"},
        {"mandolinchordslite", "9P5JSCMFAWAE"},
        {"balalaikachordslite", "9MTA4K85DWAT"},
        {"pianonoteslite", "9NTZXCET4Q6W"},
        {"alarmclocklite", "9PM7NPPHR8R2"},
    };
    m_storeIds.clear();
    for (const auto &entry : table)
        m_storeIds.insert(QLatin1String(entry.name), QLatin1String(entry.id));
}

} // namespace QMWidgets
