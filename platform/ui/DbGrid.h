#pragma once

#include "platform/db/DataSet.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DataAware.h"

#include <QColor>
#include <QTableView>

#include <functional>

namespace vorta::ui {

// A column of a data grid: the field it shows; an empty title shows the field's
// display label, a width of -1 the field's display width.
struct GridColumn {
    QString fieldName;
    QString title;
    int width = -1;
    bool visible = true;
    bool readOnly = false;
    // Values the cell editor offers in a drop-down list (Alt+Down opens it); typing
    // stays free.
    QStringList pickList = {};
    // The title's background; invalid: the style's own.
    QColor titleColor = {};
};

// The data grid: one row per record of the data source's dataset, the current record
// marked in the indicator column, the dataset moved by clicks and keys. With
// multi-selection, Ctrl-click and Shift-click (and Shift with the arrows) select rows,
// kept in the order the user selected them.
class DBGrid : public QTableView, public Control, public DataAwareGrid {
    Q_OBJECT
public:
    enum Option : int {
        dgEditing = 1 << 0, dgTitles = 1 << 1, dgIndicator = 1 << 2, dgColumnResize = 1 << 3,
        dgColLines = 1 << 4, dgRowLines = 1 << 5, dgTabs = 1 << 6, dgRowSelect = 1 << 7,
        dgAlwaysShowSelection = 1 << 8, dgConfirmDelete = 1 << 9, dgCancelOnExit = 1 << 10,
        dgMultiSelect = 1 << 11
    };
    using Options = int;

    explicit DBGrid(QWidget* parent, const QString& name = QString());
    ~DBGrid() override;

    db::DataSource* dataSource() const;
    void setDataSource(db::DataSource* source);
    db::DataSet* dataSet() const;

    Options options() const { return m_options; }
    void setOptions(Options options);
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool on);

    // Without columns of its own the grid shows every visible field.
    const QList<GridColumn>& columns() const { return m_columns; }
    void setColumns(const QList<GridColumn>& columns);
    void addColumn(const QString& fieldName, const QString& title = QString(), int width = -1);
    GridColumn& column(int index) { return m_columns[index]; }
    void columnsChanged();
    // The pick list of the column that shows fieldName (empty when it has none).
    QStringList pickListOf(const QString& fieldName) const;

    // What the grid shows.
    int rowCount() const;
    int shownColumnCount() const;
    QString titleText(int column) const;
    QColor titleColor(int column) const;
    QString cellText(int row, int column) const;
    int currentRow() const { return m_current; }
    QString indicatorText(int row) const;

    // Rows selected by the user, in the order of selection.
    const QList<db::Bookmark>& selectedRows() const { return m_selected; }
    bool rowSelected(const db::Bookmark& bookmark) const { return m_selected.contains(bookmark); }
    void toggleCurrentRowSelected();
    void clearSelectedRows();

    // The user clicked the title of a shown column.
    std::function<void(DBGrid*, int column)> OnTitleClick;
    // The selected column is left, and another one entered (keys, clicks, SelectedIndex).
    Notify OnColExit, OnColEnter;

    bool wantsTab() const override { return (m_options & dgTabs) != 0; }

    // DataAwareGrid
    bool isDataReadOnly() const override { return m_readOnly; }
    void setDataReadOnly(bool on) override { setReadOnly(on); }
    int columnCount() const override { return shownColumnCount(); }
    int selectedIndex() const override;
    void setSelectedIndex(int index) override;
    bool nextRecord() override;
    void appendRecord() override;

protected:
    // Steps of a move to another column: ColExit runs first (a handler that moves the
    // column itself ends the move), then the column changes and ColEnter runs.
    virtual void colExit();
    virtual void colEnter();
    // Applies the column definitions (titles, widths, read-only, visibility) to what
    // the grid shows, without reading the records again unless the shown fields changed.
    virtual void setColumnAttributes();
    // Tab and Shift+Tab in the cell editor take the grid's own way through cells.
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // With dgTabs, Tab and Shift+Tab walk the cells instead of leaving the grid.
    bool focusNextPrevChild(bool next) override;

private:
    class Model;
    class Link;
    friend class CellDelegate;
    friend class Model;
    friend class Link;
    struct Shown {
        QString fieldName;
        QString title;
        int width;
        bool readOnly;
    };
    void press(QMouseEvent* event);
    void key(QKeyEvent* event);
    void reload();
    void refreshCurrentRow();
    void scrolled();
    void applyOptions();
    void rebuildShown();
    void moveToRow(int row);
    void moveCol(int index);
    // The class library's moves to the next and prior row: the next row past the end
    // appends a record where the grid may edit; an untouched new record is given up.
    void nextRow(bool select);
    void priorRow(bool select);
    bool canAppend() const;
    void tabForward();
    void tabBackward();
    QWidget* openEditor() const;
    void commitEditor();
    void applyWidths();
    void selectRange(int from, int to);
    db::Field* fieldOf(int column) const;
    QStringList textsOfCurrent() const;

    Model* m_model;
    Link* m_link;
    Options m_options;
    bool m_readOnly = false;
    QList<GridColumn> m_columns;
    QList<Shown> m_shown;
    // A row's texts are read when it is first shown, so a grid over many records reads
    // only those on screen; a reload forgets them.
    mutable QVector<QStringList> m_rows;
    mutable QVector<bool> m_read;
    int m_rowCount = 0;
    // The row of a new record not in the dataset's view yet, or -1.
    int m_insertAt = -1;
    void resetRows(int count);
    int viewPosOf(int row) const;
    db::Bookmark markOf(int row) const;
    const QStringList& textsOf(int row) const;
    void setCurrentTexts(int row);
    int m_current = -1;
    int m_anchor = -1;
    bool m_loading = false;
    bool m_inColExit = false;
    bool m_committing = false;
    QList<db::Bookmark> m_selected;
};

} // namespace vorta::ui
