#include "platform/zip/Zip.h"
#include "platform/zip/UnZip.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zlib.h>

using namespace vorta::zip;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(Zip, OneDeflatedEntryWithCommentAndCrc)
{
    QTemporaryDir dir;
    const QString src = dir.filePath("ZIRN001234.C05");
    QByteArray data;
    for (int i = 0; i < 2000; ++i)
        data += QByteArray::number(i % 37) + "\x00\xE7";
    writeFile(src, data);
    const QString archive = dir.filePath("out.zip");
    const QByteArray comment = "0A1B2C3D\r\nVorta100";
    writeZip(archive, {{src, "ZIRN001234.C05"}}, 9, comment);
    const ZipContents c = readZipContents(archive);
    EXPECT_EQ(c.comment, comment);
    ASSERT_EQ(c.entries.size(), 1u);
    EXPECT_EQ(c.entries[0].name, "ZIRN001234.C05");
    EXPECT_TRUE(c.entries[0].deflated);
    EXPECT_EQ(c.entries[0].size, std::uint64_t(data.size()));
    EXPECT_LT(c.entries[0].compressedSize, c.entries[0].size);
    EXPECT_EQ(c.entries[0].crc, crc32(0, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
    EXPECT_EQ(readZipEntry(archive, "ZIRN001234.C05"), data);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary file left";
}

TEST(Zip, FailuresLeaveThePreviousArchive)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath("out.zip");
    writeZipBytes(archive, "a.txt", "old contents", 9, "old");
    const QByteArray before = readFile(archive);
    EXPECT_THROW(writeZip(archive, {{dir.filePath("missing"), "x"}}, 9, "new"), EZipError);
    EXPECT_THROW(writeZipBytes(archive, "a.txt", "x", 10), EZipError);
    EXPECT_THROW(writeZipBytes(dir.filePath("no/such/folder.zip"), "a.txt", "x", 9), EZipError);
    EXPECT_EQ(readFile(archive), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_THROW(readZipContents(dir.filePath("missing.zip")), EZipError);
    EXPECT_THROW(readZipEntry(archive, "b.txt"), EZipError);
}

// The tree extraction keeps the archive's folders, takes only what the filter accepts,
// and stored-whole entries come back as they went in.
TEST(Zip, TreeExtractionKeepsFoldersAndStoredEntries)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("a.txt"), QByteArray(500, 'a'));
    writeFile(dir.filePath("b.bin"), QByteArray(500, 'b'));
    const QString archive = dir.filePath("t.zip");
    writeZip(archive,
             {{dir.filePath("a.txt"), "Dados/sub/a.txt"}, {dir.filePath("b.bin"), "Dados/b.bin", true},
              {dir.filePath("a.txt"), "Outros/a.txt"}},
             9);
    const ZipContents c = readZipContents(archive);
    ASSERT_EQ(c.entries.size(), 3u);
    EXPECT_TRUE(c.entries[0].deflated);
    EXPECT_FALSE(c.entries[1].deflated);
    EXPECT_EQ(c.entries[1].compressedSize, 500u);

    QTemporaryDir out;
    UnZip u;
    u.open(archive);
    QList<double> progress;
    u.extractTree(out.path(), [](const QString& n) { return n.startsWith("Dados/"); },
                  [&](double d) { progress << d; });
    EXPECT_EQ(readFile(out.filePath("Dados/sub/a.txt")), QByteArray(500, 'a'));
    EXPECT_EQ(readFile(out.filePath("Dados/b.bin")), QByteArray(500, 'b'));
    EXPECT_FALSE(QFile::exists(out.filePath("Outros/a.txt")));
    EXPECT_EQ(progress.last(), 1.0);
}

// A cancel asked while the archive is written leaves no archive and no temporary file.
TEST(Zip, CancelledWriteLeavesNothing)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("a.txt"), QByteArray(100000, 'a'));
    writeFile(dir.filePath("b.txt"), QByteArray(100000, 'b'));
    ZipMonitor monitor;
    int calls = 0;
    monitor.cancel = [&] { return ++calls > 1; };
    EXPECT_THROW(writeZip(dir.filePath("c.zip"), {{dir.filePath("a.txt"), "a.txt"}, {dir.filePath("b.txt"), "b.txt"}}, 9,
                          {}, monitor),
                 EZipCancelled);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"a.txt", "b.txt"}));
}
