#include "qrcwriter.h"

#include <QFile>
#include <QTextStream>

bool writeQrcFile(const QString &path, const QString &prefix, const QString &writtenBy,
                  const QVector<QrcEntry> &entries)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    out << "<!DOCTYPE RCC>\n<!-- Written by " << writtenBy << "; regenerate rather than edit. -->\n"
        << "<RCC version=\"1.0\">\n<qresource prefix=\"" << prefix << "\">\n";
    for (const QrcEntry &e : entries) {
        if (e.alias.isEmpty() || e.alias == e.file)
            out << "    <file>" << e.file << "</file>\n";
        else
            out << "    <file alias=\"" << e.alias << "\">" << e.file << "</file>\n";
    }
    out << "</qresource>\n</RCC>\n";
    out.flush();
    return out.status() == QTextStream::Ok && file.flush();
}
