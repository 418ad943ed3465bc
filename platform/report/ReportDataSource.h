#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace vorta::report {

// What a report reads from a data set: a cursor over rows and each field's value
// by name. The dataset layer adapts its DataSet to this; tests use TableDataSource.
class ReportDataSource {
public:
    virtual ~ReportDataSource();
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    // Null for an unknown field.
    virtual QVariant fieldValue(const QString& field) const = 0;
    // The field's display text (mask and format of the field applied); by default
    // the value as text.
    virtual QString fieldText(const QString& field) const;
};

// Rows held in memory, with column names matched case-insensitively.
class TableDataSource : public ReportDataSource {
public:
    TableDataSource() = default;
    explicit TableDataSource(QStringList columns);
    void setColumns(QStringList columns);
    void addRow(QVariantList row);
    void clear() { m_rows.clear(); m_pos = 0; }
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    int recNo() const { return m_pos; }

    void first() override { m_pos = 0; }
    void next() override;
    bool eof() const override { return m_pos >= m_rows.size(); }
    QVariant fieldValue(const QString& field) const override;

private:
    QStringList m_columns;
    QList<QVariantList> m_rows;
    qsizetype m_pos = 0;
};

} // namespace vorta::report
