// Loads settings files as the settings dialog's load button does and prints,
// per file, whether it loaded (or why not) and how long that took.
//
//   QT_QPA_PLATFORM=offscreen bench_settingsload FILE...
//
// Run it under /usr/bin/time -v with one file for the peak memory.
#include "settingsdialog.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    for (int i = 1; i < argc; ++i) {
        const QString name = QString::fromLocal8Bit(argv[i]);
        QString error;
        QElapsedTimer clock;
        clock.start();
        const bool loaded = QMWidgets::SettingsDialog::loadFromFile(name, &error);
        const double ms = clock.nsecsElapsed() / 1e6;
        std::printf("%-40s %9.1f ms  %s %s\n", argv[i], ms, loaded ? "loaded" : "refused:",
                    qPrintable(error.left(160)));
    }
    return 0;
}
