#include "os.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

double Os::scaleFactor()
{
    return 1.0;
}

bool Os::showInFileManager(const QString &filePath)
{
    if (filePath.trimmed().isEmpty())
        return false;
    // The desktop has no common way to select a file, so its folder is opened.
    // fromLocalFile keeps characters such as '#' or '?' part of the path.
    const QString folder = QDir::cleanPath(QFileInfo(filePath).absolutePath());
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
