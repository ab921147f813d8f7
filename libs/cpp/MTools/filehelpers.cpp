#include "filehelpers.h"

namespace MTools {

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

} // namespace MTools
