#include "os.h"

#include "filehelpers.h"
#include "openerprocess.h"
#include "ossessionevents.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

#include <csignal>
#include <cstdio>

namespace {

Os *s_instance = nullptr;
bool s_linkOpenerSet = false;
QString s_linkOpener;

extern "C" void onBrokenPipe(int)
{
}

// What the opener's exit status says, after the opener's own conventions.
QString openerFailureCause(const QString &program, int exitCode, bool crashed,
                           const QString &missing)
{
    if (crashed)
        return Os::tr("%1 stopped unexpectedly").arg(program);
    switch (exitCode) {
    case 2:
        return Os::tr("%1 found nothing to open (exit status 2)").arg(program);
    case 3:
        return Os::tr("%1 found no %2 to use (exit status 3)").arg(program, missing);
    case 4:
        return Os::tr("%1 could not open it (exit status 4)").arg(program);
    default:
        return Os::tr("%1 ended with exit status %2").arg(program).arg(exitCode);
    }
}

// A string value of a desktop entry: a backslash, line feed, tab and carriage
// return are written as the escapes \\, \n, \t and \r, so that no value ends
// its line early or adds a key of its own.
QString escapedValue(const QString &value)
{
    QString text;
    text.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': text += QLatin1String("\\\\"); break;
        case '\n': text += QLatin1String("\\n"); break;
        case '\t': text += QLatin1String("\\t"); break;
        case '\r': text += QLatin1String("\\r"); break;
        default: text += c; break;
        }
    }
    return text;
}

// The inverse of escapedValue, also reading \s as a blank; a backslash before
// anything else stays as it is.
QString unescapedValue(const QString &text)
{
    QString value;
    value.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('\\') || i + 1 == text.size()) {
            value += text.at(i);
            continue;
        }
        const QChar next = text.at(++i);
        switch (next.unicode()) {
        case 's': value += QLatin1Char(' '); break;
        case 'n': value += QLatin1Char('\n'); break;
        case 't': value += QLatin1Char('\t'); break;
        case 'r': value += QLatin1Char('\r'); break;
        case '\\': value += QLatin1Char('\\'); break;
        default: value += QLatin1Char('\\'); value += next; break;
        }
    }
    return value;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
        || c == QLatin1Char('\r');
}

// One argument of a desktop entry's Exec key: quoted when it holds anything
// the launcher would split or expand (inside the quotes a backslash goes
// before '"', '`', '$' and a backslash), a literal '%' doubled, as field
// codes start with one; then escaped as a string value.
QString execArgument(const QString &argument)
{
    // The format's reserved characters, and a carriage return, which some
    // launchers take for a blank.
    static const QString reserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#()`");
    bool quote = argument.isEmpty();
    for (const QChar c : argument) {
        if (reserved.contains(c)) {
            quote = true;
            break;
        }
    }
    QString text;
    if (quote) {
        text += QLatin1Char('"');
        for (const QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$')
                || c == QLatin1Char('\\'))
                text += QLatin1Char('\\');
            text += c;
        }
        text += QLatin1Char('"');
    } else {
        text = argument;
    }
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return escapedValue(text);
}

// The first argument of an Exec value, read as execArgument writes it: the
// value unescaped, then a quoted argument unquoted, or an unquoted one taken
// up to the first blank. Field codes are left as they are.
QString firstExecArgument(const QString &value)
{
    const QString command = unescapedValue(value);
    int i = 0;
    while (i < command.size() && isBlank(command.at(i)))
        ++i;
    QString argument;
    if (i < command.size() && command.at(i) == QLatin1Char('"')) {
        for (++i; i < command.size() && command.at(i) != QLatin1Char('"'); ++i) {
            if (command.at(i) == QLatin1Char('\\') && i + 1 < command.size())
                ++i;
            argument += command.at(i);
        }
    } else {
        for (; i < command.size() && !isBlank(command.at(i)); ++i)
            argument += command.at(i);
    }
    return argument;
}

// The name of the program as the entry's file and display name.
QString programName()
{
    QString name = QCoreApplication::applicationName();
    if (name.isEmpty())
        name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QString safe;
    for (const QChar c : name)
        safe += (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')
                 || c == QLatin1Char('.'))
            ? c
            : QLatin1Char('_');
    return safe.isEmpty() ? QStringLiteral("app") : safe;
}

} // namespace

Os::Os()
    : QObject(nullptr)
{
    m_sessionEvents = new OsSessionEvents(this);
    connect(m_sessionEvents, SIGNAL(terminationSignal(int)), this,
            SIGNAL(atTerminationRequest(int)));
}

Os::~Os()
{
    if (s_instance == this)
        s_instance = nullptr;
}

Os *Os::instance()
{
    if (!s_instance)
        s_instance = new Os;
    return s_instance;
}

bool Os::nativeEvent(const NativeMessage *message)
{
    Os *os = s_instance;
    if (!os || !message)
        return false;

    if (message->message == EndSession) {
        emit os->atUserLogout();
    } else if (message->message == PowerBroadcast) {
        if (message->wParam == PowerSuspend) {
            if (!os->inStandBy) {
                os->inStandBy = true;
                emit os->atSwitchToStandBy();
            }
        } else if (message->wParam == PowerResumeAutomatic) {
            if (os->inStandBy) {
                os->inStandBy = false;
                emit os->atWakeUpFromStandBy();
            }
        }
    }
    return false;
}

bool Os::catchTerminationSignals()
{
    return instance()->m_sessionEvents->catchTerminationSignals();
}

void Os::setUnwrittenAtInterrupt(const QStringList &items)
{
    OsSessionEvents::setUnwrittenAtInterrupt(items);
}

QString Os::libraryFileName(const QString &baseName)
{
    return baseName + QStringLiteral(".so");
}

bool Os::catchBrokenPipe()
{
    struct sigaction current = {};
    if (::sigaction(SIGPIPE, nullptr, &current) != 0)
        return false;
    if (current.sa_handler == SIG_IGN)
        return true;
    struct sigaction action = {};
    action.sa_handler = onBrokenPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGPIPE, &action, nullptr) == 0;
}

bool Os::showInFileManager(const QString &filePath, const QObject *context,
                           std::function<void(const QString &cause)> failed)
{
    if (filePath.trimmed().isEmpty())
        return false;
    // The desktop has no common way to select a file, so its folder is opened.
    // fromLocalFile keeps characters such as '#' or '?' part of the path.
    const QString folder = QDir::cleanPath(QFileInfo(filePath).absolutePath());
    return openUrlWatched(QUrl::fromLocalFile(folder), tr("file manager"), context,
                          std::move(failed));
}

bool Os::showInFileManager(const QString &filePath)
{
    return showInFileManager(filePath, nullptr, nullptr);
}

QString Os::linkOpener()
{
    if (!s_linkOpenerSet) {
        // Where Qt's own desktop services would start xdg-open detached.
        const QString platform = QGuiApplication::platformName();
        const bool desktop = platform == QLatin1String("xcb")
                             || platform.startsWith(QLatin1String("wayland"));
        const bool sandboxed = QFileInfo::exists(QStringLiteral("/.flatpak-info"))
                               || qEnvironmentVariableIsSet("SNAP");
        return desktop && !sandboxed ? QStringLiteral("xdg-open") : QString();
    }
    return s_linkOpener;
}

void Os::setLinkOpener(const QString &program)
{
    s_linkOpenerSet = true;
    s_linkOpener = program;
}

bool Os::openUrlWatched(const QUrl &url, const QString &missing, const QObject *context,
                        std::function<void(const QString &cause)> failed)
{
    const QString name = linkOpener();
    const QString program = name.isEmpty() ? QString() : QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        return QDesktopServices::openUrl(url);
    auto *opener = new OpenerProcess;
    if (context && failed) {
        connect(opener, &OpenerProcess::failed, context,
                [name, missing, failed](int exitCode, bool crashed) {
                    failed(openerFailureCause(name, exitCode, crashed, missing));
                });
    } else {
        const QByteArray what = url.toDisplayString(QUrl::PreferLocalFile).toLocal8Bit();
        connect(opener, &OpenerProcess::failed, opener,
                [name, missing, what](int exitCode, bool crashed) {
                    std::fprintf(stderr, "%s: \"%s\" could not be opened: %s\n",
                                 qPrintable(QCoreApplication::applicationName()), what.constData(),
                                 qPrintable(openerFailureCause(name, exitCode, crashed, missing)));
                });
    }
    return opener->open(program, QString::fromUtf8(url.toEncoded()));
}

double Os::scaleFactor()
{
    return 1.0;
}

QString Os::autoStartFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::ConfigLocation)
        + QStringLiteral("/autostart/") + programName() + QStringLiteral(".desktop");
}

bool Os::isAutoStartEnabled()
{
    // Only a regular file of entry size is read: a FIFO or device standing at
    // the name is not opened. Read as text: carriage returns dropped.
    QByteArray bytes;
    if (!MTools::readRegularFile(autoStartFilePath(), 1024 * 1024, &bytes))
        return false;
    bytes.replace('\r', QByteArray());

    bool inEntry = false;
    bool hasCommand = false;
    bool hidden = false;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry)
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Exec"))
            hasCommand = !firstExecArgument(value).isEmpty();
        else if (key == QLatin1String("Hidden"))
            hidden = value == QLatin1String("true");
        else if (key == QLatin1String("X-GNOME-Autostart-enabled"))
            hidden = hidden || value == QLatin1String("false");
    }
    return hasCommand && !hidden;
}

void Os::setAutoStart(bool on)
{
    const QString path = autoStartFilePath();
    if (!on) {
        QFile::remove(path);
        return;
    }

    // The absolute path: the autostart launcher does not start in the folder
    // the program was first started from.
    const QString program = QCoreApplication::applicationFilePath();
    if (program.isEmpty())
        return;

    // A folder, FIFO or device at the entry's name is left alone.
    if (!MTools::isSaveTarget(path))
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "[Desktop Entry]\n"
        << "Type=Application\n"
        << "Name=" << programName() << '\n'
        << "Exec=" << execArgument(program) << '\n'
        << "X-GNOME-Autostart-enabled=true\n";
    out.flush();
    file.commit();
}
