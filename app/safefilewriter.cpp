#include "safefilewriter.h"

#include <QIODevice>
#include <QSaveFile>

bool SafeFileWriter::write(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // A failure while flushing the last buffered bytes is not seen by commit(),
    // so flush here and check.
    if (!writeAll(file, bytes) || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        file.commit();  // discards the temporary file, keeps the target untouched
        return false;
    }
    return file.commit();
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
