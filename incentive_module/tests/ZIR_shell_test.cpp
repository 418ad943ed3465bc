#include "testing/ShellProcess.h"
#include "testing/TempInstallation.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>

using vorta::testing::LineProcess;
using vorta::testing::ShellProcess;

namespace {
QString program(const char* name)
{
    return qEnvironmentVariable("VORTA_BIN_DIR", QCoreApplication::applicationDirPath()) + "/" + name;
}

QProcessEnvironment moduleEnvironment()
{
    QProcessEnvironment env = ShellProcess::environment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VORTA_DIALOGS", "stderr");
    return env;
}
} // namespace

// The whole conversation of a module program with a shell in another process.
TEST(ZIRUnderTheShell, HandshakeNotificationsAndRequests)
{
    vorta::testing::TempInstallation inst; // the module opens its database as it starts
    inst.installDatabase();
    ShellProcess shell;
    const QString script = "wait-handshake;wait-notify 1;send 0;send 1;send 2;send 7;send 13;wait-notify 2;wait-exit";
    ASSERT_TRUE(shell.start(script, {"--reply", "42", "--offset", "30", "--run", program("ZIR")})) << shell.transcript().toStdString();
    ASSERT_TRUE(shell.waitForLine("handshake ", 20000)) << shell.transcript().toStdString();
    const QRegularExpression handshake("main=(\\d+) app=(\\d+) -> 42");
    const auto m = handshake.match(shell.matchedLine());
    ASSERT_TRUE(m.hasMatch()) << shell.matchedLine().toStdString();
    EXPECT_NE(m.captured(1), m.captured(2));

    ASSERT_TRUE(shell.waitForLine("notify 1 ", 20000)) << shell.transcript().toStdString();
    EXPECT_EQ(shell.matchedRest(), "42"); // the reply comes back with every notification
    for (const char* w : {"0", "1", "7"}) {
        ASSERT_TRUE(shell.waitForLine(QString("sent %1 -> ").arg(w), 20000)) << shell.transcript().toStdString();
        EXPECT_EQ(shell.matchedRest(), "1") << w;
    }
    ASSERT_TRUE(shell.waitForLine("sent 2 -> ", 20000)) << shell.transcript().toStdString();
    EXPECT_NE(shell.matchedRest(), "0"); // a form's window handle
    ASSERT_TRUE(shell.waitForLine("sent 13 -> ", 20000));
    EXPECT_EQ(shell.matchedRest(), "1");
    ASSERT_TRUE(shell.waitForLine("notify 2 ", 20000)) << shell.transcript().toStdString();
    EXPECT_EQ(shell.matchedRest(), "42");
    ASSERT_TRUE(shell.waitForLine("exited ", 20000)) << shell.transcript().toStdString();
    EXPECT_EQ(shell.matchedRest(), "0");
    ASSERT_TRUE(shell.waitForFinished(20000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.transcript().toStdString();
}

// A second start of the same program hands over to the first and ends by itself,
// without a handshake of its own.
TEST(ZIRUnderTheShell, ASecondStartEndsAndTheFirstRunsOn)
{
    vorta::testing::TempInstallation inst;
    inst.installDatabase();
    ShellProcess shell;
    ASSERT_TRUE(shell.start("wait-handshake;wait-notify 1;wait-exit", {"--run", program("ZIR")}))
        << shell.transcript().toStdString();
    ASSERT_TRUE(shell.waitForLine("notify 1 ", 20000)) << shell.transcript().toStdString();
    const auto m = QRegularExpression("main=(\\d+)").match(shell.lines().filter("handshake ").value(0));
    ASSERT_TRUE(m.hasMatch());

    LineProcess second;
    ASSERT_TRUE(second.start(program("ZIR"), {shell.handle(), "0"}, moduleEnvironment()));
    ASSERT_TRUE(second.waitForFinished(20000)) << second.transcript().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.transcript().toStdString();

    // The first one still answers, and ends when asked to.
    auto& messenger = vorta::ipc::Messenger::instance();
    EXPECT_EQ(messenger.sendMessage(m.captured(1).toUInt(), messenger.registerWindowMessage("WM_VortaModNotify"), 13, 0), 1);
    ASSERT_TRUE(shell.waitForLine("exited ", 20000)) << shell.transcript().toStdString();
    EXPECT_EQ(shell.matchedRest(), "0");
    const QStringList lines = shell.lines();
    EXPECT_EQ(lines.filter(QRegularExpression("^handshake ")).size(), 1) << shell.transcript().toStdString();
}
