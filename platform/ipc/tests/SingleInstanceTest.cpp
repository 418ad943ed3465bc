#include "IpcTestSupport.h"

#include "platform/ipc/SingleInstance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QUuid>

using vorta::ipc::SingleInstance;
using vorta::testing::LineProcess;

namespace {

constexpr int kWait = 10000;

QString uniqueIdentity()
{
    return QStringLiteral("vorta-test/") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

bool startInstance(LineProcess& child, const QString& identity)
{
    return vorta::ipctest::startChild(child, QStringLiteral("single"),
                                      {{QStringLiteral("VORTA_IPC_TEST_IDENTITY"), identity}});
}

TEST(SingleInstanceTest, LaterInstanceFindsTheFirstAndBringsItForward)
{
    const QString identity = uniqueIdentity();
    LineProcess first;
    ASSERT_TRUE(startInstance(first, identity));
    ASSERT_TRUE(first.waitForLine(QStringLiteral("child: first 1"), kWait)) << first.transcript().toStdString();

    // This process is the later instance now.
    SingleInstance second(identity);
    EXPECT_FALSE(second.isFirst());
    EXPECT_TRUE(second.alreadyRunning());
    EXPECT_NE(second.previousHandle(), 0u);
    EXPECT_TRUE(second.activatePrevious());
    EXPECT_TRUE(first.waitForLine(QStringLiteral("child: activated"), kWait)) << first.transcript().toStdString();
    EXPECT_TRUE(second.activatePrevious());
    EXPECT_TRUE(first.waitForLine(QStringLiteral("child: activated"), kWait)) << "once per request";
}

TEST(SingleInstanceTest, CrashedFirstInstanceLeavesTheWayFree)
{
    const QString identity = uniqueIdentity();
    LineProcess crashed;
    ASSERT_TRUE(startInstance(crashed, identity));
    ASSERT_TRUE(crashed.waitForLine(QStringLiteral("child: first 1"), kWait)) << crashed.transcript().toStdString();
    crashed.kill();
    ASSERT_TRUE(crashed.waitForFinished(kWait));

    // The lock went with the process; the file it left does not count.
    SingleInstance next(identity);
    EXPECT_TRUE(next.isFirst());
    EXPECT_FALSE(next.activatePrevious()) << "the first instance has nobody to ask";

    int activations = 0;
    LineProcess idle;
    next.onActivate = [&] {
        ++activations;
        idle.poke();
    };
    // A later child finds this process and asks it forward; the callback runs from
    // our event loop.
    LineProcess later;
    ASSERT_TRUE(startInstance(later, identity));
    ASSERT_TRUE(later.waitForLine(QStringLiteral("child: first 0"), kWait)) << later.transcript().toStdString();
    EXPECT_TRUE(later.waitForLine(QStringLiteral("child: activate-previous 1"), kWait)) << later.transcript().toStdString();
    EXPECT_TRUE(later.waitForFinished(kWait));
    EXPECT_TRUE(idle.waitFor([&] { return activations == 1; }, kWait));
}

TEST(SingleInstanceTest, IdentitiesAreIndependentAndReleasedWithTheObject)
{
    const QString a = uniqueIdentity();
    const QString b = uniqueIdentity();
    {
        SingleInstance firstA(a);
        EXPECT_TRUE(firstA.isFirst());
        SingleInstance firstB(b);
        EXPECT_TRUE(firstB.isFirst()) << "another program's instance does not count";
        SingleInstance againA(a);
        EXPECT_FALSE(againA.isFirst());
        EXPECT_EQ(againA.previousHandle() != 0, true);
    }
    SingleInstance afterwards(a);
    EXPECT_TRUE(afterwards.isFirst()) << "the lock ends with the object";
}

TEST(SingleInstanceTest, DefaultIdentityIsTheExecutableName)
{
    SingleInstance instance;
    EXPECT_EQ(instance.identity(), QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

} // namespace
