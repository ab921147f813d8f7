#pragma once

#include <QString>

// What a file reader must refuse, made under a name for a test: "fifo" a
// named pipe, "folder" a folder, "gif" a 35-byte GIF on a 16000 x 16000
// screen (a gigabyte once decoded).
namespace ReaderTargets {
// False when it could not be made, or the kind is none of these.
bool make(const QString &path, const QString &kind);
}
