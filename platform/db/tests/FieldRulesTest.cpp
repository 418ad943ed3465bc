#include "DbTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace vorta::db;
using namespace vorta::db::testsupport;

class FieldRules : public DbFolder {
protected:
    void SetUp() override
    {
        DbFolder::SetUp();
        t = table("Pessoa");
        t->open();
        t->append();
        t->fieldByName("Id")->setAsInteger(1);
        t->fieldByName("Nome")->setAsString("Ana");
        t->post();
    }
    QString raw(const QString& column)
    {
        return scalar(QStringLiteral("select coalesce(typeof(%1) || ':' || %1, 'NULL') from Pessoa where Id = 1").arg(column));
    }
    std::unique_ptr<Table> t;
};

TEST_F(FieldRules, WidthsAndTypesComeFromTheDeclaredSchema)
{
    struct Case {
        const char* field;
        FieldType type;
        int size;
        bool required;
    };
    const Case cases[] = {
        {"Id", FieldType::Integer, 0, true},    {"Nome", FieldType::String, 20, true},
        {"Peso", FieldType::Float, 0, false},   {"Ativo", FieldType::Boolean, 0, false},
        {"Nascimento", FieldType::Date, 0, false}, {"Cadastro", FieldType::DateTime, 0, false},
        {"Hora", FieldType::Time, 0, false},    {"Saldo", FieldType::Currency, 0, false},
        {"Obs", FieldType::Memo, 0, false},     {"Foto", FieldType::Blob, 0, false},
        {"Nivel", FieldType::SmallInt, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        Field* f = t->fieldByName(QString::fromLatin1(c.field));
        EXPECT_EQ(f->dataType(), c.type);
        if (c.size) {
            EXPECT_EQ(f->size(), c.size);
        }
        EXPECT_EQ(f->required(), c.required);
    }
}

TEST_F(FieldRules, NullsReadAsEmptyZeroAndFalse)
{
    EXPECT_TRUE(t->fieldByName("Cidade")->isNull());
    EXPECT_EQ(t->fieldByName("Cidade")->asString(), "");
    EXPECT_EQ(t->fieldByName("Idade")->asInteger(), 0);
    EXPECT_EQ(t->fieldByName("Idade")->asString(), "");
    EXPECT_EQ(t->fieldByName("Peso")->asFloat(), 0.0);
    EXPECT_FALSE(t->fieldByName("Ativo")->asBoolean());
    EXPECT_FALSE(t->fieldByName("Cadastro")->asDateTime().isValid());
    EXPECT_EQ(t->fieldByName("Cadastro")->asString(), "");
}

TEST_F(FieldRules, EmptyStringIsStoredAsNull)
{
    t->edit();
    t->fieldByName("Cidade")->setAsString("Palmas");
    t->post();
    EXPECT_EQ(raw("Cidade"), "text:Palmas");
    t->edit();
    t->fieldByName("Cidade")->setAsString("");
    t->post();
    EXPECT_EQ(raw("Cidade"), "NULL");
    EXPECT_TRUE(t->fieldByName("Cidade")->isNull());
}

TEST_F(FieldRules, ValuesRoundTripAndAreStoredSortably)
{
    t->edit();
    t->fieldByName("Idade")->setAsString("42");
    t->fieldByName("Peso")->setAsString("72,5");
    t->fieldByName("Ativo")->setAsBoolean(true);
    t->fieldByName("Nascimento")->setAsString("07/03/1984");
    t->fieldByName("Cadastro")->setAsDateTime(QDateTime(QDate(2024, 3, 7), QTime(14, 5, 9)));
    t->fieldByName("Hora")->setAsString("08:30:00");
    t->fieldByName("Saldo")->setAsFloat(1234.5);
    t->fieldByName("Obs")->setAsString("linha 1\nlinha 2");
    t->fieldByName("Foto")->setValue(QByteArray("\x00\x01\xff", 3));
    t->fieldByName("Nivel")->setAsInteger(-3);
    t->post();
    t->refresh();
    EXPECT_EQ(t->fieldByName("Idade")->asInteger(), 42);
    EXPECT_EQ(t->fieldByName("Peso")->asString(), "72,5");
    EXPECT_TRUE(t->fieldByName("Ativo")->asBoolean());
    EXPECT_EQ(t->fieldByName("Ativo")->asString(), "True");
    EXPECT_EQ(t->fieldByName("Nascimento")->asString(), "07/03/1984");
    EXPECT_EQ(t->fieldByName("Cadastro")->asString(), "07/03/2024 14:05:09");
    EXPECT_EQ(t->fieldByName("Hora")->asString(), "08:30:00");
    EXPECT_EQ(t->fieldByName("Saldo")->displayText(), "1.234,50");
    EXPECT_EQ(t->fieldByName("Obs")->asString(), "linha 1\nlinha 2");
    EXPECT_EQ(t->fieldByName("Foto")->asBytes(), QByteArray("\x00\x01\xff", 3));
    EXPECT_EQ(t->fieldByName("Nivel")->asInteger(), -3);
    EXPECT_EQ(raw("Nascimento"), "text:1984-03-07 00:00:00");
    EXPECT_EQ(raw("Cadastro"), "text:2024-03-07 14:05:09");
    EXPECT_EQ(raw("Ativo"), "integer:1");
}

TEST_F(FieldRules, DecimalTextIsReadTheBrazilianWayOrThePlainWay)
{
    t->edit();
    struct Case {
        const char* text;
        double value; // NaN: refused
    };
    const double refused = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"72,5", 72.5},
        {"123,456", 123.456},
        {"1.234,5", 1234.5},
        {"1.2.3,5", 123.5},
        {"007,50", 7.5},
        {"-7,25", -7.25},
        {"  12  ", 12},
        {"\t12,5\n", 12.5},
        {"-7.5", -7.5},
        {"0.1", 0.1},
        {"-,5", -0.5},
        {"+3,5", 3.5},
        {"1e3", 1000},
        {"123456789012345678", 123456789012345678.0},
        {"0,30000000000000004", 0.30000000000000004},
        {"1,2,3", refused},
        {"1..5", refused},
        {"1,5-", refused},
        {"--1", refused},
        {"12 3", refused},
    };
    Field* peso = t->fieldByName("Peso");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        peso->clear();
        if (std::isnan(c.value)) {
            EXPECT_THROW(peso->setAsString(QString::fromLatin1(c.text)), EDatabaseError);
            EXPECT_TRUE(peso->isNull());
        } else {
            peso->setAsString(QString::fromLatin1(c.text));
            EXPECT_EQ(peso->asFloat(), c.value);
        }
    }
}

TEST_F(FieldRules, ConversionErrorsUseTheClassLibraryTexts)
{
    t->edit();
    struct Case {
        const char* field;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"Idade", "12a", "'12a' is not a valid integer value for field 'Idade'"},
        {"Peso", "abc", "'abc' is not a valid floating point value for field 'Peso'"},
        {"Nascimento", "31/02/2024", "'31/02/2024' is not a valid date"},
        {"Ativo", "talvez", "'talvez' is not a valid boolean value for field 'Ativo'"},
        {"Nivel", "40000", "40000 is not a valid value for field 'Nivel'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        try {
            t->fieldByName(QString::fromLatin1(c.field))->setAsString(QString::fromLatin1(c.text));
            ADD_FAILURE() << "accepted";
        } catch (const vorta::Exception& e) {
            EXPECT_TRUE(e.message().startsWith(QString::fromLatin1(c.message))) << e.message().toStdString();
        }
        EXPECT_TRUE(t->fieldByName(QString::fromLatin1(c.field))->isNull()) << "the bad value is not kept";
    }
}

TEST_F(FieldRules, RequiredFieldAndWidth)
{
    t->append();
    t->fieldByName("Id")->setAsInteger(2);
    try {
        t->post();
        FAIL() << "posted without Nome";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.message(), "Field 'Nome' must have a value");
    }
    t->fieldByName("Nome")->setDisplayLabel("Nome da pessoa");
    try {
        t->post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.message(), "Field 'Nome da pessoa' must have a value") << "the display label names the field";
    }
    t->fieldByName("Nome")->setAsString("123456789012345678901234");
    EXPECT_EQ(t->fieldByName("Nome")->asString(), "12345678901234567890") << "cut at the declared width";
    t->post();
}

TEST_F(FieldRules, UnknownFieldAndReadOnlyField)
{
    try {
        t->fieldByName("Nada");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.message(), "Field 'Nada' not found");
    }
    t->fieldByName("Nome")->setReadOnly(true);
    t->edit();
    EXPECT_THROW(t->fieldByName("Nome")->setAsString("B"), EDatabaseError);
}

TEST_F(FieldRules, DisplayFormats)
{
    t->edit();
    t->fieldByName("Peso")->setAsFloat(1234567.456);
    t->fieldByName("Peso")->setDisplayFormat("###,###,##0.00");
    EXPECT_EQ(t->fieldByName("Peso")->displayText(), "1.234.567,46");
    t->fieldByName("Peso")->setAsFloat(-0.005);
    EXPECT_EQ(t->fieldByName("Peso")->displayText(), "-0,01") << "half away from zero";
    t->fieldByName("Peso")->setAsFloat(246.024);
    EXPECT_EQ(t->fieldByName("Peso")->displayText(), "246,02");
    t->fieldByName("Cadastro")->setAsDateTime(QDateTime(QDate(2024, 3, 7), QTime(9, 4, 0)));
    t->fieldByName("Cadastro")->setDisplayFormat("dd/mm/yyyy hh:nn");
    EXPECT_EQ(t->fieldByName("Cadastro")->displayText(), "07/03/2024 09:04");
}

TEST_F(FieldRules, AmountsGoInAndOutAtTwoPlaces)
{
    using vorta::Money;
    struct Case {
        const char* field;
        Money written;
        Money read;
    };
    const Case cases[] = {
        {"Saldo", Money::fromString("2.675"), Money::fromString("2.68")},
        {"Saldo", Money::fromCents(-1), Money::fromCents(-1)},
        {"Peso", Money::fromString("0.3"), Money::fromString("0.30")},
        {"Peso", Money::fromCents(123456789012), Money::fromCents(123456789012)},
        {"Nome", Money::fromString("1234.5"), Money::fromString("1234.50")},
        {"Idade", Money::fromUnits(7), Money::fromUnits(7)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        t->edit();
        t->fieldByName(QString::fromLatin1(c.field))->setAsMoney(c.written);
        t->post();
        t->refresh();
        EXPECT_EQ(t->fieldByName(QString::fromLatin1(c.field))->asMoney(), c.read);
    }
    EXPECT_EQ(raw("Nome"), "text:1234.50") << "a text column holds the amount's own text";

    // Summing what was read stays exact where the doubles would drift.
    t->edit();
    t->fieldByName("Peso")->setAsFloat(0.1);
    t->fieldByName("Saldo")->setAsFloat(0.2);
    t->post();
    EXPECT_EQ(t->fieldByName("Peso")->asMoney() + t->fieldByName("Saldo")->asMoney(), Money::fromString("0.30"));
    t->edit();
    t->fieldByName("Saldo")->clear();
    EXPECT_EQ(t->fieldByName("Saldo")->asMoney(), Money()) << "null reads as zero";
    t->fieldByName("Cidade")->setAsString("muito");
    EXPECT_THROW(t->fieldByName("Cidade")->asMoney(), vorta::EConvertError);
    t->cancel();

    auto q = query(QStringLiteral("update Pessoa set Saldo = :v where Id = 1"));
    q->paramByName(QStringLiteral("v"))->setAsMoney(Money::fromString("19.99"));
    q->execSql();
    EXPECT_EQ(raw("Saldo"), "real:19.99");
}

TEST_F(FieldRules, WholeNumberTextIsReadAndSpeltBack)
{
    t->edit();
    struct Case {
        const char* field;
        const char* text;
        qint64 value;
        const char* message; // nullptr: taken
    };
    const Case cases[] = {
        {"Idade", "42", 42, nullptr},
        {"Idade", "-7", -7, nullptr},
        {"Idade", "007", 7, nullptr},
        {"Idade", "-0", 0, nullptr},
        {"Idade", " 12 ", 12, nullptr},
        {"Idade", "\t3\n", 3, nullptr},
        {"Idade", "+5", 5, nullptr},
        {"Idade", "2147483647", 2147483647, nullptr},
        {"Idade", "-2147483648", -2147483648LL, nullptr},
        {"Idade", "2147483648", 0, "2147483648 is not a valid value for field 'Idade'"},
        {"Idade", "999999999999999999", 0, "999999999999999999 is not a valid value for field 'Idade'"},
        {"Idade", "99999999999999999999", 0, "'99999999999999999999' is not a valid integer value for field 'Idade'"},
        {"Idade", "12a", 0, "'12a' is not a valid integer value for field 'Idade'"},
        {"Idade", "1 2", 0, "'1 2' is not a valid integer value for field 'Idade'"},
        {"Idade", "-", 0, "'-' is not a valid integer value for field 'Idade'"},
        {"Idade", "--1", 0, "'--1' is not a valid integer value for field 'Idade'"},
        {"Idade", "1,5", 0, "'1,5' is not a valid integer value for field 'Idade'"},
        {"Nivel", "32767", 32767, nullptr},
        {"Nivel", "-32768", -32768, nullptr},
        {"Nivel", "32768", 0, "32768 is not a valid value for field 'Nivel'. The allowed range is -32768 to 32767"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Field* f = t->fieldByName(QString::fromLatin1(c.field));
        f->setAsInteger(11);
        try {
            f->setAsString(QString::fromLatin1(c.text));
            EXPECT_EQ(c.message, nullptr) << "accepted";
            EXPECT_EQ(f->asInteger(), c.value);
            EXPECT_EQ(f->asString(), QString::number(c.value));
        } catch (const EDatabaseError& e) {
            ASSERT_NE(c.message, nullptr) << e.message().toStdString();
            EXPECT_TRUE(e.message().startsWith(QString::fromLatin1(c.message))) << e.message().toStdString();
            EXPECT_EQ(f->asInteger(), 11) << "the value before stays";
        }
    }
    // Numbers set as numbers are refused at the same limits and spelt the same way.
    Field* nivel = t->fieldByName("Nivel");
    EXPECT_THROW(nivel->setAsInteger(-32769), EDatabaseError);
    EXPECT_EQ(nivel->asInteger(), 11);
    Field* idade = t->fieldByName("Idade");
    for (const qint64 v : {0LL, 9LL, 10LL, 99LL, 100LL, -1LL, -10LL, -99LL, 123456789LL, -2147483648LL, 2147483647LL}) {
        idade->setAsInteger(v);
        EXPECT_EQ(idade->asString(), QString::number(v));
        EXPECT_EQ(idade->text(), QString::number(v));
    }
    idade->clear();
    EXPECT_TRUE(idade->isNull());
    EXPECT_EQ(idade->asString(), QString());
    t->post();
    EXPECT_EQ(raw("Idade"), "NULL");
    EXPECT_EQ(raw("Nivel"), "integer:11");
}

TEST_F(FieldRules, DecimalTextReadsAsTheNearestDouble)
{
    // Plain decimals of up to 15 digits, as the C library reads them with a point.
    t->edit();
    Field* peso = t->fieldByName("Peso");
    quint64 seed = 88172645463325252ULL;
    auto next = [&seed] {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        return seed;
    };
    for (int i = 0; i < 3000; ++i) {
        const int digits = 1 + int(next() % 15);
        const int decimals = int(next() % digits);
        QString whole, frac;
        for (int d = 0; d < digits - decimals; ++d)
            whole += QChar(u'0' + int(next() % 10));
        for (int d = 0; d < decimals; ++d)
            frac += QChar(u'0' + int(next() % 10));
        const bool negative = next() % 4 == 0;
        const QString sign = negative ? QStringLiteral("-") : QString();
        const QString pointed = sign + whole + (decimals ? QLatin1Char('.') + frac : QString());
        const double expected = std::strtod(pointed.toLatin1().constData(), nullptr);
        // The Brazilian spelling, with the decimal comma, reads the same.
        const QString comma = sign + whole + (decimals ? QLatin1Char(',') + frac : QString());
        for (const QString& text : {pointed, comma}) {
            SCOPED_TRACE(text.toStdString());
            peso->setAsString(text);
            const double got = peso->asFloat();
            EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << got << " " << expected;
        }
    }
    t->cancel();
}
