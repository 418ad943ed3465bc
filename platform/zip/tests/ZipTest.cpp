#include "platform/zip/Zip.h"

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
