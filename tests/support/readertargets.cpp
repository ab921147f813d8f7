#include "readertargets.h"

#include "picturebytes.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace ReaderTargets {

bool make(const QString &path, const QString &kind)
{
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == QLatin1String("folder"))
        return QDir().mkdir(path);
    if (kind == QLatin1String("gif")) {
        QFile file(path);
        const QByteArray bytes = PictureBytes::gifOnScreen(16000, 16000);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    return false;
}

} // namespace ReaderTargets
