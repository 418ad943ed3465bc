#include "platform/os/Drives.h"

#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Drives Q, R and C, free of anything the machine may configure; what was set comes back.
class DrivesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : kNames) {
            saved.append(qgetenv(name));
            qunsetenv(name);
        }
    }
    void TearDown() override
    {
        for (int i = 0; i < 3; ++i) {
            if (saved.value(i).isEmpty())
                qunsetenv(kNames[i]);
            else
                qputenv(kNames[i], saved.value(i));
        }
        for (QChar letter : {QChar('Q'), QChar('R'), QChar('C')})
            vorta::os::setDrivePath(letter, QString());
    }
    static constexpr const char* kNames[3] = {"VORTA_DRIVE_Q", "VORTA_DRIVE_R", "VORTA_DRIVE_C"};
    QList<QByteArray> saved;
    QTemporaryDir dir;
};

TEST_F(DrivesTest, LettersAndNumbersNameFolders)
{
    qputenv("VORTA_DRIVE_Q", dir.path().toLocal8Bit());
    EXPECT_EQ(vorta::os::drivePath(QChar('Q')), dir.path());
    EXPECT_EQ(vorta::os::drivePath(QChar('q')), dir.path());
    EXPECT_EQ(vorta::os::drivePath(17), dir.path()); // 1 = A, so 17 = Q
    EXPECT_EQ(vorta::os::drivePath(QChar('C')), QStringLiteral("/"));
    EXPECT_EQ(vorta::os::drivePath(QChar('R')), QString());
    for (int number : {-1, 100})
        EXPECT_EQ(vorta::os::drivePath(number), QString()) << number;
    for (QChar c : {QChar('1'), QChar(':'), QChar(0xC7)})
        EXPECT_EQ(vorta::os::drivePath(c), QString()) << int(c.unicode());

    // A mapping set here wins over the environment, and goes back to it when cleared.
    QTemporaryDir other;
    vorta::os::setDrivePath(QChar('q'), other.path());
    EXPECT_EQ(vorta::os::drivePath(QChar('Q')), other.path());
    vorta::os::setDrivePath(QChar('Q'), QString());
    EXPECT_EQ(vorta::os::drivePath(QChar('Q')), dir.path());
    qputenv("VORTA_DRIVE_C", dir.path().toLocal8Bit());
    EXPECT_EQ(vorta::os::drivePath(QChar('C')), dir.path());
}

TEST_F(DrivesTest, AFileIsNoDrive)
{
    QFile file(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    vorta::os::setDrivePath(QChar('Q'), file.fileName());
    EXPECT_FALSE(vorta::os::driveFreeBytes(17));
    EXPECT_FALSE(vorta::os::driveSize(17));
}

TEST_F(DrivesTest, PathsWithADriveLetterNameTheDrivesFolder)
{
    vorta::os::setDrivePath(QChar('Q'), dir.path());
    const QString q = dir.path();
    struct Case {
        const char* path;
        std::optional<QString> local;
    };
    const Case cases[] = {
        {"Q:\\*.*", q + "/*.*"},
        {"q:\\", q + "/"},
        {"Q:", q + "/"},
        {"Q:/sub\\a.txt", q + "/sub/a.txt"},
        {"Q:\\\\sub", q + "/sub"},
        {"C:\\temp", QStringLiteral("/temp")},
        {"R:\\*.*", std::nullopt},          // nothing behind R
        {"/tmp/a\\b", QStringLiteral("/tmp/a\\b")}, // no letter: as it is
        {"a.txt", QStringLiteral("a.txt")},
        {"1:\\x", QStringLiteral("1:\\x")},
        {"", QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vorta::os::resolveDrivePath(QString::fromUtf8(c.path)), c.local) << c.path;
}

} // namespace
