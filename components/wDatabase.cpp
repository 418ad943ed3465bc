#include "wDatabase.h"

#include "platform/core/Format.h"
#include "platform/db/EngineDataSet.h"

TwDatabase::TwDatabase(vorta::Component* owner) : vorta::db::Database(owner) {}

void TwDatabase::StartTransaction()
{
    startTransaction();
    if (AfterStartTransaction)
        AfterStartTransaction(this);
}

void TwDatabase::Commit()
{
    commit();
    if (AfterCommit)
        AfterCommit(this);
}

void TwDatabase::Rollback()
{
    rollback();
    if (AfterRollback)
        AfterRollback(this);
}

void TwDatabase::ApplyUpdates(const QList<vorta::db::EngineDataSet*>& DataSets)
{
    StartTransaction();
    try {
        for (vorta::db::EngineDataSet* ds : DataSets) {
            if (ds->database() != this)
                throw vorta::db::EDatabaseError(
                    vorta::Format(QStringLiteral("%s não pertence a %s"), {ds->name(), databaseName()}));
            ds->applyUpdates();
        }
        Commit();
    } catch (...) {
        Rollback();
        throw;
    }
    for (vorta::db::EngineDataSet* ds : DataSets)
        ds->commitUpdates();
}
