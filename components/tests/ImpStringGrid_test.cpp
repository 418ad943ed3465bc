#include "ImpStringGrid.h"

#include "platform/core/Component.h"
#include "platform/ui/Form.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class StringGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = new vorta::ui::Form(nullptr);
        grid = new TImpStringGrid(form, QStringLiteral("ImpStringGrid1"));
    }
    void TearDown() override { vorta::Component::free(form); }

    // The grid as rows of cells joined by "|".
    QStringList contents() const
    {
        QStringList rows;
        for (int r = 0; r < grid->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid->colCount(); ++c)
                cells << grid->cells(c, r);
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }
    // Fills every cell with its coordinates ("c1r2").
    void fillCoordinates(int cols, int rows)
    {
        grid->setColCount(cols);
        grid->setRowCount(rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                grid->setCells(c, r, QStringLiteral("c%1r%2").arg(c).arg(r));
    }
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    QByteArray read(const QString& name) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
    vorta::ui::Form* form = nullptr;
    TImpStringGrid* grid = nullptr;
};

TEST_F(StringGridTest, HeaderListsFillTheFixedRowAndColumn)
{
    grid->setColCount(4);
    grid->setRowCount(4);
    grid->setHCol({QStringLiteral("Item"), QStringLiteral("Peso"), QStringLiteral("Valor")});
    grid->setHRow({QStringLiteral("1º"), QStringLiteral("2º"), QStringLiteral("3º"), QStringLiteral("sobra")});
    EXPECT_EQ(QStringList({QStringLiteral("Item|Peso|Valor|"), QStringLiteral("1º|||"), QStringLiteral("2º|||"),
                           QStringLiteral("3º|||")}),
              contents());
    // The lists are the grid's own copies; a shorter list empties the rest of its header.
    QStringList mine{QStringLiteral("A")};
    grid->setHRow(mine);
    mine << QStringLiteral("B");
    EXPECT_EQ(QStringList{QStringLiteral("A")}, grid->HRow());
    EXPECT_EQ(QStringLiteral("A"), grid->cells(0, 1));
    EXPECT_EQ(QString(), grid->cells(0, 2));
    // Once the counts change, Loaded fills both headers again.
    grid->setColCount(5);
    grid->setRowCount(5);
    grid->Loaded();
    EXPECT_EQ(QStringLiteral("Item|Peso|Valor||"), contents().at(0));
    EXPECT_EQ(QString(), grid->cells(0, 4));
}

TEST_F(StringGridTest, RowsAndColumnsAreInsertedAndRemoved)
{
    struct Case {
        const char* what;
        std::function<void(TImpStringGrid*)> op;
        QStringList expected;
    };
    const Case cases[] = {
        {"remove row 1", [](TImpStringGrid* g) { g->RemoveRows(1, 1); },
         {"c0r0|c1r0|c2r0", "c0r2|c1r2|c2r2", "c0r3|c1r3|c2r3"}},
        {"remove the last two rows", [](TImpStringGrid* g) { g->RemoveRows(2, 2); },
         {"c0r0|c1r0|c2r0", "c0r1|c1r1|c2r1"}},
        {"remove more rows than there are", [](TImpStringGrid* g) { g->RemoveRows(1, 9); },
         {"c0r0|c1r0|c2r0", "||"}},
        {"remove column 0", [](TImpStringGrid* g) { g->RemoveCols(0, 1); },
         {"c1r0|c2r0", "c1r1|c2r1", "c1r2|c2r2", "c1r3|c2r3"}},
        {"remove every column", [](TImpStringGrid* g) { g->RemoveCols(0, 3); },
         {"|", "|", "|", "|"}},
        // The rows opened keep what the move left in them.
        {"insert two rows at 1", [](TImpStringGrid* g) { g->InsertRows(1, 2); },
         {"c0r0|c1r0|c2r0", "c0r1|c1r1|c2r1", "c0r2|c1r2|c2r2", "c0r1|c1r1|c2r1", "c0r2|c1r2|c2r2",
          "c0r3|c1r3|c2r3"}},
        {"insert a column at 2", [](TImpStringGrid* g) { g->InsertCols(2, 1); },
         {"c0r0|c1r0|c2r0|c2r0", "c0r1|c1r1|c2r1|c2r1", "c0r2|c1r2|c2r2|c2r2", "c0r3|c1r3|c2r3|c2r3"}},
        {"insert nothing", [](TImpStringGrid* g) { g->InsertRows(1, 0); },
         {"c0r0|c1r0|c2r0", "c0r1|c1r1|c2r1", "c0r2|c1r2|c2r2", "c0r3|c1r3|c2r3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fillCoordinates(3, 4);
        c.op(grid);
        EXPECT_EQ(c.expected, contents());
    }
}

TEST_F(StringGridTest, ClearEmptiesEveryCellAndKeepsTheCounts)
{
    fillCoordinates(3, 2);
    grid->setHCol({QStringLiteral("A"), QStringLiteral("B")});
    grid->Clear();
    EXPECT_EQ(QStringList({QStringLiteral("||"), QStringLiteral("||")}), contents());
    EXPECT_EQ(3, grid->colCount());
    EXPECT_EQ(2, grid->rowCount());
}

TEST_F(StringGridTest, IsCellFindsTheFirstCellRowByRow)
{
    grid->setColCount(4);
    grid->setRowCount(4);
    grid->setCells(3, 1, QStringLiteral("boi"));
    grid->setCells(2, 1, QStringLiteral("boi"));
    grid->setCells(0, 3, QStringLiteral("boi"));
    grid->setCells(1, 2, QStringLiteral("Vaca"));
    int col = -1;
    int row = -1;
    ASSERT_TRUE(grid->isCell(QStringLiteral("boi"), col, row));
    EXPECT_EQ(2, col);
    EXPECT_EQ(1, row);
    // Case counts, and a miss leaves the coordinates alone.
    EXPECT_FALSE(grid->isCell(QStringLiteral("vaca"), col, row));
    EXPECT_EQ(2, col);
    EXPECT_EQ(1, row);
    ASSERT_TRUE(grid->isCell(QStringLiteral("Vaca"), col, row));
    EXPECT_EQ(1, col);
    EXPECT_EQ(2, row);
}

TEST_F(StringGridTest, SavedFileHoldsTheCountsAndEachNonEmptyCell)
{
    grid->setColCount(3);
    grid->setRowCount(2);
    grid->SaveToFile(path(QStringLiteral("vazio.grd")));
    EXPECT_EQ(QByteArray("3,2\r\n"), read(QStringLiteral("vazio.grd")));

    grid->setCells(2, 0, QStringLiteral("Preço"));
    grid->setCells(0, 1, QStringLiteral("1,5,x"));
    grid->setCells(1, 0, QStringLiteral("Item"));
    grid->SaveToFile(path(QStringLiteral("cheio.grd")));
    EXPECT_EQ(QByteArray("3,2\r\n1,0,Item\r\n2,0,Pre\xe7o\r\n0,1,1,5,x\r\n"), read(QStringLiteral("cheio.grd")));

    // Back into another grid: commas in a cell survive, cells the file does not name
    // keep their text, and the counts come from the file.
    auto* other = new TImpStringGrid(form);
    other->setColCount(5);
    other->setRowCount(5);
    other->setCells(2, 1, QStringLiteral("fica"));
    other->setCells(4, 4, QStringLiteral("sai com a linha"));
    other->LoadFromFile(path(QStringLiteral("cheio.grd")));
    EXPECT_EQ(3, other->colCount());
    EXPECT_EQ(2, other->rowCount());
    EXPECT_EQ(QStringLiteral("1,5,x"), other->cells(0, 1));
    EXPECT_EQ(QStringLiteral("Preço"), other->cells(2, 0));
    EXPECT_EQ(QStringLiteral("fica"), other->cells(2, 1));
}

TEST_F(StringGridTest, LoadingTakesLineEndsOfEitherKindAndAnEmptyCountLine)
{
    grid->setColCount(3);
    grid->setRowCount(3);
    write(QStringLiteral("unix.grd"), QByteArray("\n1,1,um\n2,2,dois"));
    grid->LoadFromFile(path(QStringLiteral("unix.grd")));
    EXPECT_EQ(3, grid->colCount());
    EXPECT_EQ(QStringLiteral("um"), grid->cells(1, 1));
    EXPECT_EQ(QStringLiteral("dois"), grid->cells(2, 2));
}

TEST_F(StringGridTest, BadFilesAreRefusedWithTheirMessageAndTheGridStays)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        QString message;
    };
    const QString file = path(QStringLiteral("ruim.grd"));
    const Case cases[] = {
        {"count that is no number", "3;2\r\n", QStringLiteral("'' is not a valid integer value")},
        {"row that is no number", "3,3\r\n1,x,texto\r\n", QStringLiteral("'x' is not a valid integer value")},
        {"line without commas", "3,3\r\n1,1,a\r\nlixo\r\n", QStringLiteral("'' is not a valid integer value")},
        {"column outside the grid", "3,3\r\n1,1,a\r\n3,0,fora\r\n",
         QStringLiteral("Line 3 of %1 names the cell [3, 0], outside the grid of 3 columns and 3 rows.").arg(file)},
        {"row outside the grid", "2,2\r\n0,2,fora\r\n",
         QStringLiteral("Line 2 of %1 names the cell [0, 2], outside the grid of 2 columns and 2 rows.").arg(file)},
        {"negative column", "2,2\r\n-1,0,fora\r\n",
         QStringLiteral("Line 2 of %1 names the cell [-1, 0], outside the grid of 2 columns and 2 rows.").arg(file)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fillCoordinates(4, 4);
        write(QStringLiteral("ruim.grd"), c.bytes);
        try {
            grid->LoadFromFile(file);
            ADD_FAILURE() << "loaded";
        } catch (const vorta::Exception& e) {
            EXPECT_EQ(c.message, e.message());
        }
        EXPECT_EQ(4, grid->colCount());
        EXPECT_EQ(4, grid->rowCount());
        EXPECT_EQ(QStringLiteral("c1r1"), grid->cells(1, 1));
    }
    try {
        grid->LoadFromFile(path(QStringLiteral("nenhum.grd")));
        ADD_FAILURE() << "loaded";
    } catch (const EFileNotFound& e) {
        EXPECT_EQ(QStringLiteral("File ") + path(QStringLiteral("nenhum.grd")) + QStringLiteral(" not found"), e.message());
        EXPECT_STREQ("EFileNotFound", e.className());
    }
}

TEST_F(StringGridTest, CellToRealReadsTheDecimalPointAndNamesABadCell)
{
    grid->setColCount(4);
    grid->setRowCount(4);
    grid->setCells(1, 1, QStringLiteral("12.5"));
    grid->setCells(3, 2, QStringLiteral("1x"));
    grid->setCells(2, 3, QStringLiteral("-0.25"));
    EXPECT_DOUBLE_EQ(12.5, grid->CellToReal(1, 1));
    EXPECT_DOUBLE_EQ(0, grid->CellToReal(2, 2));
    EXPECT_DOUBLE_EQ(-0.25, grid->CellToReal(2, 3));
    try {
        grid->CellToReal(3, 2);
        ADD_FAILURE() << "converted";
    } catch (const EErrorInCell& e) {
        EXPECT_EQ(QStringLiteral("Error at position: 2 in Cell [3, 2]."), e.message());
        EXPECT_STREQ("EErrorInCell", e.className());
    }
}

} // namespace
