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
    return openRegularPath(QFile::encodeName(fileName), file, error);
}

bool openRegularPath(const QByteArray &path, QFile *file, QString *error)
{
    const QString notRegular = tr("This is not a regular file.");
    // Judged by the name first, so that a FIFO or device is not even opened
    // (opening one can have effects of its own), then by the open descriptor,
    // which is what is read even when the name was swapped in between.
    struct stat status;
    if (::stat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return fail(error, notRegular);
    int fd;
    do
        fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno == EWOULDBLOCK) // another program holds a lease on it
        return fail(error, tr("Another program is using this file; it is not read now."));
    if (fd < 0)
        return fail(error, qt_error_string(errno));
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return fail(error, notRegular);
    }
    // O_NONBLOCK stays set: it changes nothing for an ordinary file, and a
    // kernel file that stat calls regular (such as a log that waits for
    // messages) then fails its read instead of blocking.
    file->setFileName(QFile::decodeName(path));
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(error, file->errorString());
    }
    return true;
}

bool openResourceOrRegularFile(const QString &fileName, QFile *file, QString *error)
{
    if (!fileName.startsWith(QLatin1Char(':')))
        return openRegularFile(fileName, file, error);
    file->setFileName(fileName);
    if (!file->open(QIODevice::ReadOnly))
        return fail(error, file->errorString());
    return true;
}

bool readRegularFile(const QString &fileName, qint64 maxBytes, QByteArray *bytes, QString *error)
{
    QFile file;
    if (!openRegularFile(fileName, &file, error))
        return false;
    const QString tooLarge = tr("The file is larger than %1 bytes and is not read.").arg(maxBytes);
    const qint64 size = file.size();
    if (size > maxBytes)
        return fail(error, tooLarge);
    // The file may have grown since its size was taken, or report no size at
    // all: blocks are read up to one byte past the limit to notice. The first
    // block is sized by the file, so a small file costs a small buffer.
    QByteArray read;
    qint64 want = size + 1;
    for (;;) {
        const QByteArray block = file.read(want);
        if (file.error() != QFileDevice::NoError)
            return fail(error, file.errorString());
        read += block;
        if (read.size() > maxBytes)
            return fail(error, tooLarge);
        if (block.size() < want)
            break; // the end of the file
        want = qMin<qint64>(qMax<qint64>(read.size(), 64 * 1024), maxBytes + 1 - read.size());
    }
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
