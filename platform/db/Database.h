#pragma once

#include "platform/core/Component.h"
#include "platform/db/Connection.h"
#include "platform/db/DbTypes.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace vorta::db {

class Connection;
class Database;

// The engine session: the named database components of the process.
class Session {
public:
    static Session& defaultSession();
    QString sessionName() const { return QStringLiteral("Default"); }
    Database* findDatabase(const QString& name) const;
    QStringList databaseNames() const;

private:
    friend class Database;
    QVector<Database*> m_databases;
};

// A database component: a name, a folder, connected and disconnected by its owner.
class Database : public Component {
public:
    explicit Database(Component* owner = nullptr);
    ~Database() override;

    QString databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString& name);
    QString directory() const { return m_directory; }
    // Changing the folder of a connected database raises, as the class library does.
    void setDirectory(const QString& folder);

    bool connected() const { return bool(m_connection); }
    void setConnected(bool on) { on ? open() : close(); }
    void open();
    void close(); // closes the datasets opened through it

    std::function<void(Database&)> BeforeConnect;
    std::function<void(Database&)> AfterConnect;
    std::function<void(Database&)> BeforeDisconnect;
    std::function<void(Database&)> AfterDisconnect;

    // Write lock wait before a write fails with the engine's locked error.
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return m_busyTimeout; }

    void startTransaction();
    bool inTransaction() const;
    // Commit, by default with a flush to disk.
    void commit(bool forceFlush = true);
    void rollback();

    // Runs one statement that returns no rows; returns the rows affected.
    int execute(const QString& sql, const QVariantList& params = {});

    // Writes every committed change into the database file itself, so that copying the
    // folder's files (a backup) copies all the data.
    void checkpoint();

    // Writes a consistent snapshot of the whole database into file (a database file of
    // its own, replaced when it exists) while other connections, of other processes
    // too, may keep writing.
    void backupTo(const QString& file);

    bool tableExists(const QString& tableName) const;
    // Every table of the folder in name order; the layer's catalogue is not listed.
    QStringList tableNames() const;

    // For the dataset classes.
    std::shared_ptr<Connection> connection();
    void registerDataSet(class DataSet* ds);
    void unregisterDataSet(class DataSet* ds);

private:
    QString m_databaseName;
    QString m_directory;
    int m_busyTimeout = 5000;
    std::shared_ptr<Connection> m_connection;
    QVector<class DataSet*> m_dataSets;
};

// Creates the database file of a folder and runs the schema script in it; raises when
// the folder already holds one. Only the installation and tests create databases.
void createDatabase(const QString& folder, const QString& schemaSql);
// Whether another process has the folder's database open (this process's own
// connections do not count).
bool databaseInUseByOthers(const QString& folder);
// Runs a script of statements separated by ";" on a folder's database.
void executeScript(const QString& folder, const QString& sql);

} // namespace vorta::db
