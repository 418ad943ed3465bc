#include "comum.h"

#include "platform/core/Exceptions.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

#include <random>
#include <utility>
#include <vector>

namespace {

// The definition itself: one table step per byte, table built bit by bit.
std::uint32_t referenceUpdate(std::uint32_t reg, const unsigned char* p, std::size_t n)
{
    static const std::vector<std::uint32_t> table = [] {
        std::vector<std::uint32_t> t(256);
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    for (std::size_t i = 0; i < n; ++i)
        reg = table[(p[i] ^ reg) & 0xFF] ^ (reg >> 8);
    return reg;
}

std::vector<unsigned char> randomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::vector<unsigned char> v(n);
    for (auto& b : v)
        b = static_cast<unsigned char>(gen());
    return v;
}

class ComumFiles : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }
    QTemporaryDir dir;
};

} // namespace

TEST(ComumCrc, KnownValues)
{
    EXPECT_EQ(ComputeStrCRC32(QStringLiteral("123456789")), 0xCBF43926u);
    // Nothing to sum: the complemented start value, not an error.
    EXPECT_EQ(ComputeStrCRC32(QString()), 0u);
    // Accented text is summed as its code page 1252 bytes (E7 E3 6F).
    EXPECT_EQ(ComputeStrCRC32(QStringLiteral("ção")), 0xFBB2C3D1u);
    EXPECT_EQ(ComputeStrCRC32(QStringLiteral("São Paulo – ok")), 0xBF7277C9u);
}

TEST(ComumCrc, FastPathsAgreeWithByteDefinition)
{
    // Lengths around the 16- and 64-byte steps, at every alignment.
    const auto data = randomBytes(5000, 7);
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 300; ++n)
        lengths.push_back(n);
    for (std::size_t n : {1023u, 1024u, 1025u, 4096u, 4977u})
        lengths.push_back(n);
    for (std::size_t offset = 0; offset < 16; ++offset) {
        for (std::size_t n : lengths) {
            const unsigned char* p = data.data() + offset;
            for (std::uint32_t start : {0xFFFFFFFFu, 0u, 0x12345678u}) {
                const std::uint32_t want = referenceUpdate(start, p, n);
                ASSERT_EQ(crc32_detail::updateSliced(start, p, n), want) << "n=" << n << " offset=" << offset;
                if (crc32_detail::clmulAvailable()) {
                    ASSERT_EQ(crc32_detail::updateClmul(start, p, n), want) << "n=" << n << " offset=" << offset;
                }
                ASSERT_EQ(UpdateCRC32(start, p, static_cast<std::int64_t>(n)), want);
            }
        }
    }
}

TEST(ComumCrc, UpdateCarriesTheRegisterAcrossPieces)
{
    const auto data = randomBytes(100000, 3);
    const std::uint32_t whole = UpdateCRC32(0xFFFFFFFFu, data.data(), static_cast<std::int64_t>(data.size()));
    std::uint32_t reg = 0xFFFFFFFFu;
    std::size_t pos = 0;
    for (std::size_t piece : {1u, 63u, 64u, 65u, 777u, 32768u}) {
        reg = UpdateCRC32(reg, data.data() + pos, static_cast<std::int64_t>(piece));
        pos += piece;
    }
    reg = UpdateCRC32(reg, data.data() + pos, static_cast<std::int64_t>(data.size() - pos));
    EXPECT_EQ(reg, whole);
    EXPECT_EQ(UpdateCRC32(0xABCDEF01u, data.data(), 0), 0xABCDEF01u);
    EXPECT_EQ(UpdateCRC32(0xABCDEF01u, data.data(), -5), 0xABCDEF01u);
}

TEST_F(ComumFiles, FileAndStreamSums)
{
    EXPECT_EQ(ComputeFileCRC32(write("nine", "123456789")), 0xCBF43926u);
    EXPECT_EQ(ComputeFileCRC32(write("empty", {})), 0u);

    // Block boundaries: the stream stops on the first short read.
    for (int size : {32767, 32768, 32769, 65536, 100000}) {
        const auto bytes = randomBytes(static_cast<std::size_t>(size), static_cast<unsigned>(size));
        const QByteArray content(reinterpret_cast<const char*>(bytes.data()), size);
        const std::uint32_t want = ~referenceUpdate(0xFFFFFFFFu, bytes.data(), bytes.size());
        EXPECT_EQ(ComputeFileCRC32(write(QStringLiteral("f%1").arg(size), content)), want) << size;
        QByteArray copy = content;
        QBuffer buffer(&copy);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        EXPECT_EQ(ComputeStreamCRC32(buffer), want) << size;
    }
}

TEST(ComumCrc, StreamFromItsCurrentPosition)
{
    QByteArray content("xyz123456789");
    QBuffer buffer(&content);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    buffer.seek(3);
    EXPECT_EQ(ComputeStreamCRC32(buffer), 0xCBF43926u);
    EXPECT_EQ(ComputeStreamCRC32(buffer), 0u); // at its end now
}

TEST(ComumCrc, StreamReadErrorIsRaised)
{
    QBuffer closed;
    EXPECT_THROW(ComputeStreamCRC32(closed), vorta::EInOutError);
}

TEST_F(ComumFiles, FileThatCannotBeReadRaises)
{
    EXPECT_THROW(ComputeFileCRC32(dir.filePath("missing")), vorta::EInOutError);
    EXPECT_THROW(ComputeFileCRC32(dir.path()), vorta::EInOutError);
}

TEST_F(ComumFiles, InternalHeaderCheck)
{
    struct Case {
        const char* content;
        const char* checksum;
        bool expected;
    };
    const Case cases[] = {
        {"<CABECALHO>\r\nCBF43926 resto\r\n</CABECALHO>\r\ndados\r\n", "cbf43926", true},
        {"<CABECALHO>\r\nCBF43926\r\n", "CBF43926", true},
        {"<cabecalho>\nCBF43926\n", "CBF43926", true},           // marker case ignored
        {"linha\r<Cabecalho>\rCBF43926\r", "CBF43926", true},     // CR line ends
        {"<CABECALHO>\r\ncbf43926\r\n", "CBF43926", false},      // header line compared exactly
        {"<CABECALHO>\r\nCBF43927\r\n", "CBF43926", false},
        {"<CABECALHO>\r\nCBF4392\r\n", "CBF43926", false},
        {" <CABECALHO>\r\nCBF43926\r\n", "CBF43926", false},      // the whole line is the marker
        {"CBF43926\r\n", "CBF43926", false},                      // no header
        {"", "CBF43926", false},
        {"dados\r\n<CABECALHO>", "CBF43926", false},              // header is the last line
        {"dados\r\n<CABECALHO>\r\n", "CBF43926", false},
        {"<CABECALHO>\r\nAAAAAAAA\r\n<CABECALHO>\r\nCBF43926\r\n", "CBF43926", false}, // first header counts
    };
    int i = 0;
    for (const Case& c : cases) {
        const QString path = write(QStringLiteral("h%1.txt").arg(i++), c.content);
        EXPECT_EQ(ChecaCRCInterno(path, QString::fromLatin1(c.checksum)), c.expected) << c.content;
    }
    EXPECT_THROW(ChecaCRCInterno(dir.filePath("missing.txt"), "CBF43926"), vorta::EFOpenError);
    EXPECT_THROW(ChecaCRCInterno(dir.path(), "CBF43926"), vorta::EFOpenError);
}

TEST(ComumText, DigitTexts)
{
    EXPECT_TRUE(IsNumber("0123456789"));
    EXPECT_FALSE(IsNumber(""));
    EXPECT_FALSE(IsNumber("12 3"));
    EXPECT_FALSE(IsNumber("-1"));
    EXPECT_FALSE(IsNumber(QStringLiteral("١٢"))); // digits of another script
    EXPECT_EQ(RemoveMascara("12.345.678-9"), "123456789");
    EXPECT_EQ(RemoveMascara(""), "");
    EXPECT_EQ(LimpaLixo("R$ 1.234,56"), "123456");
    EXPECT_EQ(LimpaLixo(QStringLiteral("ab²c")), "");

    struct Case {
        const char* text;
        int n;
        char c;
        bool right;
        const char* expected;
    };
    const Case cases[] = {
        {"12345", 3, '0', false, "345"}, {"12345", 3, '0', true, "123"}, {"7", 3, '0', true, "700"},
        {"7", 3, '0', false, "007"},     {"abc", 3, '*', false, "abc"},  {"", 2, ' ', false, "  "},
        {"abc", 0, '0', false, ""},      {"abc", -1, '0', true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrFill(c.text, c.n, QLatin1Char(c.c), c.right), QString::fromLatin1(c.expected))
            << c.text << " " << c.n << " " << c.right;
}

TEST(ComumCheckDigits, StateRegistration)
{
    struct Case {
        const char* ie;
        bool valid;
    };
    const Case cases[] = {
        {"280000006", true},  {"280000005", false}, {"281234566", true}, {"581234561", true},
        {"280000090", true},  // remainder 1 asks for 0
        {"280000030", true},  // remainder 0 asks for 0
        {"123456789", true},  {"123456788", false}, {"12345678", false}, {"1234567890", false},
        {"", false},          {"28000000X", false}, // the ninth is compared, not converted
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChkDigIE(c.ie), c.valid) << c.ie;

    EXPECT_EQ(GenDigIE("28000000"), "6");
    EXPECT_EQ(GenDigIE("28000009"), "0");
    EXPECT_EQ(GenDigIE("280000001234"), "6"); // first eight only
    EXPECT_THROW(GenDigIE("2800000"), vorta::ERangeError);
    EXPECT_THROW(GenDigIE("2800A000"), vorta::EConvertError);
    EXPECT_THROW(ChkDigIE("2800A0006"), vorta::EConvertError);
}

TEST(ComumCheckDigits, RegistrationFromFile)
{
    struct Case {
        const char* stored;
        const char* expected;
    };
    const Case cases[] = {
        {"00000006", "280000006"},  {"90000006", "280000006"}, // first character ignored
        {"01230000", "581230000"},  // only valid with 58
        {"01230005", "281230005"},  {"01230001", ""},
        {"0123A005", ""},           {"", ""},
        {"0123", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IEdoArquivo(c.stored), QString::fromLatin1(c.expected)) << c.stored;
}

TEST(ComumCheckDigits, Municipality)
{
    struct Case {
        const char* code;
        const char* expected;
    };
    const Case cases[] = {
        {"00000", "0"}, {"17000", "3"}, {"10009", "9"}, {"12345", "5"}, {"99999", "7"},
        {"1234", ""},   {"123456", ""}, {"", ""},       {"12a45", "#"}, {"1234 ", "#"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DVMun(c.code), QString::fromLatin1(c.expected)) << c.code;
}

TEST(ComumCheckDigits, Renavam)
{
    struct Case {
        const char* number;
        bool valid;
    };
    const Case cases[] = {
        {"12345679", true}, {"12345678", false}, {"000000000", true}, {"123456789", true},
        {"0", true},        {"5", false},        {"94", true},        {"1234567890", false},
        {"", false},        {"1234a679", false}, {"1234567x", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChkRenavam(c.number), c.valid) << c.number;
}

TEST(ComumCheckDigits, CollectionDocument)
{
    EXPECT_EQ(DVDaeqx(100), "00000010000");
    EXPECT_EQ(DVDaeqx(101), "00000010101");
    EXPECT_EQ(DVDaeqx(196), "00000019696");
    EXPECT_EQ(DVDaeqx(197), "00000019700");
    EXPECT_EQ(DVDaeqx(5000), "00000500050");
    EXPECT_EQ(DVDaeqx(123456789), "12345678936");
    EXPECT_EQ(DVDaeqx(1234567890), "");
    // Below 100 the remainder is negative: its last two characters are the check pair
    // (5: -95, 90: -10); where they would hold the minus sign there is no result.
    const std::pair<std::int32_t, const char*> small[] = {
        {3, "00000000300"}, {4, "00000000496"}, {5, "00000000595"},
        {50, "00000005050"}, {89, "00000008911"}, {90, "00000009010"}};
    for (const auto& [n, expected] : small)
        EXPECT_EQ(DVDaeqx(n), expected) << n;
    for (int n : {91, 95, 99, 2, 1, 0, -5, -94, -12345678, std::numeric_limits<std::int32_t>::min()})
        EXPECT_EQ(DVDaeqx(n), "") << n;
}

TEST(ComumCheckDigits, InvoiceNumber)
{
    struct Case {
        const char* number;
        const char* date;
        const char* expected;
    };
    const Case cases[] = {
        {"0010000001", "20240131", "92690"}, {"1234567890", "19991231", "16656"},
        {"0000000000", "20000101", "08664"}, {"9876543210", "20261210", "01464"},
        {"123456789", "20240131", ""},       {"12345678901", "20240131", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DVNFP(c.number, c.date), QString::fromLatin1(c.expected)) << c.number;

    for (const auto& [number, date] : {std::pair{"12345X7890", "20240131"}, std::pair{"1234567890", "2024013"},
                                       std::pair{"1234567890", "2024-1-3"}}) {
        try {
            DVNFP(number, date);
            ADD_FAILURE() << number << " " << date;
        } catch (const vorta::Exception& e) {
            EXPECT_TRUE(e.message().startsWith("DVNFP ")) << e.message().toStdString();
            EXPECT_STREQ(e.className(), "Exception");
        }
    }
}

TEST(ComumCheckDigits, Modulo10)
{
    struct Case {
        const char* digits;
        const char* expected;
    };
    const Case cases[] = {
        {"0", "0"}, {"", " "}, {"1", "8"}, {"5", "9"}, {"9", "1"}, {"856", "5"}, {"123456789", "7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Modulo10CEF(c.digits), QString::fromLatin1(c.expected)) << c.digits;
    EXPECT_THROW(Modulo10CEF("12a"), vorta::EConvertError);
}

TEST(ComumBarcode, BuildsCodeAndPrintedLine)
{
    const QDateTime date(QDate(2024, 12, 31), QTime(15, 30));
    const QString code = FEBRABANBarCode(QStringLiteral("1.234,56"), date, "12345678901", QLatin1Char('7'));
    EXPECT_EQ(code, "85650000012345600122024123112345678901700000");
    ASSERT_EQ(code.size(), 44);
    EXPECT_EQ(code.mid(4, 11), "00000123456");
    EXPECT_EQ(code.mid(19, 8), "20241231");
    // The check digit makes the whole code pass its own modulus-10 rule's input.
    EXPECT_EQ(code.mid(3, 1), Modulo10CEF(code.left(3) + code.mid(4)));

    const QString line = FEBRABANText(code);
    EXPECT_EQ(line, "85650000012-5 34560012202-1 41231123456-8 78901700000-9");
    EXPECT_EQ(line.size(), 55);
    for (int pos : {14, 28, 42})
        EXPECT_EQ(line.at(pos - 1), QLatin1Char(' ')) << pos;

    // A longer value keeps its last 11 digits.
    EXPECT_EQ(FEBRABANBarCode("123456789012345", date, "12345678901", QLatin1Char('7')).mid(4, 11), "56789012345");
}

TEST(ComumBarcode, RefusesWrongLengths)
{
    const QDateTime date(QDate(2024, 12, 31), QTime());
    for (const char* s : {"1234567890", "123456789012", ""}) {
        try {
            FEBRABANBarCode("100", date, s, QLatin1Char('1'));
            ADD_FAILURE() << s;
        } catch (const vorta::Exception& e) {
            EXPECT_EQ(e.message(), "Erro ao gerar FEBRABAN");
        }
    }
    EXPECT_THROW(FEBRABANBarCode("100", QDateTime(), "12345678901", QLatin1Char('1')), vorta::Exception);
    EXPECT_THROW(FEBRABANBarCode("100", date, "1234567890A", QLatin1Char('1')), vorta::EConvertError);
}
