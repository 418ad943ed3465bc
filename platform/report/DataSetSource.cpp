#include "platform/report/DataSetSource.h"

#include "platform/report/TextFormat.h"

namespace vorta::report {

DataSetSource::DataSetSource(db::DataSet* dataSet)
    : m_dataSet(dataSet)
{
}

void DataSetSource::first()
{
    if (db::DataSet* ds = m_dataSet.get(); ds && ds->active())
        ds->first();
}

void DataSetSource::next()
{
    if (db::DataSet* ds = m_dataSet.get(); ds && ds->active())
        ds->next();
}

bool DataSetSource::eof() const
{
    db::DataSet* ds = m_dataSet.get();
    // A closed dataset has no row to print.
    return !ds || !ds->active() || ds->eof();
}

QVariant DataSetSource::fieldValue(const QString& field) const
{
    if (eof())
        return {};
    db::Field* f = m_dataSet.get()->findField(field);
    return f && !f->isNull() ? f->value() : QVariant();
}

QString DataSetSource::fieldText(const QString& field) const
{
    if (eof())
        return {};
    db::Field* f = m_dataSet.get()->findField(field);
    if (!f)
        return {};
    const QString text = f->displayText();
    // A string field prints through its edit mask, as the class library's display
    // text does; left alone when the field already turned the value into other text.
    if (!f->editMask().isEmpty() && !f->isNull() && text == f->asString())
        return formatMaskText(f->editMask(), text);
    return text;
}

} // namespace vorta::report
