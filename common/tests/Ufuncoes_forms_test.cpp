#include "Ufuncoes.h"

#include "platform/ui/Application.h"
#include "platform/core/Exceptions.h"
#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Table.h"
#include "platform/ui/DataAware.h"
#include "platform/ui/DataModule.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"
#include "platform/ui/MaskedEdit.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using vorta::ui::DataControlKind;

namespace {

// A data-aware control of any kind, on a line edit.
class FakeDataControl : public QLineEdit, public vorta::ui::DataAwareControl {
public:
    FakeDataControl(DataControlKind kind, QWidget* parent) : QLineEdit(parent), m_kind(kind) {}
    DataControlKind dataControlKind() const override { return m_kind; }
    bool isDataReadOnly() const override { return isReadOnly(); }
    void setDataReadOnly(bool on) override { setReadOnly(on); }
    void clearDataText() override { clear(); }

private:
    DataControlKind m_kind;
};

// A grid over `records` rows with `columns` columns.
class FakeGrid : public QWidget, public vorta::ui::DataAwareGrid {
public:
    FakeGrid(int columns, int records, QWidget* parent) : QWidget(parent), columns(columns), records(records)
    {
        setFocusPolicy(Qt::StrongFocus);
    }
    bool isDataReadOnly() const override { return readOnly; }
    void setDataReadOnly(bool on) override { readOnly = on; }
    int columnCount() const override { return columns; }
    int selectedIndex() const override { return column; }
    void setSelectedIndex(int index) override { column = index; }
    bool nextRecord() override
    {
        if (record + 1 < records) {
            ++record;
            return false;
        }
        return true;
    }
    void appendRecord() override
    {
        ++records;
        record = records - 1;
    }

    const int columns;
    int records;
    bool readOnly = false;
    int column = 0;
    int record = 0;
};

// ---- Enter as Tab ----

class EnterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        first = new QLineEdit(&form);
        disabled = new QLineEdit(&form);
        disabled->setEnabled(false);
        new QLabel(QStringLiteral("no focus"), &form);
        third = new QLineEdit(&form);
        grid = new FakeGrid(3, 2, &form);
        cellEditor = new QLineEdit(grid);
        form.show();
    }
    QWidget form;
    QLineEdit* first = nullptr;
    QLineEdit* disabled = nullptr;
    QLineEdit* third = nullptr;
    FakeGrid* grid = nullptr;
    QLineEdit* cellEditor = nullptr;
};

TEST_F(EnterTest, EnterMovesToTheNextControlThatTakesTheFocus)
{
    first->setFocus();
    int key = 13;
    EmulaEnter(&form, key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(form.focusWidget(), third);

    key = 13;
    third->setFocus();
    EmulaEnterNormal(&form, key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(form.focusWidget(), grid);
}

TEST_F(EnterTest, OtherKeysPassUntouched)
{
    first->setFocus();
    for (int other : {9, 65, 27, 0}) {
        int key = other;
        EmulaEnter(&form, key);
        EXPECT_EQ(key, other);
        EmulaEnterNormal(&form, key);
        EXPECT_EQ(key, other);
        EXPECT_EQ(form.focusWidget(), first);
    }
}

TEST_F(EnterTest, InAGridEnterWalksTheColumnsAndTheRecords)
{
    grid->setFocus();
    int key = 13;
    EmulaEnter(&form, key);
    EXPECT_EQ(key, 9);
    EXPECT_EQ(grid->column, 1);
    EXPECT_EQ(form.focusWidget(), grid);

    grid->column = 2; // the last column: first column of the next record
    key = 13;
    EmulaEnter(&form, key);
    EXPECT_EQ(grid->column, 0);
    EXPECT_EQ(grid->record, 1);
    EXPECT_EQ(grid->records, 2);

    grid->column = 2; // on the last record a new one is appended
    key = 13;
    EmulaEnter(&form, key);
    EXPECT_EQ(grid->records, 3);
    EXPECT_EQ(grid->record, 2);
}

TEST_F(EnterTest, AReadOnlyGridGetsNoNewRecord)
{
    grid->readOnly = true;
    grid->record = 1;
    grid->column = 2;
    cellEditor->setFocus(); // editing a cell is being in the grid
    int key = 13;
    EmulaEnter(&form, key);
    EXPECT_EQ(key, 9);
    EXPECT_EQ(grid->column, 0);
    EXPECT_EQ(grid->records, 2);
}

TEST_F(EnterTest, EnterNormalInAGridIsATab)
{
    grid->setFocus();
    int key = 13;
    EmulaEnterNormal(&form, key);
    EXPECT_EQ(key, 9);
    EXPECT_EQ(grid->column, 0);
    EXPECT_EQ(form.focusWidget(), grid);
}

// ---- Read-only switching, emptying, enabling ----

class DataControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* panel = new QFrame(&form);
        edit = new FakeDataControl(DataControlKind::Edit, panel);
        lookupBox = new FakeDataControl(DataControlKind::LookupComboBox, &form);
        lookup = new FakeDataControl(DataControlKind::LookupCombo, panel);
        radio = new FakeDataControl(DataControlKind::RadioGroup, &form);
        memo = new FakeDataControl(DataControlKind::Other, &form);
        grid = new FakeGrid(2, 1, panel);
        plain = new QLineEdit(panel);
        for (QLineEdit* e : {static_cast<QLineEdit*>(edit), static_cast<QLineEdit*>(lookupBox),
                             static_cast<QLineEdit*>(memo), plain})
            e->setText(QStringLiteral("texto"));
    }
    QWidget form;
    FakeDataControl* edit = nullptr;
    FakeDataControl* lookupBox = nullptr;
    FakeDataControl* lookup = nullptr;
    FakeDataControl* radio = nullptr;
    FakeDataControl* memo = nullptr;
    FakeGrid* grid = nullptr;
    QLineEdit* plain = nullptr;
};

TEST_F(DataControlsTest, ReadOnlySwitchesTheListedKindsOnly)
{
    DesabilitaReadOnly(&form);
    for (auto* c : {edit, lookupBox, lookup, radio})
        EXPECT_TRUE(c->isReadOnly()) << int(c->dataControlKind());
    EXPECT_TRUE(grid->readOnly);
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_FALSE(plain->isReadOnly());

    memo->setReadOnly(true);
    plain->setReadOnly(true);
    HabilitaReadOnly(&form);
    for (auto* c : {edit, lookupBox, lookup, radio})
        EXPECT_FALSE(c->isReadOnly()) << int(c->dataControlKind());
    EXPECT_FALSE(grid->readOnly);
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_TRUE(plain->isReadOnly());
}

TEST_F(DataControlsTest, LimpezaEmptiesDataAwareEditsOnly)
{
    limpeza(&form);
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(lookupBox->text(), QStringLiteral("texto"));
    EXPECT_EQ(memo->text(), QStringLiteral("texto"));
    EXPECT_EQ(plain->text(), QStringLiteral("texto"));
}

TEST_F(DataControlsTest, HelpersTakeAFormWithoutControls)
{
    QWidget empty;
    EXPECT_NO_THROW(DesabilitaReadOnly(&empty));
    EXPECT_NO_THROW(HabilitaReadOnly(nullptr));
    EXPECT_NO_THROW(limpeza(nullptr));
}

TEST(EnableAll, EveryControlInsideTheContainerInnerOnesToo)
{
    QWidget form;
    auto* outer = new QFrame(&form);
    auto* inner = new QFrame(outer);
    auto* deep = new QLineEdit(inner);
    auto* direct = new QLineEdit(outer);
    auto* outside = new QLineEdit(&form);

    EnableAll(outer, false);
    for (QWidget* w : {static_cast<QWidget*>(inner), static_cast<QWidget*>(deep), static_cast<QWidget*>(direct)})
        EXPECT_TRUE(w->testAttribute(Qt::WA_ForceDisabled));
    EXPECT_FALSE(inner->isEnabled());
    EXPECT_FALSE(deep->isEnabledTo(inner)); // its own setting, not only the parent's
    EXPECT_TRUE(outer->isEnabled());
    EXPECT_TRUE(outside->isEnabled());

    EnableAll(outer, true);
    EXPECT_TRUE(inner->isEnabled());
    EXPECT_TRUE(deep->isEnabled());
}

TEST(EnableAll, ANullContainerFailsTheAssertion)
{
    try {
        EnableAll(nullptr, true);
        FAIL() << "no error";
    } catch (const vorta::EAssertionFailed& e) {
        EXPECT_TRUE(e.message().startsWith(QString::fromUtf8("Classe inválida para este método !!!")))
            << e.message().toStdString();
    }
}

// ---- Select all ----

TEST(EditSelectAll, SelectsOnlyAMaskedEditShowingNothing)
{
    struct Case {
        const char* mask;
        const char* value;
        bool selected;
    };
    const Case cases[] = {
        {"!99/99/9999;1;_", "", true},         // "  /  /" counts as empty
        {"!99/99/9999;1;_", "29/02/2004", false},
        {"999.999.999-99;0; ", "", true},
        {"999.999.999-99;0; ", "111", false},
        {"999.999.999-99;1;_", "", false},     // its literals show: not empty
        {"", "", false},                        // no mask
    };
    for (const Case& c : cases) {
        vorta::ui::MaskedEdit edit;
        edit.setEditMask(QString::fromUtf8(c.mask));
        edit.setValue(QString::fromUtf8(c.value));
        edit.deselect();
        EditSelectAll(&edit);
        EXPECT_EQ(edit.hasSelectedText(), c.selected) << c.mask << " " << c.value;
        if (c.selected) {
            EXPECT_EQ(edit.selectedText(), edit.text());
        }
    }
    EXPECT_NO_THROW(EditSelectAll(nullptr));
}

// ---- Whole-application edit state ----

class ApplicationEditingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        vorta::db::createDatabase(dir.path(), QStringLiteral(
            "CREATE TABLE vorta_catalog (table_name VARCHAR(128) NOT NULL PRIMARY KEY COLLATE NOCASE,"
            " major INTEGER NOT NULL DEFAULT 1, minor INTEGER NOT NULL DEFAULT 0);"
            "CREATE TABLE Pessoa (Id INTEGER NOT NULL PRIMARY KEY, Nome VARCHAR(20));"
            "INSERT INTO Pessoa (Id, Nome) VALUES (1, 'Ana');"));
        db = new vorta::db::Database(nullptr);
        db->setDatabaseName(QStringLiteral("DB_Editando"));
        db->setDirectory(dir.path());
        db->open();
        owned = new vorta::ui::DataModule(vorta::Application::instance());
        notOwned = new vorta::ui::DataModule(nullptr);
        ownedTable = table(owned);
        otherTable = table(notOwned);
    }
    void TearDown() override
    {
        vorta::Component::free(owned);
        vorta::Component::free(notOwned);
        vorta::Component::free(db);
    }
    vorta::db::Table* table(vorta::Component* owner)
    {
        auto* t = new vorta::db::Table(owner);
        t->setDatabase(db);
        t->setTableName(QStringLiteral("Pessoa"));
        t->open();
        return t;
    }
    QTemporaryDir dir;
    vorta::db::Database* db = nullptr;
    vorta::ui::DataModule* owned = nullptr;
    vorta::ui::DataModule* notOwned = nullptr;
    vorta::db::Table* ownedTable = nullptr;
    vorta::db::Table* otherTable = nullptr;
};

TEST_F(ApplicationEditingTest, OnlyDataModulesOfTheApplicationCount)
{
    EXPECT_FALSE(AplicacaoEstaEditando());
    otherTable->edit();
    EXPECT_FALSE(AplicacaoEstaEditando());
    ownedTable->edit();
    EXPECT_TRUE(AplicacaoEstaEditando());
    ownedTable->cancel();
    EXPECT_FALSE(AplicacaoEstaEditando());
    ownedTable->append();
    EXPECT_TRUE(AplicacaoEstaEditando());
    ownedTable->cancel();
    otherTable->cancel();
}

TEST_F(ApplicationEditingTest, GravarPostsWhatIsBeingEdited)
{
    ownedTable->append();
    ownedTable->fieldByName(QStringLiteral("Id"))->setAsInteger(2);
    ownedTable->fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Bruno"));
    otherTable->edit();
    AplicacaoEstaEditandoGravar();
    EXPECT_EQ(ownedTable->state(), vorta::db::DataSetState::Browse);
    EXPECT_EQ(otherTable->state(), vorta::db::DataSetState::Edit); // not the application's
    otherTable->cancel();
    EXPECT_FALSE(AplicacaoEstaEditando());
    RefreshDataSet(ownedTable);
    EXPECT_EQ(ownedTable->recordCount(), 2);
}

TEST_F(ApplicationEditingTest, RefreshDataSetReopensAndSeesNewRows)
{
    db->execute(QStringLiteral("INSERT INTO Pessoa (Id, Nome) VALUES (?1, ?2)"), {3, QStringLiteral("Carla")});
    RefreshDataSet(ownedTable);
    EXPECT_TRUE(ownedTable->active());
    EXPECT_EQ(ownedTable->recordCount(), 2);
    EXPECT_TRUE(ownedTable->locate(QStringLiteral("Nome"), QStringLiteral("Carla")));
}

// ---- Enter in a data grid over a table ----

class GridEnterTest : public ApplicationEditingTest {
protected:
    void SetUp() override
    {
        ApplicationEditingTest::SetUp();
        db->execute(QStringLiteral("INSERT INTO Pessoa (Id, Nome) VALUES (2, 'Bruno')"));
        RefreshDataSet(ownedTable);
        form = new vorta::ui::Form(nullptr);
        auto* source = new vorta::db::DataSource(form);
        source->setDataSet(ownedTable);
        grid = new vorta::ui::DBGrid(form);
        grid->setDataSource(source);
        grid->addColumn(QStringLiteral("Id"));
        grid->addColumn(QStringLiteral("Nome"));
        grid->columnsChanged();
        form->show();
        ownedTable->first();
        grid->setFocus();
    }
    void TearDown() override
    {
        if (ownedTable->state() != vorta::db::DataSetState::Browse)
            ownedTable->cancel();
        vorta::Component::free(form);
        ApplicationEditingTest::TearDown();
    }
    int enter()
    {
        int key = 13;
        EmulaEnter(form, key);
        return key;
    }
    QString nome() const { return ownedTable->fieldByName(QStringLiteral("Nome"))->asString(); }

    vorta::ui::Form* form = nullptr;
    vorta::ui::DBGrid* grid = nullptr;
};

TEST_F(GridEnterTest, EnterWalksTheColumnsThenTheRecordsAndAppendsAtTheEnd)
{
    ASSERT_EQ(form->focusWidget(), grid);
    EXPECT_EQ(enter(), 9);
    EXPECT_EQ(grid->selectedIndex(), 1);
    EXPECT_EQ(nome(), QStringLiteral("Ana"));

    EXPECT_EQ(enter(), 9);
    EXPECT_EQ(grid->selectedIndex(), 0);
    EXPECT_EQ(nome(), QStringLiteral("Bruno"));
    EXPECT_EQ(ownedTable->state(), vorta::db::DataSetState::Browse);

    enter();
    enter(); // past the last column of the last record
    EXPECT_EQ(ownedTable->state(), vorta::db::DataSetState::Insert);
    EXPECT_EQ(grid->selectedIndex(), 0);
}

TEST_F(GridEnterTest, AReadOnlyGridStopsAtItsLastRecord)
{
    grid->setReadOnly(true);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(enter(), 9);
    EXPECT_EQ(ownedTable->state(), vorta::db::DataSetState::Browse);
    EXPECT_EQ(nome(), QStringLiteral("Bruno"));
    EXPECT_EQ(ownedTable->recordCount(), 2);
}

} // namespace
