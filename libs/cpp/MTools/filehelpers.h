#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace MTools {

// The raw zlib stream of the bytes at level 9 (qCompress without its 4-byte
// length prefix).
QByteArray compressRaw(const QByteArray &bytes);

// The file name up to, not including, its last "."; the whole name when it has none.
QString fileNameWithoutSuffix(const QFileInfo &info);

// Opens fileName read-only as a regular file. A name that is not one (FIFO,
// device, socket, folder) is refused without being opened; the name is then
// opened without blocking (a FIFO or device swapped in under it, or a file
// another process holds a lease on, must not stall the caller) and the open
// descriptor, not the name, is judged. On success *file is open and owns the
// descriptor; reads of a file that has no data yet fail rather than wait.
// Returns false with a sentence for the user in *error (when given).
bool openRegularFile(const QString &fileName, QFile *file, QString *error = nullptr);
// The same for a name in the file system's own bytes, as fopen takes it:
// such a name need not be text in the locale's encoding.
bool openRegularPath(const QByteArray &path, QFile *file, QString *error = nullptr);
// The same, but a name that begins with ':' is opened from the program's own
// resources, which Qt never reads from the disk (so no FIFO can be there).
bool openResourceOrRegularFile(const QString &fileName, QFile *file, QString *error = nullptr);

// Reads the whole content of a regular file of at most maxBytes bytes into
// *bytes, opened as openRegularFile opens. A larger file is refused by its
// size before it is read, and a file that grows past the limit while it is
// read is refused too. Returns false on refusal or a failed read, with a
// sentence for the user in *error (when given); *bytes is then untouched.
bool readRegularFile(const QString &fileName, qint64 maxBytes, QByteArray *bytes,
                     QString *error = nullptr);

// Whether a save may put a regular file at fileName: true when nothing is
// there yet or a regular file (or a link to one) is. A save must not replace
// a FIFO, device, socket or folder with a file of its own; false then, with a
// sentence for the user in *error (when given).
bool isSaveTarget(const QString &fileName, QString *error = nullptr);

} // namespace MTools
