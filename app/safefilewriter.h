#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes whole files so that a failure never leaves a truncated or half
// written file behind: the bytes go to a temporary file beside the target,
// which replaces the target only once everything was written. An existing
// file is never written in place: when its folder allows no temporary file the
// write fails and the file stays as it was. Only a file that does not exist
// yet may be written directly. A folder, device or pipe is never replaced.
class SafeFileWriter
{
public:
    // Writes the bytes as the complete content of the file at path. Returns
    // false on any failure (empty path, a name that is no regular file, folder
    // missing, no permission, no room for a temporary file, short write,
    // failed commit); the old file, if any, is then left as it was, and error
    // (when given) receives a sentence for the user.
    static bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr);

    // Writes all bytes to an open device; false as soon as a write fails or
    // makes no progress.
    static bool writeAll(QIODevice &device, const QByteArray &bytes);
};
