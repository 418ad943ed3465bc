#include "Ufuncoes.h"

#include "platform/os/ExeVersion.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {
void writeProgram(const QString& path, const QByteArray& version)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(300, '\x7f') + vorta::os::versionMarker() + version + '\0' + QByteArray(50, 'x'));
}
} // namespace

TEST(GetVersionExe, ShowsEachPartInPlainDecimals)
{
    QTemporaryDir dir;
    struct Case {
        const char* embedded;
        const char* shown;
    } cases[] = {{"2.0.0.1", "2.0.0.1"}, {"1.3.0.15", "1.3.0.15"}, {"10.20.30.40", "10.20.30.40"},
                 {"65535.0.900.123", "65535.0.900.123"}};
    for (const Case& c : cases) {
        const QString path = dir.path() + "/PROG";
        writeProgram(path, c.embedded);
        EXPECT_EQ(GetVersionExe(path), QString(c.shown)) << c.embedded;
    }
}

TEST(GetVersionExe, TheNameReadsTheSameFileWithOrWithoutTheExtensionInAnyCase)
{
    QTemporaryDir dir;
    writeProgram(dir.path() + "/ZIR", "1.0.2.3");
    for (const char* name : {"/ZIR", "/ZIR.exe", "/ZIR.EXE", "/ZIR.Exe"})
        EXPECT_EQ(GetVersionExe(dir.path() + name), "1.0.2.3") << name;
}

TEST(GetVersionExe, AFileWithoutVersionOrMissingGivesEmptyText)
{
    QTemporaryDir dir;
    QFile f(dir.path() + "/plain");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("no version here");
    f.close();
    EXPECT_EQ(GetVersionExe(dir.path() + "/plain"), "");
    EXPECT_EQ(GetVersionExe(dir.path() + "/absent"), "");
}
