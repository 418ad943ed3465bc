#pragma once

#include "platform/db/DataSource.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DataAware.h"
#include "platform/ui/MaskedEdit.h"
#include "platform/ui/StatusBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVariant>

#include <functional>

namespace vorta::db {
class DataSet;
class Field;
}

namespace vorta::ui {

// The data link of a control that shows one field.
class FieldDataLink : public db::DataLink {
public:
    QString fieldName() const { return m_fieldName; }
    void setFieldName(const QString& name);
    db::Field* field() const { return m_field; }
    // The control may change the field now or by starting an edit (auto edit).
    bool canModify() const;

    std::function<void()> onDataChange;
    std::function<void()> onEditingChange;
    std::function<void()> onUpdateData;

    bool focusControl(db::Field* field) override;

protected:
    void activeChanged() override;
    void recordChanged(db::Field* field) override;
    void layoutChanged() override;
    void editingChanged() override;
    void updateData() override;

private:
    friend class FieldControl;
    void resolve();
    QString m_fieldName;
    db::Field* m_field = nullptr;
    // The control this link belongs to.
    class FieldControl* m_control = nullptr;
};

// Runs fn on every record of ds from the first, without the scroll events and
// notifications that a user's move would give, and comes back to the record it was
// on. Does nothing while ds is closed or a record is being edited.
void forEachRecord(db::DataSet* ds, const std::function<void()>& fn);

// Shared plumbing of the field controls: data source, field, read-only and whether
// the widget may take typing now.
class FieldControl : public DataAwareControl {
public:
    FieldControl() { m_link.m_control = this; }
    FieldControl(const FieldControl&) = delete;
    FieldControl& operator=(const FieldControl&) = delete;
    db::DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataSource(db::DataSource* source) { m_link.setDataSource(source); }
    QString dataField() const { return m_link.fieldName(); }
    void setDataField(const QString& name) { m_link.setFieldName(name); }
    db::Field* field() const { return m_link.field(); }
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool on);
    FieldDataLink& dataLink() { return m_link; }

    bool isDataReadOnly() const override { return m_readOnly; }
    void setDataReadOnly(bool on) override { setReadOnly(on); }

protected:
    // Editing is possible now, or an edit can be started by typing.
    bool canEditNow() const;
    // Starts an edit for a change by the user; false when the change must be refused.
    bool beginUserChange();
    virtual void readOnlyChanged() {}
    FieldDataLink m_link;
    bool m_readOnly = false;
};

// A data-aware edit: the field's text (its edit mask and, for strings, its size as
// the maximum length), upper or lower case typing, written to the field before a post
// and when the focus leaves. Read-only unless the field can be edited.
class DBEdit : public MaskedEdit, public Control, public FieldControl {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent, const QString& name = QString());
    CharCase charCase = CharCase::Normal;
    Notify OnChange;

    DataControlKind dataControlKind() const override { return DataControlKind::Edit; }
    void clearDataText() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void readOnlyChanged() override { updateReadOnly(); }

private:
    void dataChange();
    void userEdited();
    void editKey(QKeyEvent* event);
    void updateReadOnly();
    bool m_loading = false;
    bool m_keepText = false;
};

// A data-aware masked edit is the data-aware edit with a mask of its own when the field
// has none.
class DBMaskEdit : public DBEdit {
    Q_OBJECT
public:
    using DBEdit::DBEdit;
};

class DBMemo : public QPlainTextEdit, public Control, public FieldControl {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent, const QString& name = QString());
    DataControlKind dataControlKind() const override { return DataControlKind::Other; }
    void clearDataText() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void readOnlyChanged() override { updateReadOnly(); }

private:
    void userEdited();
    void updateReadOnly();
    bool m_loading = false;
    bool m_keepText = false;
};

// A data-aware check box: a Boolean field, or a text field compared with the checked
// and unchecked values (each may list several, separated by ";"; the first is
// written). Anything else shows grayed.
class DBCheckBox : public QCheckBox, public Control, public FieldControl {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent, const QString& name = QString());
    QString valueChecked() const { return m_checked; }
    void setValueChecked(const QString& v);
    QString valueUnchecked() const { return m_unchecked; }
    void setValueUnchecked(const QString& v);
    bool allowGrayed = false;
    QString caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }

    DataControlKind dataControlKind() const override { return DataControlKind::Other; }
    // The state the field asks for.
    Qt::CheckState fieldState() const;

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void dataChange();
    void toggle();
    QString m_checked = QStringLiteral("True");
    QString m_unchecked = QStringLiteral("False");
};

// A data-aware radio group: the item whose value (or caption, without values) equals
// the field. OnChange runs whenever the value shown changes (a new record or the
// user's choice); OnClick only when the user chooses.
class DBRadioGroup : public RadioGroup, public FieldControl {
    Q_OBJECT
public:
    explicit DBRadioGroup(QWidget* parent, const QString& name = QString());
    QStringList values() const { return m_values; }
    void setValues(const QStringList& values);
    void setItems(const QStringList& items);
    QString value() const { return m_value; }
    Notify OnChange;

    DataControlKind dataControlKind() const override { return DataControlKind::RadioGroup; }

protected:
    void userClicked(int index) override;

private:
    void dataChange();
    QString valueOf(int index) const;
    int indexOf(const QString& value) const;
    void setValue(const QString& value);
    QStringList m_values;
    QString m_value;
};

// A data-aware combo box over fixed items; the field holds the text.
class DBComboBox : public QComboBox, public Control, public FieldControl {
    Q_OBJECT
public:
    explicit DBComboBox(QWidget* parent, const QString& name = QString());
    void setItems(const QStringList& items);
    Notify OnChange;
    DataControlKind dataControlKind() const override { return DataControlKind::Other; }

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void readOnlyChanged() override { updateState(); }

private:
    void dataChange();
    void updateState();
    void chosen(int index);
    bool m_loading = false;
    bool m_keepText = false;
};

// A data-aware lookup combo box: the field holds a key of the list source's dataset,
// the list shows its list field. Choosing a row writes the key at once and makes that
// row the list's current one.
class DBLookupComboBox : public QComboBox, public Control, public FieldControl {
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent, const QString& name = QString());
    ~DBLookupComboBox() override;
    db::DataSource* listSource() const;
    void setListSource(db::DataSource* source);
    QString keyField() const { return m_keyField; }
    void setKeyField(const QString& name);
    QString listField() const { return m_listField; }
    void setListField(const QString& name);
    // Shown when the field holds no key of the list.
    QString emptyText() const { return m_emptyText; }
    void setEmptyText(const QString& text);
    // The other library's lookup combo counts as its own kind for the form helpers.
    bool rxKind = false;

    // Chooses the list row at index, as the user does.
    void choose(int index);
    QVariant keyValue() const;
    QString displayText() const { return currentText(); }

    DataControlKind dataControlKind() const override
    {
        return rxKind ? DataControlKind::LookupCombo : DataControlKind::LookupComboBox;
    }

protected:
    void readOnlyChanged() override { updateState(); }

private:
    class ListLink;
    void reloadList();
    void dataChange();
    void updateState();
    ListLink* m_listLink;
    QString m_keyField;
    QString m_listField;
    QString m_emptyText;
    QVariantList m_keys;
    bool m_loading = false;
};

// A data-aware label: the field's display text.
class DBText : public QLabel, public Control, public FieldControl {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent, const QString& name = QString());
    DataControlKind dataControlKind() const override { return DataControlKind::Other; }
};

// Navigator buttons over a data source; each is enabled as the dataset's state allows.
class DBNavigator : public QWidget, public Control {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, ButtonCount };
    explicit DBNavigator(QWidget* parent, const QString& name = QString());
    ~DBNavigator() override;
    db::DataSource* dataSource() const;
    void setDataSource(db::DataSource* source);
    void setVisibleButtons(const QList<Button>& buttons);
    SpeedButton* button(Button b) const { return m_buttons[b]; }
    // Runs the button's action (an enabled button only).
    void btnClick(Button b);
    // Asks "Delete record?" before deleting.
    bool confirmDelete = true;
    std::function<void(DBNavigator*, Button)> BeforeAction;
    std::function<void(DBNavigator*, Button)> OnClickButton;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class NavLink;
    void updateButtons();
    void arrange();
    NavLink* m_link;
    SpeedButton* m_buttons[ButtonCount];
};

// A status bar that can follow a data source: with a record panel set, that panel
// shows the current record's position ("3/10").
class DBStatusBar : public StatusBar, public Control {
    Q_OBJECT
public:
    explicit DBStatusBar(QWidget* parent, const QString& name = QString());
    ~DBStatusBar() override;
    db::DataSource* dataSource() const;
    void setDataSource(db::DataSource* source);
    int recordPanel = -1;

private:
    class StatusLink;
    void updateRecordPanel();
    StatusLink* m_link;
};

} // namespace vorta::ui
