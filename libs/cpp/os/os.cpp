#include "os.h"

#include "ossessionevents.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

namespace {

Os *s_instance = nullptr;

// One argument of a desktop entry's Exec key: quoted when it holds anything
// the launcher would split or expand, then escaped as a string value.
QString execArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
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
    // Field codes start with '%'; a literal one is doubled. Then the string
    // value escaping, which turns every backslash into two.
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return text;
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

QString Os::libraryFileName(const QString &baseName)
{
    return baseName + QStringLiteral(".so");
}

bool Os::showInFileManager(const QString &filePath)
{
    if (filePath.trimmed().isEmpty())
        return false;
    // The desktop has no common way to select a file, so its folder is opened.
    // fromLocalFile keeps characters such as '#' or '?' part of the path.
    const QString folder = QDir::cleanPath(QFileInfo(filePath).absolutePath());
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
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
    QFile file(autoStartFilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;

    bool inEntry = false;
    bool hasCommand = false;
    bool hidden = false;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    QString line;
    while (in.readLineInto(&line)) {
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
            hasCommand = !value.isEmpty();
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
