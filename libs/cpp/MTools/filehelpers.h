#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QString>

namespace MTools {

// The raw zlib stream of the bytes at level 9 (qCompress without its 4-byte
// length prefix).
QByteArray compressRaw(const QByteArray &bytes);

// The file name up to, not including, its last "."; the whole name when it has none.
QString fileNameWithoutSuffix(const QFileInfo &info);

} // namespace MTools
