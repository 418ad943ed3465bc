#pragma once

#include "testing/ShellProcess.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <utility>

// The ipc tests need a second process. It is this test program again, started with
// VORTA_IPC_TEST_ROLE naming what it plays; the child does its part before any test
// runs, speaks in lines beginning "child: " and ends without running tests.
namespace vorta::ipctest {

// Messages the "peer" child answers (registered names).
inline const QString kCompute = QStringLiteral("VortaTestCompute");       // result wParam * 1000 + lParam
inline const QString kCallBack = QStringLiteral("VortaTestCallBack");     // sends kCompute(wParam, 7) to handle lParam, answers that + 1
inline const QString kPostSelf = QStringLiteral("VortaTestPostSelf");     // posts kPosted(wParam, lParam) to itself, answers 1
inline const QString kPosted = QStringLiteral("VortaTestPosted");         // sends kReport(wParam) to the parent's handle
// (lParam 1: the peer stops the parent before answering and has it resumed only once
// the report is on its way)
inline const QString kReport = QStringLiteral("VortaTestReport");         // what the parent receives
inline const QString kHang = QStringLiteral("VortaTestHang");             // answers only once its standard input is closed
inline const QString kThrow = QStringLiteral("VortaTestThrow");           // sets result 9, then throws

// Starts this test program as a child playing role, with extra environment entries.
inline bool startChild(testing::LineProcess& child, const QString& role,
                       const QList<std::pair<QString, QString>>& env = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VORTA_IPC_TEST_ROLE"), role);
    for (const auto& [name, value] : env)
        environment.insert(name, value);
    // The test environment (and with it the role) runs only when some test is to run;
    // the role ends the process before any does.
    return child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=*")}, environment);
}

} // namespace vorta::ipctest
