#include "platform/core/Conversions.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace {

struct IntCase {
    const char* text;
    std::optional<std::int64_t> value; // empty: not a number
};

TEST(Conversions, StrToInt64ReadsDecimalAndHexadecimalTexts)
{
    const IntCase cases[] = {
        {"12", 12}, {"0", 0}, {"-5", -5}, {"+7", 7}, {"007", 7},
        {" 12", 12},                 // leading blanks are skipped
        {"$1F", 31}, {"0x1f", 31}, {"0X10", 16}, {"-$10", -16},
        {"9223372036854775807", INT64_MAX}, {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", {}}, {"-9223372036854775809", {}}, {"99999999999999999999", {}},
        {"12 ", {}},                 // trailing blanks are not
        {"", {}}, {" ", {}}, {"-", {}}, {"$", {}}, {"0x", {}}, {"1a", {}}, {"1,5", {}}, {"1.5", {}},
        {"1 2", {}}, {"--1", {}}, {"\xef\xbc\x91\xef\xbc\x92", {}}, // full-width digits
    };
    for (const IntCase& c : cases)
        EXPECT_EQ(vorta::tryStrToInt64(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(Conversions, StrToIntKeepsTo32BitsAndReportsTheText)
{
    const IntCase cases[] = {
        {"2147483647", 2147483647}, {"-2147483648", -2147483647LL - 1},
        {"2147483648", {}}, {"-2147483649", {}}, {"28300000018", {}}, {"abc", {}},
    };
    for (const IntCase& c : cases) {
        const auto value = vorta::tryStrToInt(QString::fromUtf8(c.text));
        EXPECT_EQ(value ? std::optional<std::int64_t>(*value) : std::nullopt, c.value) << c.text;
        EXPECT_EQ(vorta::StrToIntDef(QString::fromUtf8(c.text), -99), c.value.value_or(-99)) << c.text;
    }
    EXPECT_EQ(vorta::StrToInt(QStringLiteral("-42")), -42);
    try {
        vorta::StrToInt(QStringLiteral("12 "));
        FAIL() << "no error";
    } catch (const vorta::EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'12 ' is not a valid integer value"));
    }
    EXPECT_EQ(vorta::IntToStr(-9876543210LL), QStringLiteral("-9876543210"));
}

} // namespace
