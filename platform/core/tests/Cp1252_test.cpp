#include "platform/core/Cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, EveryByteReadsAndWritesBackTheSame)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = vorta::fromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(vorta::toCp1252(text), all);
}

TEST(Cp1252, CharactersOfTheUpperHalf)
{
    struct Case {
        char16_t unicode;
        unsigned char byte;
    };
    const Case cases[] = {
        {0x20AC, 0x80}, // euro sign
        {0x201A, 0x82}, {0x0160, 0x8A}, {0x2022, 0x95}, {0x2014, 0x97}, {0x0178, 0x9F},
        {0x00A0, 0xA0}, {0x00BA, 0xBA}, // no-break space, masculine ordinal
        {0x00C7, 0xC7}, {0x00E3, 0xE3}, {0x00E9, 0xE9}, {0x00FF, 0xFF},
        // The five unassigned bytes stand for the control character of their value.
        {0x0081, 0x81}, {0x008D, 0x8D}, {0x008F, 0x8F}, {0x0090, 0x90}, {0x009D, 0x9D},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vorta::cp1252Byte(QChar(c.unicode)), c.byte) << int(c.unicode);
        EXPECT_EQ(vorta::fromCp1252(QByteArray(1, char(c.byte))), QString(QChar(c.unicode))) << int(c.byte);
    }
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeAQuestionMark)
{
    // C1 controls that have a character of their own in the code page, Greek, CJK.
    for (const char16_t u : {char16_t(0x0080), char16_t(0x0085), char16_t(0x03A9), char16_t(0x4E2D), char16_t(0x0100)})
        EXPECT_EQ(vorta::cp1252Byte(QChar(u)), '?') << int(u);
    EXPECT_EQ(vorta::toCp1252(QString::fromUtf8("Jo\xc3\xa3o \xe2\x82\xac \xce\xa9")), QByteArray("Jo\xe3o \x80 ?"));
    // One byte per character, so positions keep their meaning.
    EXPECT_EQ(vorta::toCp1252(QString::fromUtf8("a\xce\xa9" "b")).size(), 3);
    EXPECT_TRUE(vorta::toCp1252(QString()).isEmpty());
    EXPECT_TRUE(vorta::fromCp1252(QByteArray()).isEmpty());
}

} // namespace
