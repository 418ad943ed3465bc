// The parts a child process plays in the ipc tests (see IpcTestSupport.h). The child
// shares the parent's messenger folder (testing::TemporaryRuntimeFolder).
#include "IpcTestSupport.h"

#include "platform/ui/Application.h"
#include "platform/core/Exceptions.h"
#include "platform/ipc/SingleInstance.h"
#include "platform/ipc/WindowMessages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>

namespace vorta::ipctest {
namespace {

void say(const QString& text)
{
    std::fputs(("child: " + text + "\n").toUtf8().constData(), stdout);
    std::fflush(stdout);
}

int registerNames()
{
    const QStringList names = qEnvironmentVariable("VORTA_IPC_TEST_NAMES").split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& name : names)
        say(QStringLiteral("msg %1 %2").arg(name).arg(ipc::Messenger::instance().registerWindowMessage(name)));
    return 0;
}

class Peer : public ipc::MessageTarget {
public:
    Peer()
    {
        auto& m = ipc::Messenger::instance();
        compute = m.registerWindowMessage(kCompute);
        callBack = m.registerWindowMessage(kCallBack);
        postSelf = m.registerWindowMessage(kPostSelf);
        posted = m.registerWindowMessage(kPosted);
        report = m.registerWindowMessage(kReport);
        hang = m.registerWindowMessage(kHang);
        fail = m.registerWindowMessage(kThrow);
        parent = qEnvironmentVariable("VORTA_IPC_TEST_PARENT").toUInt();
        handle = m.allocateHandle(this);
    }

    void windowProc(ipc::Message& message) override
    {
        auto& m = ipc::Messenger::instance();
        const std::uint32_t msg = message.msg;
        if (msg == compute) {
            message.result = static_cast<std::int64_t>(message.wParam) * 1000 + message.lParam;
        } else if (msg == callBack) {
            const auto back = m.sendMessage(static_cast<ipc::WindowHandle>(message.lParam), compute, message.wParam, 7);
            message.result = back + 1;
        } else if (msg == postSelf) {
            // lParam 1: the parent is stopped before our answer, so that when it wakes
            // our answer and our next request are both waiting for it.
            if (message.lParam == 1)
                ::kill(::getppid(), SIGSTOP);
            m.postMessage(handle, posted, message.wParam, message.lParam);
            message.result = 1;
        } else if (msg == posted) {
            // Resumed by another process, which takes far longer to start than our
            // request takes to arrive.
            if (message.lParam == 1)
                QProcess::startDetached(QStringLiteral("/bin/sh"),
                                        {QStringLiteral("-c"), QStringLiteral("kill -CONT %1").arg(::getppid())});
            m.sendMessage(parent, report, message.wParam, 0);
        } else if (msg == hang) {
            // Stands for a window procedure that never returns, until the test lets go.
            char c;
            while (::read(STDIN_FILENO, &c, 1) > 0) {
            }
            message.result = 5;
        } else if (msg == fail) {
            message.result = 9;
            throw Exception(QStringLiteral("boom"));
        }
    }

    std::uint32_t compute = 0, callBack = 0, postSelf = 0, posted = 0, report = 0, hang = 0, fail = 0;
    ipc::WindowHandle parent = 0;
    ipc::WindowHandle handle = 0;
};

int runPeer()
{
    Application::instance()->onException = [](const std::exception& e) {
        say(QStringLiteral("exception %1").arg(QString::fromUtf8(e.what())));
    };
    Peer peer;
    say(QStringLiteral("handle %1").arg(peer.handle));
    return QCoreApplication::exec();
}

int runSingle()
{
    ipc::SingleInstance instance(qEnvironmentVariable("VORTA_IPC_TEST_IDENTITY"));
    say(QStringLiteral("first %1").arg(instance.isFirst() ? 1 : 0));
    if (!instance.isFirst()) {
        say(QStringLiteral("activate-previous %1").arg(instance.activatePrevious() ? 1 : 0));
        return 0;
    }
    instance.onActivate = [] { say(QStringLiteral("activated")); };
    return QCoreApplication::exec();
}

class IpcEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        const QString role = qEnvironmentVariable("VORTA_IPC_TEST_ROLE");
        if (role.isEmpty())
            return;
        // A child must not outlive a test that died.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        int rc = 3;
        if (role == QLatin1String("register"))
            rc = registerNames();
        else if (role == QLatin1String("peer"))
            rc = runPeer();
        else if (role == QLatin1String("single"))
            rc = runSingle();
        else
            say(QStringLiteral("unknown role %1").arg(role));
        std::fflush(stdout);
        std::_Exit(rc);
    }
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new IpcEnvironment);

} // namespace
} // namespace vorta::ipctest
