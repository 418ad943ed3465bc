#pragma once

#include "platform/core/Component.h"
#include "platform/db/DataSet.h"
#include "platform/report/ReportDataSource.h"

namespace vorta::report {

// A dataset of the database layer as a report reads it. The report moves the
// dataset's own cursor (as the class library's reports do) and prints each field's
// display text, so a field's edit mask, display format and OnGetText apply. A dataset
// freed meanwhile reads as empty.
class DataSetSource : public ReportDataSource {
public:
    explicit DataSetSource(db::DataSet* dataSet);
    db::DataSet* dataSet() const { return m_dataSet.get(); }

    void first() override;
    void next() override;
    bool eof() const override;
    QVariant fieldValue(const QString& field) const override;
    QString fieldText(const QString& field) const override;

private:
    Guarded<db::DataSet> m_dataSet;
};

} // namespace vorta::report
