#include "Ufuncoes.h"

#include "platform/core/EditMask.h"

#include <gtest/gtest.h>

namespace {

struct Check {
    const char* text;
    bool valid;
};

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

TEST(ChkINSC, SevenCharactersAfterThePrefix)
{
    const Check cases[] = {
        {"0000006", true},  // s = 82, remainder 5
        {"1234566", true},
        {"6543214", true},
        {"1000000", true},  // remainder 1 gives 0
        {"0000049", true},  // remainder 2 gives 9
        {"9999995", true},
        {"1234567", false},
        {"0000000", false},
        {"00000060", true}, // characters after the seventh are not read
        // Not all digits: invalid, never an error.
        {"123456", false},
        {"", false},
        {"12345 6", false},
        {"1234a66", false},
        {"123456X", false},
        {"12.3456", false},
    };
    for (const Check& c : cases)
        EXPECT_EQ(ChkINSC(u(c.text)), c.valid) << c.text;
}

TEST(ChkINSC, AgreesWithTheLibrarysStateRegistrationDigit)
{
    // The library weighs all nine digits its own way; both rules must give one digit.
    for (int body = 0; body < 1000000; body += 7919) {
        const QString base = QStringLiteral("28") + QString::number(body).rightJustified(6, QLatin1Char('0'));
        const QString digit = GenDigIE(base + QLatin1Char('0'));
        ASSERT_EQ(digit.size(), 1) << base.toStdString();
        EXPECT_TRUE(ChkINSC(base.mid(2) + digit)) << base.toStdString();
        EXPECT_TRUE(ChkDigIE(base + digit)) << base.toStdString();
        const QString wrong = QString::number((digit.toInt() + 1) % 10);
        EXPECT_FALSE(ChkINSC(base.mid(2) + wrong)) << base.toStdString();
    }
}

TEST(ChkCPF, CheckDigits)
{
    const Check cases[] = {
        {"", true},
        {"11144477735", true},
        {"52998224725", true},
        {"12345678909", true},
        {"98765432100", true},
        {"00000000000", true}, // all check digits 0
        {"11111111111", true}, // eleven equal digits are not refused
        {"11144477734", false},
        {"11144477725", false},
        {"1114447773", false},
        {"111444777350", false},
        {"111.444.777-35", false},
        {"111444 7735", false},
        {"1114447773X", false},
        {"11144477735 ", false},
        {"1114447773\xc3\xa9", false}, // an accented letter is one byte
    };
    for (const Check& c : cases)
        EXPECT_EQ(ChkCPF(u(c.text)), c.valid) << c.text;
}

TEST(ChkCNPJ, CheckDigits)
{
    const Check cases[] = {
        {"", true},
        {"11222333000181", true},
        {"11444777000161", true},
        {"12345678000195", true},
        {"00000000000000", true},
        {"11222333000182", false},
        {"11222333000171", false},
        {"1122233300018", false},
        {"11.222.333/0001-81", false},
        {"112223330001 1", false},
        {"1122233300018a", false},
    };
    for (const Check& c : cases)
        EXPECT_EQ(ChkCNPJ(u(c.text)), c.valid) << c.text;
}

TEST(ChkNIRE, CheckDigitWithItsOwnSmallRemainders)
{
    const Check cases[] = {
        {"00000000001", true}, // remainder 0 expects 1
        {"53000000080", true}, // remainder 1 expects 0
        {"53000000021", true},
        {"12345678907", true},
        {"53000000071", true}, // remainder 10 gives 1
        {"10000000009", true},
        {"00000000000", false},
        {"53000000081", false},
        {"12345678906", false},
        {"", false},
        {"1234567890", false},
        {"123456789071", false},
        {"1234567890X", false},
        {"12345 78907", false},
    };
    for (const Check& c : cases)
        EXPECT_EQ(ChkNIRE(u(c.text)), c.valid) << c.text;
}

TEST(ChkCRC, CouncilRegistration)
{
    struct Case {
        const char* crc;
        const char* lead;
        bool valid;
    };
    const Case cases[] = {
        {"SP123456O5", "1", true},
        {"SP123456O4", "1", false},
        {"SP123456E6", "1", true},
        {"SP123456F6", "1", true}, // E and F are the same category
        {"RJ004321T2", "2", true},
        {"RJ004321T2", "1", false}, // the lead counts
        {"QX000777K0", "1", true},
        {"FR654321P4", "1", true},
        {"AC111111O3", "3", true},
        {"NI123456S8", "10", true}, // only the first ten characters are weighed
        {"SP123456X5", "1", false}, // unknown category
        {"ZZ123456O5", "1", false}, // letters not in the table
        {"sp123456O5", "1", false}, // upper case only
        {"SP123456o5", "1", false}, // the category letter too
        {"SP123456O5--", "1", true}, // the parts are the first ten characters
        {"SP123456O5", "X", false}, // a lead that is no digit: invalid, no error
        {"SP12 456O5", "1", false},
        {"SP123456OX", "1", false},
        {"SP123456O", "1", false},
        {"SP123456O5", "", false},
        {"", "1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChkCRC(u(c.crc), u(c.lead)), c.valid) << c.crc << " " << c.lead;
}

TEST(ChkEmail, AcceptableAddresses)
{
    const Check cases[] = {
        {"ab@c.de", true},
        {"fulano@empresa.com.br", true},
        {"a@bc.de", false},   // "@" at position 2
        {"ab@cdef", false},   // no "." after "@"
        {"ab@c.d", false},    // too short
        {"abc.@d.ef", false}, // "." before "@"
        {"ab@.cd.ef", false}, // "." after "@"
        {".ab@c.de", false},
        {"ab@c.de.", false},
        {"a b@c.de", false},
        {"abcdefg", false},
        {"abcd@e.fg", true},
        {"abcd@e.f", false},  // three characters after the "@"
        {"abcd.e@fghi", false}, // the "." is before the "@" only
        {"", false},
    };
    for (const Check& c : cases)
        EXPECT_EQ(ChkEmail(u(c.text)), c.valid) << c.text;
}

TEST(ChkUF, StateAbbreviations)
{
    const char* states[] = {"AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO", "MA", "MG", "QX", "MT", "PA",
                            "PB", "PE", "PI", "PR", "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"};
    for (const char* s : states)
        EXPECT_TRUE(ChkUF(u(s))) << s;
    const char* others[] = {"qx", "Sp", "EX", "XX", "", "SPX", " SP"};
    for (const char* s : others)
        EXPECT_FALSE(ChkUF(u(s))) << s;
}

TEST(Mascaras, MasksOfTheRegistrationKinds)
{
    EXPECT_EQ(MascaraDesteConTipo("IE"), QStringLiteral("99.999.999-9;0; "));
    EXPECT_EQ(MascaraDesteConTipo("CNPJ"), QStringLiteral("99.999.999/9999-99;0; "));
    EXPECT_EQ(MascaraDesteConTipo("CPF"), QStringLiteral("999.999.999-99;0; "));
    EXPECT_EQ(MascaraDesteConTipo("RG"), QStringLiteral("aaaaaaaaaaaaaaaaaa;0; "));
    EXPECT_EQ(MascaraDesteConTipo("cpf"), QStringLiteral("aaaaaaaaaaaaaaaaaa;0; "));
    EXPECT_EQ(MascaraCPFCNPJ("CNPJ"), QStringLiteral("99.999.999/9999-99;0; "));
    EXPECT_EQ(MascaraCPFCNPJ("CPF"), QStringLiteral("999.999.999-99;0; "));
    EXPECT_EQ(MascaraCPFCNPJ("IE"), QString());
}

TEST(Mascaras, AMaskedRegistrationStripsToWhatTheCheckReads)
{
    struct Case {
        const char* kind;
        const char* displayed;
        bool valid;
    };
    const Case cases[] = {
        {"CPF", "111.444.777-35", true},
        {"CNPJ", "11.222.333/0001-81", true},
        {"CPF", "111.444.7  -  ", false}, // partly filled
        {"CPF", "111.4 4.777-35", false}, // a blank inside
    };
    for (const Case& c : cases) {
        const vorta::EditMask mask(MascaraDesteConTipo(u(c.kind)));
        const QString stored = mask.strip(u(c.displayed));
        const bool valid = QString(c.kind) == "CPF" ? ChkCPF(stored) : ChkCNPJ(stored);
        EXPECT_EQ(valid, c.valid) << c.displayed;
    }
}

TEST(RemoveFunctions, KeepWhatTheyPromise)
{
    EXPECT_EQ(RemoveMascara("111.444.777-35"), QStringLiteral("11144477735"));
    EXPECT_EQ(RemoveMascara(""), QString());
    EXPECT_EQ(RemoveCaracter(".", "11.222.333"), QStringLiteral("11222333"));
    EXPECT_EQ(RemoveCaracter("-", "a-b--c"), QStringLiteral("abc"));
    EXPECT_EQ(RemoveCaracter("x", ""), QString());
    EXPECT_EQ(RemoveCaracter("", "abc"), QStringLiteral("abc"));
    EXPECT_EQ(RemoveCaracteresEspeciais(u("Jo\xc3\xa3o da Silva-ME, n\xc2\xba 12")), QStringLiteral("JoodaSilvaMEn12"));
    EXPECT_EQ(RemoveCaracteresEspeciais(""), QString());
}

TEST(HandOver, RegistrationPartsAreShared)
{
    insc = "1234566";
    ie2 = 28;
    EXPECT_TRUE(ChkINSC(insc));
    EXPECT_EQ(ie2, 28);
    insc.clear();
    ie2 = 0;
}

} // namespace
