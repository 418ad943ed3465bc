#include "platform/core/Format.h"

#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <limits>

using vorta::Format;

namespace {

struct FormatCase {
    const char* format;
    QVariantList args;
    const char* expected;
};

class FormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, Formats)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(QString::fromUtf8(c.expected).toStdString(), Format(QString::fromUtf8(c.format), c.args).toStdString())
        << "format: " << c.format;
}

INSTANTIATE_TEST_SUITE_P(
    Specifiers, FormatTest,
    ::testing::Values(
        // Texts and literal percent signs.
        FormatCase{"86 - Deseja sair do sistema?", {}, "86 - Deseja sair do sistema?"},
        FormatCase{"Inscrição %s inválida", {QStringLiteral("281234567")}, "Inscrição 281234567 inválida"},
        FormatCase{"100%% concluído", {}, "100% concluído"},
        FormatCase{"%s%%", {QStringLiteral("50")}, "50%"},
        FormatCase{"[%5s]", {QStringLiteral("ab")}, "[   ab]"},
        FormatCase{"[%-5s]", {QStringLiteral("ab")}, "[ab   ]"},
        FormatCase{"[%.2s]", {QStringLiteral("abcdef")}, "[ab]"},
        FormatCase{"[%1s]", {QStringLiteral("abc")}, "[abc]"},
        FormatCase{"%s", {QChar(u'ç')}, "ç"},
        FormatCase{"%s", {QByteArray("bytes")}, "bytes"},
        // Integers: precision is the minimum digit count, the sign stays in front.
        FormatCase{"%d", {42}, "42"},
        FormatCase{"%d", {-42}, "-42"},
        FormatCase{"%.4d", {-42}, "-0042"},
        FormatCase{"%5d|", {42}, "   42|"},
        FormatCase{"%-5d|", {42}, "42   |"},
        FormatCase{"%05d", {42}, "   42"},
        FormatCase{"%d", {qint64(9000000000LL)}, "9000000000"},
        FormatCase{"%d", {std::numeric_limits<qint64>::min()}, "-9223372036854775808"},
        FormatCase{"%u", {-1}, "4294967295"},
        FormatCase{"%x", {255}, "FF"},
        FormatCase{"%.8x", {0xEDB8}, "0000EDB8"},
        FormatCase{"%x", {-1}, "FFFFFFFF"},
        FormatCase{"%x", {qint64(-1)}, "FFFFFFFFFFFFFFFF"},
        FormatCase{"%D %X", {10, 10}, "10 A"},
        // Floating point: Brazilian separators, half away from zero.
        FormatCase{"%f", {1.5}, "1,50"},
        FormatCase{"%.2f", {1.005}, "1,01"},
        FormatCase{"%.2f", {-2.675}, "-2,68"},
        FormatCase{"%.0f", {2.5}, "3"},
        FormatCase{"%.3f", {0.0004}, "0,000"},
        FormatCase{"%.2f", {-0.001}, "0,00"},
        FormatCase{"%8.2f|", {3.14159}, "    3,14|"},
        FormatCase{"%.2f", {999.999}, "1000,00"},
        FormatCase{"%n", {1234567.891}, "1.234.567,89"},
        FormatCase{"%.0n", {999.5}, "1.000"},
        FormatCase{"%m", {-1234.5}, "-R$ 1.234,50"},
        FormatCase{"%e", {1234.5}, "1,23450000000000E+003"},
        FormatCase{"%.3e", {-0.000123456}, "-1,23E-004"},
        FormatCase{"%g", {1.5}, "1,5"},
        FormatCase{"%g", {1e20}, "1E+020"},
        FormatCase{"%g", {0.000001}, "1E-006"},
        FormatCase{"%g", {100.0}, "100"},
        FormatCase{"%f", {std::numeric_limits<double>::infinity()}, "INF"},
        // Indexes, and "*" taking width or precision from the arguments.
        FormatCase{"%1:s %0:s", {QStringLiteral("a"), QStringLiteral("b")}, "b a"},
        FormatCase{"%1:s %s", {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, "b c"},
        FormatCase{"%0:s-%0:s", {QStringLiteral("x")}, "x-x"},
        FormatCase{"[%*d]", {4, 7}, "[   7]"},
        FormatCase{"[%-*d]", {4, 7}, "[7   ]"},
        FormatCase{"%.*f", {1, 2.25}, "2,3"},
        FormatCase{"%1:-4s|", {QStringLiteral("a"), QStringLiteral("b")}, "b   |"},
        // Extra arguments are ignored.
        FormatCase{"sem marcas", {1, QStringLiteral("x")}, "sem marcas"}));

struct ErrorCase {
    const char* format;
    QVariantList args;
    const char* message;
};

class FormatErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(FormatErrorTest, RaisesConvertError)
{
    const ErrorCase& c = GetParam();
    try {
        Format(QString::fromUtf8(c.format), c.args);
        FAIL() << "no error for " << c.format;
    } catch (const vorta::EConvertError& e) {
        EXPECT_EQ(std::string(c.message), e.message().toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mismatches, FormatErrorTest,
    ::testing::Values(
        ErrorCase{"%d", {QStringLiteral("12")}, "Format '%d' invalid or incompatible with argument"},
        ErrorCase{"%d", {1.0}, "Format '%d' invalid or incompatible with argument"},
        ErrorCase{"%d", {true}, "Format '%d' invalid or incompatible with argument"},
        ErrorCase{"%s", {12}, "Format '%s' invalid or incompatible with argument"},
        ErrorCase{"%f", {12}, "Format '%f' invalid or incompatible with argument"},
        ErrorCase{"%s", {QVariant()}, "Format '%s' invalid or incompatible with argument"},
        ErrorCase{"%*d", {QStringLiteral("4"), 1}, "Format '%*d' invalid or incompatible with argument"},
        ErrorCase{"valor %q", {1}, "Format 'valor %q' invalid or incompatible with argument"},
        ErrorCase{"termina em %", {}, "Format 'termina em %' invalid or incompatible with argument"},
        ErrorCase{"%5", {1}, "Format '%5' invalid or incompatible with argument"},
        ErrorCase{"%s e %s", {QStringLiteral("um")}, "No argument for format '%s e %s'"},
        ErrorCase{"%2:s", {QStringLiteral("a")}, "No argument for format '%2:s'"},
        // The quoted format stops at 31 characters.
        ErrorCase{"Registro %d de uma mensagem bem longa", {QStringLiteral("x")},
                  "Format 'Registro %d de uma mensagem bem' invalid or incompatible with argument"}));

} // namespace
