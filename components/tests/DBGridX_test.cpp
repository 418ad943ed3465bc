#include "DBGridX.h"

#include "ComponentsTestDb.h"
#include "testing/UserInput.h"

#include <QHeaderView>

using namespace vorta::testing;
using vorta::db::DataSetState;
using vorta::ui::DBGrid;
using vorta::ui::GridColumn;

namespace {

class GridX : public brano70::testsupport::PeopleForm {
protected:
    template <class G>
    G* makeGrid()
    {
        auto* grid = new G(form);
        grid->setName(QStringLiteral("DBGrid_ItemNota"));
        grid->setAlign(vorta::ui::Align::Client);
        grid->setDataSource(source);
        GridColumn nome;
        nome.fieldName = QStringLiteral("Nome");
        nome.width = 90;
        GridColumn cidade;
        cidade.fieldName = QStringLiteral("Cidade");
        cidade.width = 90;
        grid->setColumns({nome, cidade});
        pessoa->setIndexName(QStringLiteral("Id_Nome"));
        pessoa->open();
        user::activate(form);
        grid->setFocus();
        return grid;
    }
};

// Definitions changed while the grid is in use: the grid of the map items shows them
// as soon as the user leaves a column; the plain grid keeps what it showed.
class GridXColumns : public GridX, public ::testing::WithParamInterface<bool> {};

TEST_P(GridXColumns, LeavingAColumnAppliesTheColumnDefinitionsAgain)
{
    const bool gridX = GetParam();
    DBGrid* grid = gridX ? static_cast<DBGrid*>(makeGrid<TDBGridX>()) : makeGrid<DBGrid>();
    grid->column(1).width = 160;
    grid->column(1).title = QStringLiteral("Município");
    grid->column(0).readOnly = true;
    user::key(Qt::Key_Right);
    ASSERT_EQ(1, grid->selectedIndex());
    EXPECT_EQ(gridX ? 160 : 90, grid->columnWidth(1));
    EXPECT_EQ(gridX ? QStringLiteral("Município") : QStringLiteral("Cidade"),
              grid->model()->headerData(1, Qt::Horizontal).toString());
    // Back in the name column, which is now read-only for the grid of the items.
    user::key(Qt::Key_Left);
    user::type(QStringLiteral("Z"));
    user::key(Qt::Key_Down);
    EXPECT_EQ(gridX ? QStringLiteral("Ana") : QStringLiteral("Z"), stored(5, QStringLiteral("Nome")));
}

INSTANTIATE_TEST_SUITE_P(PlainAndX, GridXColumns, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "TDBGridX" : "DBGrid"; });

// A column hidden from the definitions leaves the grid at the next column change.
TEST_F(GridX, AColumnMadeInvisibleGoesWhenTheUserLeavesAColumn)
{
    auto* grid = makeGrid<TDBGridX>();
    GridColumn id;
    id.fieldName = QStringLiteral("Id");
    grid->setColumns({grid->column(0), grid->column(1), id});
    ASSERT_EQ(3, grid->columnCount());
    grid->column(2).visible = false;
    EXPECT_EQ(3, grid->columnCount());
    user::tab();
    EXPECT_EQ(2, grid->columnCount());
    EXPECT_EQ(1, grid->selectedIndex());
    EXPECT_EQ(QStringLiteral("Gurupi"), grid->cellText(0, 1));
}

// The user types the items of a list: a cell's text reaches its field before the
// column is left, Tab walks the cells, Down past the last row opens a new one, and a
// new row nobody typed into is given up.
TEST_F(GridX, TypedCellsAreStoredAndDownPastTheEndAddsARow)
{
    auto* grid = makeGrid<TDBGridX>();
    // New rows are numbered as the forms number theirs.
    pessoa->OnNewRecord = [](vorta::db::DataSet& ds) {
        ds.fieldByName(QStringLiteral("Id"))->setAsInteger(ds.recordCount() + 1);
    };
    QStringList seenOnExit;
    grid->OnColExit = [&](QWidget*) { seenOnExit << current(QStringLiteral("Nome")); };
    user::type(QStringLiteral("Alice"));
    user::tab();
    EXPECT_EQ(QStringList{QStringLiteral("Alice")}, seenOnExit);
    EXPECT_EQ(DataSetState::Edit, pessoa->state());
    user::type(QStringLiteral("Porto"));
    user::key(Qt::Key_Down);
    EXPECT_EQ(DataSetState::Browse, pessoa->state());
    EXPECT_EQ(QStringLiteral("Alice"), stored(5, QStringLiteral("Nome")));
    EXPECT_EQ(QStringLiteral("Porto"), stored(5, QStringLiteral("Cidade")));

    user::key(Qt::Key_End, Qt::ControlModifier);
    user::key(Qt::Key_Down);
    ASSERT_EQ(DataSetState::Insert, pessoa->state());
    // Up from the untouched new row gives it up and stays on the last record.
    user::key(Qt::Key_Up);
    EXPECT_EQ(DataSetState::Browse, pessoa->state());
    EXPECT_EQ(QStringLiteral("Davi"), current(QStringLiteral("Nome")));

    user::key(Qt::Key_Down);
    ASSERT_EQ(DataSetState::Insert, pessoa->state());
    grid->setSelectedIndex(0);
    user::type(QStringLiteral("Eva"));
    user::tab();
    user::type(QStringLiteral("Miracema"));
    // Tab from the last cell posts the row and opens the next new one.
    user::tab();
    EXPECT_EQ(DataSetState::Insert, pessoa->state());
    EXPECT_EQ(0, grid->selectedIndex());
    EXPECT_EQ(6, storedCount());
    // Escape gives up the new, untouched row.
    user::escape();
    EXPECT_EQ(DataSetState::Browse, pessoa->state());
    EXPECT_EQ(6, storedCount());
    ASSERT_TRUE(pessoa->locate(QStringLiteral("Nome"), QStringLiteral("Eva")));
    EXPECT_EQ(QStringLiteral("Miracema"), current(QStringLiteral("Cidade")));
}

// A read-only grid moves through the records and adds none.
TEST_F(GridX, AReadOnlyGridAddsNoRow)
{
    auto* grid = makeGrid<TDBGridX>();
    grid->setReadOnly(true);
    user::key(Qt::Key_End, Qt::ControlModifier);
    user::key(Qt::Key_Down);
    user::tab(2);
    EXPECT_EQ(DataSetState::Browse, pessoa->state());
    EXPECT_EQ(5, storedCount());
    user::type(QStringLiteral("Q"));
    EXPECT_EQ(DataSetState::Browse, pessoa->state());
}

} // namespace
