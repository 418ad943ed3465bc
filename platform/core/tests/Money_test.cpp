#include "platform/core/Exceptions.h"
#include "platform/core/Money.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

using vorta::Money;

TEST(Money, FromDoubleRoundsTheDecimalTextHalfAwayFromZero)
{
    struct Case {
        double value;
        std::int64_t cents;
    };
    const Case cases[] = {
        {0.0, 0},          {259.39, 25939},   {0.125, 13},       {-0.125, -13},
        {0.005, 1},        {-0.005, -1},      {0.0049, 0},       {2.675, 268},
        {1.005, 101},      {129.695, 12970},  {-129.695, -12970}, {0.004999, 0},
        {1e-20, 0},        {999999.994, 99999999}, {12345678.5, 1234567850},
        {246.024, 24602},  {0.01, 1},          {100.0, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(Money::fromDouble(c.value).cents(), c.cents);
    }
}

// The amount a double denotes is its shortest text rounded, whichever way it is read:
// weights, their sums and the doubles beside every half cent agree with that text.
TEST(Money, FromDoubleAgreesWithTheShortestTextEverywhere)
{
    auto fromText = [](double v) {
        char buffer[400];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
        return Money::fromString(QString::fromLatin1(buffer, int(r.ptr - buffer)));
    };
    std::vector<double> values;
    auto around = [&values](double v) {
        for (double x : {v, std::nextafter(v, 0.0), std::nextafter(v, 1e300), -v})
            values.push_back(x);
    };
    std::uint64_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return seed >> 33;
    };
    for (int i = 0; i < 20000; ++i) {
        const double cents = double(next() % 100000000);
        around(cents / 100);
        around((cents + 0.5) / 100);
        around(double(next() % 1000000) / 1000);
    }
    double sum = 0;
    for (int i = 0; i < 5000; ++i) {
        sum += double(200 + next() % 100) + double(next() % 1000) / 1000;
        around(sum);
        around(sum / 15);
    }
    for (double big : {0x1p52 / 100, 0x1p53 / 100, 1e15, 4503599627370495.5 / 100, 1e-300, 5e-324})
        around(big);
    for (double v : values) {
        SCOPED_TRACE(v);
        EXPECT_EQ(Money::fromDouble(v), fromText(v));
    }
}

TEST(Money, FromDoubleRefusesWhatHasNoAmount)
{
    EXPECT_THROW(Money::fromDouble(std::numeric_limits<double>::infinity()), vorta::EConvertError);
    EXPECT_THROW(Money::fromDouble(std::numeric_limits<double>::quiet_NaN()), vorta::EConvertError);
    EXPECT_THROW(Money::fromDouble(1e30), vorta::EConvertError);
}

TEST(Money, FromStringReadsEitherSeparatorAndRounds)
{
    struct Case {
        const char* text;
        std::int64_t cents;
    };
    const Case cases[] = {
        {"0", 0},       {"12", 1200},     {"12,5", 1250},   {"12.50", 1250}, {"-3,456", -346},
        {" 7.005 ", 701}, {"+1,994", 199}, {"0,0050", 1},   {"12.", 1200},   {",75", 75},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Money::fromString(QString::fromLatin1(c.text)).cents(), c.cents);
    }
    for (const char* bad : {"", "-", ",", "1.234,56", "12a", "1 2", "99999999999999999999"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(Money::fromString(QString::fromLatin1(bad)), vorta::EConvertError);
    }
}

TEST(Money, ProductsArePreciseAndRoundedOnceToCents)
{
    struct Case {
        const char* a;
        const char* b;
        const char* times;
        const char* percent;
    };
    const Case cases[] = {
        // 259.39 at 50 %: 129.695 exactly, which a double holds as 129.69499...
        {"259.39", "50", "12969.50", "129.70"},
        {"367.20", "67", "24602.40", "246.02"},
        {"3060.00", "12", "36720.00", "367.20"},
        {"34.00", "90.00", "3060.00", "30.60"},
        {"0.01", "0.50", "0.01", "0.00"},
        {"-259.39", "50", "-12969.50", "-129.70"},
        {"1.15", "1.15", "1.32", "0.01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " x " + c.b);
        const Money a = Money::fromString(QString::fromLatin1(c.a));
        const Money b = Money::fromString(QString::fromLatin1(c.b));
        EXPECT_EQ(a.times(b), Money::fromString(QString::fromLatin1(c.times)));
        EXPECT_EQ(a.percent(b), Money::fromString(QString::fromLatin1(c.percent)));
    }
}

TEST(Money, DivisionRoundsHalfAwayFromZero)
{
    struct Case {
        std::int64_t cents;
        std::int64_t divisor;
        std::int64_t quotient;
    };
    const Case cases[] = {
        {51000, 15, 3400}, {25000, 15, 1667}, {100, 3, 33},   {200, 3, 67},
        {5, 2, 3},         {-5, 2, -3},       {5, -2, -3},    {-5, -2, 3},
        {22499, 15, 1500}, {1, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cents);
        EXPECT_EQ(Money::fromCents(c.cents).dividedBy(c.divisor).cents(), c.quotient);
    }
    EXPECT_THROW(Money::fromCents(1).dividedBy(0), vorta::EConvertError);
}

TEST(Money, SumsAndComparisonsAreExact)
{
    Money total;
    for (int i = 0; i < 10; ++i)
        total += Money::fromDouble(0.1);
    EXPECT_EQ(total, Money::fromUnits(1));
    EXPECT_EQ(Money::fromCents(150) - Money::fromCents(200), Money::fromCents(-50));
    EXPECT_EQ(Money::fromCents(150) * 3, Money::fromCents(450));
    EXPECT_LT(Money::fromCents(-1), Money());
    EXPECT_EQ(vorta::min(Money::fromUnits(100), Money::fromUnits(90)), Money::fromUnits(90));
    EXPECT_THROW(Money::fromCents(std::numeric_limits<std::int64_t>::max()) + Money::fromCents(1), vorta::EConvertError);
}

TEST(Money, TextAndStoredValue)
{
    EXPECT_EQ(Money::fromCents(-123456).toString(), "-1234.56");
    EXPECT_EQ(Money::fromCents(5).toString(), "0.05");
    EXPECT_EQ(Money().toString(), "0.00");
    // The stored double reads back as the same amount.
    for (std::int64_t cents : {0LL, 1LL, 12970LL, 24602LL, -99999999LL, 123456789012LL}) {
        SCOPED_TRACE(cents);
        EXPECT_EQ(Money::fromDouble(Money::fromCents(cents).toDouble()).cents(), cents);
    }
}
