#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes whole files so that a failure never leaves a truncated or half
// written file behind: the bytes go to a temporary file beside the target,
// which replaces the target only once everything was written. When the folder
// does not allow new files but the target itself is writable, the target is
// written directly instead.
class SafeFileWriter
{
public:
    // Writes the bytes as the complete content of the file at path. Returns
    // false on any failure (empty path, folder missing, no permission, short
    // write, failed commit); the old file, if any, is then left as it was.
    static bool write(const QString &path, const QByteArray &bytes);

    // Writes all bytes to an open device; false as soon as a write fails or
    // makes no progress.
    static bool writeAll(QIODevice &device, const QByteArray &bytes);
};
