#pragma once

#include <QApplication>
#include <QTest>

#include <unistd.h>

// A QtTest main for tests that run the real web engine. As root, Chromium refuses to start with
// its sandbox on, and the variable must be set before the application object exists.
#define VELMO_WEB_TEST_MAIN(TestClass)                                                             \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        if (geteuid() == 0)                                                                        \
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");                                           \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
