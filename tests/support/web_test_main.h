#pragma once

#include <QApplication>
#include <QTest>

#include "platform/viewer/web_engine_setup.h"

// A test main for tests that run the real web engine, prepared as the program prepares it.
#define VELMO_WEB_TEST_MAIN(TestClass)                                                             \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        prepareWebEngineProcess();                                                                 \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
