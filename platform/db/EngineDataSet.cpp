#include "platform/db/EngineDataSet.h"

#include "platform/db/Connection.h"
#include "platform/db/Database.h"

#include <QFileInfo>

namespace vorta::db {

EngineDataSet::EngineDataSet(Component* owner)
    : DataSet(owner)
{
}

EngineDataSet::~EngineDataSet()
{
    releaseConnection();
}

void EngineDataSet::setDatabaseName(const QString& name)
{
    if (active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    m_databaseName = name;
    m_database = nullptr;
}

void EngineDataSet::setDatabase(Database* db)
{
    if (active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    m_database = db;
    m_databaseName = db ? db->databaseName() : QString();
}

Database* EngineDataSet::database()
{
    if (m_database)
        return m_database;
    if (Database* named = Session::defaultSession().findDatabase(m_databaseName))
        return named;
    // A folder named directly: a private database component on it. A path to a folder
    // that is missing fails when it connects, as an engine error like any folder without
    // a database.
    if (!m_databaseName.isEmpty() && (QFileInfo(m_databaseName).isDir() || m_databaseName.contains(QLatin1Char('/')))) {
        if (!m_ownDatabase || m_ownDatabase->directory() != m_databaseName) {
            m_ownDatabase = std::make_unique<Database>();
            m_ownDatabase->setDirectory(m_databaseName);
        }
        return m_ownDatabase.get();
    }
    throw EDatabaseError(QStringLiteral("Database '%1' not found").arg(m_databaseName));
}

bool EngineDataSet::inTransaction()
{
    return m_conn && m_conn->inTransaction();
}

void EngineDataSet::startTransaction()
{
    database()->startTransaction();
}

void EngineDataSet::commitTransaction()
{
    database()->commit();
}

void EngineDataSet::rollbackTransaction()
{
    database()->rollback();
}

std::shared_ptr<Connection> EngineDataSet::acquireConnection()
{
    Database* db = database();
    m_conn = db->connection();
    db->registerDataSet(this);
    m_registeredWith = db;
    m_conn->attach(this);
    return m_conn;
}

void EngineDataSet::releaseConnection()
{
    if (m_conn)
        m_conn->detach(this);
    if (m_registeredWith) {
        m_registeredWith->unregisterDataSet(this);
        m_registeredWith = nullptr;
    }
    m_conn.reset();
}

} // namespace vorta::db
