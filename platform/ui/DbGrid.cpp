#include "platform/ui/DbGrid.h"
#include "platform/core/QtGuard.h"

#include "platform/db/Field.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFocusEvent>
#include <QHash>
#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace vorta::ui {

using db::DataSetState;

class DBGrid::Model : public QAbstractTableModel {
public:
    explicit Model(DBGrid* grid) : QAbstractTableModel(grid), m_grid(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_grid->m_rowCount;
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_grid->m_shown.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const int row = index.row();
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_grid->cellText(row, index.column());
        case Qt::BackgroundRole:
        case Qt::ForegroundRole: {
            const bool marked = !m_grid->m_selected.isEmpty() && m_grid->rowSelected(m_grid->markOf(row));
            const bool current = row == m_grid->m_current
                                 && ((m_grid->m_options & dgRowSelect) || index.column() == m_grid->selectedIndex());
            if (!marked && !current)
                return {};
            const QPalette& p = m_grid->palette();
            return role == Qt::BackgroundRole ? QVariant(p.brush(QPalette::Highlight))
                                              : QVariant(p.brush(QPalette::HighlightedText));
        }
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role == Qt::BackgroundRole && orientation == Qt::Horizontal) {
            const QColor c = m_grid->titleColor(section);
            return c.isValid() ? QVariant(QBrush(c)) : QVariant();
        }
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Horizontal)
            return m_grid->titleText(section);
        return m_grid->indicatorText(section);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.isValid() && !m_grid->m_readOnly && (m_grid->m_options & dgEditing)
            && !m_grid->m_shown.at(index.column()).readOnly) {
            db::Field* field = m_grid->fieldOf(index.column());
            if (field && !field->readOnly() && !field->isCalculated() && !field->isLookup())
                f |= Qt::ItemIsEditable;
        }
        return f;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
            return false;
        db::DataSet* ds = m_grid->dataSet();
        db::Field* field = m_grid->fieldOf(index.column());
        if (!ds || !field)
            return false;
        // Called from the view's own code: a refused value is reported here.
        bool stored = false;
        Application::runGuarded([&] {
            if (index.row() != m_grid->m_current)
                m_grid->moveToRow(index.row());
            ds->edit();
            field->setText(value.toString());
            stored = true;
        });
        return stored;
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }
    void rowChanged(int row)
    {
        if (row < 0 || row >= rowCount())
            return;
        emit dataChanged(index(row, 0), index(row, std::max(0, columnCount() - 1)));
        emit headerDataChanged(Qt::Vertical, row, row);
    }

private:
    DBGrid* m_grid;
};

// The cell editor: the field's edit mask as in a data-aware edit, the field's edit
// text in, the typed value out.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(DBGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* editor = new MaskedEdit(parent);
        editor->setFrame(false);
        if (db::Field* f = m_grid->fieldOf(index.column())) {
            editor->setEditMask(f->editMask());
            if (f->dataType() == db::FieldType::String && f->size() > 0 && !editor->mask().isMasked())
                editor->setMaxLength(f->size());
            const QStringList picks = m_grid->pickListOf(f->fieldName());
            if (!picks.isEmpty())
                addPickList(editor, picks);
        }
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* e = static_cast<MaskedEdit*>(editor);
        db::Field* f = m_grid->fieldOf(index.column());
        e->setValue(f ? f->text() : QString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        model->setData(index, static_cast<MaskedEdit*>(editor)->value(), Qt::EditRole);
    }

private:
    // A drop-down button at the editor's end, and Alt+Down, offer the values.
    static void addPickList(MaskedEdit* editor, const QStringList& picks)
    {
        auto* menu = new QMenu(editor);
        for (const QString& p : picks)
            menu->addAction(p, editor, [editor, p] { editor->setText(p); });
        auto* drop = editor->addAction(editor->style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
        auto pop = [editor, menu] { menu->popup(editor->mapToGlobal(QPoint(0, editor->height()))); };
        QObject::connect(drop, &QAction::triggered, editor, pop);
        auto* open = new QAction(editor);
        open->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
        open->setShortcutContext(Qt::WidgetShortcut);
        editor->addAction(open);
        QObject::connect(open, &QAction::triggered, editor, pop);
    }
    DBGrid* m_grid;
};

// The indicator column has a fixed width, so its size never depends on what it shows;
// the view's own measure would read the indicator of up to 200 rows at each reload.
class IndicatorHeader : public QHeaderView {
public:
    explicit IndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) { setHighlightSections(true); }
    QSize sizeHint() const override { return {minimumWidth(), defaultSectionSize()}; }
};

// Each reload of the rows makes the view measure every title again; a title's measure
// depends only on its text, the font, the style and the sort mark, so it is kept until
// one of those changes. Titles the model sizes, styles or decorates itself are
// measured as they come.
class TitleHeader : public QHeaderView {
public:
    explicit TitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override
    {
        QAbstractItemModel* m = model();
        if (!m)
            return QHeaderView::sectionSizeFromContents(logicalIndex);
        for (int role : {Qt::SizeHintRole, Qt::FontRole, Qt::DecorationRole})
            if (m->headerData(logicalIndex, orientation(), role).isValid())
                return QHeaderView::sectionSizeFromContents(logicalIndex);
        if (m_style != style() || m_sortShown != isSortIndicatorShown() || m_font != font()) {
            m_sizes.clear();
            m_style = style();
            m_sortShown = isSortIndicatorShown();
            m_font = font();
        }
        const QString text = m->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
        auto it = m_sizes.constFind(text);
        if (it == m_sizes.constEnd())
            it = m_sizes.insert(text, QHeaderView::sectionSizeFromContents(logicalIndex));
        return it.value();
    }

private:
    mutable QHash<QString, QSize> m_sizes;
    mutable const QStyle* m_style = nullptr;
    mutable bool m_sortShown = false;
    mutable QFont m_font;
};

class DBGrid::Link : public db::DataLink {
public:
    explicit Link(DBGrid* grid) : m_grid(grid) {}

protected:
    void activeChanged() override { m_grid->reload(); }
    void dataSetChanged() override
    {
        if (!m_grid->m_loading)
            m_grid->reload();
    }
    void dataSetScrolled(int) override
    {
        if (!m_grid->m_loading)
            m_grid->scrolled();
    }
    void layoutChanged() override
    {
        m_grid->rebuildShown();
        m_grid->reload();
    }
    void recordChanged(db::Field*) override
    {
        if (!m_grid->m_loading)
            m_grid->refreshCurrentRow();
    }
    void editingChanged() override
    {
        if (!m_grid->m_loading)
            m_grid->reload();
    }
    // A move or post takes the text of an open cell editor first.
    void checkBrowseMode() override { m_grid->commitEditor(); }

private:
    DBGrid* m_grid;
};

DBGrid::DBGrid(QWidget* parent, const QString& name)
    : QTableView(parent), Control(this, parent, name), m_model(new Model(this)), m_link(new Link(this)),
      m_options(dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs
                | dgConfirmDelete | dgCancelOnExit)
{
    setVerticalHeader(new IndicatorHeader(this));
    setHorizontalHeader(new TitleHeader(this));
    setModel(m_model);
    setItemDelegate(new CellDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::StrongFocus);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(14);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (OnTitleClick)
            guardQt([this, section] { OnTitleClick(this, section); });
    });
    applyOptions();
}

DBGrid::~DBGrid()
{
    delete m_link;
}

db::DataSource* DBGrid::dataSource() const
{
    return m_link->dataSource();
}

void DBGrid::setDataSource(db::DataSource* source)
{
    m_link->setDataSource(source);
    rebuildShown();
    reload();
}

db::DataSet* DBGrid::dataSet() const
{
    return m_link->active() ? m_link->dataSet() : nullptr;
}

void DBGrid::setOptions(Options options)
{
    m_options = options;
    applyOptions();
}

void DBGrid::setReadOnly(bool on)
{
    m_readOnly = on;
    applyOptions();
}

void DBGrid::applyOptions()
{
    horizontalHeader()->setVisible(m_options & dgTitles);
    verticalHeader()->setVisible(m_options & dgIndicator);
    horizontalHeader()->setSectionResizeMode((m_options & dgColumnResize) ? QHeaderView::Interactive
                                                                          : QHeaderView::Fixed);
    setShowGrid((m_options & (dgColLines | dgRowLines)) != 0);
    const bool editable = !m_readOnly && (m_options & dgEditing);
    setEditTriggers(editable ? (QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed)
                             : QAbstractItemView::NoEditTriggers);
    if (!(m_options & dgMultiSelect))
        m_selected.clear();
    viewport()->update();
}

void DBGrid::setColumns(const QList<GridColumn>& columns)
{
    m_columns = columns;
    columnsChanged();
}

void DBGrid::addColumn(const QString& fieldName, const QString& title, int width)
{
    GridColumn c;
    c.fieldName = fieldName;
    c.title = title;
    c.width = width;
    m_columns << c;
    columnsChanged();
}

void DBGrid::columnsChanged()
{
    rebuildShown();
    reload();
}

QStringList DBGrid::pickListOf(const QString& fieldName) const
{
    for (const GridColumn& c : m_columns)
        if (c.fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return c.pickList;
    return {};
}

void DBGrid::rebuildShown()
{
    m_shown.clear();
    db::DataSet* ds = m_link->dataSet();
    if (!m_columns.isEmpty()) {
        for (const GridColumn& c : m_columns) {
            if (!c.visible)
                continue;
            m_shown << Shown{c.fieldName, c.title, c.width, c.readOnly};
        }
    } else if (ds && ds->active()) {
        for (int i = 0; i < ds->fieldCount(); ++i)
            if (db::Field* f = ds->fields(i); f->visible())
                m_shown << Shown{f->fieldName(), QString(), -1, false};
    }
}

db::Field* DBGrid::fieldOf(int column) const
{
    db::DataSet* ds = m_link->dataSet();
    if (!ds || !m_link->active() || column < 0 || column >= m_shown.size())
        return nullptr;
    return ds->findField(m_shown.at(column).fieldName);
}

int DBGrid::rowCount() const
{
    return m_rowCount;
}

int DBGrid::shownColumnCount() const
{
    return int(m_shown.size());
}

QColor DBGrid::titleColor(int column) const
{
    if (column < 0 || column >= m_shown.size())
        return {};
    for (const GridColumn& c : m_columns)
        if (c.visible && c.fieldName.compare(m_shown.at(column).fieldName, Qt::CaseInsensitive) == 0)
            return c.titleColor;
    return {};
}

QString DBGrid::titleText(int column) const
{
    if (column < 0 || column >= m_shown.size())
        return QString();
    const Shown& s = m_shown.at(column);
    if (!s.title.isEmpty())
        return s.title;
    if (db::Field* f = fieldOf(column))
        return f->displayLabel();
    return s.fieldName;
}

QString DBGrid::cellText(int row, int column) const
{
    if (row < 0 || row >= m_rowCount)
        return QString();
    return textsOf(row).value(column);
}

void DBGrid::resetRows(int count)
{
    m_rowCount = count;
    m_rows = QVector<QStringList>(count);
    m_read = QVector<bool>(count, false);
}

int DBGrid::viewPosOf(int row) const
{
    if (row < 0 || row >= m_rowCount || row == m_insertAt)
        return -1;
    return m_insertAt >= 0 && row > m_insertAt ? row - 1 : row;
}

db::Bookmark DBGrid::markOf(int row) const
{
    db::DataSet* ds = dataSet();
    const int pos = viewPosOf(row);
    return ds && pos >= 0 ? ds->bookmarkAt(pos) : db::Bookmark{};
}

const QStringList& DBGrid::textsOf(int row) const
{
    if (!m_read.at(row)) {
        db::DataSet* ds = dataSet();
        const int pos = viewPosOf(row);
        bool read = !ds || pos < 0;
        // Asked while painting: a record that cannot be read shows empty.
        try {
            if (!read)
                ds->peekRecord(pos, [&] {
                    m_rows[row] = textsOfCurrent();
                    read = true;
                });
        } catch (...) {
            m_rows[row].clear();
            read = true;
        }
        m_read[row] = read;
    }
    return m_rows.at(row);
}

void DBGrid::setCurrentTexts(int row)
{
    m_rows[row] = textsOfCurrent();
    m_read[row] = true;
}

QString DBGrid::indicatorText(int row) const
{
    db::DataSet* ds = dataSet();
    if (row == m_current && ds) {
        switch (ds->state()) {
        case DataSetState::Insert: return QStringLiteral("*");
        case DataSetState::Edit: return QStringLiteral("I");
        default: return QStringLiteral("\u25B6");
        }
    }
    if (!m_selected.isEmpty() && rowSelected(markOf(row)))
        return QStringLiteral("\u2022");
    return QString();
}

QStringList DBGrid::textsOfCurrent() const
{
    QStringList texts;
    for (int c = 0; c < m_shown.size(); ++c) {
        db::Field* f = fieldOf(c);
        texts << (f ? f->displayText() : QString());
    }
    return texts;
}

void DBGrid::reload()
{
    if (m_shown.isEmpty() && m_columns.isEmpty())
        rebuildShown();
    db::DataSet* ds = dataSet();
    m_loading = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_loading};
    if (!ds) {
        resetRows(0);
        m_insertAt = -1;
        m_current = -1;
        m_selected.clear();
    } else if (ds->state() == DataSetState::Browse) {
        m_insertAt = -1;
        resetRows(ds->recordCount());
        m_current = ds->isEmpty() ? -1 : ds->recNo() - 1;
        if (m_current >= m_rowCount)
            m_current = -1;
        if (m_current >= 0)
            setCurrentTexts(m_current);
        // Rows deleted since they were selected leave the selection.
        QList<db::Bookmark> kept;
        for (const db::Bookmark& b : std::as_const(m_selected))
            if (ds->positionOf(b) >= 0)
                kept << b;
        m_selected = kept;
    } else if (ds->state() == DataSetState::Insert) {
        // The new record shows as a row of its own until it is posted or cancelled:
        // an appended one after the last row, an inserted one at the cursor.
        if (m_insertAt < 0) {
            const int at = ds->appending() || m_current < 0 ? m_rowCount : m_current;
            m_rows.insert(at, QStringList());
            m_read.insert(at, false);
            ++m_rowCount;
            m_insertAt = at;
        }
        m_current = m_insertAt;
        setCurrentTexts(m_current);
    } else {
        if (m_current >= 0 && m_current < m_rowCount)
            setCurrentTexts(m_current);
    }
    m_model->reset();
    applyWidths();
    if (m_current >= 0)
        setCurrentIndex(m_model->index(m_current, std::max(0, currentIndex().column())));
}

void DBGrid::applyWidths()
{
    for (int c = 0; c < m_shown.size(); ++c) {
        int w = m_shown.at(c).width;
        if (w < 0) {
            db::Field* f = fieldOf(c);
            const int chars = f ? std::min(f->displayWidth(), 40) : 10;
            w = std::max(fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars,
                         fontMetrics().horizontalAdvance(titleText(c))) + 8;
        }
        setColumnWidth(c, w);
    }
}

void DBGrid::setColumnAttributes()
{
    QStringList before;
    for (const Shown& s : std::as_const(m_shown))
        before << s.fieldName;
    const int column = selectedIndex();
    rebuildShown();
    QStringList after;
    for (const Shown& s : std::as_const(m_shown))
        after << s.fieldName;
    if (before != after) {
        reload();
        if (column < m_shown.size())
            setCurrentIndex(m_model->index(std::max(0, m_current), column));
        return;
    }
    // Same fields: titles, widths and what may be edited follow the definitions.
    if (!m_shown.isEmpty()) {
        emit m_model->headerDataChanged(Qt::Horizontal, 0, int(m_shown.size()) - 1);
        if (m_rowCount > 0)
            emit m_model->dataChanged(m_model->index(0, 0), m_model->index(m_rowCount - 1, int(m_shown.size()) - 1));
    }
    applyWidths();
}

void DBGrid::colExit()
{
    if (OnColExit)
        OnColExit(this);
}

void DBGrid::colEnter()
{
    if (OnColEnter)
        OnColEnter(this);
}

QWidget* DBGrid::openEditor() const
{
    if (state() != QAbstractItemView::EditingState)
        return nullptr;
    for (QObject* child : viewport()->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && w->isVisible())
            return w;
    return nullptr;
}

void DBGrid::commitEditor()
{
    QWidget* editor = openEditor();
    if (!editor || m_committing)
        return;
    m_committing = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_committing};
    commitData(editor);
    if (editor == openEditor())
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DBGrid::moveCol(int index)
{
    if (index < 0 || index >= m_shown.size())
        return;
    const int old = selectedIndex();
    if (index != old) {
        // What is being typed reaches the field before the column is left.
        commitEditor();
        if (!m_inColExit) {
            m_inColExit = true;
            struct Reset {
                bool& flag;
                ~Reset() { flag = false; }
            } reset{m_inColExit};
            colExit();
            if (selectedIndex() != old)
                return;
        }
        if (index >= m_shown.size())
            return;
        setCurrentIndex(m_model->index(std::max(0, m_current), index));
        colEnter();
    }
    viewport()->update();
}

bool DBGrid::canAppend() const
{
    db::DataSet* ds = dataSet();
    return ds && ds->canModify() && !m_readOnly && (m_options & dgEditing) && !(m_options & dgRowSelect);
}

void DBGrid::nextRow(bool select)
{
    db::DataSet* ds = dataSet();
    if (!ds)
        return;
    if (ds->state() == DataSetState::Insert && !ds->modified()) {
        // An untouched new record at the end stays the only one.
        if (ds->eof())
            return;
        ds->cancel();
        return;
    }
    const int from = m_current;
    ds->moveBy(1);
    if (select)
        selectRange(from, m_current);
    if (ds->eof() && canAppend())
        ds->append();
}

void DBGrid::priorRow(bool select)
{
    db::DataSet* ds = dataSet();
    if (!ds)
        return;
    if (ds->state() == DataSetState::Insert && !ds->modified() && ds->eof()) {
        ds->cancel();
        return;
    }
    const int from = m_current;
    ds->moveBy(-1);
    if (select)
        selectRange(from, m_current);
}

void DBGrid::tabForward()
{
    if (selectedIndex() + 1 < shownColumnCount()) {
        moveCol(selectedIndex() + 1);
        return;
    }
    nextRow(false);
    moveCol(0);
}

void DBGrid::tabBackward()
{
    db::DataSet* ds = dataSet();
    if (selectedIndex() > 0) {
        moveCol(selectedIndex() - 1);
    } else if (ds && !ds->bof()) {
        priorRow(false);
        moveCol(shownColumnCount() - 1);
    }
}

void DBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (hint != QAbstractItemDelegate::EditNextItem && hint != QAbstractItemDelegate::EditPreviousItem) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    // The commit may have read the records again, which already took the editor away.
    if (editor == openEditor())
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    const bool forward = hint == QAbstractItemDelegate::EditNextItem;
    if (!(m_options & dgTabs)) {
        focusNextPrevChild(forward);
        return;
    }
    forward ? tabForward() : tabBackward();
}

void DBGrid::refreshCurrentRow()
{
    db::DataSet* ds = dataSet();
    if (!ds || m_current < 0 || m_current >= m_rowCount)
        return;
    setCurrentTexts(m_current);
    m_model->rowChanged(m_current);
}

void DBGrid::scrolled()
{
    db::DataSet* ds = dataSet();
    if (!ds)
        return;
    if (ds->state() != DataSetState::Browse || m_insertAt >= 0 || m_rowCount != ds->recordCount()) {
        reload();
        return;
    }
    const int before = m_current;
    m_current = ds->isEmpty() ? -1 : ds->recNo() - 1;
    // An empty dataset has no row to show as current.
    if (m_current < 0 || m_current >= m_rowCount) {
        reload();
        return;
    }
    setCurrentTexts(m_current);
    m_model->rowChanged(before);
    m_model->rowChanged(m_current);
    setCurrentIndex(m_model->index(m_current, std::max(0, currentIndex().column())));
}

void DBGrid::moveToRow(int row)
{
    db::DataSet* ds = dataSet();
    if (!ds || row < 0 || row >= m_rowCount || row == m_current)
        return;
    const db::Bookmark mark = markOf(row);
    if (mark.isValid())
        ds->gotoBookmark(mark);
}

void DBGrid::toggleCurrentRowSelected()
{
    if (!(m_options & dgMultiSelect) || m_current < 0 || m_current >= m_rowCount)
        return;
    const db::Bookmark mark = markOf(m_current);
    if (!mark.isValid())
        return;
    if (!m_selected.removeOne(mark))
        m_selected << mark;
    m_model->rowChanged(m_current);
}

void DBGrid::clearSelectedRows()
{
    m_selected.clear();
    viewport()->update();
    verticalHeader()->viewport()->update();
}

void DBGrid::selectRange(int from, int to)
{
    if (from < 0)
        from = to;
    const int step = from <= to ? 1 : -1;
    for (int r = from;; r += step) {
        if (r >= 0 && r < m_rowCount) {
            const db::Bookmark mark = markOf(r);
            if (mark.isValid() && !m_selected.contains(mark))
                m_selected << mark;
        }
        if (r == to)
            break;
    }
    viewport()->update();
}

int DBGrid::selectedIndex() const
{
    return currentIndex().isValid() ? currentIndex().column() : 0;
}

void DBGrid::setSelectedIndex(int index)
{
    moveCol(index);
}

bool DBGrid::nextRecord()
{
    db::DataSet* ds = dataSet();
    if (!ds)
        return true;
    ds->next();
    return ds->eof();
}

void DBGrid::appendRecord()
{
    if (db::DataSet* ds = dataSet())
        ds->append();
}

void DBGrid::mousePressEvent(QMouseEvent* event)
{
    guardQt([&] { press(event); });
}

void DBGrid::press(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton) {
        QTableView::mousePressEvent(event);
        return;
    }
    const int row = index.row();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (m_options & dgMultiSelect) {
        if (mods & Qt::ShiftModifier) {
            selectRange(m_anchor < 0 ? m_current : m_anchor, row);
        } else if (mods & Qt::ControlModifier) {
            moveToRow(row);
            toggleCurrentRowSelected();
            m_anchor = row;
        } else {
            clearSelectedRows();
            m_anchor = row;
        }
    }
    moveToRow(row);
    setFocus(Qt::MouseFocusReason);
    if (m_current >= 0 && m_current != currentIndex().row())
        setCurrentIndex(m_model->index(m_current, selectedIndex()));
    moveCol(index.column());
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (OnDblClick)
        guardQt([this] { OnDblClick(this); });
    event->accept();
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    guardQt([&] { key(event); });
}

void DBGrid::key(QKeyEvent* event)
{
    db::DataSet* ds = dataSet();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool multi = m_options & dgMultiSelect;
    auto moveBy = [&](int distance) {
        if (!ds)
            return;
        const int from = m_current;
        ds->moveBy(distance);
        if (multi && shift)
            selectRange(from, m_current);
    };
    switch (event->key()) {
    case Qt::Key_Up: priorRow(multi && shift); return;
    case Qt::Key_Down: nextRow(multi && shift); return;
    case Qt::Key_PageUp: moveBy(-std::max(1, viewport()->height() / std::max(1, rowHeight(0)))); return;
    case Qt::Key_PageDown: moveBy(std::max(1, viewport()->height() / std::max(1, rowHeight(0)))); return;
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier) {
            if (ds)
                ds->first();
            return;
        }
        setSelectedIndex(0);
        return;
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier) {
            if (ds)
                ds->last();
            return;
        }
        setSelectedIndex(shownColumnCount() - 1);
        return;
    case Qt::Key_Left: setSelectedIndex(selectedIndex() - 1); return;
    case Qt::Key_Right: setSelectedIndex(selectedIndex() + 1); return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!(m_options & dgTabs))
            break;
        if (event->key() == Qt::Key_Tab)
            tabForward();
        else
            tabBackward();
        return;
    case Qt::Key_Space:
        if (multi && (event->modifiers() & Qt::ControlModifier)) {
            toggleCurrentRowSelected();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (ds && (ds->state() == DataSetState::Edit || ds->state() == DataSetState::Insert)) {
            ds->cancel();
            return;
        }
        break;
    default:
        break;
    }
    QTableView::keyPressEvent(event);
}

bool DBGrid::focusNextPrevChild(bool next)
{
    if (!(m_options & dgTabs) || !hasFocus())
        return QTableView::focusNextPrevChild(next);
    guardQt([&] { next ? tabForward() : tabBackward(); });
    return true;
}

void DBGrid::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    // The focus going to the grid's own cell editor does not leave the grid.
    if (QWidget* to = QApplication::focusWidget(); to && isAncestorOf(to))
        return;
    // Leaving the grid gives up a new record nobody typed into.
    db::DataSet* ds = dataSet();
    if ((m_options & dgCancelOnExit) && ds && ds->state() == DataSetState::Insert && !ds->modified())
        guardQt([ds] { ds->cancel(); });
}

} // namespace vorta::ui
