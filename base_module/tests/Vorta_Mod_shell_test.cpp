#include "testing/ShellProcess.h"
#include "testing/TempInstallation.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>

using vorta::testing::ShellProcess;

namespace {
constexpr int kWait = 20000;

QString program(const char* name)
{
    return qEnvironmentVariable("VORTA_BIN_DIR", QCoreApplication::applicationDirPath()) + "/" + name;
}

std::string said(const ShellProcess& shell)
{
    return shell.transcript().toStdString();
}
} // namespace

// The base module under a shell in another process: the module number it was given
// comes back with every notification, the shell's requests are answered, and 13 ends it.
TEST(VortaModUnderTheShell, TalksToTheShellAndEndsWhenAsked)
{
    vorta::testing::TempInstallation inst;
    inst.installDatabase();
    ShellProcess shell;
    const QString script = "wait-handshake;wait-notify 1;send 0;send 1;send 2;send 12;send 14;send 13;"
                           "wait-notify 2;wait-exit";
    ASSERT_TRUE(shell.start(script, {"--reply", "9", "--offset", "50", "--run", program("Vorta_Mod")})) << said(shell);
    ASSERT_TRUE(shell.waitForLine("handshake ", kWait)) << said(shell);
    const auto m = QRegularExpression("^handshake main=(\\d+) app=(\\d+) -> 9$").match(shell.matchedLine());
    ASSERT_TRUE(m.hasMatch()) << said(shell);
    EXPECT_NE(m.captured(1), m.captured(2)); // the main form and the application are two windows

    ASSERT_TRUE(shell.waitForLine("notify 1 ", kWait)) << said(shell);
    EXPECT_EQ(shell.matchedRest(), "9");
    for (const char* w : {"0", "1", "12", "14", "13"}) {
        ASSERT_TRUE(shell.waitForLine(QString("sent %1 -> ").arg(w), kWait)) << said(shell);
        EXPECT_EQ(shell.matchedRest(), "1") << w;
    }
    // Show and activate answers a form's window: with no other form, the main form.
    ASSERT_TRUE(shell.waitForLine("sent 2 -> ", kWait)) << said(shell);
    EXPECT_EQ(shell.matchedRest(), m.captured(1)) << said(shell);
    ASSERT_TRUE(shell.waitForLine("notify 2 ", kWait)) << said(shell);
    EXPECT_EQ(shell.matchedRest(), "9");
    ASSERT_TRUE(shell.waitForLine("exited ", kWait)) << said(shell);
    EXPECT_EQ(shell.matchedRest(), "0");
    ASSERT_TRUE(shell.waitForFinished(kWait)) << said(shell);
    EXPECT_EQ(shell.exitCode(), 0) << said(shell);
}
