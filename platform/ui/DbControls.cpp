#include "platform/ui/DbControls.h"
#include "platform/core/QtGuard.h"

#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>

#include <utility>

namespace vorta::ui {

using db::DataSetState;

// ---- FieldDataLink --------------------------------------------------------------

void FieldDataLink::setFieldName(const QString& name)
{
    m_fieldName = name;
    resolve();
    if (onDataChange)
        onDataChange();
}

void FieldDataLink::resolve()
{
    db::DataSet* ds = dataSet();
    m_field = (active() && ds && !m_fieldName.isEmpty()) ? ds->findField(m_fieldName) : nullptr;
}

bool FieldDataLink::canModify() const
{
    db::DataSet* ds = dataSet();
    return active() && !readOnly() && m_field && !m_field->readOnly() && !m_field->isCalculated()
           && ds && ds->canModify();
}

void FieldDataLink::activeChanged()
{
    resolve();
    if (onEditingChange)
        onEditingChange();
    if (onDataChange)
        onDataChange();
}

void FieldDataLink::recordChanged(db::Field* field)
{
    if (!m_field)
        resolve();
    // A lookup or calculated field follows whatever field of the record changed.
    const bool computed = m_field && m_field->fieldKind() != db::FieldKind::Data;
    if ((!field || field == m_field || computed) && onDataChange)
        onDataChange();
}

void FieldDataLink::layoutChanged()
{
    resolve();
    DataLink::layoutChanged();
}

void FieldDataLink::editingChanged()
{
    if (onEditingChange)
        onEditingChange();
}

void FieldDataLink::updateData()
{
    if (onUpdateData)
        onUpdateData();
}

bool FieldDataLink::focusControl(db::Field* field)
{
    if (!m_field)
        resolve();
    if (!field || field != m_field)
        return false;
    auto* w = dynamic_cast<QWidget*>(m_control);
    if (!w || !w->isVisible() || !w->isEnabled())
        return false;
    w->setFocus(Qt::OtherFocusReason);
    return true;
}

void forEachRecord(db::DataSet* ds, const std::function<void()>& fn)
{
    if (!ds || ds->state() != DataSetState::Browse)
        return;
    // Reading is no user's move: no scroll events, and the controls hear nothing.
    struct Muted {
        db::DataSet* ds;
        db::DataSet::Event before, after;
        explicit Muted(db::DataSet* d)
            : ds(d), before(std::exchange(d->BeforeScroll, nullptr)), after(std::exchange(d->AfterScroll, nullptr))
        {
            ds->disableControls();
        }
        ~Muted()
        {
            ds->enableControls();
            ds->BeforeScroll = std::move(before);
            ds->AfterScroll = std::move(after);
        }
    } muted(ds);
    const db::Bookmark mark = ds->bookmark();
    struct Back {
        db::DataSet* ds;
        db::Bookmark mark;
        ~Back()
        {
            if (mark.isValid() && ds->bookmarkValid(mark))
                ds->gotoBookmark(mark);
        }
    } back{ds, mark};
    for (ds->first(); !ds->eof(); ds->next())
        fn();
}

// ---- FieldControl -----------------------------------------------------------------

void FieldControl::setReadOnly(bool on)
{
    m_readOnly = on;
    readOnlyChanged();
}

bool FieldControl::canEditNow() const
{
    if (m_readOnly || !m_link.canModify())
        return false;
    return m_link.editing() || (m_link.dataSource() && m_link.dataSource()->autoEdit());
}

bool FieldControl::beginUserChange()
{
    if (m_readOnly || !m_link.canModify())
        return false;
    if (!m_link.editing())
        m_link.edit();
    return m_link.editing();
}

namespace {

bool isEditingKey(const QKeyEvent* e)
{
    if (e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Undo)
        || e->matches(QKeySequence::Redo))
        return true;
    switch (e->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return true;
    default:
        break;
    }
    const QString t = e->text();
    return !t.isEmpty() && t.at(0).isPrint();
}

} // namespace

// ---- DBEdit -----------------------------------------------------------------------

DBEdit::DBEdit(QWidget* parent, const QString& name) : MaskedEdit(parent), Control(this, parent, name)
{
    m_link.onDataChange = [this] { dataChange(); };
    m_link.onEditingChange = [this] { updateReadOnly(); };
    m_link.onUpdateData = [this] {
        if (db::Field* f = field())
            f->setText(value());
    };
    connect(this, &MaskedEdit::edited, this, [this] { guardQt([this] { userEdited(); }); });
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange)
            guardQt([this] { OnChange(this); });
    });
    updateReadOnly();
}

void DBEdit::userEdited()
{
    if (m_loading)
        return;
    // A change that came without a key (a drop, the context menu) starts the edit
    // now, keeping what the user put in.
    if (!m_link.editing()) {
        const bool started = std::exchange(m_keepText, true), ok = beginUserChange();
        m_keepText = started;
        if (!ok) {
            dataChange();
            return;
        }
    }
    m_link.modified();
}

void DBEdit::dataChange()
{
    if (m_keepText)
        return;
    m_loading = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_loading};
    db::Field* f = field();
    if (!f) {
        if (!editMask().isEmpty())
            setEditMask(QString());
        setText(QString());
        updateReadOnly();
        return;
    }
    if (editMask() != f->editMask())
        setEditMask(f->editMask());
    const int length = f->dataType() == db::FieldType::String && f->size() > 0 && !mask().isMasked() ? f->size() : 32767;
    if (maxLength() != length)
        setMaxLength(length);
    // The display text while the control is not being typed in, the edit text while it is.
    // Unchanged text stays as it is, so starting an edit keeps the cursor.
    if (hasFocus() || mask().isMasked()) {
        if (value() != f->text() || text().isEmpty())
            setValue(f->text());
    } else if (text() != f->displayText()) {
        setText(f->displayText());
    }
    updateReadOnly();
}

void DBEdit::updateReadOnly()
{
    QLineEdit::setReadOnly(!canEditNow());
}

void DBEdit::clearDataText()
{
    m_loading = true;
    setValue(QString());
    m_loading = false;
}

void DBEdit::keyPressEvent(QKeyEvent* event)
{
    guardQt([&] { editKey(event); });
}

void DBEdit::editKey(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_link.isModified()) {
        // Escape shows the field's value again.
        dataChange();
        selectAll();
        return;
    }
    if (isEditingKey(event) && !beginUserChange()) {
        event->accept();
        return;
    }
    const QString cased = applyCharCase(event->text(), charCase);
    if (cased != event->text()) {
        QKeyEvent converted(event->type(), event->key(), event->modifiers(), cased, event->isAutoRepeat());
        MaskedEdit::keyPressEvent(&converted);
        event->setAccepted(converted.isAccepted());
        return;
    }
    MaskedEdit::keyPressEvent(event);
}

void DBEdit::focusInEvent(QFocusEvent* event)
{
    // The edit text (without display format) while typing.
    if (db::Field* f = field(); f && !m_link.isModified() && !mask().isMasked()) {
        m_loading = true;
        setText(f->text());
        m_loading = false;
    }
    MaskedEdit::focusInEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent* event)
{
    MaskedEdit::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    guardQt([this] {
        try {
            m_link.updateRecord();
        } catch (...) {
            // A refused value keeps the focus here.
            setFocus();
            throw;
        }
        if (!m_link.isModified())
            dataChange();
    });
}

// ---- DBMemo -----------------------------------------------------------------------

DBMemo::DBMemo(QWidget* parent, const QString& name) : QPlainTextEdit(parent), Control(this, parent, name)
{
    m_link.onDataChange = [this] {
        if (m_keepText)
            return;
        // Unchanged text stays as it is, so starting an edit keeps the cursor.
        const QString text = field() ? field()->asString() : QString();
        m_loading = true;
        if (text != toPlainText())
            setPlainText(text);
        m_loading = false;
        updateReadOnly();
    };
    m_link.onEditingChange = [this] { updateReadOnly(); };
    m_link.onUpdateData = [this] {
        if (db::Field* f = field())
            f->setAsString(toPlainText());
    };
    connect(this, &QPlainTextEdit::textChanged, this, [this] { guardQt([this] { userEdited(); }); });
    setTabChangesFocus(true);
    updateReadOnly();
}

void DBMemo::userEdited()
{
    if (m_loading)
        return;
    // A drop or the context menu starts the edit as a key does, keeping the text.
    if (!m_link.editing()) {
        const bool started = std::exchange(m_keepText, true), ok = beginUserChange();
        m_keepText = started;
        if (!ok) {
            m_link.onDataChange();
            return;
        }
    }
    m_link.modified();
}

void DBMemo::updateReadOnly()
{
    QPlainTextEdit::setReadOnly(!canEditNow());
}

void DBMemo::clearDataText()
{
    m_loading = true;
    clear();
    m_loading = false;
}

void DBMemo::keyPressEvent(QKeyEvent* event)
{
    bool refused = false;
    if (isEditingKey(event) || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        refused = true;
        guardQt([&] { refused = !beginUserChange(); });
    }
    if (refused) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DBMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    guardQt([this] { m_link.updateRecord(); });
}

// ---- DBCheckBox -------------------------------------------------------------------

namespace {

bool valueMatch(const QString& list, const QString& text)
{
    for (const QString& part : db::splitFieldNames(list))
        if (QString::localeAwareCompare(part.toLower(), text.toLower()) == 0)
            return true;
    return false;
}

QString firstValue(const QString& list)
{
    const int semicolon = list.indexOf(QLatin1Char(';'));
    return semicolon < 0 ? list : list.left(semicolon);
}

} // namespace

DBCheckBox::DBCheckBox(QWidget* parent, const QString& name) : QCheckBox(parent), Control(this, parent, name)
{
    setTristate(true);
    m_link.onDataChange = [this] { dataChange(); };
    m_link.onUpdateData = [this] {
        db::Field* f = field();
        if (!f)
            return;
        if (checkState() == Qt::PartiallyChecked)
            f->clear();
        else if (f->dataType() == db::FieldType::Boolean)
            f->setAsBoolean(checkState() == Qt::Checked);
        else
            f->setText(firstValue(checkState() == Qt::Checked ? m_checked : m_unchecked));
    };
    dataChange();
}

void DBCheckBox::setValueChecked(const QString& v)
{
    m_checked = v;
    dataChange();
}

void DBCheckBox::setValueUnchecked(const QString& v)
{
    m_unchecked = v;
    dataChange();
}

Qt::CheckState DBCheckBox::fieldState() const
{
    db::Field* f = field();
    if (!f)
        return Qt::Unchecked;
    if (f->isNull())
        return Qt::PartiallyChecked;
    if (f->dataType() == db::FieldType::Boolean)
        return f->asBoolean() ? Qt::Checked : Qt::Unchecked;
    const QString text = f->text();
    if (valueMatch(m_checked, text))
        return Qt::Checked;
    if (valueMatch(m_unchecked, text))
        return Qt::Unchecked;
    return Qt::PartiallyChecked;
}

void DBCheckBox::dataChange()
{
    setCheckState(fieldState());
}

void DBCheckBox::nextCheckState()
{
    guardQt([this] { toggle(); });
}

void DBCheckBox::toggle()
{
    if (!beginUserChange())
        return;
    if (checkState() == Qt::Checked)
        setCheckState(allowGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    else if (checkState() == Qt::PartiallyChecked)
        setCheckState(Qt::Unchecked);
    else
        setCheckState(Qt::Checked);
    m_link.modified();
    m_link.updateRecord();
}

void DBCheckBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        dataChange();
        return;
    }
    QCheckBox::keyPressEvent(event);
}

void DBCheckBox::focusOutEvent(QFocusEvent* event)
{
    QCheckBox::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    guardQt([this] {
        try {
            m_link.updateRecord();
        } catch (...) {
            setFocus();
            throw;
        }
    });
}

// ---- DBRadioGroup -----------------------------------------------------------------

DBRadioGroup::DBRadioGroup(QWidget* parent, const QString& name) : RadioGroup(parent, name)
{
    m_link.onDataChange = [this] { dataChange(); };
    m_link.onUpdateData = [this] {
        if (db::Field* f = field())
            f->setText(m_value);
    };
}

void DBRadioGroup::setItems(const QStringList& items)
{
    RadioGroup::setItems(items);
    setIndexQuiet(indexOf(m_value));
}

void DBRadioGroup::setValues(const QStringList& values)
{
    m_values = values;
    setIndexQuiet(indexOf(m_value));
}

QString DBRadioGroup::valueOf(int index) const
{
    if (index < 0)
        return QString();
    return index < m_values.size() ? m_values.at(index) : m_items.value(index);
}

int DBRadioGroup::indexOf(const QString& value) const
{
    if (value.isEmpty())
        return -1;
    for (int i = 0; i < m_items.size(); ++i)
        if (valueOf(i).compare(value, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void DBRadioGroup::setValue(const QString& value)
{
    const bool changed = value != m_value;
    m_value = value;
    setIndexQuiet(indexOf(value));
    if (changed && OnChange)
        OnChange(this);
}

void DBRadioGroup::dataChange()
{
    db::Field* f = field();
    setValue(f ? f->text() : QString());
}

void DBRadioGroup::userClicked(int index)
{
    if (index == m_index)
        return;
    if (!beginUserChange()) {
        // A read-only group keeps what the field says.
        setIndexQuiet(indexOf(m_value));
        return;
    }
    m_index = index;
    setValue(valueOf(index));
    m_link.modified();
    // The group takes no focus of its own to lose, so the choice is written at once:
    // the controls that follow already see it.
    m_link.updateRecord();
    fireClick();
}

// ---- DBComboBox -------------------------------------------------------------------

DBComboBox::DBComboBox(QWidget* parent, const QString& name) : QComboBox(parent), Control(this, parent, name)
{
    m_link.onDataChange = [this] { dataChange(); };
    m_link.onEditingChange = [this] { updateState(); };
    m_link.onUpdateData = [this] {
        if (db::Field* f = field())
            f->setText(currentText());
    };
    connect(this, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { guardQt([this, index] { chosen(index); }); });
    // Typing into an editable combo changes the field as an edit does.
    connect(this, &QComboBox::editTextChanged, this, [this] {
        if (m_loading || !isEditable())
            return;
        guardQt([this] {
            if (!m_link.editing()) {
                const bool started = std::exchange(m_keepText, true), ok = beginUserChange();
                m_keepText = started;
                if (!ok) {
                    dataChange();
                    return;
                }
            }
            m_link.modified();
        });
    });
    updateState();
}

void DBComboBox::setItems(const QStringList& items)
{
    m_loading = true;
    clear();
    addItems(items);
    m_loading = false;
    dataChange();
}

void DBComboBox::dataChange()
{
    if (m_keepText)
        return;
    m_loading = true;
    const QString text = field() ? field()->text() : QString();
    const int index = findText(text, Qt::MatchFixedString);
    setCurrentIndex(index);
    if (isEditable())
        setEditText(text);
    m_loading = false;
    updateState();
}

void DBComboBox::updateState()
{
    if (isEditable() && lineEdit())
        lineEdit()->setReadOnly(!canEditNow());
}

void DBComboBox::chosen(int index)
{
    if (m_loading)
        return;
    if (!beginUserChange()) {
        dataChange();
        return;
    }
    setCurrentIndex(index);
    m_link.modified();
    if (OnChange)
        OnChange(this);
}

void DBComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    guardQt([this] { m_link.updateRecord(); });
}

// ---- DBLookupComboBox ---------------------------------------------------------------

class DBLookupComboBox::ListLink : public db::DataLink {
public:
    explicit ListLink(DBLookupComboBox* owner) : m_owner(owner) {}

protected:
    void activeChanged() override { m_owner->reloadList(); }
    void dataSetChanged() override
    {
        if (!m_owner->m_loading)
            m_owner->reloadList();
    }
    void dataSetScrolled(int) override {}
    void recordChanged(db::Field*) override {}

private:
    DBLookupComboBox* m_owner;
};

DBLookupComboBox::DBLookupComboBox(QWidget* parent, const QString& name)
    : QComboBox(parent), Control(this, parent, name), m_listLink(new ListLink(this))
{
    m_link.onDataChange = [this] { dataChange(); };
    m_link.onEditingChange = [this] { updateState(); };
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (!m_loading)
            guardQt([this, index] { choose(index); });
    });
}

DBLookupComboBox::~DBLookupComboBox()
{
    delete m_listLink;
}

db::DataSource* DBLookupComboBox::listSource() const
{
    return m_listLink->dataSource();
}

void DBLookupComboBox::setListSource(db::DataSource* source)
{
    m_listLink->setDataSource(source);
    reloadList();
}

void DBLookupComboBox::setKeyField(const QString& name)
{
    m_keyField = name;
    reloadList();
}

void DBLookupComboBox::setListField(const QString& name)
{
    m_listField = name;
    reloadList();
}

void DBLookupComboBox::setEmptyText(const QString& text)
{
    m_emptyText = text;
    dataChange();
}

void DBLookupComboBox::reloadList()
{
    m_loading = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_loading};
    clear();
    m_keys.clear();
    db::DataSet* ds = m_listLink->dataSet();
    if (ds && m_listLink->active() && !m_keyField.isEmpty() && !m_listField.isEmpty()) {
        db::Field* key = ds->findField(m_keyField);
        db::Field* shown = ds->findField(m_listField);
        if (key && shown) {
            forEachRecord(ds, [&] {
                m_keys << key->value();
                addItem(shown->displayText());
            });
        }
    }
    m_loading = false;
    dataChange();
}

QVariant DBLookupComboBox::keyValue() const
{
    db::Field* f = field();
    return f ? f->value() : QVariant();
}

void DBLookupComboBox::dataChange()
{
    m_loading = true;
    int index = -1;
    if (db::Field* f = field(); f && !f->isNull()) {
        const QString key = f->asString();
        for (int i = 0; i < m_keys.size(); ++i)
            if (m_keys.at(i).toString() == key) {
                index = i;
                break;
            }
    }
    setCurrentIndex(index);
    setPlaceholderText(m_emptyText);
    m_loading = false;
    updateState();
}

void DBLookupComboBox::updateState()
{
    // Read-only lists keep showing but do not open.
    setProperty("vortaReadOnly", !canEditNow());
}

void DBLookupComboBox::choose(int index)
{
    if (index < 0 || index >= m_keys.size() || !beginUserChange()) {
        dataChange();
        return;
    }
    const QVariant key = m_keys.at(index);
    if (db::DataSet* list = m_listLink->dataSet(); list && list->active())
        list->locate(m_keyField, key);
    if (db::Field* f = field())
        f->setValue(key);
    dataChange();
    fireClick();
}

// ---- DBText -----------------------------------------------------------------------

DBText::DBText(QWidget* parent, const QString& name) : QLabel(parent), Control(this, parent, name)
{
    m_link.onDataChange = [this] { setText(field() ? field()->displayText() : QString()); };
}

namespace {
// A link that only wants to hear that the data set opened, closed, moved or changed state.
class StateLink : public db::DataLink {
public:
    explicit StateLink(std::function<void()> onState) : m_onState(std::move(onState)) {}

protected:
    void activeChanged() override { m_onState(); }
    void editingChanged() override { m_onState(); }
    void dataSetChanged() override { m_onState(); }
    void recordChanged(db::Field*) override {}

private:
    std::function<void()> m_onState;
};
} // namespace

// ---- DBNavigator ------------------------------------------------------------------

// Buttons follow the data set's state, not its field values.
class DBNavigator::NavLink : public StateLink {
public:
    explicit NavLink(DBNavigator* owner) : StateLink([owner] { owner->updateButtons(); }) {}
};

DBNavigator::DBNavigator(QWidget* parent, const QString& name)
    : QWidget(parent), Control(this, parent, name), m_link(new NavLink(this))
{
    static const QStyle::StandardPixmap icons[ButtonCount] = {
        QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekBackward, QStyle::SP_MediaSeekForward,
        QStyle::SP_MediaSkipForward, QStyle::SP_FileDialogNewFolder, QStyle::SP_TrashIcon,
        QStyle::SP_FileDialogDetailedView, QStyle::SP_DialogApplyButton, QStyle::SP_DialogCancelButton,
        QStyle::SP_BrowserReload};
    for (int i = 0; i < ButtonCount; ++i) {
        m_buttons[i] = new SpeedButton(this);
        m_buttons[i]->setIcon(style()->standardIcon(icons[i]));
        m_buttons[i]->OnClick = [this, i](QWidget*) { btnClick(Button(i)); };
    }
    updateButtons();
}

DBNavigator::~DBNavigator()
{
    delete m_link;
}

db::DataSource* DBNavigator::dataSource() const
{
    return m_link->dataSource();
}

void DBNavigator::setDataSource(db::DataSource* source)
{
    m_link->setDataSource(source);
    updateButtons();
}

void DBNavigator::setVisibleButtons(const QList<Button>& buttons)
{
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[i]->setVisible(buttons.contains(Button(i)));
    arrange();
}

void DBNavigator::updateButtons()
{
    db::DataSet* ds = m_link->dataSet();
    const bool active = m_link->active() && ds;
    const bool editing = active && (ds->state() == DataSetState::Edit || ds->state() == DataSetState::Insert);
    const bool canModify = active && ds->canModify();
    const bool empty = !active || ds->isEmpty();
    const bool atStart = !active || ds->bof();
    const bool atEnd = !active || ds->eof();
    m_buttons[First]->setEnabled(active && !atStart);
    m_buttons[Prior]->setEnabled(active && !atStart);
    m_buttons[Next]->setEnabled(active && !atEnd);
    m_buttons[Last]->setEnabled(active && !atEnd);
    m_buttons[Insert]->setEnabled(canModify);
    m_buttons[Delete]->setEnabled(canModify && !empty);
    m_buttons[Edit]->setEnabled(canModify && !editing);
    m_buttons[Post]->setEnabled(editing);
    m_buttons[Cancel]->setEnabled(editing);
    m_buttons[Refresh]->setEnabled(active);
}

void DBNavigator::btnClick(Button b)
{
    db::DataSet* ds = m_link->dataSet();
    if (!ds || !m_buttons[b]->isEnabled())
        return;
    if (BeforeAction)
        BeforeAction(this, b);
    switch (b) {
    case First: ds->first(); break;
    case Prior: ds->prior(); break;
    case Next: ds->next(); break;
    case Last: ds->last(); break;
    case Insert: ds->insert(); break;
    case Edit: ds->edit(); break;
    case Post: ds->post(); break;
    case Cancel: ds->cancel(); break;
    case Refresh: ds->refresh(); break;
    case Delete: {
        if (confirmDelete) {
            MessageRequest request;
            request.kind = MessageKind::Confirmation;
            request.text = QStringLiteral("Delete record?");
            request.buttons = {{QStringLiteral("OK"), QStringLiteral("OK"), mrOk},
                               {QStringLiteral("Cancel"), QStringLiteral("Cancel"), mrCancel}};
            if (dialogService().message(request) != mrOk)
                return;
        }
        ds->deleteRecord();
        break;
    }
    case ButtonCount: break;
    }
    updateButtons();
    if (OnClickButton)
        OnClickButton(this, b);
}

void DBNavigator::arrange()
{
    int visible = 0;
    for (SpeedButton* b : m_buttons)
        visible += b->isHidden() ? 0 : 1;
    if (!visible)
        return;
    const int w = width() / visible;
    int x = 0;
    for (SpeedButton* b : m_buttons) {
        if (b->isHidden())
            continue;
        b->setGeometry(x, 0, w, height());
        x += w;
    }
}

void DBNavigator::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrange();
}

// ---- DBStatusBar ------------------------------------------------------------------

class DBStatusBar::StatusLink : public StateLink {
public:
    explicit StatusLink(DBStatusBar* owner) : StateLink([owner] { owner->updateRecordPanel(); }) {}
};

DBStatusBar::DBStatusBar(QWidget* parent, const QString& name)
    : StatusBar(parent), Control(this, parent, name), m_link(new StatusLink(this))
{
}

DBStatusBar::~DBStatusBar()
{
    delete m_link;
}

db::DataSource* DBStatusBar::dataSource() const
{
    return m_link->dataSource();
}

void DBStatusBar::setDataSource(db::DataSource* source)
{
    m_link->setDataSource(source);
    updateRecordPanel();
}

void DBStatusBar::updateRecordPanel()
{
    if (recordPanel < 0)
        return;
    db::DataSet* ds = m_link->dataSet();
    if (!ds || !m_link->active()) {
        setPanelText(recordPanel, QString());
        return;
    }
    const int no = ds->recNo();
    setPanelText(recordPanel, no > 0 ? QStringLiteral("%1/%2").arg(no).arg(ds->recordCount()) : QString());
}

} // namespace vorta::ui
