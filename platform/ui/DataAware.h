#pragma once

#include <QList>

class QObject;
class QWidget;

namespace vorta::ui {

// The kinds of data-aware controls that the framework's form helpers tell apart.
enum class DataControlKind {
    Edit,           // data-aware edit (and the mask edits derived from it)
    LookupComboBox, // data-aware lookup combo box
    LookupCombo,    // the other library's data-aware lookup combo
    RadioGroup,     // data-aware radio group
    Grid,           // data grid
    Other,          // memo, check box, combo box, date edit, image...
};

// What a data-aware widget offers the form helpers (read-only switching, emptying).
// Widgets implement it beside their Qt base: class DBEdit : public MaskedEdit,
// public DataAwareControl.
class DataAwareControl {
public:
    virtual ~DataAwareControl() = default;
    virtual DataControlKind dataControlKind() const = 0;
    virtual bool isDataReadOnly() const = 0;
    virtual void setDataReadOnly(bool on) = 0;
    // Empties the shown text (edits).
    virtual void clearDataText() {}
};

// What a data grid adds for Enter moving through its cells.
class DataAwareGrid : public DataAwareControl {
public:
    DataControlKind dataControlKind() const override { return DataControlKind::Grid; }
    virtual int columnCount() const = 0;
    virtual int selectedIndex() const = 0;
    virtual void setSelectedIndex(int index) = 0;
    // Moves the grid's dataset to its next record; true when that reached its end.
    virtual bool nextRecord() = 0;
    // Appends a record to the grid's dataset.
    virtual void appendRecord() = 0;
};

// The interface of a widget, or null for one that is not data-aware.
DataAwareControl* dataAware(QObject* object);
DataAwareGrid* dataAwareGrid(QObject* object);
// Every data-aware widget inside the form, depth first.
QList<DataAwareControl*> dataAwareControls(QWidget* form);

} // namespace vorta::ui
