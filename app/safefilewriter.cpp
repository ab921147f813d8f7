#include "safefilewriter.h"

#include "filehelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("SafeFileWriter", text);
}

} // namespace

bool SafeFileWriter::write(const QString &path, const QByteArray &bytes, QString *error)
{
    if (path.isEmpty())
        return fail(error, tr("No file name was given."));
    const QString shown = QDir::toNativeSeparators(path);
    QString refusal;
    if (!MTools::isSaveTarget(path, &refusal))
        return fail(error, tr("\"%1\" could not be saved: %2").arg(shown, refusal));
    // Writing in place would truncate the old file first: a full disk or a
    // crash would then lose it. Only a new file may be written directly.
    const bool exists = QFileInfo::exists(path);
    QSaveFile file(path);
    file.setDirectWriteFallback(!exists);
    if (!file.open(QIODevice::WriteOnly)) {
        if (exists && QFileInfo(path).isWritable())
            return fail(error, tr("\"%1\" was not saved: its folder allows no temporary file, "
                                  "which is needed to replace the file safely. The existing "
                                  "file is unchanged.").arg(shown));
        return fail(error, tr("\"%1\" could not be saved: %2").arg(shown, file.errorString()));
    }
    // A failure while flushing the last buffered bytes is not seen by commit(),
    // so flush here and check.
    if (!writeAll(file, bytes) || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        file.commit();  // discards the temporary file, keeps the target untouched
        return fail(error, tr("\"%1\" could not be saved: %2").arg(shown, reason));
    }
    if (!file.commit())
        return fail(error, tr("\"%1\" could not be saved: %2").arg(shown, file.errorString()));
    return true;
}

bool SafeFileWriter::writeAll(QIODevice &device, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 written = device.write(data, left);
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}
