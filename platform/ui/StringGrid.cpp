#include "platform/ui/StringGrid.h"

#include <QHeaderView>

namespace vorta::ui {

StringGrid::StringGrid(QWidget* parent, const QString& name) : QTableWidget(parent), Control(this, parent, name)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    // The class library's defaults: five by five with one fixed row and column.
    setDefaultColWidth(64);
    setDefaultRowHeight(24);
    setColCount(5);
    setRowCount(5);
}

void StringGrid::setColCount(int count)
{
    const int before = columnCount();
    setColumnCount(std::max(0, count));
    for (int c = before; c < columnCount(); ++c)
        for (int r = 0; r < rowCount(); ++r)
            styleCell(c, r);
}

void StringGrid::setRowCount(int count)
{
    const int before = rowCount();
    QTableWidget::setRowCount(std::max(0, count));
    for (int r = before; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            styleCell(c, r);
}

void StringGrid::setFixedCols(int count)
{
    m_fixedCols = std::max(0, count);
    styleAll();
}

void StringGrid::setFixedRows(int count)
{
    m_fixedRows = std::max(0, count);
    styleAll();
}

QString StringGrid::cells(int col, int row) const
{
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void StringGrid::setCells(int col, int row, const QString& text)
{
    if (col < 0 || row < 0 || col >= columnCount() || row >= rowCount())
        return;
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        styleCell(col, row);
        it = item(row, col);
    }
    it->setText(text);
}

void StringGrid::setEditing(bool on)
{
    m_editing = on;
    setEditTriggers(on ? (QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
                          | QAbstractItemView::DoubleClicked)
                       : QAbstractItemView::NoEditTriggers);
}

void StringGrid::setDefaultColWidth(int width)
{
    horizontalHeader()->setDefaultSectionSize(width);
    horizontalHeader()->setMinimumSectionSize(std::min(width, horizontalHeader()->minimumSectionSize()));
}

void StringGrid::setDefaultRowHeight(int height)
{
    verticalHeader()->setMinimumSectionSize(std::min(height, verticalHeader()->minimumSectionSize()));
    verticalHeader()->setDefaultSectionSize(height);
}

void StringGrid::styleCell(int col, int row)
{
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(row, col, it);
    }
    const bool fixed = col < m_fixedCols || row < m_fixedRows;
    it->setFlags(fixed ? Qt::ItemIsEnabled : (Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable));
    it->setBackground(fixed ? palette().button() : QBrush());
}

void StringGrid::styleAll()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            styleCell(c, r);
}

} // namespace vorta::ui
