#pragma once

#include <QString>

// Prepares the process for a test before any QApplication exists:
// HOME and the XDG folders point at a fresh temporary folder (removed at exit),
// and the offscreen platform is chosen unless the caller set another one.
// SIGHUP, SIGINT, SIGTERM and SIGPIPE are given their default action, which
// the programs the test starts inherit.
namespace TestEnvironment {
void prepare();
// The temporary home of this test process.
QString homePath();
// Registers the URL recorder for every scheme the program opens; call after
// the QGuiApplication exists.
void installUrlRecorder();
}
