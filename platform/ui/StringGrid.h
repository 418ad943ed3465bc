#pragma once

#include "platform/ui/Controls.h"

#include <QStringList>
#include <QTableWidget>

namespace vorta::ui {

// The class library's string grid: ColCount x RowCount text cells addressed as
// Cells[column, row] from 0, the first FixedRows rows and FixedCols columns drawn as
// headers and never edited. Cells are typed into only with editing on.
class StringGrid : public QTableWidget, public Control {
    Q_OBJECT
public:
    explicit StringGrid(QWidget* parent, const QString& name = QString());

    int colCount() const { return columnCount(); }
    void setColCount(int count);
    int rowCount() const { return QTableWidget::rowCount(); }
    void setRowCount(int count);
    int fixedCols() const { return m_fixedCols; }
    void setFixedCols(int count);
    int fixedRows() const { return m_fixedRows; }
    void setFixedRows(int count);

    QString cells(int col, int row) const;
    void setCells(int col, int row, const QString& text);

    bool editing() const { return m_editing; }
    void setEditing(bool on);
    void setDefaultColWidth(int width);
    void setDefaultRowHeight(int height);

    // The selected (current) cell.
    int col() const { return currentColumn(); }
    int row() const { return currentRow(); }

private:
    void styleCell(int col, int row);
    void styleAll();
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    bool m_editing = false;
};

} // namespace vorta::ui
