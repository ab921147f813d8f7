#pragma once

#include "testenvironment.h"

#include <QApplication>
#include <QtTest>

// A QtTest main that runs in a temporary home with the URL recorder installed.
// GLYPH_TEST_MAIN uses a plain QApplication; GLYPH_APP_TEST_MAIN builds the
// given application class with the program's organisation and application names.
#define GLYPH_TEST_MAIN(TestObject)                                                    \
    int main(int argc, char *argv[])                                                   \
    {                                                                                  \
        TestEnvironment::prepare();                                                    \
        QApplication app(argc, argv);                                                  \
        TestEnvironment::installUrlRecorder();                                         \
        TestObject tc;                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                     \
        return QTest::qExec(&tc, argc, argv);                                          \
    }

#define GLYPH_APP_TEST_MAIN(TestObject, AppClass)                                      \
    int main(int argc, char *argv[])                                                   \
    {                                                                                  \
        TestEnvironment::prepare();                                                    \
        AppClass app(argc, argv, QStringLiteral("Quillar"), QStringLiteral("Glyphcraft")); \
        TestEnvironment::installUrlRecorder();                                         \
        int result = 0;                                                                \
        {                                                                              \
            TestObject tc;                                                             \
            QTEST_SET_MAIN_SOURCE_PATH                                                 \
            result = QTest::qExec(&tc, argc, argv);                                    \
        }                                                                              \
        return result;                                                                 \
    }
