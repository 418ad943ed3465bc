#include "platform/os/Drives.h"
#include "platform/os/FileSearch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorta::os;

namespace {

void touch(const QString& path, const QByteArray& data = "x")
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

TEST(FileSearch, MasksMatchAsTheLibraryMatches)
{
    struct Case {
        const char* name;
        const char* mask;
        bool match;
    };
    const Case cases[] = {
        {"a.txt", "*.*", true}, {"README", "*.*", true}, {"a.txt", "*.TXT", true}, {"a.txt", "*.doc", false},
        {"abc", "a?c", true},   {"abbc", "a?c", false},  {"abc", "abc.*", true},  {"abc.d", "abc.*", true},
        {"abcd", "abc.*", false}, {"x.tar.gz", "*.gz", true}, {"", "*", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchesFileMask(QString::fromUtf8(c.name), QString::fromUtf8(c.mask)), c.match)
            << c.name << " " << c.mask;
}

TEST(FileSearch, FoldersAndHiddenEntriesOnlyWhenAskedFor)
{
    QTemporaryDir dir;
    touch(dir.filePath("b.txt"));
    touch(dir.filePath("a.dat"), "12345");
    touch(dir.filePath(".hidden"));
    QDir(dir.path()).mkdir("sub");
    const QString mask = dir.path() + "/*.*";

    auto names = [](const std::vector<SearchRec>& entries) {
        QStringList out;
        for (const auto& e : entries)
            out << e.name;
        return out;
    };
    EXPECT_EQ(names(findEntries(mask, 0)), QStringList({"a.dat", "b.txt"}));
    EXPECT_EQ(names(findEntries(mask, faDirectory)), QStringList({".", "..", "a.dat", "b.txt", "sub"}));
    EXPECT_EQ(names(findEntries(mask, faAnyFile)), QStringList({".", "..", ".hidden", "a.dat", "b.txt", "sub"}));
    EXPECT_EQ(names(findEntries(dir.path() + "/*.dat", faAnyFile)), QStringList({"a.dat"}));
    EXPECT_TRUE(findEntries(dir.path() + "/missing/*.*", faAnyFile).empty());

    const auto entries = findEntries(dir.path() + "/a.dat", 0);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].size, 5);
    EXPECT_FALSE(entries[0].attr & faDirectory);
    EXPECT_EQ(maskFolder(dir.path() + "/a.dat"), dir.path() + "/");
    EXPECT_EQ(maskName(dir.path() + "/a.dat"), QStringLiteral("a.dat"));
    EXPECT_EQ(maskFolder("a.dat"), QString());
}

TEST(Drives, LettersNameFoldersAndSizesAreWide)
{
    QTemporaryDir dir;
    setDrivePath('b', dir.path());
    EXPECT_EQ(drivePath(QChar('B')), dir.path());
    EXPECT_EQ(drivePath(2), dir.path());
    EXPECT_EQ(drivePath(0), QDir::currentPath());
    EXPECT_TRUE(drivePath(27).isEmpty());
    EXPECT_TRUE(drivePath(QChar('1')).isEmpty());
    ASSERT_TRUE(driveFreeBytes(2));
    EXPECT_GE(*driveFreeBytes(2), 0);
    EXPECT_GT(*driveSize(2), 0);
    // A letter that names nothing, or a folder that is gone, cannot be read.
    setDrivePath('Q', dir.path() + "/gone");
    EXPECT_FALSE(driveFreeBytes(17));
    setDrivePath('Q', QString());
    setDrivePath('B', QString());
    EXPECT_FALSE(driveSize(2));
}

} // namespace
