#include "comum.h"

#include "FastStrings.h"

#include "platform/core/Exceptions.h"
#include "platform/db/DbTypes.h"
#include "platform/os/Registry.h"

#include "testing/TempInstallation.h"

#include <gtest/gtest.h>

namespace {

QString raisedText(const std::function<void()>& f)
{
    try {
        f();
    } catch (const vorta::Exception& e) {
        return e.message();
    }
    return QStringLiteral("<nothing raised>");
}

} // namespace

TEST(ComumTextos, MarkersTakeAndDelete)
{
    EXPECT_EQ(PegarTexto("a[b]c", "[", "]"), "b");
    QString t = "a[b]c";
    ApagarTexto(t, "[", "]");
    EXPECT_EQ(t, "ac");
    // Both markers are sought from the start.
    EXPECT_EQ(PegarTexto("]a[b]", "[", "]"), "");
    t = "]a[b";
    ApagarTexto(t, "[", "]");
    EXPECT_EQ(t, "]a[b");
    EXPECT_EQ(raisedText([] { PegarTexto("abc", "[", "]"); }), QStringLiteral("Parâmetro inicial não foi encontrado."));
    EXPECT_EQ(raisedText([] { PegarTexto("a[bc", "[", "]"); }), QStringLiteral("Parâmetro final não foi encontrado."));
    EXPECT_EQ(raisedText([] { QString x = "]"; ApagarTexto(x, "[", "]"); }), QStringLiteral("Parâmetro inicial não foi encontrado."));
    EXPECT_EQ(GetXMLToken("<a><b>x</b></a>", "b"), "x");
    EXPECT_EQ(GetXMLToken("<b>x", "b"), "");
}

TEST(ComumTextos, Tokens)
{
    QString t = "ab;;cd";
    EXPECT_EQ(GetToken(t, ";"), "ab");
    EXPECT_EQ(t, "cd");
    EXPECT_EQ(GetToken(t, ";"), "cd");
    EXPECT_EQ(t, "");

    t = "'it''s' x";
    EXPECT_EQ(GetTokenStr(t, " ", QLatin1Char('\'')), "it's");
    EXPECT_EQ(t, "x");
    t = "x'a'";
    EXPECT_EQ(raisedText([&] { GetTokenStr(t, " ", QLatin1Char('\'')); }), "Expected ' but x found.");
    t = "'abc";
    EXPECT_EQ(raisedText([&] { GetTokenStr(t, " ", QLatin1Char('\'')); }), "Unexpected end of string.");
}

TEST(ComumTextos, CharacterSetsAccentsAndComparisons)
{
    EXPECT_EQ(ClearString("a1b2c3", "0123456789"), "123");
    EXPECT_EQ(CaracEspec(QStringLiteral("ÀÁÂÃÇÉÊÌÍÎÒÓÔÕÚÜàáâãçéêìíîòóôõúü")), "AAAACEEIIIOOOOUUaaaaceeiiioooouu");
    EXPECT_EQ(CaracEspec(QStringLiteral("ÈËñÄ")), QStringLiteral("ÈËñÄ"));
    EXPECT_EQ(CompareStrings("abc", "abxyz"), "xyz");
    EXPECT_EQ(CompareStrings("abc", "ab"), "");
    EXPECT_EQ(CompareStrings("", "ab"), "ab");
}

TEST(ComumTextos, PassMaskIsACaseInsensitiveGlob)
{
    struct Case { const char* mask; const char* text; bool match; };
    const Case cases[] = {
        {"A*C", "AXYC", true}, {"A?C", "abc", true}, {"", "x", false},
        {"ABC", "AB", false}, {"AB", "ABC", false}, {"*", "", true}, {"*", "abc", true},
        {"A*B*C", "aXbYbZc", true}, {"A*BC", "ABXBC", true}, {"A*B", "ABXBC", false},
        {"??", "a", false}, {"*.TXT", "nota.txt", true}, {"A**C", "AC", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PassMask(c.mask, c.text), c.match) << c.mask << " / " << c.text;
    EXPECT_TRUE(PassMask(QStringLiteral("AÇÃO*"), QStringLiteral("ação final")));
}

TEST(ComumTextos, StringReplaceNew)
{
    EXPECT_EQ(StringReplaceNew("aXbxc", "x", "-", 0), "aXb-c");
    EXPECT_EQ(StringReplaceNew("aXbxc", "x", "-", rfIgnoreCase | rfReplaceAll), "a-b-c");
    EXPECT_EQ(StringReplaceNew("abc", "", "-", rfReplaceAll), "abc");
}

TEST(ComumTextos, BreakTextCutsAtBlanksAndPunctuation)
{
    QStringList lines{"aaaa bbbb cccc"};
    BreakText(lines, 10);
    EXPECT_EQ(lines, QStringList({"aaaa bbbb ", "cccc"}));

    lines = QStringList{QString(25, QLatin1Char('x'))};
    BreakText(lines, 10);
    EXPECT_EQ(lines, QStringList({QString(10, 'x'), QString(10, 'x'), QString(5, 'x')}));

    // Character 11 is a blank: the blanks stay on the first line.
    lines = QStringList{"aaaaaaaaaa   bb"};
    BreakText(lines, 10);
    EXPECT_EQ(lines, QStringList({"aaaaaaaaaa   ", "bb"}));

    lines = QStringList{"abc,defghijkl", "ok"};
    BreakText(lines, 10);
    EXPECT_EQ(lines, QStringList({"abc,", "defghijkl", "ok"}));

    lines = QStringList{"abcdef"};
    BreakText(lines, 0);
    EXPECT_EQ(lines, QStringList({"abcdef"})) << "a maximum below 1 must not loop for ever";
}

TEST(ComumTextos, Numbers)
{
    EXPECT_EQ(HexToNum("ff"), "255");
    EXPECT_EQ(HexToNum(""), "0");
    EXPECT_EQ(HexToNum("FFFFFFFF"), "4294967295");
    EXPECT_DOUBLE_EQ(SemDizima(1.005), 1.01);
    EXPECT_DOUBLE_EQ(SemDizima(-2.345), -2.35);

    EXPECT_EQ(FormatarInteiro(42, 5, true), "00042");
    EXPECT_EQ(FormatarInteiro(-42, 5, true), "-0042");
    EXPECT_EQ(FormatarInteiro(123456, 5, false), "23456");
    EXPECT_EQ(FormatarInteiro(INT64_MIN, 20, true), "-9223372036854775808");
    EXPECT_EQ(raisedText([] { FormatarInteiro(123456, 5, true); }), QStringLiteral("O número 123456 excede o tamanho máximo!"));
    EXPECT_THROW(FormatarInteiro(123456, 5, true), vorta::EIntOverflow);
    // A negative value needs a place for its sign.
    EXPECT_THROW(FormatarInteiro(-12345, 5, true), vorta::EIntOverflow);
    EXPECT_EQ(FormatarInteiro(-1234, 5, true), "-1234");

    EXPECT_EQ(FormatarNumeroSemSeparador(12.34L, 6, 2, true), "001234");
    EXPECT_EQ(FormatarNumeroSemSeparador(12.999L, 6, 2, true), "001300");
    EXPECT_EQ(FormatarNumeroSemSeparador(-1.5L, 5, 1, true), "-0015");
    EXPECT_EQ(FormatarNumeroSemSeparador(7.0L, 3, 0, true), "007");
    EXPECT_THROW(FormatarNumeroSemSeparador(9999.999L, 6, 2, true), vorta::EIntOverflow) << "rounds to 10000.00 before the check";
    EXPECT_EQ(FormatarNumeroSemSeparador(9999.994L, 6, 2, true), "999999");
    EXPECT_EQ(FormatarNumeroSemSeparador(-99.5L, 4, 1, true), "-995");
    EXPECT_THROW(FormatarNumeroSemSeparador(-999.5L, 4, 1, true), vorta::EIntOverflow);
    EXPECT_EQ(FormatarNumeroSemSeparador(123.45L, 4, 2, false), "2345");

    EXPECT_EQ(IIF(true, 1, "x"), QVariant(1));
    EXPECT_EQ(IIF(false, 1, "x"), QVariant("x"));
}

TEST(ComumTextos, ConfigParameterReadsTheEngineConfiguration)
{
    vorta::testing::TempInstallation installation;
    vorta::os::Registry registry;
    ASSERT_TRUE(registry.openKey(QStringLiteral("\\Software\\Kalvi\\Vorta\\Engine\\DRIVERS\\SQLITE\\INIT"), true));
    registry.writeString("VERSION", "3.40");
    registry.writeString("TYPE", "FILE");
    registry.closeKey();

    std::uint16_t counter = 99;
    EXPECT_EQ(GetConfigParameter("DRIVERS\\SQLITE\\INIT;TYPE", &counter), "FILE");
    EXPECT_EQ(counter, 2);
    EXPECT_EQ(GetConfigParameter("DRIVERS\\SQLITE\\INIT;type"), "") << "the name is compared exactly";
    EXPECT_EQ(raisedText([] { GetConfigParameter("DRIVERS\\SQLITE\\INIT"); }),
              "Invalid parameter passed tofunction.  There must be a semicolon delimited sting passed");
    EXPECT_THROW(GetConfigParameter("DRIVERS\\SQLITE\\INIT"), vorta::db::EDatabaseError);
    counter = 5;
    EXPECT_THROW(GetConfigParameter("DRIVERS\\NONE;X", &counter), vorta::db::EDBEngineError);
    EXPECT_EQ(counter, 0);
}
