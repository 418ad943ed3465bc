#pragma once

#include <QStringList>

namespace vorta::db {

class DataSet;
class Table;

enum class BatchMode { batAppend, batUpdate, batAppendUpdate, batDelete, batCopy };

// Moves the records of a source dataset into a table, in one transaction: appended,
// updating the record of the same primary key, or deleting it, by mode. Fields go by
// name, or by the mappings ("Destination=Source", or a name alone for the same on both).
class BatchMove {
public:
    DataSet* Source = nullptr;
    Table* Destination = nullptr;
    BatchMode Mode = BatchMode::batAppend;
    QStringList Mappings;

    void Execute();
    int MovedCount() const { return m_moved; }

private:
    int m_moved = 0;
};

} // namespace vorta::db
