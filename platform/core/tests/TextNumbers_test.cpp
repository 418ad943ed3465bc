#include "platform/core/Exceptions.h"
#include "platform/core/TextNumbers.h"

#include <gtest/gtest.h>

namespace {

TEST(TextNumbers, TrimTakesBlanksAndControlCharacters)
{
    EXPECT_EQ(vorta::Trim(QStringLiteral(" \t\r\n ab c \x01 ")), QStringLiteral("ab c"));
    EXPECT_EQ(vorta::TrimLeft(QStringLiteral("  ab  ")), QStringLiteral("ab  "));
    EXPECT_EQ(vorta::TrimRight(QStringLiteral("  ab  ")), QStringLiteral("  ab"));
    EXPECT_EQ(vorta::Trim(QStringLiteral("   ")), QString());
    // A no-break space (0xA0) is not a blank.
    EXPECT_EQ(vorta::Trim(QString(QChar(0xA0)) + QStringLiteral("a")), QString(QChar(0xA0)) + QStringLiteral("a"));
}

TEST(TextNumbers, StrToFloatReadsTheDecimalComma)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case good[] = {
        {"1,5", 1.5}, {" -2,25 ", -2.25}, {"+3", 3}, {",5", 0.5}, {"7,", 7}, {"1,5E3", 1500}, {"25e-1", 2.5},
        {"0", 0}, {"000123", 123},
    };
    for (const Case& c : good)
        EXPECT_DOUBLE_EQ(vorta::StrToFloat(QString::fromUtf8(c.text)), c.value) << c.text;
    const char* bad[] = {"", " ", "1.5", "1,2,3", "1 5", "abc", "1e", "e5", "-", "1,5x", "1e99999"};
    for (const char* t : bad)
        EXPECT_FALSE(vorta::tryStrToFloat(QString::fromUtf8(t))) << t;
    try {
        vorta::StrToFloat(QStringLiteral("1.5"));
        FAIL() << "no error";
    } catch (const vorta::EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'1.5' is not a valid floating point value"));
    }
}

TEST(TextNumbers, ValReadsTheDecimalPointAndTellsWhereItStopped)
{
    struct Case {
        const char* text;
        int code;
        double value;
    };
    const Case cases[] = {
        {"12.5", 0, 12.5}, {"  -3", 0, -3}, {"+.5", 0, 0.5}, {"7.", 0, 7}, {"1.5E2", 0, 150}, {"25e-1", 0, 2.5},
        {"1x", 2, 0}, {"1,5", 2, 0}, {"12.5 ", 5, 0}, {"abc", 1, 0}, {"", 1, 0}, {"-", 2, 0}, {"1e", 3, 0},
        {"1.2.3", 4, 0}, {" 1e+x", 5, 0},
    };
    for (const Case& c : cases) {
        double value = -1;
        EXPECT_EQ(c.code, vorta::Val(QString::fromUtf8(c.text), value)) << c.text;
        EXPECT_DOUBLE_EQ(c.value, value) << c.text;
    }
}

TEST(TextNumbers, FixedTextRoundsHalfAwayFromZeroOnTheDigits)
{
    struct Case {
        const char* text;
        int decimals;
        const char* fixed;
    };
    const Case cases[] = {
        {"7", 0, "7"},
        {"2,5", 0, "3"},
        {"-2,5", 0, "-3"},
        {"2,675", 2, "2.68"},
        {"1,005", 2, "1.01"},
        {"0,004", 2, "0.00"},
        {"-0,004", 2, "0.00"}, // no negative zero
        {"9,995", 2, "10.00"},
        {"1,5", 3, "1.500"},
        {"12345678901234567890", 0, "12345678901234567890"}, // no digit lost
        {"1,2E2", 0, "120"},
        {"00042", 0, "42"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vorta::tryFixedText(QString::fromUtf8(c.text), c.decimals).value_or(QStringLiteral("?")),
                  QString::fromUtf8(c.fixed))
            << c.text;
    EXPECT_FALSE(vorta::tryFixedText(QStringLiteral("12 3"), 0));
}

} // namespace
