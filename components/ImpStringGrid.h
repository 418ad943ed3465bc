#pragma once

#include "platform/core/Exceptions.h"
#include "platform/ui/StringGrid.h"

#include <QStringList>

// A cell whose text is not a number.
VORTA_EXCEPTION_CLASS(EErrorInCell, vorta::Exception)
// A grid file that cannot be opened.
VORTA_EXCEPTION_CLASS(EFileNotFound, vorta::Exception)

// A string grid with header lists, row and column insertion and removal, and a text
// file of its non-empty cells ("ColCount,RowCount", then "col,row,text" per cell).
class TImpStringGrid : public vorta::ui::StringGrid {
    Q_OBJECT
public:
    explicit TImpStringGrid(QWidget* parent, const QString& name = QString());

    // Texts of the header row (line c goes to cell [c, 0]) and of the header column
    // (line i goes to cell [0, i + 1]).
    const QStringList& HCol() const { return m_hCol; }
    void setHCol(const QStringList& lines);
    const QStringList& HRow() const { return m_hRow; }
    void setHRow(const QStringList& lines);
    void InitHCol();
    void InitHRow();
    // After the grid's properties are set: both headers filled.
    void Loaded();

    void RemoveRows(int ARow, int Count);
    void RemoveCols(int ACol, int Count);
    void InsertRows(int ARow, int Count);
    void InsertCols(int ACol, int Count);
    // Empties every cell, headers included; the counts stay.
    void Clear();
    // The first cell, row by row and in a row column by column, whose text is S.
    bool isCell(const QString& S, int& Col, int& Row) const;

    void SaveToFile(const QString& FileName) const;
    void LoadFromFile(const QString& FileName);

    // 0 for an empty cell; raises EErrorInCell for a text that is not a number.
    double CellToReal(int ACol, int ARow) const;

private:
    QStringList m_hCol;
    QStringList m_hRow;
};
