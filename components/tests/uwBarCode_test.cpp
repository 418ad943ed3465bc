#include "uwBarCode.h"

#include "platform/core/Exceptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

namespace {

std::vector<int> values(const wBarCode& b) { return b.codeValues(); }

std::unique_ptr<wBarCode> code128(const QString& text)
{
    auto b = std::make_unique<wBarCode>();
    b->setCodeBarType(TwCodeBarType::cb128);
    b->setCode128Type(TwCode128CodeSubset::csCodeC);
    b->setText(text);
    return b;
}

std::unique_ptr<wBarCode> i25(const QString& text, bool dver)
{
    auto b = std::make_unique<wBarCode>();
    b->setCodeBarType(TwCodeBarType::cbI25);
    b->setDVer(dver);
    b->setText(text);
    return b;
}

// Draws the symbol with a quiet zone on a white picture and reads it back with zbarimg.
QString decode(wBarCode& b)
{
    const QString zbar = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbar.isEmpty())
        return QStringLiteral("<no zbarimg>");
    b.Module = 3;
    b.OrdX = 30 * b.Module;
    b.OrdY = 20;
    b.setHeight(120);
    QImage image(b.Width() + 2 * b.OrdX, b.Height() + 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    b.Canvas = &painter;
    b.MakeBarCode();
    painter.end();
    b.Canvas = nullptr;
    const QString folder = QCoreApplication::applicationDirPath() + "/barcode-samples";
    QDir().mkpath(folder);
    const QString file = folder + "/" + (b.CodeBarType() == TwCodeBarType::cb128 ? "c128-" : "i25-") + b.Text() + ".png";
    image.save(file);
    QProcess p;
    p.start(zbar, {QStringLiteral("--raw"), QStringLiteral("-q"), file});
    p.waitForFinished(30000);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
}

} // namespace

TEST(BarCodeTable, Code128PatternsAreElevenModulesWithEvenBarsAndAllDiffer)
{
    std::set<QString> seen;
    for (int v = 0; v <= 105; ++v) {
        const QString p = wBarCode::code128Pattern(v);
        ASSERT_EQ(p.size(), 6) << v;
        int sum = 0, bars = 0;
        for (int i = 0; i < 6; ++i) {
            sum += p[i].digitValue();
            if (i % 2 == 0)
                bars += p[i].digitValue();
        }
        EXPECT_EQ(sum, 11) << v;
        EXPECT_EQ(bars % 2, 0) << v;
        EXPECT_TRUE(seen.insert(p).second) << v;
    }
    EXPECT_EQ(wBarCode::code128Pattern(0), "212222");
    EXPECT_EQ(wBarCode::code128Pattern(105), "211232");
    EXPECT_EQ(wBarCode::code128Pattern(106), "2331112");
}

TEST(BarCode, Code128Values)
{
    struct Case {
        const char* text;
        std::vector<int> values;
    };
    const Case cases[] = {
        {"1234", {105, 12, 34, 82, 106}},
        {"", {105, 2, 106}},
        {"123456", {105, 12, 34, 56, 44, 106}},
        // A lone last digit goes through subset B (100, then '3' = 19).
        {"123", {105, 12, 100, 19, 65, 106}},
        {"7", {105, 100, 23, 45, 106}},
    };
    for (const Case& c : cases) {
        auto holder = code128(c.text);
    const wBarCode& b = *holder;
        EXPECT_EQ(values(b), c.values) << c.text;
        QString widths;
        for (int v : c.values)
            widths += wBarCode::code128Pattern(v);
        EXPECT_EQ(b.widths(), widths) << c.text;
    }
}

TEST(BarCode, Code128HoldsLongTextsWhole)
{
    const QString text(600, QLatin1Char('9'));
    auto holder = code128(text);
    const wBarCode& b = *holder;
    EXPECT_EQ(b.codeValues().size(), 1u + 300 + 2);
}

TEST(BarCode, Interleaved2of5ValuesCheckAndPadding)
{
    struct Case {
        const char* text;
        bool dver;
        std::vector<int> values;
        int check;
    };
    const Case cases[] = {
        // The digit at the last, even position is not summed.
        {"1234", true, {1, 2, 3, 4, 4, 0}, 4},
        {"1234", false, {1, 2, 3, 4}, 4},
        {"12345", true, {1, 2, 3, 4, 5, 3}, 3},
        {"123", false, {1, 2, 3, 0}, 4},
        {"", false, {}, 0},
    };
    for (const Case& c : cases) {
        auto holder = i25(c.text, c.dver);
    const wBarCode& b = *holder;
        EXPECT_EQ(values(b), c.values) << c.text;
        EXPECT_EQ(b.checkValue(), c.check) << c.text;
    }
}

TEST(BarCode, Interleaved2of5WidthsInterleaveBarsAndSpaces)
{
    auto holder = i25("12", false);
    wBarCode& b = *holder;
    // 1 = 31113 (bars), 2 = 13113 (spaces), interleaved.
    EXPECT_EQ(b.widths(), "1111" "3113111133" "311");
    b.Module = 1;
    EXPECT_EQ(b.Width(), 27);
    b.Module = 2;
    EXPECT_EQ(b.Width(), 54);
}

TEST(BarCode, HeightZeroTakesTheSubsetCWidthOnlyForSubsetC)
{
    auto holder = code128("1234");
    wBarCode& b = *holder;
    b.Module = 2;
    b.setHeight(0);
    // Round(5 * 5.5) = Round(27.5) = 28 (halves to even), + 35 = 63 modules.
    EXPECT_EQ(b.Height(), 126);
    b.setText("123");
    b.setHeight(0);
    // Round(22) + 35.
    EXPECT_EQ(b.Height(), 114);
    b.setText("12345");
    b.setHeight(0);
    // Round(33) + 35.
    EXPECT_EQ(b.Height(), 136);
    b.setText("1");
    b.setHeight(0);
    // Round(11) + 35.
    EXPECT_EQ(b.Height(), 92);
    b.setText("123456");
    b.setHeight(0);
    // Round(38.5) = 38.
    EXPECT_EQ(b.Height(), 146);

    b.setHeight(40);
    EXPECT_EQ(b.Height(), 40);
    b.setCode128Type(TwCode128CodeSubset::csCodeB);
    b.setHeight(0);
    EXPECT_EQ(b.Height(), 40);
}

TEST(BarCode, NonDigitTextRaisesTheConversionError)
{
    EXPECT_THROW(code128("12a4"), vorta::EConvertError);
    EXPECT_THROW(i25("1x", false), vorta::EConvertError);
}

TEST(BarCode, PclCommandsPerBar)
{
    auto holder = i25("12", false);
    wBarCode& b = *holder;
    b.OutputType = TwOutputType::oPCL;
    b.Module = 2;
    b.OrdX = 100;
    b.OrdY = 50;
    b.setHeight(30);
    b.sOutPut = "X";
    b.MakeBarCode();
    const QString esc(QChar(27));
    // Start "1111": bars at offsets 0 and 4 (module 2); then 1's first bar (3 wide) at 8.
    const QString expectedStart = "X" + esc + "*p50y100X" + esc + "*c2a30b0P" + esc + "*p50y104X" + esc + "*c2a30b0P"
        + esc + "*p50y108X" + esc + "*c6a30b0P";
    EXPECT_TRUE(b.sOutPut.startsWith(expectedStart)) << b.sOutPut.toStdString();
    // Two bars in the start, five of the first digit, two in the stop: two commands each.
    EXPECT_EQ(b.sOutPut.count(esc), 18);
    b.MakeBarCode();
    EXPECT_EQ(b.sOutPut.count(esc), 36);
}

TEST(BarCode, CanvasBarsAreBlackRectanglesAtTheirOffsets)
{
    auto holder = i25("12", false);
    wBarCode& b = *holder;
    b.Module = 1;
    b.OrdX = 5;
    b.OrdY = 2;
    b.setHeight(4);
    QImage image(40, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    b.Canvas = &painter;
    b.MakeBarCode();
    painter.end();
    QString row;
    for (int x = 0; x < 40; ++x)
        row += image.pixelColor(x, 3) == Qt::black ? '#' : '.';
    // 1111 | 3113111133 | 311 drawn bar first from x = 5.
    EXPECT_EQ(row, ".....#.#.###.#...#.#.###...###.#........");
    EXPECT_EQ(image.pixelColor(5, 1), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(5, 6), QColor(Qt::white));
}

TEST(BarCode, WithoutACanvasNothingIsDrawn)
{
    auto holder = code128("1234");
    wBarCode& b = *holder;
    b.OutputType = TwOutputType::oCanvas;
    b.Canvas = nullptr;
    b.MakeBarCode();
    SUCCEED();
}

TEST(BarCodeDecoding, AnIndependentReaderReadsTheDigitsBack)
{
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        GTEST_SKIP() << "zbarimg is not installed";
    for (const char* text : {"1234", "123", "0", "280012345", "99887766554433221100"}) {
        auto holder = code128(text);
    wBarCode& b = *holder;
        EXPECT_EQ(decode(b), QString::fromLatin1(text)) << "Code 128 " << text;
    }
    struct Case { const char* text; bool dver; const char* read; };
    const Case cases[] = {
        {"123456", false, "123456"},
        {"12345", true, "123453"},
        {"1234567", false, "12345670"},
        {"1234", true, "123440"},
        {"00123456789012", false, "00123456789012"},
    };
    for (const Case& c : cases) {
        auto holder = i25(c.text, c.dver);
    wBarCode& b = *holder;
        EXPECT_EQ(decode(b), QString::fromLatin1(c.read)) << "2 of 5 " << c.text;
    }
}
