#include "FastStringFuncs.h"

#include "platform/core/Exceptions.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FastStringFuncsBase64, EncodesAndDecodes)
{
    struct Case { const char* plain; const char* encoded; };
    const Case cases[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Base64Encode(c.plain), c.encoded);
        EXPECT_EQ(Base64Decode(c.encoded), c.plain);
    }
    // Accented text goes as its code page bytes: "ção" is E7 E3 6F.
    EXPECT_EQ(Base64Encode(QStringLiteral("ção")), "5+Nv");
    EXPECT_EQ(Base64Decode("5+Nv"), QStringLiteral("ção"));
    // Line breaks, blanks and tabs of wrapped text are skipped.
    EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy\n"), "foobar");
    EXPECT_EQ(Base64Decode("Zm9v Ym\tFy"), "foobar");
    // Trailing characters beyond the last group are ignored; a group with one valid
    // character yields nothing.
    EXPECT_EQ(Base64Decode("Zm9vYg"), "foo");
    EXPECT_EQ(Base64Decode("Z==="), "");
}

TEST(FastStringFuncsCipher, RoundTripsAndEnciphersToTheEnd)
{
    EXPECT_EQ(Encrypt("", 1234), "");
    const QString text = QString::fromUtf8("Frigorífico São João ") + QString(300, QLatin1Char('x'));
    const QString secret = Encrypt(text, 4321);
    EXPECT_EQ(secret.size(), text.size());
    EXPECT_NE(secret.right(10), text.right(10));
    EXPECT_EQ(Decrypt(secret, 4321), text);
    EXPECT_NE(Decrypt(secret, 4322), text);
    // First byte: 'A' (0x41) XOR the key's high byte 0x12.
    EXPECT_EQ(Encrypt("A", 0x1234).at(0).unicode(), 0x41 ^ 0x12);
}

TEST(FastStringFuncsHtml, KeepsTagsOrTextAndDecodesEntities)
{
    EXPECT_EQ(ExtractNonHTML("<b>Olá</b> mundo"), QStringLiteral("Olá mundo"));
    EXPECT_EQ(ExtractHTML("<b>Olá</b> mundo"), "<b></b>");
    EXPECT_EQ(ExtractNonHTML("a &amp; b&nbsp;&lt;c&gt; &QUOT;x&quot;"), "a & b <c> \"x\"");
    EXPECT_EQ(ExtractNonHTML("&amp;lt;"), "<");
    EXPECT_EQ(ExtractNonHTML("x>y<z"), "xy");
}

TEST(FastStringFuncsText, CopyLeftRightReverse)
{
    EXPECT_EQ(CopyStr("abcdef", 2, 3), "bcd");
    EXPECT_EQ(CopyStr("abcdef", 5, 10), "ef");
    EXPECT_EQ(CopyStr("abcdef", 7, 1), "");
    EXPECT_EQ(CopyStr("abcdef", 0, 1), "");
    EXPECT_EQ(CopyStr("abcdef", 1, 0), "");
    EXPECT_EQ(LeftStr("abc", 2), "ab");
    EXPECT_EQ(LeftStr("abc", 5), "abc");
    EXPECT_EQ(LeftStr("abc", 0), "");
    EXPECT_EQ(RightStr("abc", 2), "bc");
    EXPECT_EQ(RightStr("abc", 3), "abc");
    EXPECT_EQ(RightStr("abc", -1), "");
    EXPECT_EQ(ReverseStr("abç"), QStringLiteral("çba"));
}

TEST(FastStringFuncsNumbers, HexAndColours)
{
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("ff"), 255);
    EXPECT_EQ(HexToInt("7FFFFFFFFFFFFFFF"), INT64_MAX);
    try {
        HexToInt("1g");
        FAIL();
    } catch (const vorta::Exception& e) {
        EXPECT_EQ(e.message(), "Invalid hex character g");
    }
    EXPECT_EQ(RGBToColor("#102030"), 0x302010u);
    EXPECT_EQ(RGBToColor("A0B0C0"), 0xC0B0A0u);
    for (const char* bad : {"#12345", "1234567", "#GG0000", ""})
        EXPECT_THROW(RGBToColor(bad), vorta::EConvertError) << bad;
}

TEST(FastStringFuncsWildcards, StarOnlyWithoutBacktracking)
{
    struct Case { const char* value; const char* pattern; bool match; };
    const Case cases[] = {
        {"axxb", "a*b", true}, {"abxb", "a*b", false}, {"abc", "ab*", true}, {"abc", "abc", true},
        {"abd", "abc", false}, {"aXbYc", "a*b*c", true}, {"xa", "a*", false}, {"", "*", true},
        {"ABC", "abc", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringMatches(c.value, c.pattern), c.match) << c.value << " " << c.pattern;
}

TEST(FastStringFuncsMissing, TheTextWhereThePlaceholderStood)
{
    EXPECT_EQ(MissingText(QStringLiteral("Olá, %s! Bem-vindo"), QStringLiteral("Olá, Maria! Bem-vindo"), "%s"), "Maria");
    EXPECT_EQ(MissingText("Nome: %s.", "NOME: joao.", "%s"), "joao");
    EXPECT_EQ(MissingText("sem marca", "sem marca", "%s"), "");
    EXPECT_EQ(MissingText("%s fim", "x fim", "%s"), "") << "an empty Before never matches";
    EXPECT_EQ(MissingText("a%sb", "zzz", "%s"), "");
}

TEST(FastStringFuncsNames, RandomAndUniqueFileNames)
{
    const QString r = RandomStr(40);
    ASSERT_EQ(r.size(), 40);
    for (QChar c : r)
        EXPECT_TRUE(c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
    EXPECT_EQ(RandomStr(0), "");
    QTemporaryDir dir;
    const QString base = dir.path() + "/x.txt";
    EXPECT_EQ(UniqueFilename(base), base);
    QFile(base).open(QIODevice::WriteOnly);
    EXPECT_EQ(UniqueFilename(base), dir.path() + "/x2.txt");
    QFile(dir.path() + "/x2.txt").open(QIODevice::WriteOnly);
    EXPECT_EQ(UniqueFilename(base), dir.path() + "/x3.txt");
    const QString random = RandomFileName(base);
    EXPECT_TRUE(random.startsWith(dir.path() + "/"));
    EXPECT_TRUE(random.endsWith(".txt"));
    EXPECT_EQ(random.size(), dir.path().size() + 1 + 32 + 4);
    EXPECT_FALSE(QFile::exists(random));
}

TEST(FastStringFuncsSplitCount, Table)
{
    QStringList parts{"old"};
    Split("a,,b,", QLatin1Char(','), parts);
    EXPECT_EQ(parts, QStringList({"a", "", "b"}));
    Split("", QLatin1Char(','), parts);
    EXPECT_TRUE(parts.isEmpty());
    Split("a;b", QLatin1Char(';'), parts);
    EXPECT_EQ(parts, QStringList({"a", "b"}));

    EXPECT_EQ(StringCount("aaaa", "aa", true), 2);
    EXPECT_EQ(StringCount("abABab", "ab", true), 2);
    EXPECT_EQ(StringCount("abABab", "ab", false), 3);
    EXPECT_EQ(StringCount(QStringLiteral("Ação AÇÃO"), QStringLiteral("ção"), false), 2);
    EXPECT_EQ(StringCount("", "a", true), 0);
    EXPECT_EQ(StringCount("a", "", true), 0);
}

TEST(FastStringFuncsSoundEx, SimilarNamesShareAValue)
{
    EXPECT_EQ(SoundEx(""), 0);
    EXPECT_EQ(SoundEx("Robert"), SoundEx("Rupert"));
    // R, then b 1, r 6, t 3 with multipliers 26, 156 and 936.
    EXPECT_EQ(SoundEx("Robert"), 'R' + 1 * 26 + 6 * 156 + 3 * 936);
    EXPECT_EQ(SoundEx("robert"), SoundEx("Robert"));
    // Repeated codes count once; a vowel in between does not separate them.
    EXPECT_EQ(SoundEx("Bbb"), 'B' + 1 * 26);
    // z and k repeat c's code.
    EXPECT_EQ(SoundEx("Tymczak"), 'T' + 5 * 26 + 2 * 156);
    EXPECT_EQ(SoundEx("Ab1c"), 'A' + 1 * 26 + 2 * 156);
    EXPECT_NE(SoundEx("Robert"), SoundEx("Rubin"));
}

TEST(FastStringFuncsUrl, DecodesPercentEscapes)
{
    EXPECT_EQ(URLToText("a%20b+c"), "a b+c");
    EXPECT_EQ(URLToText("%E7a"), QStringLiteral("ça"));
    EXPECT_EQ(URLToText("x%4"), "x\x04");
    EXPECT_THROW(URLToText("%zz"), vorta::Exception);
}

TEST(FastStringFuncsWord, TheWordAroundAPosition)
{
    EXPECT_EQ(WordAt("abc def", 2), "abc");
    EXPECT_EQ(WordAt("abc def", 5), "def");
    EXPECT_EQ(WordAt("abc def", 4), "abc") << "a blank gives the word before it";
    EXPECT_EQ(WordAt("abc def", 0), "");
    EXPECT_EQ(WordAt("abc def", 8), "");
    EXPECT_EQ(WordAt("x1 y2", 2), "x1");
}
