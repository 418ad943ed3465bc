#pragma once

#include "platform/db/DataSet.h"

#include <memory>

namespace vorta::db {

class Connection;
class Database;

// A dataset on a database of the session: by component, by name, or by folder.
class EngineDataSet : public DataSet {
public:
    explicit EngineDataSet(Component* owner = nullptr);
    ~EngineDataSet() override;

    // A database component's name, or a folder path.
    QString databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString& name);
    void setDatabase(Database* db);
    // The database in use (resolved when the dataset opens).
    Database* database();

protected:
    bool inTransaction() override;
    void startTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    std::shared_ptr<Connection> acquireConnection();
    void releaseConnection();
    std::shared_ptr<Connection> m_conn;

private:
    Database* m_database = nullptr;
    QString m_databaseName;
    std::unique_ptr<Database> m_ownDatabase;
    Database* m_registeredWith = nullptr;
};

} // namespace vorta::db
