#include "filehelpers.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace MTools {

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("MTools", text);
}

} // namespace

QByteArray compressRaw(const QByteArray &bytes)
{
    return qCompress(bytes, 9).mid(4);
}

QString fileNameWithoutSuffix(const QFileInfo &info)
{
    const QString name = info.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

bool openRegularFile(const QString &fileName, QFile *file, QString *error)
{
    const QByteArray path = QFile::encodeName(fileName);
    int fd;
    do
        fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return fail(error, qt_error_string(errno));
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return fail(error, tr("This is not a regular file."));
    }
    // O_NONBLOCK stays set: it changes nothing for an ordinary file, and a
    // kernel file that stat calls regular (such as a log that waits for
    // messages) then fails its read instead of blocking.
    file->setFileName(fileName);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(error, file->errorString());
    }
    return true;
}

bool readRegularFile(const QString &fileName, qint64 maxBytes, QByteArray *bytes, QString *error)
{
    QFile file;
    if (!openRegularFile(fileName, &file, error))
        return false;
    const QString tooLarge = tr("The file is larger than %1 bytes and is not read.").arg(maxBytes);
    if (file.size() > maxBytes)
        return fail(error, tooLarge);
    // The file may have grown since its size was taken, or report no size
    // at all: read one byte past the limit to notice.
    const QByteArray read = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(error, file.errorString());
    if (read.size() > maxBytes)
        return fail(error, tooLarge);
    *bytes = read;
    return true;
}

bool isSaveTarget(const QString &fileName, QString *error)
{
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return fail(error, tr("This name belongs to a folder, device or pipe, not to a regular "
                              "file; a save does not replace it."));
    return true;
}

} // namespace MTools
