#pragma once

#include <QApplication>
#include <QTest>

#include <cstdlib>
#include <unistd.h>

// A test main for tests that run the real web engine: its sandbox cannot start as root, and it
// wants shared GL contexts before the application object exists.
#define VELMO_WEB_TEST_MAIN(TestClass)                                                             \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        if (::geteuid() == 0)                                                                      \
            ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);                                       \
        ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--log-level=3", 0);                                \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
