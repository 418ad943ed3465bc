#pragma once

#include "platform/db/Database.h"

#include <QList>

#include <functional>

namespace vorta::db {
class EngineDataSet;
}

class TwDatabase;
using TwDatabaseEvent = std::function<void(TwDatabase* DataBase)>;

// A database connection that tells when a transaction has started, committed or
// rolled back, and applies the cached updates of several datasets in one transaction.
class TwDatabase : public vorta::db::Database {
public:
    explicit TwDatabase(vorta::Component* owner = nullptr);

    TwDatabaseEvent AfterStartTransaction;
    TwDatabaseEvent AfterCommit;
    TwDatabaseEvent AfterRollback;

    // The connection's own step, then its event; a failing step fires nothing.
    void StartTransaction();
    void Commit();
    void Rollback();

    // Applies the datasets' cached updates in order inside one transaction; a dataset
    // of another connection or any failure rolls the whole apply back and passes on.
    // Only after the commit does each dataset forget its cached updates.
    void ApplyUpdates(const QList<vorta::db::EngineDataSet*>& DataSets);
};
