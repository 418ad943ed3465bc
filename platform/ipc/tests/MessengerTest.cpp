#include "IpcTestSupport.h"

#include "platform/ui/Application.h"
#include "platform/core/Exceptions.h"
#include "platform/ipc/WindowMessages.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHash>
#include <QUuid>

#include <functional>

using namespace vorta;
using vorta::ipc::Message;
using vorta::ipc::Messenger;
using vorta::ipc::WindowHandle;
using vorta::testing::LineProcess;

namespace {

constexpr int kWait = 10000;

std::uint32_t msgNumber(const QString& name)
{
    return Messenger::instance().registerWindowMessage(name);
}

QString uniqueName(const QString& stem)
{
    return stem + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// A window of the test process: each message goes to handler and into the log.
class TestWindow : public ipc::MessageTarget {
public:
    TestWindow() { handle = Messenger::instance().allocateHandle(this); }
    ~TestWindow() override { Messenger::instance().releaseHandle(handle); }
    void windowProc(Message& message) override
    {
        log.append(message);
        if (handler)
            handler(message);
        if (onMessage)
            onMessage();
    }
    WindowHandle handle = 0;
    QList<Message> log;
    std::function<void(Message&)> handler;
    std::function<void()> onMessage;
};

// The send time-out of this process for one test.
class TimeoutScope {
public:
    explicit TimeoutScope(int ms) : m_saved(Messenger::instance().sendTimeoutMs()) { Messenger::instance().setSendTimeoutMs(ms); }
    ~TimeoutScope() { Messenger::instance().setSendTimeoutMs(m_saved); }

private:
    int m_saved;
};

class MessengerTest : public ::testing::Test {
protected:
    // Starts the "peer" child, which knows our window, and reads its handle.
    WindowHandle startPeer(LineProcess& peer)
    {
        if (!ipctest::startChild(peer, QStringLiteral("peer"),
                                 {{QStringLiteral("VORTA_IPC_TEST_PARENT"), QString::number(window.handle)}}))
            return 0;
        if (!peer.waitForLine(QStringLiteral("child: handle "), kWait))
            return 0;
        return peer.matchedRest().toUInt();
    }

    TestWindow window;
};

// The numbers a "register" child printed, by name.
QHash<QString, std::uint32_t> childNumbers(LineProcess& child, const QStringList& names)
{
    QHash<QString, std::uint32_t> numbers;
    for (const QString& name : names) {
        if (child.waitForLine(QStringLiteral("child: msg %1 ").arg(name), kWait))
            numbers.insert(name, child.matchedRest().toUInt());
    }
    return numbers;
}

TEST_F(MessengerTest, RegisteredNamesAgreeAcrossProcesses)
{
    const QString known = uniqueName(QStringLiteral("VortaTestKnown"));
    const QString fresh = uniqueName(QStringLiteral("VortaTestFresh"));
    const std::uint32_t knownHere = msgNumber(known);
    ASSERT_GE(knownHere, 0xC000u);

    // The child meets one name we registered, one that is new, and ours in other case.
    LineProcess child;
    const QStringList names{fresh, known, known.toUpper()};
    ASSERT_TRUE(ipctest::startChild(child, QStringLiteral("register"),
                                    {{QStringLiteral("VORTA_IPC_TEST_NAMES"), names.join(QLatin1Char(';'))}}));
    const auto there = childNumbers(child, names);
    ASSERT_EQ(there.size(), 3) << child.transcript().toStdString();
    EXPECT_EQ(there[known], knownHere);
    EXPECT_EQ(there[known.toUpper()], knownHere);
    EXPECT_NE(there[fresh], knownHere);
    EXPECT_GE(there[fresh], 0xC000u);
    // The name the child registered first means the same here.
    EXPECT_EQ(msgNumber(fresh), there[fresh]);
    EXPECT_EQ(msgNumber(known), knownHere) << "registering again changes nothing";
}

TEST_F(MessengerTest, ConcurrentRegistrationsAgree)
{
    QStringList names;
    for (int i = 0; i < 40; ++i)
        names.append(uniqueName(QStringLiteral("VortaTestRace%1").arg(i)));
    QStringList reversed(names.rbegin(), names.rend());

    LineProcess a, b;
    ASSERT_TRUE(ipctest::startChild(a, QStringLiteral("register"), {{QStringLiteral("VORTA_IPC_TEST_NAMES"), names.join(';')}}));
    ASSERT_TRUE(ipctest::startChild(b, QStringLiteral("register"), {{QStringLiteral("VORTA_IPC_TEST_NAMES"), reversed.join(';')}}));
    const auto fromA = childNumbers(a, names);
    const auto fromB = childNumbers(b, names);
    ASSERT_EQ(fromA.size(), names.size()) << a.transcript().toStdString();
    ASSERT_EQ(fromB.size(), names.size()) << b.transcript().toStdString();
    QSet<std::uint32_t> distinct;
    for (const QString& name : names) {
        EXPECT_EQ(fromA[name], fromB[name]) << name.toStdString();
        distinct.insert(fromA[name]);
    }
    EXPECT_EQ(distinct.size(), names.size()) << "two names share a number";
}

TEST_F(MessengerTest, SendCrossesProcessesAndReturnsTheReply)
{
    LineProcess peer;
    const WindowHandle child = startPeer(peer);
    ASSERT_NE(child, 0u) << peer.transcript().toStdString();
    EXPECT_TRUE(Messenger::instance().isWindow(child));

    const std::uint32_t compute = msgNumber(ipctest::kCompute);
    struct Case {
        std::uint64_t wParam;
        std::int64_t lParam;
    };
    const Case cases[] = {{0, 0}, {3, 4}, {7, -5}, {0xFFFFFFFFull, 123}, {0, -0x7FFFFFFFll}};
    for (const Case& c : cases) {
        const std::int64_t expected = static_cast<std::int64_t>(c.wParam) * 1000 + c.lParam;
        EXPECT_EQ(Messenger::instance().sendMessage(child, compute, c.wParam, c.lParam), expected)
            << "wParam " << c.wParam << " lParam " << c.lParam;
    }
}

TEST_F(MessengerTest, SendToDeadOrAbsentWindowAnswersZeroAtOnce)
{
    // A long time-out: answering 0 must not come from waiting it out.
    TimeoutScope timeout(kWait);
    const std::uint32_t compute = msgNumber(ipctest::kCompute);

    LineProcess peer;
    const WindowHandle dead = startPeer(peer);
    ASSERT_NE(dead, 0u) << peer.transcript().toStdString();
    peer.kill();
    ASSERT_TRUE(peer.waitForFinished(kWait));

    TestWindow released;
    const WindowHandle gone = released.handle;
    Messenger::instance().releaseHandle(gone);
    released.handle = 0;

    const std::pair<const char*, WindowHandle> cases[] = {
        {"process killed", dead}, {"handle released", gone}, {"never handed out", 1}, {"zero", 0}};
    for (const auto& [what, handle] : cases) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(Messenger::instance().sendMessage(handle, compute, 1, 2), 0) << what;
        EXPECT_FALSE(Messenger::instance().postMessage(handle, compute, 1, 2)) << what;
        EXPECT_FALSE(Messenger::instance().isWindow(handle)) << what;
        EXPECT_LT(clock.elapsed(), kWait / 4) << what;
    }
}

TEST_F(MessengerTest, SendToPeerThatNeverAnswersGivesUpAfterTheTimeout)
{
    LineProcess peer;
    const WindowHandle child = startPeer(peer);
    ASSERT_NE(child, 0u) << peer.transcript().toStdString();
    {
        TimeoutScope timeout(300);
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(Messenger::instance().sendMessage(child, msgNumber(ipctest::kHang), 0, 0), 0);
        EXPECT_GE(clock.elapsed(), 290);
        EXPECT_LT(clock.elapsed(), kWait);
    }
    // Once its window procedure returns, the peer serves again; the late reply to the
    // abandoned send goes nowhere.
    peer.closeInput();
    EXPECT_EQ(Messenger::instance().sendMessage(child, msgNumber(ipctest::kCompute), 2, 1), 2001);
}

TEST_F(MessengerTest, ExceptionInWindowProcedureStillAnswersTheSender)
{
    TimeoutScope timeout(kWait);
    LineProcess peer;
    const WindowHandle child = startPeer(peer);
    ASSERT_NE(child, 0u) << peer.transcript().toStdString();

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Messenger::instance().sendMessage(child, msgNumber(ipctest::kThrow), 0, 0), 9) << "the result so far";
    EXPECT_LT(clock.elapsed(), kWait / 4);
    EXPECT_TRUE(peer.waitForLine(QStringLiteral("child: exception boom"), kWait)) << peer.transcript().toStdString();
    EXPECT_EQ(Messenger::instance().sendMessage(child, msgNumber(ipctest::kCompute), 1, 1), 1001);

    // In-process the same: the sender gets the result, the application the exception.
    QStringList reported;
    auto* app = Application::instance();
    auto saved = app->onException;
    app->onException = [&](const std::exception& e) { reported.append(QString::fromUtf8(e.what())); };
    window.handler = [](Message& m) {
        m.result = 4;
        throw Exception(QStringLiteral("local boom"));
    };
    EXPECT_EQ(Messenger::instance().sendMessage(window.handle, 0xC123, 0, 0), 4);
    app->onException = saved;
    EXPECT_EQ(reported, QStringList{QStringLiteral("local boom")});
}

TEST_F(MessengerTest, PostedMessageRunsAfterTheHandlerThatPostedIt)
{
    // In-process: the post waits for the event loop, after the send has returned.
    const std::uint32_t first = msgNumber(ipctest::kPostSelf);
    const std::uint32_t second = msgNumber(ipctest::kPosted);
    QStringList events;
    LineProcess idle; // only for its event-loop wait
    window.onMessage = [&] { idle.poke(); };
    window.handler = [&](Message& m) {
        if (m.msg == first) {
            events.append(QStringLiteral("handler begins"));
            EXPECT_TRUE(Messenger::instance().postMessage(window.handle, second, m.wParam + 1, 0));
            events.append(QStringLiteral("handler ends"));
            m.result = 1;
        } else if (m.msg == second) {
            events.append(QStringLiteral("posted %1").arg(m.wParam));
        }
    };
    EXPECT_EQ(Messenger::instance().sendMessage(window.handle, first, 1, 0), 1);
    events.append(QStringLiteral("send returned"));
    EXPECT_TRUE(Messenger::instance().postMessage(window.handle, first, 10, 0));
    EXPECT_EQ(events.size(), 3) << "nothing posted runs before the event loop";

    EXPECT_TRUE(idle.waitFor([&] { return events.size() >= 7; }, kWait)) << events.join(", ").toStdString();
    EXPECT_EQ(events, (QStringList{"handler begins", "handler ends", "send returned", "posted 2", "handler begins",
                                   "handler ends", "posted 11"}));
}

TEST_F(MessengerTest, PeerAnswersBeforeItRunsWhatItPosted)
{
    LineProcess peer;
    const WindowHandle child = startPeer(peer);
    ASSERT_NE(child, 0u) << peer.transcript().toStdString();
    const std::uint32_t report = msgNumber(ipctest::kReport);
    QList<std::uint64_t> reports;
    window.handler = [&](Message& m) {
        if (m.msg == report)
            reports.append(m.wParam);
    };
    window.onMessage = [&] { peer.poke(); };

    // The peer posts to itself and answers; its posted handler then reports to us. Had
    // it run before the answer, the report would reach us during our own send.
    EXPECT_EQ(Messenger::instance().sendMessage(child, msgNumber(ipctest::kPostSelf), 42, 0), 1);
    EXPECT_TRUE(reports.isEmpty());
    ASSERT_TRUE(peer.waitFor([&] { return !reports.isEmpty(); }, kWait));
    EXPECT_EQ(reports, QList<std::uint64_t>{42});

    // The same when the peer's request is already waiting as we wake for the answer.
    reports.clear();
    EXPECT_EQ(Messenger::instance().sendMessage(child, msgNumber(ipctest::kPostSelf), 43, 1), 1);
    EXPECT_TRUE(reports.isEmpty()) << "served the peer's next request inside our send";
    ASSERT_TRUE(peer.waitFor([&] { return !reports.isEmpty(); }, kWait));
    EXPECT_EQ(reports, QList<std::uint64_t>{43});

    // Posts to another process arrive in the order they were posted.
    reports.clear();
    const std::uint32_t posted = msgNumber(ipctest::kPosted);
    for (std::uint64_t i = 1; i <= 5; ++i)
        EXPECT_TRUE(Messenger::instance().postMessage(child, posted, i, 0));
    ASSERT_TRUE(peer.waitFor([&] { return reports.size() == 5; }, kWait)) << reports.size();
    EXPECT_EQ(reports, (QList<std::uint64_t>{1, 2, 3, 4, 5}));
}

TEST_F(MessengerTest, RequestsToUsAreServedWhileOurSendWaits)
{
    TimeoutScope timeout(kWait);
    LineProcess peer;
    const WindowHandle child = startPeer(peer);
    ASSERT_NE(child, 0u) << peer.transcript().toStdString();
    const std::uint32_t compute = msgNumber(ipctest::kCompute);
    window.handler = [&](Message& m) {
        if (m.msg == compute)
            m.result = static_cast<std::int64_t>(m.wParam) * 10 + m.lParam; // not the peer's formula
    };

    // We send to the peer; before answering, the peer asks us (3 * 10 + 7) and adds 1.
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Messenger::instance().sendMessage(child, msgNumber(ipctest::kCallBack), 3, window.handle), 38);
    EXPECT_LT(clock.elapsed(), kWait / 2);
    ASSERT_EQ(window.log.size(), 1);
    EXPECT_EQ(window.log[0].msg, compute);
}

TEST_F(MessengerTest, HandlesAreDistinctPositiveAndPublishedUntilReleased)
{
    QSet<WindowHandle> seen;
    for (int i = 0; i < 50; ++i) {
        TestWindow w;
        ASSERT_NE(w.handle, 0u);
        EXPECT_LE(w.handle, 0x7FFFFFFFu) << "handles travel as signed 32-bit decimals";
        EXPECT_TRUE(Messenger::instance().isWindow(w.handle));
        EXPECT_EQ(Messenger::instance().target(w.handle), &w);
        EXPECT_FALSE(seen.contains(w.handle));
        seen.insert(w.handle);
        Messenger::instance().releaseHandle(w.handle);
        EXPECT_FALSE(Messenger::instance().isWindow(w.handle));
        w.handle = 0;
    }
}

} // namespace
