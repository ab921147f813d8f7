#pragma once

#include <QString>

// The program's whole look: one Qt style sheet that selects widgets by type and
// by object name. Built by static initialisation before main runs and released
// at exit; main applies it once with QApplication::setStyleSheet. Its pictures
// are compiled resources (":/..." paths).
extern const QString appStyleSheet;
