#include "filehelpers.h"

#include <QCoreApplication>
#include <QFile>

namespace MTools {

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("MTools", text);
}

} // namespace

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

bool readRegularFile(const QString &fileName, qint64 maxBytes, QByteArray *bytes, QString *error)
{
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return fail(error, tr("This is not a regular file."));
    const QString tooLarge = tr("The file is larger than %1 bytes and is not read.").arg(maxBytes);
    if (info.size() > maxBytes)
        return fail(error, tooLarge);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    // The file may have grown since its size was taken: read one byte past
    // the limit to notice.
    const QByteArray read = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(error, file.errorString());
    if (read.size() > maxBytes)
        return fail(error, tooLarge);
    *bytes = read;
    return true;
}

bool isSaveTarget(const QString &fileName, QString *error)
{
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return fail(error, tr("This name belongs to a folder, device or pipe, not to a regular "
                              "file; a save does not replace it."));
    return true;
}

} // namespace MTools
