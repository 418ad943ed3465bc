#include "platform/db/Database.h"

#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/SqlText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <sqlite3.h>

namespace vorta::db {

Session& Session::defaultSession()
{
    static Session session;
    return session;
}

Database* Session::findDatabase(const QString& name) const
{
    for (Database* d : m_databases)
        if (!d->databaseName().isEmpty() && d->databaseName().compare(name, Qt::CaseInsensitive) == 0)
            return d;
    return nullptr;
}

QStringList Session::databaseNames() const
{
    QStringList names;
    for (Database* d : m_databases)
        if (!d->databaseName().isEmpty())
            names << d->databaseName();
    return names;
}

Database::Database(Component* owner)
    : Component(owner)
{
    Session::defaultSession().m_databases.append(this);
}

Database::~Database()
{
    try {
        close();
    } catch (...) {
    }
    Session::defaultSession().m_databases.removeAll(this);
}

void Database::setDatabaseName(const QString& name)
{
    if (connected())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open database"));
    m_databaseName = name;
}

void Database::setDirectory(const QString& folder)
{
    if (connected() && Connection::normalizeFolder(folder) != m_connection->folder())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open database"));
    m_directory = folder;
}

void Database::open()
{
    if (connected())
        return;
    if (BeforeConnect)
        BeforeConnect(*this);
    if (m_directory.isEmpty())
        throw EDBEngineError(QStringLiteral("No folder is set for database '%1'").arg(m_databaseName), SQLITE_CANTOPEN);
    m_connection = Connection::forFolder(m_directory);
    if (m_busyTimeout != m_connection->busyTimeout())
        m_connection->setBusyTimeout(m_busyTimeout);
    if (AfterConnect)
        AfterConnect(*this);
}

void Database::close()
{
    if (!connected())
        return;
    if (BeforeDisconnect)
        BeforeDisconnect(*this);
    const auto open = m_dataSets;
    for (DataSet* ds : open)
        ds->close();
    m_dataSets.clear();
    // An unfinished transaction ends with a rollback when the component that started it
    // disconnects (other components on the folder must not carry on inside it), or when
    // the last component on the folder does.
    if (m_connection->inTransaction()
        && (m_connection->transactionOwner() == this || m_connection.use_count() == 1))
        m_connection->rollback();
    m_connection.reset();
    if (AfterDisconnect)
        AfterDisconnect(*this);
}

void Database::setBusyTimeout(int milliseconds)
{
    m_busyTimeout = milliseconds;
    if (m_connection)
        m_connection->setBusyTimeout(milliseconds);
}

std::shared_ptr<Connection> Database::connection()
{
    open();
    return m_connection;
}

void Database::registerDataSet(DataSet* ds)
{
    if (!m_dataSets.contains(ds))
        m_dataSets.append(ds);
}

void Database::unregisterDataSet(DataSet* ds)
{
    m_dataSets.removeAll(ds);
}

void Database::startTransaction()
{
    connection()->startTransaction(this);
}

bool Database::inTransaction() const
{
    return m_connection && m_connection->inTransaction();
}

void Database::commit(bool forceFlush)
{
    if (!m_connection)
        throw EDatabaseError(QStringLiteral("No transaction is active"));
    m_connection->commit(forceFlush);
}

void Database::rollback()
{
    if (!m_connection)
        throw EDatabaseError(QStringLiteral("No transaction is active"));
    m_connection->rollback();
}

int Database::execute(const QString& sql, const QVariantList& params)
{
    auto c = connection();
    const RewrittenSql r = rewriteSql(sql);
    sqlite3_stmt* stmt = c->prepare(r.sql);
    StatementReset reset(stmt);
    const int count = sqlite3_bind_parameter_count(stmt);
    for (int i = 0; i < count && i < params.size(); ++i)
        bindValue(stmt, i + 1, params[i]);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        c->fail(rc, sql);
    c->forgetSchema();
    return sqlite3_changes(c->handle());
}

void Database::checkpoint()
{
    auto c = connection();
    if (c->inTransaction())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation inside a transaction"));
    int logFrames = 0, done = 0;
    const int rc = sqlite3_wal_checkpoint_v2(c->handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logFrames, &done);
    if (rc != SQLITE_OK)
        c->fail(rc, QStringLiteral("checkpoint"));
}

void Database::backupTo(const QString& file)
{
    auto c = connection();
    QFile::remove(file);
    sqlite3* target = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &target,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    auto fail = [&](int code, const QString& what) {
        const QString msg = target ? QString::fromUtf8(sqlite3_errmsg(target)) : QString::fromUtf8(sqlite3_errstr(code));
        sqlite3_close(target);
        QFile::remove(file);
        throw EDBEngineError(QStringLiteral("%1 '%2': %3").arg(what, file, msg), code);
    };
    if (rc != SQLITE_OK)
        fail(rc, QStringLiteral("Cannot create the copy"));
    sqlite3_backup* b = sqlite3_backup_init(target, "main", c->handle(), "main");
    if (!b)
        fail(sqlite3_errcode(target), QStringLiteral("Cannot copy the database into"));
    // One step under one read transaction: in WAL mode writers of other processes go
    // on meanwhile, and the copy is the database as it stood when the step began
    // (copying in pieces would start over at every write of another process).
    do {
        rc = sqlite3_backup_step(b, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(10);
    } while (rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE)
        fail(rc, QStringLiteral("Cannot copy the database into"));
    // The copy stands alone: one file, no journal beside it.
    char* err = nullptr;
    rc = sqlite3_exec(target, "PRAGMA journal_mode=DELETE", nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        fail(rc, QStringLiteral("Cannot finish the copy"));
    rc = sqlite3_close(target);
    target = nullptr;
    if (rc != SQLITE_OK)
        fail(rc, QStringLiteral("Cannot close the copy"));
}

bool Database::tableExists(const QString& tableName) const
{
    return const_cast<Database*>(this)->connection()->tableExists(tableName);
}

QStringList Database::tableNames() const
{
    return const_cast<Database*>(this)->connection()->tableNames();
}

TransactionGuard::TransactionGuard(Database& db) : TransactionGuard(db.connection(), &db) {}

namespace {

// Whether a process other than this one holds a lock on the byte range of the file:
// the engine's connections keep such locks for as long as they have the file open.
bool lockedByOthers(const QString& file, off_t start, off_t length)
{
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = start;
    probe.l_len = length;
    const bool locked = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return locked;
}

} // namespace

bool databaseInUseByOthers(const QString& folder)
{
    const QString file = QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName));
    // The shared-lock range of the database file, and the shared-memory index's
    // "still in use" byte that every connection in WAL mode holds.
    constexpr off_t sharedFirst = 0x40000000 + 2;
    constexpr off_t sharedSize = 510;
    return lockedByOthers(file, sharedFirst, sharedSize) || lockedByOthers(file + QStringLiteral("-shm"), 128, 1);
}

void createDatabase(const QString& folder, const QString& schemaSql)
{
    const QString file = QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName));
    if (QFileInfo::exists(file))
        throw EDBEngineError(QStringLiteral("The folder '%1' holds a database already").arg(folder), SQLITE_CANTOPEN);
    if (!QDir().mkpath(folder))
        throw EDBEngineError(QStringLiteral("Cannot create the folder '%1'").arg(folder), SQLITE_CANTOPEN);
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        QFile::remove(file);
        throw EDBEngineError(QStringLiteral("Cannot create the database in '%1'").arg(folder), rc);
    }
    try {
        executeScript(folder, schemaSql);
    } catch (...) {
        // Keep no half-made database behind.
        QFile::remove(file);
        QFile::remove(file + QStringLiteral("-wal"));
        QFile::remove(file + QStringLiteral("-shm"));
        throw;
    }
}

void executeScript(const QString& folder, const QString& sql)
{
    auto c = Connection::forFolder(folder);
    const QStringList statements = splitSqlScript(sql);
    {
        TransactionGuard transaction(c);
        for (const QString& s : statements)
            c->exec(rewriteSql(s).sql);
        transaction.commit(true);
    }
    c->forgetSchema();
    c->clearStatements();
}

} // namespace vorta::db
