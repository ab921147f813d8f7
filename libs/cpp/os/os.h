#pragma once

#include <QObject>
#include <QString>

// What the support library knows about the operating system. Most operations
// are static and need no instance; the class is a QObject so that session and
// power notices can be offered as signals of one process-wide object.
class Os : public QObject
{
    Q_OBJECT

public:
    // Scale factor of the screen on top of Qt's device pixel ratio; 1.0 on
    // every supported system. Callers multiply screen sizes by it.
    static double scaleFactor();

    // Shows the file in the system file manager by opening the folder that
    // holds it (a "file://" URL through the desktop services). Returns the
    // result of that call; false for an empty path, which names no folder.
    static bool showInFileManager(const QString &filePath);
};
