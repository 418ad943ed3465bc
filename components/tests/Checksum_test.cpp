#include "Checksum.h"

#include "comum.h"

#include "platform/core/Exceptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

namespace {

// Sets an environment variable for one test and puts the old value back.
class EnvGuard {
public:
    EnvGuard(const char* name, const QString& value) : m_name(name)
    {
        if (qEnvironmentVariableIsSet(name))
            m_old = qEnvironmentVariable(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(value));
    }
    ~EnvGuard()
    {
        if (m_old)
            qputenv(m_name, QFile::encodeName(*m_old));
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<QString> m_old;
};

QString hex(std::uint32_t v)
{
    return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

class ChecksumTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& content, const QString& folder = QString())
    {
        const QString path = (folder.isEmpty() ? dir.path() : folder) + QLatin1Char('/') + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(content);
        return path;
    }
    QString crcText(const QByteArray& bytes) { return hex(~UpdateCRC32(0xFFFFFFFFu, bytes.constData(), bytes.size())); }

    QTemporaryDir dir;
    TChecksum checksum;
};

} // namespace

TEST(ChecksumTable, IsTheByteTableOfThePolynomial)
{
    EXPECT_EQ(CRCTbl[0], 0u);
    EXPECT_EQ(CRCTbl[1], 0x77073096u);
    EXPECT_EQ(CRCTbl[128], 0xEDB88320u);
    EXPECT_EQ(CRCTbl[255], 0x2D02EF8Du);
    // The one-step definition over the table gives the standard check value.
    std::uint32_t reg = 0xFFFFFFFFu;
    for (char c : QByteArray("123456789"))
        reg = CRCTbl[(static_cast<unsigned char>(c) ^ reg) & 0xFF] ^ (reg >> 8);
    EXPECT_EQ(~reg, 0xCBF43926u);
}

TEST_F(ChecksumTest, Defaults)
{
    EXPECT_FALSE(checksum.Background);
    EXPECT_EQ(checksum.ErrorResult, "********");
    EXPECT_EQ(checksum.UseLFNs, TChecksum::LFNsForVersion(TChecksum::SystemVersionText()));
    EXPECT_FALSE(checksum.OnFileOpenError);
    EXPECT_FALSE(checksum.OnMemAllocError);
}

TEST_F(ChecksumTest, StringSums)
{
    EXPECT_EQ(checksum.CRCStr("123456789", 9), "CBF43926");
    EXPECT_EQ(checksum.CRCStr(nullptr, 0), "00000000");
    EXPECT_EQ(checksum.CRCStr("123456789", 0), "00000000");
    // Leading zeros are kept and digits are upper case.
    const QByteArray a("a");
    EXPECT_EQ(checksum.CRCStr(a.constData(), 1), "E8B7BE43");
    EXPECT_EQ(checksum.CRCStr("\x8a", 1), crcText("\x8a"));
}

TEST_F(ChecksumTest, FileAgreesWithTheSameBytesAsString)
{
    EXPECT_EQ(checksum.CRCFile(write("nine", "123456789")), "CBF43926");
    EXPECT_EQ(checksum.CRCFile(write("empty", {})), "00000000");
    for (int size : {32767, 32768, 32769, 65535}) {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = static_cast<char>((i * 7919) >> 3);
        const QString path = write(QStringLiteral("f%1").arg(size), bytes);
        EXPECT_EQ(checksum.CRCFile(path), checksum.CRCStr(bytes.constData(), static_cast<std::uint16_t>(size)))
            << size;
        EXPECT_EQ(checksum.CRCFile(path), hex(ComputeFileCRC32(path))) << size;
    }
    // Far beyond one block.
    QByteArray big(3 * 32768 + 11, 'x');
    EXPECT_EQ(checksum.CRCFile(write("big", big)), crcText(big));
}

TEST_F(ChecksumTest, UnreadableFileGivesErrorResult)
{
    int calls = 0;
    vorta::Component* sender = nullptr;
    checksum.OnFileOpenError = [&](vorta::Component* s) {
        ++calls;
        sender = s;
    };
    EXPECT_EQ(checksum.CRCFile(dir.filePath("missing")), "********");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, &checksum);

    // A folder cannot be opened as a file either.
    checksum.ErrorResult = QStringLiteral("ERRO");
    EXPECT_EQ(checksum.CRCFile(dir.path()), "ERRO");
    EXPECT_EQ(calls, 2);

    checksum.OnFileOpenError = nullptr;
    EXPECT_EQ(checksum.CRCFile(dir.filePath("missing")), "ERRO");
}

TEST_F(ChecksumTest, BackgroundLetsPendingEventsRun)
{
    const QString path = write("data", QByteArray(70000, 'z'));
    for (bool background : {false, true}) {
        bool ran = false;
        QObject context;
        QTimer::singleShot(0, &context, [&] { ran = true; });
        checksum.Background = background;
        checksum.CRCFile(path);
        EXPECT_EQ(ran, background);
        QCoreApplication::processEvents();
        EXPECT_TRUE(ran);
    }
}

TEST_F(ChecksumTest, IdentityRecordLayout)
{
    const QString path = write("abc.txt", "12345");
    const QByteArray record = checksum.FileSizeRecord(path);
    const QByteArray want = checksum.CRCFile(path).toLatin1() + "5///////" + "abc.txt/////";
    EXPECT_EQ(record, want);
    EXPECT_EQ(checksum.CRCFileSize(path), crcText(want));

    // Twelve characters fill the name's place to its end.
    const QString twelve = write("abcdefgh.txt", "1234567890");
    EXPECT_EQ(checksum.FileSizeRecord(twelve).mid(8), QByteArray("10//////abcdefgh.txt"));

    // Accented names enter as their code page 1252 bytes.
    const QString accented = write(QStringLiteral("ação.txt"), "");
    EXPECT_EQ(checksum.FileSizeRecord(accented).mid(16), QByteArray("a\xe7\xe3o.txt////"));

    EXPECT_THROW(checksum.CRCFileSize(write("abcdefghi.txt", "1")), vorta::ERangeError);
}

TEST_F(ChecksumTest, IdentityRecordOfMissingFileAndLongSize)
{
    EXPECT_EQ(checksum.FileSizeRecord(dir.filePath("gone.dat")), QByteArray("********") + "////////" + "gone.dat////");

    // A nine-digit size runs into the name, which covers it.
    const QString path = dir.filePath("x");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(123456789));
    }
    const QByteArray record = checksum.FileSizeRecord(path);
    EXPECT_EQ(record.mid(8), QByteArray("12345678x") + QByteArray(11, '/'));
    // An error text of another length takes at most the 8 places.
    checksum.ErrorResult = QStringLiteral("ERRO-AO-LER-ARQUIVO");
    EXPECT_EQ(checksum.FileSizeRecord(dir.filePath("a")), QByteArray("ERRO-AO-") + QByteArray(8, '/') + "a" + QByteArray(11, '/'));
    checksum.ErrorResult = QStringLiteral("E");
    EXPECT_EQ(checksum.FileSizeRecord(dir.filePath("a")).left(8), QByteArray("E///////"));
}

TEST_F(ChecksumTest, ContentsRecordLayout)
{
    const QString folder = dir.filePath("root");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString b = write("b.txt", "bb", folder);
    const QString a = write("A.TXT", "a", folder);
    const QString c = write("c", "", folder);
    write(".hidden", "h", folder);
    ASSERT_TRUE(QDir(folder).mkdir("sub"));

    QByteArray want(808, ' ');
    want.replace(0, 8, checksum.CRCFile(a).toLatin1());
    want.replace(8, 8, checksum.CRCFile(b).toLatin1());
    want.replace(16, 8, "00000000");
    want.replace(800, 3, "123");
    EXPECT_EQ(checksum.ContentsRecord(folder, 123), want);

    // The free space keeps its first 8 characters; the record its 808 bytes.
    const QByteArray big = checksum.ContentsRecord(folder, 123456789012);
    EXPECT_EQ(big.size(), 808);
    EXPECT_EQ(big.mid(800), QByteArray("12345678"));
    EXPECT_EQ(checksum.ContentsRecord(QString(), -1), QByteArray(800, ' ') + "-1      ");
}

TEST_F(ChecksumTest, ContentsRecordKeepsTheFirstHundredFiles)
{
    const QString folder = dir.filePath("many");
    ASSERT_TRUE(QDir().mkdir(folder));
    for (int i = 0; i < 105; ++i)
        write(QStringLiteral("f%1").arg(i, 3, 10, QLatin1Char('0')), QByteArray::number(i), folder);
    const QByteArray record = checksum.ContentsRecord(folder, 0);
    ASSERT_EQ(record.size(), 808);
    EXPECT_EQ(record.mid(0, 8), crcText("0"));
    EXPECT_EQ(record.mid(99 * 8, 8), crcText("99"));
    EXPECT_EQ(record.mid(800), QByteArray("0       "));
}

TEST_F(ChecksumTest, DriveLetters)
{
    {
        const EnvGuard unset("VORTA_DRIVE_C", QString());
        EXPECT_EQ(TChecksum::DriveFolder('C'), "/");
        EXPECT_EQ(TChecksum::DriveFolder('c'), "/");
    }
    const EnvGuard mapped("VORTA_DRIVE_Q", dir.path());
    EXPECT_EQ(TChecksum::DriveFolder('q'), dir.path());
    EXPECT_EQ(TChecksum::DriveFolder('Q'), dir.path());
    const EnvGuard unmapped("VORTA_DRIVE_K", QString());
    EXPECT_EQ(TChecksum::DriveFolder('k'), QString());
    EXPECT_EQ(TChecksum::DriveFolder('1'), QString());
    EXPECT_EQ(TChecksum::DriveFolder(':'), QString());

    // No folder: no files and no free space.
    const QByteArray none = QByteArray(800, ' ') + "-1      ";
    EXPECT_EQ(checksum.CRCDisco('k'), crcText(none));
    EXPECT_EQ(checksum.CRCDisco('#'), crcText(none));
}

TEST_F(ChecksumTest, DriveRecordOfFolderWithSteadyFreeSpace)
{
    // The kernel's own folder: no ordinary files at its root and no free space, so
    // the record stays the same from call to call.
    if (!QStorageInfo(QStringLiteral("/sys")).isValid() || QStorageInfo(QStringLiteral("/sys")).bytesAvailable() != 0)
        GTEST_SKIP() << "no /sys";
    const EnvGuard mapped("VORTA_DRIVE_S", QStringLiteral("/sys"));
    const QString want = crcText(QByteArray(800, ' ') + "0       ");
    EXPECT_EQ(checksum.CRCDisco('s'), want);
    EXPECT_EQ(checksum.CRCDisco('S'), want);
}

TEST(ChecksumVersion, LongFileNamesByVersionText)
{
    struct Case {
        const char* version;
        bool lfn;
    };
    const Case cases[] = {{"4.0", true},   {"5.1", true},  {"6.2", true}, {"3.51", true},
                          {"3.10", false}, {"10.0", false}, {"3.5", false}};
    for (const Case& c : cases)
        EXPECT_EQ(TChecksum::LFNsForVersion(c.version), c.lfn) << c.version;
    EXPECT_TRUE(TChecksum::SystemVersionText().contains(QRegularExpression(QStringLiteral("^\\d+\\.\\d+$"))));
}

TEST(ChecksumOwner, FreedWithItsOwner)
{
    vorta::Component owner;
    auto* c = new TChecksum(&owner);
    EXPECT_EQ(owner.componentCount(), 1);
    EXPECT_EQ(owner.component(0), c);
}
