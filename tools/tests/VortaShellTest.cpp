#include "testing/ShellProcess.h"

#include "platform/ipc/WindowMessages.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <sys/types.h>

using vorta::ipc::Message;
using vorta::ipc::Messenger;
using vorta::ipc::WindowHandle;
using vorta::testing::ShellProcess;

namespace {

constexpr int kWait = 10000;
constexpr std::int64_t kActiveForm = 0x5A5A5;

std::uint32_t msgNumber(const char* name)
{
    return Messenger::instance().registerWindowMessage(QString::fromLatin1(name));
}

// The test process as a module: a main form window the shell can address.
class FakeModule : public vorta::ipc::MessageTarget {
public:
    explicit FakeModule(ShellProcess& shell) : m_shell(shell)
    {
        handle = Messenger::instance().allocateHandle(this);
    }
    ~FakeModule() override { Messenger::instance().releaseHandle(handle); }

    void windowProc(Message& message) override
    {
        received.append(message);
        if (message.msg == modNotify)
            message.result = message.wParam == 2 ? kActiveForm : 1;
        else
            message.result = static_cast<std::int64_t>(message.wParam) * 10 + message.lParam;
        if (!handshakeDone)
            beforeHandshakeReturned.append(message);
        m_shell.poke();
    }

    std::int64_t handshake(std::int64_t appWindow)
    {
        const auto number = Messenger::instance().sendMessage(m_shell.windowHandle(), mainFormHandle, handle, appWindow);
        handshakeDone = true;
        return number;
    }
    std::int64_t notify(std::uint64_t wParam, std::int64_t moduleNumber)
    {
        return Messenger::instance().sendMessage(m_shell.windowHandle(), notifyMsg, wParam, moduleNumber);
    }
    QList<std::uint64_t> modNotifyWParams() const
    {
        QList<std::uint64_t> w;
        for (const Message& m : received) {
            if (m.msg == modNotify)
                w.append(m.wParam);
        }
        return w;
    }

    const std::uint32_t mainFormHandle = msgNumber("WM_VortaModMainFormHandle");
    const std::uint32_t notifyMsg = msgNumber("WM_VortaNotify");
    const std::uint32_t modNotify = msgNumber("WM_VortaModNotify");
    WindowHandle handle = 0;
    bool handshakeDone = false;
    QList<Message> received;
    QList<Message> beforeHandshakeReturned;

private:
    ShellProcess& m_shell;
};

std::string said(const ShellProcess& shell)
{
    return shell.transcript().toStdString();
}

TEST(VortaShellTest, FirstLineIsTheShellWindowWhichModulesCanReach)
{
    ShellProcess shell;
    ASSERT_TRUE(shell.start(QStringLiteral("wait-handshake"))) << said(shell);
    EXPECT_EQ(shell.lines().value(0), QStringLiteral("shell ") + shell.handle());
    EXPECT_TRUE(Messenger::instance().isWindow(shell.windowHandle()));
    shell.kill();
}

TEST(VortaShellTest, HandshakeAnswersTheModuleNumber)
{
    struct Case {
        const char* what;
        QStringList options;
        std::int64_t first, second;
    } cases[] = {
        {"counter", {}, 1, 2},
        {"--reply", {QStringLiteral("--reply"), QStringLiteral("77")}, 77, 77},
    };
    for (const Case& c : cases) {
        ShellProcess shell;
        ASSERT_TRUE(shell.start(QStringLiteral("wait-handshake;wait-handshake;quit"), c.options)) << said(shell);
        FakeModule module(shell);
        EXPECT_EQ(module.handshake(555), c.first) << c.what;
        EXPECT_EQ(module.handshake(-556), c.second) << c.what;
        ASSERT_TRUE(shell.waitForFinished(kWait)) << said(shell);
        EXPECT_EQ(shell.exitCode(), 0) << said(shell);
        const QString h = QString::number(module.handle);
        EXPECT_TRUE(shell.lines().contains(QStringLiteral("handshake main=%1 app=555 -> %2").arg(h).arg(c.first))) << said(shell);
        EXPECT_TRUE(shell.lines().contains(QStringLiteral("handshake main=%1 app=-556 -> %2").arg(h).arg(c.second))) << said(shell);
    }
}

TEST(VortaShellTest, NotificationsAreRecordedAndWaitsTakeThemInTurn)
{
    ShellProcess shell;
    // Two waits for 1 need two notifications 1; the 2 in between waits its turn.
    ASSERT_TRUE(shell.start(QStringLiteral("wait-handshake;wait-notify 1;wait-notify 1;wait-notify 2;quit"),
                            {QStringLiteral("--timeout-ms"), QStringLiteral("5000")}))
        << said(shell);
    FakeModule module(shell);
    const auto number = module.handshake(1);
    EXPECT_EQ(module.notify(1, number), 1);
    EXPECT_EQ(module.notify(2, number), 1);
    EXPECT_TRUE(shell.isRunning()) << "one notification 1 is not two";
    EXPECT_EQ(module.notify(1, number), 1);
    ASSERT_TRUE(shell.waitForFinished(kWait)) << said(shell);
    EXPECT_EQ(shell.exitCode(), 0) << said(shell);
    EXPECT_EQ(shell.lines().mid(2), (QStringList{"notify 1 1", "notify 2 1", "notify 1 1"})) << said(shell);
}

TEST(VortaShellTest, SendDeliversRequestsToTheMainFormAfterTheHandshakeReturned)
{
    ShellProcess shell;
    ASSERT_TRUE(shell.start(QStringLiteral("wait-handshake;send 0;send 1;send 2;send 13;send 5;quit"))) << said(shell);
    FakeModule module(shell);
    EXPECT_EQ(module.handshake(9), 1);
    // Serving the shell's requests while waiting for its lines.
    ASSERT_TRUE(shell.waitForLine(QStringLiteral("sent 5 -> "), kWait)) << said(shell);
    ASSERT_TRUE(shell.waitForFinished(kWait)) << said(shell);
    EXPECT_EQ(shell.exitCode(), 0);

    EXPECT_TRUE(module.beforeHandshakeReturned.isEmpty()) << "the shell sent while the handshake was open";
    EXPECT_EQ(module.modNotifyWParams(), (QList<std::uint64_t>{0, 1, 2, 13, 5}));
    const QStringList expected{"sent 0 -> 1", "sent 1 -> 1", QStringLiteral("sent 2 -> %1").arg(kActiveForm),
                               "sent 13 -> 1", "sent 5 -> 1"};
    for (const QString& line : expected)
        EXPECT_TRUE(shell.lines().contains(line)) << line.toStdString() << "\n" << said(shell);
}

TEST(VortaShellTest, SendMsgDeliversAnyMessageAndPostDoesNotWait)
{
    ShellProcess shell;
    ASSERT_TRUE(shell.start(QStringLiteral("wait-handshake;send-msg 26 47 0;send-msg 49999 3 -9;post 1;quit"))) << said(shell);
    FakeModule module(shell);
    module.handshake(0);
    ASSERT_TRUE(shell.waitForLine(QStringLiteral("sent-msg 26 47 0 -> "), kWait)) << said(shell);
    EXPECT_EQ(shell.matchedRest(), QStringLiteral("470"));
    ASSERT_TRUE(shell.waitForLine(QStringLiteral("sent-msg 49999 3 -9 -> "), kWait)) << said(shell);
    EXPECT_EQ(shell.matchedRest(), QStringLiteral("21"));
    ASSERT_TRUE(shell.waitForLine(QStringLiteral("posted 1 -> 1"), kWait)) << said(shell);
    // The posted request arrives on its own, the shell may already be gone.
    EXPECT_TRUE(shell.waitFor([&] { return module.modNotifyWParams() == QList<std::uint64_t>{1}; }, kWait));
    ASSERT_GE(module.received.size(), 2);
    EXPECT_EQ(module.received[0].msg, 26u);
    EXPECT_EQ(module.received[0].wParam, 47u);
    EXPECT_EQ(module.received[1].msg, 49999u);
    EXPECT_EQ(module.received[1].lParam, -9);
}

TEST(VortaShellTest, WaitsThatRunOutEndTheShellWithCodeOne)
{
    const struct {
        const char* script;
        QStringList extra;
        const char* line;
    } cases[] = {
        {"wait-handshake;quit", {}, "timeout handshake"},
        {"wait-notify 1;quit", {}, "timeout notify 1"},
        {"wait-exit;quit", {"--run", "/bin/cat", "--args"}, "timeout exit"},
    };
    for (const auto& c : cases) {
        ShellProcess shell;
        ASSERT_TRUE(shell.start(QString::fromLatin1(c.script), QStringList{"--timeout-ms", "200"} + c.extra)) << said(shell);
        ASSERT_TRUE(shell.waitForFinished(kWait)) << said(shell);
        EXPECT_EQ(shell.exitCode(), 1) << c.script;
        EXPECT_EQ(shell.lines().last(), QString::fromLatin1(c.line)) << said(shell);
    }
}

TEST(VortaShellTest, RunsTheProgramWithHandleAndOffset)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("fake-module"));
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\necho \"args:$#:$1:$2\" >&2\nexit 5\n");
    }
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const struct {
        QStringList options;
        QString expected; // {h}: the shell's handle
    } cases[] = {
        {{}, "args:2:{h}:80"},
        {{"--offset", "120"}, "args:2:{h}:120"},
        {{"--args", "abc", "{handle}"}, "args:2:abc:{h}"},
        {{"--args"}, "args:0::"},
        {{"x{offset}y"}, "args:1:x80y:"},
    };
    for (const auto& c : cases) {
        ShellProcess shell;
        // Options before --run belong to the shell, the rest to the program.
        QStringList options = c.options;
        const qsizetype offsetAt = options.indexOf(QStringLiteral("--offset"));
        QStringList shellOptions;
        if (offsetAt >= 0) {
            shellOptions = options.mid(offsetAt, 2);
            options.remove(offsetAt, 2);
        }
        ASSERT_TRUE(shell.start(QStringLiteral("wait-exit"), shellOptions + QStringList{"--run", program} + options)) << said(shell);
        ASSERT_TRUE(shell.waitForFinished(kWait)) << said(shell);
        EXPECT_EQ(shell.exitCode(), 0) << said(shell);
        ASSERT_EQ(shell.lines().size(), 3) << said(shell);
        EXPECT_TRUE(shell.lines()[1].startsWith(QStringLiteral("started "))) << said(shell);
        EXPECT_EQ(shell.lines()[2], QStringLiteral("exited 5"));
        const QString expected = QString(c.expected).replace(QStringLiteral("{h}"), shell.handle());
        EXPECT_TRUE(shell.errorOutput().contains(expected)) << expected.toStdString() << "\n" << said(shell);
    }
}

TEST(VortaShellTest, CrashOfTheProgramIsReported)
{
    ShellProcess shell;
    ASSERT_TRUE(shell.start(QStringLiteral("wait-exit"), {"--run", "/bin/sh", "--args", "-c", "kill -9 $$"})) << said(shell);
    ASSERT_TRUE(shell.waitForFinished(kWait)) << said(shell);
    EXPECT_EQ(shell.exitCode(), 0);
    EXPECT_EQ(shell.lines().last(), QStringLiteral("crashed"));
}

TEST(VortaShellTest, EndingTheShellKillsTheProgramAndWithdrawsItsWindow)
{
    ShellProcess shell;
    ASSERT_TRUE(shell.start(QStringLiteral("quit"), {"--run", "/bin/cat", "--args"})) << said(shell);
    ASSERT_TRUE(shell.waitForFinished(kWait)) << said(shell);
    EXPECT_EQ(shell.exitCode(), 0);
    ASSERT_TRUE(shell.waitForLine(QStringLiteral("started "), 0));
    const pid_t pid = shell.matchedRest().toInt();
    ASSERT_GT(pid, 0);
    EXPECT_NE(::kill(pid, 0), 0) << "the program outlived the shell";
    EXPECT_FALSE(Messenger::instance().isWindow(shell.windowHandle()));
    EXPECT_FALSE(QFile::exists(Messenger::instance().runtimeFolder() + QStringLiteral("/h/") + shell.handle()));
}

TEST(VortaShellTest, FaultyScriptsAreRefused)
{
    // Refused before the shell starts: usage error, exit code 2, nothing on stdout.
    for (const char* script : {"bogus", "send", "send x", "send-msg 1 2", "wait-notify", "quit now"}) {
        ShellProcess shell;
        EXPECT_FALSE(shell.start(QString::fromLatin1(script))) << script;
        ASSERT_TRUE(shell.waitForFinished(kWait));
        EXPECT_EQ(shell.exitCode(), 2) << script;
        EXPECT_TRUE(shell.lines().isEmpty()) << said(shell);
    }
    // Fine as a script, but nothing to send to.
    const struct {
        const char* script;
        const char* line;
    } late[] = {{"send 1", "error no main form: no handshake yet"},
                {"wait-exit", "error wait-exit: no program was started"}};
    for (const auto& c : late) {
        ShellProcess shell;
        ASSERT_TRUE(shell.start(QString::fromLatin1(c.script))) << said(shell);
        ASSERT_TRUE(shell.waitForFinished(kWait));
        EXPECT_EQ(shell.exitCode(), 1) << c.script;
        EXPECT_EQ(shell.lines().last(), QString::fromLatin1(c.line)) << said(shell);
    }
}

} // namespace
