#include "platform/core/EditMask.h"

#include "platform/core/Component.h"
#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Table.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using vorta::EditMask;

namespace {

struct MaskCase {
    const char* mask;
    const char* stored;    // value as kept
    const char* displayed; // what the edit shows
};

// Each row goes both ways: format(stored) == displayed and strip(displayed) == stored.
const MaskCase kRoundTrips[] = {
    // Postal code with "!": a short value is aligned right.
    {"!99.999-999;0; ", "77015012", "77.015-012"},
    {"!99.999-999;0; ", "15012", "  . 15-012"},
    {"!99.999-999;0; ", "", "  .   -   "},
    {"99.9.9999999-9;0; ", "28300000018", "28.3.0000001-8"},
    {"99.9.9999999-9;0; ", "283", "28.3.       - "},
    // Accountant registration with "_" for empty positions.
    {"ll-999999/l-9;0;_", "SP123456O5", "SP-123456/O-5"},
    {"ll-999999/l-9;0;_", "SP1234", "SP-1234__/_-_"},
    {"99999\\-999;0;_", "77015012", "77015-012"},
    {"99999\\-999;0;_", "77", "77___-___"},
    // Literals kept in the stored value.
    {"!99/99/9999;1;_", "29/02/2004", "29/02/2004"},
    {"!99/99/9999;1;_", "", "__/__/____"},
    // The registration masks of the registers.
    {"99.999.999-9;0; ", "281000000", "28.100.000-0"},
    {"999.999.999-99;0; ", "11144477735", "111.444.777-35"},
    {"99.999.999/9999-99;0; ", "11222333000181", "11.222.333/0001-81"},
    {"aaaaaaaaaaaaaaaaaa;0; ", "ABC123", "ABC123            "},
    // Missing save flag keeps literals; missing blank is "_".
    {"00:00", "12:30", "12:30"},
    {"00:00", "", "__:__"},
};

void PrintTo(const MaskCase& c, std::ostream* os)
{
    *os << '"' << c.mask << "\" \"" << c.stored << '"';
}

class MaskRoundTrip : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskRoundTrip, FormatsAndStripsBack)
{
    const MaskCase& c = GetParam();
    const EditMask mask(QString::fromUtf8(c.mask));
    EXPECT_EQ(mask.format(QString::fromUtf8(c.stored)), QString::fromUtf8(c.displayed)) << c.mask;
    EXPECT_EQ(mask.strip(QString::fromUtf8(c.displayed)), QString::fromUtf8(c.stored)) << c.mask;
}

INSTANTIATE_TEST_SUITE_P(EditMask, MaskRoundTrip, ::testing::ValuesIn(kRoundTrips));

TEST(EditMask, ParsesSectionsAndPositions)
{
    const EditMask cep(QStringLiteral("99999\\-999;0;_"));
    EXPECT_TRUE(cep.isMasked());
    EXPECT_FALSE(cep.saveLiterals());
    EXPECT_EQ(cep.blank(), QLatin1Char('_'));
    EXPECT_EQ(cep.length(), 9);
    EXPECT_TRUE(cep.isLiteral(5));
    EXPECT_EQ(cep.literalAt(5), QLatin1Char('-'));
    EXPECT_FALSE(cep.isLiteral(4));

    const EditMask date(QStringLiteral("!99/99/9999;1;_"));
    EXPECT_TRUE(date.reversed());
    EXPECT_TRUE(date.saveLiterals());
    EXPECT_EQ(date.length(), 10);

    const EditMask blank(QStringLiteral("999;0; "));
    EXPECT_EQ(blank.blank(), QLatin1Char(' '));

    EXPECT_FALSE(EditMask().isMasked());
    EXPECT_FALSE(EditMask(QString()).isMasked());
    EXPECT_EQ(EditMask().format(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(EditMask().strip(QStringLiteral(" abc ")), QStringLiteral(" abc "));
}

TEST(EditMask, ExtraCharactersAreDroppedAndMissingShowBlank)
{
    const EditMask cep(QStringLiteral("99999\\-999;0;_"));
    EXPECT_EQ(cep.format(QStringLiteral("7701501299")), QStringLiteral("77015-012"));
    // A blank inside the value stays an empty position, and comes back as a blank.
    EXPECT_EQ(cep.format(QStringLiteral("770 5012")), QStringLiteral("770_5-012"));
    EXPECT_EQ(cep.strip(QStringLiteral("770_5-012")), QStringLiteral("770 5012"));
    // A display shorter than the mask reads as empty positions.
    EXPECT_EQ(cep.strip(QStringLiteral("770")), QStringLiteral("770"));
}

TEST(EditMask, SavedLiteralsAreTakenFromTheValueOrAdded)
{
    const EditMask date(QStringLiteral("99/99/9999;1;_"));
    EXPECT_EQ(date.format(QStringLiteral("29022004")), QStringLiteral("29/02/2004"));
    EXPECT_EQ(date.format(QStringLiteral("29/02/2004")), QStringLiteral("29/02/2004"));
    EXPECT_EQ(date.strip(QStringLiteral("29/02/____")), QStringLiteral("29/02/"));
}

TEST(EditMask, MaskedTextKeepsBlanksAndSavedLiterals)
{
    const EditMask date(QStringLiteral("!99/99/9999;1;_"));
    EXPECT_EQ(date.maskedText(QStringLiteral("__/__/____")), QStringLiteral("  /  /    "));
    const EditMask cpf(QStringLiteral("999.999.999-99;0; "));
    EXPECT_EQ(cpf.maskedText(cpf.emptyText()), QString(11, QLatin1Char(' ')));
    EXPECT_EQ(cpf.maskedText(QStringLiteral("123.456.   -  ")), QStringLiteral("123456     "));
}

TEST(EditMask, CaseConversion)
{
    const EditMask mask(QStringLiteral(">LL<ll<>ll;0;_"));
    EXPECT_EQ(mask.format(QStringLiteral("abCDeF")), QStringLiteral("ABcdeF"));
    EXPECT_EQ(mask.convertCase(0, QChar(0xE9)), QChar(0xC9)); // é -> É
    // The micro sign's upper case is outside the code page: it stays as typed.
    EXPECT_EQ(mask.convertCase(0, QChar(0xB5)), QChar(0xB5));
}

TEST(EditMask, CharacterClasses)
{
    const EditMask mask(QStringLiteral("0#LACc-;0;_"));
    struct Case {
        int pos;
        QChar c;
        bool accepted;
    };
    const Case cases[] = {
        {0, QLatin1Char('7'), true},  {0, QLatin1Char('a'), false}, {0, QLatin1Char('-'), false},
        {1, QLatin1Char('-'), true},  {1, QLatin1Char('+'), true},  {1, QLatin1Char('x'), false},
        {2, QLatin1Char('q'), true},  {2, QChar(0xE7), true},       {2, QLatin1Char('1'), false},
        {2, QChar(0x20AC), false}, // euro: in the code page, not a letter
        {2, QChar(0x03A9), false}, // omega: outside the code page
        {3, QLatin1Char('Z'), true},  {3, QLatin1Char('5'), true},  {3, QLatin1Char('.'), false},
        {4, QLatin1Char('.'), true},  {4, QChar(0x20AC), true},     {4, QChar(0x03A9), false},
        {5, QLatin1Char('*'), true},
        {6, QLatin1Char('-'), false}, // a literal takes nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(mask.accepts(c.pos, c.c), c.accepted) << c.pos << " " << int(c.c.unicode());
}

TEST(EditMask, Completeness)
{
    struct Case {
        const char* mask;
        const char* displayed;
        bool complete;
    };
    const Case cases[] = {
        {"00/00/0000;1;_", "29/02/2004", true},
        {"00/00/0000;1;_", "29/02/20__", false},
        {"00/00/0000;1;_", "29-02/2004", false},  // a literal overwritten
        {"99/99/9999;1;_", "__/__/____", true},   // optional positions may stay empty
        {"LL-000000/L-0;0;_", "SP-123456/O-5", true},
        {"LL-000000/L-0;0;_", "SP-12345_/O-5", false},
        {"LL-000000/L-0;0;_", "S1-123456/O-5", false}, // a digit where a letter belongs
        {"999;0;_", "1a_", false},                     // filled with what the mask refuses
        {"999;0;_", "1", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditMask(QString::fromUtf8(c.mask)).isComplete(QString::fromUtf8(c.displayed)), c.complete)
            << c.mask << " " << c.displayed;
}

TEST(EditMask, EditablePositionsAroundLiterals)
{
    const EditMask mask(QStringLiteral("99.999-999;0;_"));
    EXPECT_EQ(mask.nextEditable(0), 0);
    EXPECT_EQ(mask.nextEditable(2), 3);
    EXPECT_EQ(mask.previousEditable(2), 1);
    EXPECT_EQ(mask.previousEditable(6), 5);
    EXPECT_EQ(mask.nextEditable(10), -1);
    EXPECT_EQ(mask.previousEditable(-1), -1);
}

// ---- One converter for fields, grids and edits ----

// A register of two rows with a postal code, a registration and a date.
class MaskedFieldsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString folder = dir.path() + QStringLiteral("/dados");
        vorta::db::createDatabase(folder, QStringLiteral(R"SQL(
CREATE TABLE vorta_catalog (table_name VARCHAR(128) NOT NULL PRIMARY KEY COLLATE NOCASE,
  major INTEGER NOT NULL DEFAULT 1, minor INTEGER NOT NULL DEFAULT 0);
CREATE TABLE Cadastro (Id INTEGER NOT NULL PRIMARY KEY, Cep VARCHAR(8), Inscricao VARCHAR(18), Data DATE);
INSERT INTO Cadastro VALUES (1, '77015012', '11144477735', '2004-02-29');
INSERT INTO Cadastro VALUES (2, NULL, '281000000', NULL);
)SQL"));
        database = std::make_unique<vorta::db::Database>();
        database->setDatabaseName(QStringLiteral("DB_Mask"));
        database->setDirectory(folder);
        database->open();
        form = new vorta::ui::Form(nullptr);
        table = new vorta::db::Table(form);
        table->setDatabaseName(QStringLiteral("DB_Mask"));
        table->setTableName(QStringLiteral("Cadastro"));
        source = new vorta::db::DataSource(form);
        source->setDataSet(table);
        table->open();
        table->fieldByName(QStringLiteral("Cep"))->setEditMask(QStringLiteral("99999\\-999;0;_"));
        table->fieldByName(QStringLiteral("Inscricao"))->setEditMask(QStringLiteral("999.999.999-99;0; "));
        table->fieldByName(QStringLiteral("Data"))->setEditMask(QStringLiteral("!99/99/9999;1;_"));
    }
    void TearDown() override
    {
        vorta::Component::free(form);
        database.reset();
    }
    vorta::db::Field* field(const char* name) { return table->fieldByName(QString::fromUtf8(name)); }

    QTemporaryDir dir;
    std::unique_ptr<vorta::db::Database> database;
    vorta::ui::Form* form = nullptr;
    vorta::db::Table* table = nullptr;
    vorta::db::DataSource* source = nullptr;
};

TEST_F(MaskedFieldsTest, AStringFieldShowsItsValueThroughTheMask)
{
    EXPECT_EQ(field("Cep")->displayText(), QStringLiteral("77015-012"));
    EXPECT_EQ(field("Inscricao")->displayText(), QStringLiteral("111.444.777-35"));
    // The value and the edit text stay as stored.
    EXPECT_EQ(field("Cep")->asString(), QStringLiteral("77015012"));
    EXPECT_EQ(field("Cep")->text(), QStringLiteral("77015012"));
    // Dates keep their own display; only strings go through a mask.
    EXPECT_EQ(field("Data")->displayText(), field("Data")->asString());

    table->next();
    EXPECT_EQ(field("Cep")->displayText(), QString()); // nothing stored, nothing shown
    EXPECT_EQ(field("Inscricao")->displayText(), QStringLiteral("281.000.000-  "));
    field("Inscricao")->setEditMask(QString());
    EXPECT_EQ(field("Inscricao")->displayText(), QStringLiteral("281000000"));
}

TEST_F(MaskedFieldsTest, GridAndEditShowTheSameMaskedText)
{
    auto* grid = new vorta::ui::DBGrid(form);
    grid->setDataSource(source);
    grid->addColumn(QStringLiteral("Cep"));
    grid->addColumn(QStringLiteral("Inscricao"));
    grid->columnsChanged();
    auto* edit = new vorta::ui::DBEdit(form);
    edit->setDataSource(source);
    edit->setDataField(QStringLiteral("Cep"));
    table->first();

    EXPECT_EQ(grid->cellText(0, 0), QStringLiteral("77015-012"));
    EXPECT_EQ(grid->cellText(0, 1), QStringLiteral("111.444.777-35"));
    EXPECT_EQ(grid->cellText(1, 1), QStringLiteral("281.000.000-  "));
    EXPECT_EQ(edit->text(), grid->cellText(0, 0));
    EXPECT_EQ(edit->value(), QStringLiteral("77015012"));
}

} // namespace
