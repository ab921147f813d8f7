#pragma once

#include <QString>
#include <QVector>

// One file of a resource list.
struct QrcEntry
{
    QString alias; // path after the prefix (empty: same as the file path)
    QString file;  // path relative to the .qrc file
};

// Writes a .qrc file at path listing the entries under prefix, headed by a
// comment naming the tool that wrote it. False when it cannot be written.
bool writeQrcFile(const QString &path, const QString &prefix, const QString &writtenBy,
                  const QVector<QrcEntry> &entries);
