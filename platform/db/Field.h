#pragma once

#include "platform/core/Money.h"
#include "platform/db/DbTypes.h"

#include <QDateTime>
#include <QHash>

#include <functional>

namespace vorta::db {

class DataSet;

// A field of a dataset: a column (data), a value computed in OnCalcFields (calculated)
// or a value looked up in another dataset (lookup). Null rules of the class library:
// a null string reads "", a null number 0, a null Boolean False; setting "" stores NULL.
class Field {
public:
    Field(DataSet* dataSet, const QString& fieldName, FieldType type, int size = 0,
          FieldKind kind = FieldKind::Data);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    DataSet* dataSet() const { return m_dataSet; }
    const QString& fieldName() const { return m_name; }
    FieldType dataType() const { return m_type; }
    FieldKind fieldKind() const { return m_kind; }
    bool isCalculated() const { return m_kind == FieldKind::Calculated; }
    bool isLookup() const { return m_kind == FieldKind::Lookup; }
    int size() const { return m_size; }
    void setSize(int size) { m_size = size; }
    int index() const;
    // Moves the focus to the first control that shows this field and can take it (a
    // visible, enabled one); nothing happens when there is none.
    void focusControl();

    bool required() const { return m_required; }
    void setRequired(bool on) { m_required = on; }
    QString displayLabel() const { return m_displayLabel.isEmpty() ? m_name : m_displayLabel; }
    void setDisplayLabel(const QString& label) { m_displayLabel = label; }
    QString displayName() const { return displayLabel(); }
    const QString& editMask() const { return m_editMask; }
    void setEditMask(const QString& mask) { m_editMask = mask; }
    const QString& displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString& format) { m_displayFormat = format; }
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool on) { m_readOnly = on; }
    bool visible() const { return m_visible; }
    void setVisible(bool on) { m_visible = on; }
    int displayWidth() const { return m_displayWidth > 0 ? m_displayWidth : (m_size > 0 ? m_size : 10); }
    void setDisplayWidth(int w) { m_displayWidth = w; }
    // Free for the application's use, as the class library's Tag.
    int tag = 0;

    // Lookup definition: this dataset's key fields, the lookup dataset's key fields and
    // its result field.
    DataSet* lookupDataSet() const { return m_lookupDataSet; }
    void setLookupDataSet(DataSet* ds) { m_lookupDataSet = ds; }
    const QString& keyFields() const { return m_keyFields; }
    void setKeyFields(const QString& f)
    {
        m_keyFields = f;
        m_keyListGeneration = 0;
    }
    const QString& lookupKeyFields() const { return m_lookupKeyFields; }
    void setLookupKeyFields(const QString& f) { m_lookupKeyFields = f; }
    const QString& lookupResultField() const { return m_lookupResultField; }
    void setLookupResultField(const QString& f) { m_lookupResultField = f; }
    // Values looked up are kept and read again only when the lookup dataset's rows
    // change (opened, closed, refreshed, written through it), as the class library's
    // LookupCache: for reference tables that nothing else writes meanwhile.
    bool lookupCache() const { return m_lookupCache; }
    void setLookupCache(bool on);

    // Value access. Setting needs the dataset in edit or insert state.
    QVariant value() const;
    void setValue(const QVariant& value);
    bool isNull() const;
    void clear();
    QVariant oldValue() const;

    QString asString() const;
    void setAsString(const QString& text);
    qint64 asInteger() const;
    void setAsInteger(qint64 v);
    double asFloat() const;
    void setAsFloat(double v) { setValue(QVariant(v)); }
    bool asBoolean() const;
    void setAsBoolean(bool v) { setValue(QVariant(v)); }
    QDateTime asDateTime() const;
    void setAsDateTime(const QDateTime& v) { setValue(QVariant(v)); }
    QDate asDate() const { return asDateTime().date(); }
    double asCurrency() const { return asFloat(); }
    // An amount at two places: a number column's value as its shortest decimal text
    // denotes it, rounded to cents; a text column's value read as decimal text. Setting
    // stores the nearest number (float columns) or the amount's text (text columns).
    Money asMoney() const;
    void setAsMoney(Money v);
    QByteArray asBytes() const;

    // The text for editing, and the text to show (display format applied).
    QString text() const;
    void setText(const QString& text) { setAsString(text); }
    QString displayText() const;

    // OnValidate runs with the new value in place; raising refuses the value.
    std::function<void(Field&)> OnValidate;
    std::function<void(Field&)> OnChange;
    // Replaces text/displayText when set.
    std::function<void(Field&, QString& text, bool displayText)> OnGetText;

    // For the dataset.
    int slot() const { return m_slot; }
    void setSlot(int s) { m_slot = s; }
    void setDataTypeFromColumn(FieldType type, int size);

private:
    QString formatFloat(double v, const QString& format) const;
    // The value in the record buffer, read in place; a null variant when there is none.
    const QVariant& current() const;
    // Refuses a whole number outside an Integer or SmallInt field's range.
    void checkRange(qint64 x) const;
    DataSet* m_dataSet;
    QString m_name;
    FieldType m_type;
    int m_size;
    FieldKind m_kind;
    int m_slot = -1;
    bool m_required = false;
    bool m_readOnly = false;
    bool m_visible = true;
    int m_displayWidth = 0;
    QString m_displayLabel;
    QString m_editMask;
    QString m_displayFormat;
    DataSet* m_lookupDataSet = nullptr;
    QString m_keyFields;
    QString m_lookupKeyFields;
    QString m_lookupResultField;
    bool m_lookupCache = false;
    friend class DataSet;
    quint64 m_lookupStamp = 0; // the lookup dataset's row stamp the kept values belong to
    QHash<QString, QVariant> m_lookupValues;
    // The last few answers of a one-field key of whole numbers or text, found without
    // building the text key: a record's codes are mostly among a few.
    struct RecentLookup {
        QVariant key;
        QVariant value;
    };
    static constexpr int kRecentLookups = 8;
    RecentLookup m_recentLookups[kRecentLookups];
    int m_recentLookupCount = 0;
    int m_recentLookupNext = 0;
    // The key fields resolved, for the dataset's field generation they belong to.
    QVector<Field*> m_keyList;
    quint64 m_keyListGeneration = 0;
};

// Formats a number the Brazilian way with a format such as "###,###,##0.00".
QString formatFloatBr(double value, const QString& format);

} // namespace vorta::db
