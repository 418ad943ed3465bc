#include "platform/report/TextFormat.h"

#include <gtest/gtest.h>

using namespace vorta::report;

TEST(TextFormat, FormatFloat)
{
    struct Case {
        const char* format;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {"###,###,##0.00", 1234567.891, "1.234.567,89"},
        {"###,###,##0.00", 0, "0,00"},
        {"###,###,##0.00", 0.005, "0,01"},      // half away from zero
        {"###,###,##0.00", -0.005, "-0,01"},
        {"###,###,##0.00", 2.675, "2,68"},      // decimal, not binary, halves
        {"###,###,##0.00", -1000.5, "-1.000,50"},
        {"###,###,##0.00", -0.001, "0,00"},     // no negative zero
        {"0.00", 1234.5, "1234,50"},
        {"#,##0", 999999.5, "1.000.000"},
        {"#.##", 0.5, ",5"},
        {"0", 7.4, "7"},
        {"R$ #,##0.00", 12, "R$ 12,00"},
        {"0.00 %", 67, "67,00 %"},
        {"#,##0.00;(#,##0.00)", -5, "(5,00)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QString(c.expected), formatFloat(c.format, c.value)) << c.format << " " << c.value;
}

TEST(TextFormat, FormatMaskText)
{
    struct Case {
        const char* mask;
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {"99.999.999-9;0;_", "280000001", "28.000.000-1"},
        {"99.999.999/9999-99;0; ", "12345678000195", "12.345.678/0001-95"},
        {"999.999.999-99;0;", "12345678901", "123.456.789-01"},
        {"00.0.0000000-0;0; ", "12312345678", "12.3.1234567-8"},
        {"(99) 999-9999", "673334444", "(67) 333-4444"},
        {"99.999.999-9;0;_", "2800", "28.00_.___-_"},   // short values show blanks
        {"99.999.999-9;0;_", "2800000012345", "28.000.000-1"},  // extra characters are dropped
        {"99.999.999-9;1;_", "28.000.000-1", "28.000.000-1"}, // literals already in the value
        {"", "abc", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QString(c.expected), formatMaskText(c.mask, c.value)) << c.mask << " " << c.value;
}

TEST(TextFormat, FormatDateTime)
{
    const QDateTime t(QDate(2026, 1, 2), QTime(3, 4, 5));
    EXPECT_EQ("02/01/2026 03:04:05", formatDateTime("dd/mm/yyyy hh:nn:ss", t));
    EXPECT_EQ("03:04", formatDateTime("hh:mm", t)); // minutes after the hour
    EXPECT_EQ("2/1/26", formatDateTime("d/m/yy", t));
}

TEST(TextFormat, FieldValuesPickFormatOrMask)
{
    EXPECT_EQ("1.234,50", formatFieldValue(1234.5, "", "#,##0.00"));
    EXPECT_EQ("10,00", formatFieldValue(10, "", "#,##0.00"));
    EXPECT_EQ("28.000.000-1", formatFieldValue(QString("280000001"), "99.999.999-9;0;_", ""));
    EXPECT_EQ("", formatFieldValue(QVariant(), "99.999.999-9;0;_", "#,##0.00"));
    EXPECT_EQ("texto", formatFieldValue(QString("texto"), "", "#,##0.00"));
}
