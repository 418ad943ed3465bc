#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Table.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"
#include "testing/UserInput.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace vorta;
using namespace vorta::ui;

namespace {

const char* kSchema = R"SQL(
CREATE TABLE vorta_catalog (table_name VARCHAR(128) NOT NULL PRIMARY KEY COLLATE NOCASE,
  major INTEGER NOT NULL DEFAULT 1, minor INTEGER NOT NULL DEFAULT 0);
CREATE TABLE Pessoa (
  Id INTEGER NOT NULL PRIMARY KEY,
  Nome VARCHAR(20),
  Ativo VARCHAR(3),
  Tipo VARCHAR(4),
  Cidade INTEGER
);
CREATE TABLE Cidade (
  Cid_Codigo INTEGER NOT NULL PRIMARY KEY,
  Cid_Nome VARCHAR(30)
);
INSERT INTO Pessoa VALUES (1, 'Ana', 'sim', 'IE', 10);
INSERT INTO Pessoa VALUES (2, 'Bruno', 'N', 'CPF', NULL);
INSERT INTO Pessoa VALUES (3, 'Carla', 'X', 'OI', 20);
INSERT INTO Pessoa VALUES (4, 'Davi', NULL, NULL, NULL);
INSERT INTO Cidade VALUES (10, 'Palmas');
INSERT INTO Cidade VALUES (20, 'Gurupi');
INSERT INTO Cidade VALUES (30, 'Araguaina');
)SQL";

// A form with a data source over a small table of people and one of towns.
class DbControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QStringLiteral("/dados");
        db::createDatabase(folder, QString::fromUtf8(kSchema));
        database = std::make_unique<db::Database>();
        database->setDatabaseName(QStringLiteral("DB_Ui"));
        database->setDirectory(folder);
        database->open();
        form = new Form(nullptr);
        form->resize(500, 400);
        pessoa = new db::Table(form);
        pessoa->setDatabaseName(QStringLiteral("DB_Ui"));
        pessoa->setTableName(QStringLiteral("Pessoa"));
        source = new db::DataSource(form);
        source->setDataSet(pessoa);
        cidade = new db::Table(form);
        cidade->setDatabaseName(QStringLiteral("DB_Ui"));
        cidade->setTableName(QStringLiteral("Cidade"));
        cidadeSource = new db::DataSource(form);
        cidadeSource->setDataSet(cidade);
    }
    void TearDown() override
    {
        Component::free(form);
        database.reset();
    }
    void showActive()
    {
        form->show();
        QApplication::setActiveWindow(form);
    }
    QString stored(int id, const QString& column)
    {
        db::Table t;
        t.setDatabaseName(QStringLiteral("DB_Ui"));
        t.setTableName(QStringLiteral("Pessoa"));
        t.open();
        EXPECT_TRUE(t.locate(QStringLiteral("Id"), id));
        return t.fieldByName(column)->asString();
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<db::Database> database;
    Form* form = nullptr;
    db::Table* pessoa = nullptr;
    db::DataSource* source = nullptr;
    db::Table* cidade = nullptr;
    db::DataSource* cidadeSource = nullptr;
};

TEST_F(DbControls, EditIsReadOnlyWhileBrowsingAndWritesItsTextBeforeThePost)
{
    source->setAutoEdit(false);
    auto* edit = new DBEdit(form, QStringLiteral("DBEdit1"));
    edit->setDataSource(source);
    edit->setDataField(QStringLiteral("Nome"));
    pessoa->open();
    showActive();
    EXPECT_EQ(QStringLiteral("Ana"), edit->text());
    EXPECT_EQ(20, edit->maxLength());
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(edit, form->findComponent(QStringLiteral("DBEdit1")));

    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("X"));
    EXPECT_EQ(db::DataSetState::Browse, pessoa->state());
    EXPECT_EQ(QStringLiteral("Ana"), edit->text());

    pessoa->edit();
    EXPECT_FALSE(edit->isReadOnly());
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("Alice"));
    // The field keeps its value until the post reads the control.
    EXPECT_EQ(QStringLiteral("Ana"), pessoa->fieldByName(QStringLiteral("Nome"))->asString());
    pessoa->post();
    EXPECT_EQ(QStringLiteral("Alice"), stored(1, QStringLiteral("Nome")));
    EXPECT_TRUE(edit->isReadOnly());

    pessoa->next();
    EXPECT_EQ(QStringLiteral("Bruno"), edit->text());
}

TEST_F(DbControls, EditStartsAnEditWhenTypedInAndHonoursReadOnlyAndCase)
{
    auto* edit = new DBEdit(form);
    edit->setDataSource(source);
    edit->setDataField(QStringLiteral("Nome"));
    edit->charCase = CharCase::Upper;
    pessoa->open();
    showActive();
    edit->setFocus();
    // Starting the edit keeps the cursor where the user typed.
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, QStringLiteral("z"));
    EXPECT_EQ(db::DataSetState::Edit, pessoa->state());
    EXPECT_EQ(QStringLiteral("AZna"), edit->text());
    pessoa->post();
    EXPECT_EQ(QStringLiteral("AZna"), stored(1, QStringLiteral("Nome")));

    edit->setDataReadOnly(true);
    pessoa->edit();
    QTest::keyClicks(edit, QStringLiteral("q"));
    EXPECT_EQ(QStringLiteral("AZna"), edit->text());
    EXPECT_TRUE(edit->isDataReadOnly());
    EXPECT_EQ(DataControlKind::Edit, edit->dataControlKind());
}

TEST_F(DbControls, EveryWayOfChangingAMaskedEditIsWrittenToTheField)
{
    namespace user = vorta::testing::user;
    struct Case {
        const char* name;
        std::function<void(DBEdit*)> change;
        const char* written;
    };
    const Case cases[] = {
        {"typed over", [](DBEdit*) { user::key(Qt::Key_Home); user::type(QStringLiteral("98765")); }, "98765"},
        {"Backspace", [](DBEdit*) { user::key(Qt::Key_End); user::key(Qt::Key_Backspace); }, "1234"},
        {"Delete", [](DBEdit*) { user::key(Qt::Key_Home); user::key(Qt::Key_Delete); }, " 2345"},
        {"paste",
         [](DBEdit*) {
             QApplication::clipboard()->setText(QStringLiteral("777"));
             user::key(Qt::Key_Home);
             user::key(Qt::Key_V, Qt::ControlModifier);
         },
         "77745"},
        {"cut", [](DBEdit*) { user::key(Qt::Key_A, Qt::ControlModifier); user::key(Qt::Key_X, Qt::ControlModifier); },
         ""},
        {"context-menu paste",
         [](DBEdit* e) {
             QApplication::clipboard()->setText(QStringLiteral("55"));
             e->setCursorPosition(0);
             e->paste();
         },
         "55345"},
        // Undo after the first change went to the field brings the old text back.
        {"undo",
         [](DBEdit*) {
             user::key(Qt::Key_Home);
             user::type(QStringLiteral("9"));
             user::tab();
             user::backtab();
             user::key(Qt::Key_Z, Qt::ControlModifier);
         },
         "12345"},
    };
    auto* edit = new DBEdit(form, QStringLiteral("DBEdit_Nome"));
    edit->setGeometry(10, 10, 120, 22);
    edit->setDataSource(source);
    edit->setDataField(QStringLiteral("Nome"));
    auto* next = new DBEdit(form, QStringLiteral("DBEdit_Tipo"));
    next->setGeometry(10, 40, 120, 22);
    next->setDataSource(source);
    next->setDataField(QStringLiteral("Tipo"));
    pessoa->open();
    form->show();
    user::activate(form);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pessoa->first();
        pessoa->edit();
        pessoa->fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("12345"));
        pessoa->post();
        pessoa->fieldByName(QStringLiteral("Nome"))->setEditMask(QStringLiteral("00.000;0;_"));
        pessoa->refresh();
        ASSERT_EQ(QStringLiteral("12.345"), edit->text());
        edit->setFocus();
        c.change(edit);
        // Leaving the field writes it; the post stores it.
        user::tab();
        EXPECT_EQ(next, user::focused());
        EXPECT_EQ(db::DataSetState::Edit, pessoa->state());
        EXPECT_EQ(QString::fromLatin1(c.written), pessoa->fieldByName(QStringLiteral("Nome"))->asString());
        pessoa->post();
        EXPECT_EQ(QString::fromLatin1(c.written), stored(1, QStringLiteral("Nome")));
    }
}

TEST_F(DbControls, AGridCellTypesThroughTheFieldsMaskAndStoresWhatWasTyped)
{
    namespace user = vorta::testing::user;
    auto* grid = new DBGrid(form, QStringLiteral("DBGrid1"));
    grid->setGeometry(10, 10, 400, 200);
    grid->setDataSource(source);
    grid->setColumns({{QStringLiteral("Nome"), QString()}});
    pessoa->open();
    pessoa->fieldByName(QStringLiteral("Nome"))->setEditMask(QStringLiteral("00.000;0;_"));
    form->show();
    user::activate(form);
    grid->setFocus();
    // Letters are refused by the mask, digits fill it.
    user::type(QStringLiteral("9x8765"));
    user::enter();
    EXPECT_EQ(QStringLiteral("98765"), pessoa->fieldByName(QStringLiteral("Nome"))->asString());
    pessoa->post();
    EXPECT_EQ(QStringLiteral("98765"), stored(1, QStringLiteral("Nome")));
}

TEST_F(DbControls, CheckBoxMatchesItsValueListsAndWritesTheFirstCheckedValue)
{
    auto* box = new DBCheckBox(form);
    box->setValueChecked(QStringLiteral("S;Sim"));
    box->setValueUnchecked(QStringLiteral("N;Não"));
    box->setDataSource(source);
    box->setDataField(QStringLiteral("Ativo"));
    pessoa->open();
    const struct {
        int id;
        Qt::CheckState state;
    } cases[] = {{1, Qt::Checked}, {2, Qt::Unchecked}, {3, Qt::PartiallyChecked}, {4, Qt::PartiallyChecked}};
    for (const auto& c : cases) {
        ASSERT_TRUE(pessoa->locate(QStringLiteral("Id"), c.id));
        EXPECT_EQ(c.state, box->checkState()) << "record " << c.id;
    }
    ASSERT_TRUE(pessoa->locate(QStringLiteral("Id"), 2));
    box->click();
    EXPECT_EQ(Qt::Checked, box->checkState());
    EXPECT_EQ(QStringLiteral("S"), pessoa->fieldByName(QStringLiteral("Ativo"))->asString());
    pessoa->post();
    EXPECT_EQ(QStringLiteral("S"), stored(2, QStringLiteral("Ativo")));

    // A read-only box does not toggle.
    box->setReadOnly(true);
    box->click();
    EXPECT_EQ(Qt::Checked, box->checkState());
    EXPECT_EQ(db::DataSetState::Browse, pessoa->state());
}

TEST_F(DbControls, RadioGroupTellsAValueChangeFromAUserClick)
{
    auto* group = new DBRadioGroup(form);
    group->setItems({QStringLiteral("Insc. Estadual"), QStringLiteral("CNPJ"), QStringLiteral("CPF"),
                     QStringLiteral("Outras")});
    group->setValues({QStringLiteral("IE"), QStringLiteral("CNPJ"), QStringLiteral("CPF"), QStringLiteral("OI")});
    group->setDataSource(source);
    group->setDataField(QStringLiteral("Tipo"));
    int changes = 0;
    int clicks = 0;
    group->OnChange = [&](QWidget*) { ++changes; };
    group->OnClick = [&](QWidget*) { ++clicks; };
    pessoa->open();
    EXPECT_EQ(0, group->itemIndex());
    changes = 0;
    pessoa->next();
    EXPECT_EQ(2, group->itemIndex());
    EXPECT_EQ(1, changes);
    pessoa->next();
    EXPECT_EQ(3, group->itemIndex());
    pessoa->next();
    EXPECT_EQ(-1, group->itemIndex());
    EXPECT_EQ(3, changes);
    EXPECT_EQ(0, clicks);

    pessoa->first();
    changes = 0;
    group->button(1)->click();
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(1, changes);
    EXPECT_EQ(QStringLiteral("CNPJ"), group->value());
    pessoa->post();
    EXPECT_EQ(QStringLiteral("CNPJ"), stored(1, QStringLiteral("Tipo")));

    // Read-only: the click is refused and the field's item shows again.
    group->setReadOnly(true);
    group->button(3)->click();
    EXPECT_EQ(1, group->itemIndex());
    EXPECT_EQ(1, clicks);
}

TEST_F(DbControls, LookupComboBoxWritesTheKeyAndMovesItsList)
{
    auto* combo = new DBLookupComboBox(form);
    combo->setListSource(cidadeSource);
    combo->setKeyField(QStringLiteral("Cid_Codigo"));
    combo->setListField(QStringLiteral("Cid_Nome"));
    combo->setEmptyText(QStringLiteral("Não informado"));
    combo->setDataSource(source);
    combo->setDataField(QStringLiteral("Cidade"));
    cidade->open();
    pessoa->open();
    EXPECT_EQ(3, combo->count());
    EXPECT_EQ(QStringLiteral("Palmas"), combo->currentText());
    pessoa->next();
    EXPECT_EQ(-1, combo->currentIndex());
    EXPECT_EQ(QStringLiteral("Não informado"), combo->placeholderText());

    int clicks = 0;
    combo->OnClick = [&](QWidget*) { ++clicks; };
    combo->choose(2);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(db::DataSetState::Edit, pessoa->state());
    EXPECT_EQ(30, pessoa->fieldByName(QStringLiteral("Cidade"))->asInteger());
    EXPECT_EQ(QStringLiteral("Araguaina"), cidade->fieldByName(QStringLiteral("Cid_Nome"))->asString());
    EXPECT_EQ(QStringLiteral("Araguaina"), combo->currentText());
    pessoa->post();
    EXPECT_EQ(QStringLiteral("30"), stored(2, QStringLiteral("Cidade")));
}

TEST_F(DbControls, GridShowsRecordsAndKeepsTheSelectionOrder)
{
    auto* grid = new DBGrid(form);
    grid->setAlign(Align::Client);
    grid->setOptions(grid->options() | DBGrid::dgMultiSelect | DBGrid::dgRowSelect);
    grid->setDataSource(source);
    grid->addColumn(QStringLiteral("Id"));
    grid->addColumn(QStringLiteral("Nome"), QStringLiteral("Nome da pessoa"));
    pessoa->open();
    pessoa->fieldByName(QStringLiteral("Id"))->setDisplayLabel(QStringLiteral("Código"));
    grid->columnsChanged();
    showActive();

    EXPECT_EQ(4, grid->rowCount());
    EXPECT_EQ(2, grid->columnCount());
    EXPECT_EQ(QStringLiteral("Código"), grid->titleText(0));
    EXPECT_EQ(QStringLiteral("Nome da pessoa"), grid->titleText(1));
    EXPECT_EQ(QStringLiteral("Carla"), grid->cellText(2, 1));
    EXPECT_EQ(0, grid->currentRow());
    EXPECT_FALSE(grid->indicatorText(0).isEmpty());

    pessoa->last();
    EXPECT_EQ(3, grid->currentRow());
    EXPECT_TRUE(grid->indicatorText(0).isEmpty());

    auto clickRow = [&](int row, Qt::KeyboardModifiers mods) {
        const QRect r = grid->visualRect(grid->model()->index(row, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, mods, r.center());
    };
    clickRow(2, Qt::ControlModifier);
    clickRow(0, Qt::ControlModifier);
    clickRow(1, Qt::ControlModifier);
    EXPECT_EQ(1, grid->currentRow());
    EXPECT_EQ(QStringLiteral("Bruno"), pessoa->fieldByName(QStringLiteral("Nome"))->asString());
    ASSERT_EQ(3, grid->selectedRows().size());
    QStringList names;
    const QList<db::Bookmark> selected = grid->selectedRows();
    for (const db::Bookmark& b : selected) {
        pessoa->gotoBookmark(b);
        names << pessoa->fieldByName(QStringLiteral("Nome"))->asString();
    }
    EXPECT_EQ((QStringList{"Carla", "Ana", "Bruno"}), names);

    // Ctrl-click again takes a row out; a deleted row leaves the selection.
    clickRow(0, Qt::ControlModifier);
    EXPECT_EQ(2, grid->selectedRows().size());
    ASSERT_TRUE(pessoa->locate(QStringLiteral("Id"), 3));
    pessoa->deleteRecord();
    EXPECT_EQ(3, grid->rowCount());
    EXPECT_EQ(1, grid->selectedRows().size());
    // A plain click clears the selection.
    clickRow(0, Qt::NoModifier);
    EXPECT_TRUE(grid->selectedRows().isEmpty());

    int titleClicked = -1;
    grid->OnTitleClick = [&](DBGrid*, int column) { titleClicked = column; };
    const int x = grid->horizontalHeader()->sectionViewportPosition(1) + 5;
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 5));
    EXPECT_EQ(1, titleClicked);
}

// The title row keeps the height and widths a plain header would give it whatever changes
// its titles: their text, the field labels, the font, a reload of the rows.
TEST_F(DbControls, GridTitlesAreMeasuredAgainWhenTheirTextOrFontChanges)
{
    auto* grid = new DBGrid(form);
    grid->setAlign(Align::Client);
    grid->setDataSource(source);
    grid->addColumn(QStringLiteral("Id"));
    grid->addColumn(QStringLiteral("Nome"), QStringLiteral("Nome"));
    pessoa->open();
    showActive();
    QHeaderView plain(Qt::Horizontal);
    plain.setModel(grid->model());
    QHeaderView* titles = grid->horizontalHeader();
    auto sameAsPlain = [&](const char* step) {
        plain.setFont(titles->font());
        EXPECT_EQ(plain.sizeHint(), titles->sizeHint()) << step;
        for (int c = 0; c < grid->columnCount(); ++c)
            EXPECT_EQ(plain.sectionSizeHint(c), titles->sectionSizeHint(c)) << step << " column " << c;
    };
    sameAsPlain("shown");
    const QSize oneLine = titles->sizeHint();

    grid->column(1).title = QStringLiteral("Nome\nda pessoa");
    grid->columnsChanged();
    sameAsPlain("title of two lines");
    EXPECT_GT(titles->sizeHint().height(), oneLine.height());

    pessoa->fieldByName(QStringLiteral("Id"))->setDisplayLabel(QStringLiteral("Código do cadastro"));
    grid->columnsChanged();
    sameAsPlain("longer field label");

    const QSize before = titles->sizeHint();
    grid->setFont(scaledFont(grid->font(), 2));
    sameAsPlain("larger font");
    EXPECT_GT(titles->sizeHint().height(), before.height());

    pessoa->refresh();
    pessoa->last();
    sameAsPlain("rows read again");

    grid->column(1).title = QStringLiteral("Nome");
    grid->setFont(QFont());
    grid->columnsChanged();
    sameAsPlain("first title and font back");
}

// A grid over many records reads the rows it shows when it shows them, without moving
// the dataset: no scroll events, and a record being typed keeps what was typed.
TEST_F(DbControls, GridReadsOnlyTheRowsItShowsWithoutMovingTheDataSet)
{
    db::executeScript(folder, QStringLiteral("INSERT INTO Pessoa (Id, Nome) WITH RECURSIVE n(x) AS (SELECT 5 UNION ALL "
                                             "SELECT x + 1 FROM n WHERE x < 3000) SELECT x, 'P' || x FROM n;"));
    pessoa->addField(QStringLiteral("Dobro"), db::FieldType::Integer, 0, db::FieldKind::Calculated);
    int calculated = 0;
    int scrolls = 0;
    pessoa->OnCalcFields = [&](db::DataSet& ds) {
        ++calculated;
        ds.fieldByName(QStringLiteral("Dobro"))->setAsInteger(2 * ds.fieldByName(QStringLiteral("Id"))->asInteger());
    };
    pessoa->AfterScroll = [&](db::DataSet&) { ++scrolls; };
    auto* grid = new DBGrid(form);
    grid->setAlign(Align::Client);
    grid->setDataSource(source);
    grid->addColumn(QStringLiteral("Id"));
    grid->addColumn(QStringLiteral("Nome"));
    grid->addColumn(QStringLiteral("Dobro"));
    pessoa->open();
    showActive();
    QApplication::processEvents();
    const int shownRead = calculated;
    scrolls = 0;

    EXPECT_EQ(3000, grid->rowCount());
    EXPECT_GT(shownRead, 1);
    EXPECT_LT(shownRead, 200);
    struct Case {
        int row;
        QString id, nome, dobro;
    };
    for (const Case& c : {Case{0, "1", "Ana", "2"}, Case{2, "3", "Carla", "6"}, Case{2500, "2501", "P2501", "5002"},
                          Case{2999, "3000", "P3000", "6000"}}) {
        EXPECT_EQ(c.id, grid->cellText(c.row, 0)) << c.row;
        EXPECT_EQ(c.nome, grid->cellText(c.row, 1)) << c.row;
        EXPECT_EQ(c.dobro, grid->cellText(c.row, 2)) << c.row;
    }
    EXPECT_EQ(1, pessoa->recNo());
    EXPECT_EQ(QStringLiteral("Ana"), pessoa->fieldByName(QStringLiteral("Nome"))->asString());
    EXPECT_EQ(2, pessoa->fieldByName(QStringLiteral("Dobro"))->asInteger());

    // Scrolling to the end reads the rows that come into sight.
    grid->scrollToBottom();
    QApplication::processEvents();
    EXPECT_EQ(QStringLiteral("P2990"), grid->cellText(2989, 1));
    EXPECT_EQ(0, scrolls);

    // While a record is typed, rows read for the screen leave it as it was.
    pessoa->last();
    pessoa->insert();
    pessoa->fieldByName(QStringLiteral("Id"))->setAsInteger(9001);
    pessoa->fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Novo"));
    scrolls = 0;
    EXPECT_EQ(3001, grid->rowCount());
    EXPECT_EQ(QStringLiteral("Novo"), grid->cellText(2999, 1));
    EXPECT_EQ(QStringLiteral("P3000"), grid->cellText(3000, 1));
    EXPECT_EQ(QStringLiteral("P1200"), grid->cellText(1199, 1));
    EXPECT_EQ(QStringLiteral("2400"), grid->cellText(1199, 2));
    EXPECT_EQ(db::DataSetState::Insert, pessoa->state());
    EXPECT_TRUE(pessoa->modified());
    EXPECT_EQ(QStringLiteral("Novo"), pessoa->fieldByName(QStringLiteral("Nome"))->asString());
    EXPECT_EQ(0, scrolls);
    pessoa->post();
    EXPECT_EQ(QStringLiteral("Novo"), stored(9001, QStringLiteral("Nome")));
    EXPECT_EQ(3001, grid->rowCount());
    EXPECT_EQ(QStringLiteral("Novo"), grid->cellText(3000, 1));
}

// A record appended on the last row shows below it; one inserted there shows above it,
// though the dataset stands at its end in both cases.
TEST_F(DbControls, GridShowsAnAppendedRecordBelowTheLastRowAndAnInsertedOneAboveIt)
{
    auto* grid = new DBGrid(form);
    grid->setAlign(Align::Client);
    grid->setDataSource(source);
    grid->addColumn(QStringLiteral("Nome"));
    pessoa->open();
    showActive();
    const int n = grid->rowCount();
    ASSERT_GT(n, 1);
    pessoa->last();
    const QString last = pessoa->fieldByName(QStringLiteral("Nome"))->asString();
    struct Case {
        const char* name;
        bool appending;
        int newRow, lastRow;
    };
    for (const Case& c : {Case{"append", true, n, n - 1}, Case{"insert", false, n - 1, n}}) {
        pessoa->last();
        c.appending ? pessoa->append() : pessoa->insert();
        EXPECT_EQ(c.appending, pessoa->appending()) << c.name;
        pessoa->fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Novo"));
        // The state and change events both reload the grid: the new row is made once.
        EXPECT_EQ(n + 1, grid->rowCount()) << c.name;
        EXPECT_EQ(QStringLiteral("Novo"), grid->cellText(c.newRow, 0)) << c.name;
        EXPECT_EQ(last, grid->cellText(c.lastRow, 0)) << c.name;
        EXPECT_EQ(c.newRow, grid->currentRow()) << c.name;
        pessoa->cancel();
        EXPECT_FALSE(pessoa->appending()) << c.name;
        EXPECT_EQ(n, grid->rowCount()) << c.name;
        EXPECT_EQ(last, grid->cellText(n - 1, 0)) << c.name;
    }
}

TEST_F(DbControls, GridKeysMoveTheRecordAndDoubleClickReportsIt)
{
    auto* grid = new DBGrid(form);
    grid->setAlign(Align::Client);
    grid->setDataSource(source);
    grid->setReadOnly(true);
    pessoa->open();
    showActive();
    grid->setFocus();
    // Without columns of its own the grid shows every field.
    EXPECT_EQ(5, grid->columnCount());
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(3, pessoa->fieldByName(QStringLiteral("Id"))->asInteger());
    QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(1, grid->currentRow());
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(4, pessoa->fieldByName(QStringLiteral("Id"))->asInteger());

    int doubles = 0;
    grid->OnDblClick = [&](QWidget*) { ++doubles; };
    const QRect r = grid->visualRect(grid->model()->index(0, 0));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    EXPECT_EQ(1, doubles);
    EXPECT_EQ(DataControlKind::Grid, grid->dataControlKind());
    EXPECT_TRUE(dataAwareGrid(grid));
}

} // namespace

namespace {

TEST_F(DbControls, NavigatorEnablesWhatTheDataSetAllows)
{
    auto* nav = new DBNavigator(form);
    nav->setDataSource(source);
    nav->confirmDelete = false;
    auto enabled = [&] {
        QList<int> on;
        for (int b = DBNavigator::First; b < DBNavigator::ButtonCount; ++b)
            if (nav->button(DBNavigator::Button(b))->isEnabled())
                on << b;
        return on;
    };
    using N = DBNavigator;
    EXPECT_EQ(QList<int>{}, enabled());
    pessoa->open();
    EXPECT_EQ((QList<int>{N::Next, N::Last, N::Insert, N::Delete, N::Edit, N::Refresh}), enabled());
    nav->btnClick(N::Last);
    EXPECT_EQ(4, pessoa->fieldByName(QStringLiteral("Id"))->asInteger());
    nav->btnClick(N::Next);
    EXPECT_EQ((QList<int>{N::First, N::Prior, N::Insert, N::Delete, N::Edit, N::Refresh}), enabled());
    nav->btnClick(N::Edit);
    EXPECT_EQ((QList<int>{N::First, N::Prior, N::Insert, N::Delete, N::Post, N::Cancel, N::Refresh}), enabled());
    nav->btnClick(N::Cancel);
    nav->btnClick(N::Delete);
    EXPECT_EQ(3, pessoa->recordCount());
}

TEST_F(DbControls, MemoComboAndLabelShowTheFieldAndMemoWritesBeforeThePost)
{
    auto* memo = new DBMemo(form);
    memo->setDataSource(source);
    memo->setDataField(QStringLiteral("Nome"));
    auto* combo = new DBComboBox(form);
    combo->setItems({QStringLiteral("IE"), QStringLiteral("CNPJ"), QStringLiteral("CPF"), QStringLiteral("OI")});
    combo->setDataSource(source);
    combo->setDataField(QStringLiteral("Tipo"));
    auto* label = new DBText(form);
    label->setDataSource(source);
    label->setDataField(QStringLiteral("Nome"));
    pessoa->open();
    EXPECT_EQ(QStringLiteral("Ana"), memo->toPlainText());
    EXPECT_EQ(QStringLiteral("IE"), combo->currentText());
    EXPECT_EQ(QStringLiteral("Ana"), label->text());
    pessoa->next();
    EXPECT_EQ(QStringLiteral("CPF"), combo->currentText());
    EXPECT_EQ(QStringLiteral("Bruno"), label->text());

    showActive();
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral("s"));
    EXPECT_EQ(db::DataSetState::Edit, pessoa->state());
    // The combo's choice by the user.
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    emit combo->activated(1);
    pessoa->post();
    EXPECT_EQ(QStringLiteral("Brunos"), stored(2, QStringLiteral("Nome")));
    EXPECT_EQ(QStringLiteral("CNPJ"), stored(2, QStringLiteral("Tipo")));
    EXPECT_EQ(QStringLiteral("Brunos"), label->text());
}

TEST_F(DbControls, HintsOfControlsGoToTheFormsStatusLine)
{
    auto* status = new StatusBar(form);
    status->addPanel({QString(), 200});
    form->setHintPanel(status, 0);
    auto* button = new SpeedButton(form);
    button->setHint(QStringLiteral("Incluir Registro"));
    EXPECT_EQ(QStringLiteral("Incluir Registro"), button->toolTip());
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(QStringLiteral("Incluir Registro"), status->panel(0).text);
}

} // namespace

namespace {

TEST_F(DbControls, StatusBarCanShowTheRecordPosition)
{
    auto* bar = new DBStatusBar(form);
    bar->addPanel({QString(), 200});
    bar->addPanel({QString(), 80});
    bar->recordPanel = 1;
    bar->setDataSource(source);
    EXPECT_EQ(QString(), bar->panel(1).text);
    pessoa->open();
    EXPECT_EQ(QStringLiteral("1/4"), bar->panel(1).text);
    pessoa->last();
    EXPECT_EQ(QStringLiteral("4/4"), bar->panel(1).text);
    EXPECT_EQ(QString(), bar->panel(0).text);
}

} // namespace

TEST_F(DbControls, TypingUnderAMaskAndChoosingAnItemReachTheFieldsBeforeThePost)
{
    auto* edit = new DBEdit(form);
    edit->setDataSource(source);
    edit->setDataField(QStringLiteral("Nome"));
    auto* group = new DBRadioGroup(form);
    group->setItems({QStringLiteral("IE"), QStringLiteral("CNPJ")});
    group->setDataSource(source);
    group->setDataField(QStringLiteral("Tipo"));
    group->setGeometry(0, 40, 300, 60);
    pessoa->open();
    pessoa->fieldByName(QStringLiteral("Nome"))->setEditMask(QStringLiteral("99.999.999-9;0; "));
    pessoa->refresh();
    showActive();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("281234566"));
    EXPECT_EQ(QStringLiteral("28.123.456-6"), edit->text());
    // Leaving the edit writes what was typed under the mask.
    group->button(1)->setFocus();
    EXPECT_EQ(QStringLiteral("281234566"), pessoa->fieldByName(QStringLiteral("Nome"))->asString());
    // The item chosen is the field's value at once, for the controls that follow.
    group->button(1)->click();
    EXPECT_EQ(QStringLiteral("CNPJ"), pessoa->fieldByName(QStringLiteral("Tipo"))->asString());
    pessoa->post();
    EXPECT_EQ(QStringLiteral("281234566"), stored(1, QStringLiteral("Nome")));
    EXPECT_EQ(QStringLiteral("CNPJ"), stored(1, QStringLiteral("Tipo")));
}

TEST_F(DbControls, AFieldsFocusRequestGoesToAControlThatCanTakeIt)
{
    // The name is shown twice: hidden in one place, typed in the other.
    auto* escondido = new DBEdit(form, QStringLiteral("escondido"));
    escondido->setDataSource(source);
    escondido->setDataField(QStringLiteral("Nome"));
    escondido->hide();
    auto* nome = new DBEdit(form, QStringLiteral("nome"));
    nome->setDataSource(source);
    nome->setDataField(QStringLiteral("Nome"));
    nome->setGeometry(10, 10, 100, 21);
    auto* cidadeLista = new DBLookupComboBox(form, QStringLiteral("cidade"));
    cidadeLista->setListSource(cidadeSource);
    cidadeLista->setKeyField(QStringLiteral("Cid_Codigo"));
    cidadeLista->setListField(QStringLiteral("Cid_Nome"));
    cidadeLista->setDataSource(source);
    cidadeLista->setDataField(QStringLiteral("Cidade"));
    cidadeLista->setGeometry(10, 40, 100, 21);
    auto* tipo = new DBEdit(form, QStringLiteral("tipo"));
    tipo->setDataSource(source);
    tipo->setDataField(QStringLiteral("Tipo"));
    tipo->setGeometry(10, 70, 100, 21);
    tipo->setEnabled(false);
    pessoa->open();
    cidade->open();
    showActive();
    tipo->setEnabled(true);
    cidadeLista->setFocus();
    tipo->setEnabled(false);

    pessoa->fieldByName(QStringLiteral("Nome"))->focusControl();
    EXPECT_EQ(nome, QApplication::focusWidget());
    pessoa->fieldByName(QStringLiteral("Cidade"))->focusControl();
    EXPECT_EQ(cidadeLista, QApplication::focusWidget());
    // No control can take it: the focus stays where it is.
    pessoa->fieldByName(QStringLiteral("Tipo"))->focusControl();
    EXPECT_EQ(cidadeLista, QApplication::focusWidget());
    pessoa->fieldByName(QStringLiteral("Ativo"))->focusControl();
    EXPECT_EQ(cidadeLista, QApplication::focusWidget());
}
