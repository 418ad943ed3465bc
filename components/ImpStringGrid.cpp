#include "ImpStringGrid.h"

#include "platform/core/Conversions.h"
#include "platform/core/Cp1252.h"
#include "platform/core/TextNumbers.h"

#include <QFile>
#include <QSaveFile>

TImpStringGrid::TImpStringGrid(QWidget* parent, const QString& name) : vorta::ui::StringGrid(parent, name) {}

void TImpStringGrid::setHCol(const QStringList& lines)
{
    m_hCol = lines;
    InitHCol();
    viewport()->update();
}

void TImpStringGrid::setHRow(const QStringList& lines)
{
    m_hRow = lines;
    InitHRow();
    viewport()->update();
}

void TImpStringGrid::InitHCol()
{
    if (rowCount() < 1)
        return;
    for (int c = 0; c < colCount(); ++c)
        setCells(c, 0, m_hCol.value(c));
}

void TImpStringGrid::InitHRow()
{
    if (colCount() < 1)
        return;
    for (int i = 0; i <= rowCount() - 2; ++i)
        setCells(0, i + 1, m_hRow.value(i));
}

void TImpStringGrid::Loaded()
{
    InitHCol();
    InitHRow();
}

void TImpStringGrid::RemoveRows(int ARow, int Count)
{
    if (Count <= 0 || ARow < 0)
        return;
    for (int r = ARow; r < rowCount(); ++r)
        for (int c = 0; c < colCount(); ++c)
            setCells(c, r, cells(c, r + Count));
    // The fixed rows and one row of cells stay, whatever is asked.
    setRowCount(std::max(rowCount() - Count, fixedRows() + 1));
}

void TImpStringGrid::RemoveCols(int ACol, int Count)
{
    if (Count <= 0 || ACol < 0)
        return;
    for (int c = ACol; c < colCount(); ++c)
        for (int r = 0; r < rowCount(); ++r)
            setCells(c, r, cells(c + Count, r));
    setColCount(std::max(colCount() - Count, fixedCols() + 1));
}

void TImpStringGrid::InsertRows(int ARow, int Count)
{
    if (Count <= 0 || ARow < 0)
        return;
    setRowCount(rowCount() + Count);
    for (int r = rowCount() - 1; r >= ARow + Count; --r)
        for (int c = 0; c < colCount(); ++c)
            setCells(c, r, cells(c, r - Count));
}

void TImpStringGrid::InsertCols(int ACol, int Count)
{
    if (Count <= 0 || ACol < 0)
        return;
    setColCount(colCount() + Count);
    for (int c = colCount() - 1; c >= ACol + Count; --c)
        for (int r = 0; r < rowCount(); ++r)
            setCells(c, r, cells(c - Count, r));
}

void TImpStringGrid::Clear()
{
    for (int c = 0; c < colCount(); ++c)
        for (int r = 0; r < rowCount(); ++r)
            setCells(c, r, QString());
}

bool TImpStringGrid::isCell(const QString& S, int& Col, int& Row) const
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < colCount(); ++c)
            if (cells(c, r) == S) {
                Col = c;
                Row = r;
                return true;
            }
    return false;
}

void TImpStringGrid::SaveToFile(const QString& FileName) const
{
    QByteArray out = vorta::toCp1252(QStringLiteral("%1,%2\r\n").arg(colCount()).arg(rowCount()));
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < colCount(); ++c)
            if (const QString text = cells(c, r); !text.isEmpty())
                out += vorta::toCp1252(QStringLiteral("%1,%2,").arg(c).arg(r) + text) + "\r\n";
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit())
        throw vorta::Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, file.errorString()));
}

namespace {

// The lines of a text file as the language reads them: CR LF, LF or CR ends a line.
QStringList textLines(const QByteArray& bytes)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines << vorta::fromCp1252(bytes.mid(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines << vorta::fromCp1252(bytes.mid(start));
    return lines;
}

// Takes the text up to the next "," off line and converts it.
int takeNumber(QString& line)
{
    const qsizetype comma = line.indexOf(QLatin1Char(','));
    const QString number = comma < 0 ? QString() : line.left(comma);
    line.remove(0, comma + 1);
    return vorta::StrToInt(number);
}

} // namespace

void TImpStringGrid::LoadFromFile(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileNotFound(QStringLiteral("File ") + FileName + QStringLiteral(" not found"));
    const QStringList lines = textLines(file.readAll());
    file.close();

    // The whole file is read and checked before the grid changes, so a refused file
    // leaves the grid as it was.
    int cols = colCount();
    int rows = rowCount();
    if (!lines.isEmpty() && !lines.first().isEmpty()) {
        const QString& counts = lines.first();
        const qsizetype comma = counts.indexOf(QLatin1Char(','));
        cols = vorta::StrToInt(comma < 0 ? QString() : counts.left(comma));
        rows = vorta::StrToInt(counts.mid(comma + 1));
        if (cols < 0 || rows < 0)
            throw vorta::Exception(QStringLiteral("Line 1 of %1 gives a grid of %2 columns and %3 rows.")
                                       .arg(FileName).arg(cols).arg(rows));
    }
    struct Cell {
        int col;
        int row;
        QString text;
    };
    QList<Cell> found;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QString line = lines.at(i);
        const int col = takeNumber(line);
        const int row = takeNumber(line);
        if (col < 0 || row < 0 || col >= cols || row >= rows)
            throw vorta::Exception(QStringLiteral("Line %1 of %2 names the cell [%3, %4], outside the grid of %5 columns and %6 rows.")
                                       .arg(i + 1).arg(FileName).arg(col).arg(row).arg(cols).arg(rows));
        found << Cell{col, row, line};
    }
    setColCount(cols);
    setRowCount(rows);
    for (const Cell& c : std::as_const(found))
        setCells(c.col, c.row, c.text);
}

double TImpStringGrid::CellToReal(int ACol, int ARow) const
{
    const QString text = cells(ACol, ARow);
    if (text.isEmpty())
        return 0;
    double value = 0;
    if (const int code = vorta::Val(text, value); code != 0)
        throw EErrorInCell(QStringLiteral("Error at position: %1 in Cell [%2, %3].").arg(code).arg(ACol).arg(ARow));
    return value;
}
