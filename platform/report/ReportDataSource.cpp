#include "platform/report/ReportDataSource.h"

#include <utility>

namespace vorta::report {

ReportDataSource::~ReportDataSource() = default;

QString ReportDataSource::fieldText(const QString& field) const
{
    const QVariant v = fieldValue(field);
    return v.isNull() ? QString() : v.toString();
}

TableDataSource::TableDataSource(QStringList columns)
    : m_columns(std::move(columns))
{
}

void TableDataSource::setColumns(QStringList columns)
{
    m_columns = std::move(columns);
}

void TableDataSource::addRow(QVariantList row)
{
    m_rows.append(std::move(row));
}

void TableDataSource::next()
{
    if (m_pos < m_rows.size())
        ++m_pos;
}

QVariant TableDataSource::fieldValue(const QString& field) const
{
    if (eof())
        return {};
    for (qsizetype i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(field, Qt::CaseInsensitive) == 0)
            return i < m_rows[m_pos].size() ? m_rows[m_pos][i] : QVariant();
    return {};
}

} // namespace vorta::report
