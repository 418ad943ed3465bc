#pragma once

#include "platform/db/DbTypes.h"

#include <QHash>
#include <QStringList>
#include <QVarLengthArray>

#include <deque>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace vorta::db {

class DataSet;
class Database;
// The result columns of a statement text as a query reads them (defined there).
struct ResultColumns;

// A prepared statement that finalizes itself when it goes.
class Statement {
public:
    Statement() = default;
    explicit Statement(sqlite3_stmt* s) : m_stmt(s) {}
    ~Statement();
    Statement(Statement&& other) noexcept : m_stmt(std::exchange(other.m_stmt, nullptr)) {}
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return m_stmt; }
    operator sqlite3_stmt*() const { return m_stmt; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

// Name of the database file inside a database folder.
inline constexpr const char* kDatabaseFileName = "vorta.db";
// The layer's catalogue of per-table user versions; table listings hide it.
inline constexpr const char* kCatalogueTable = "vorta_catalog";

struct ColumnInfo {
    QString name;
    QString declaredType;
    FieldType type = FieldType::Unknown;
    int size = 0;
    bool notNull = false;
    int primaryKeyOrder = 0; // 1-based position in the primary key, 0 when not part of it
};

struct IndexInfo {
    QString name;       // the suite's name ("Id_Nome"); "" for the primary index
    QString sqlName;    // the name inside the file
    QStringList fields;
    bool unique = false;
    bool primary = false;
};

// Whether the rows of a table, as one connection sees them, are still those seen when
// the stamp was taken. An invalid stamp equals no other.
struct ContentStamp {
    quint64 epoch = 0;
    quint64 writes = 0;
    bool valid() const { return epoch != 0; }
    bool operator==(const ContentStamp& o) const { return valid() && epoch == o.epoch && writes == o.writes; }
};
// Stamps of the few tables one answer reads, kept without a heap block.
using ContentStamps = QVarLengthArray<ContentStamp, 4>;

struct TableInfo {
    QString name; // as the file spells it
    QVector<ColumnInfo> columns;
    QVector<IndexInfo> indexes;
    int columnIndex(const QString& name) const;
    const IndexInfo* findIndex(const QString& name) const;
    const IndexInfo* primaryIndex() const;
};

// One engine connection to one database folder, shared by every database component of
// the process on that folder.
class Connection {
public:
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The shared connection of a folder; raises EDBEngineError when the folder holds no
    // database.
    static std::shared_ptr<Connection> forFolder(const QString& folder);
    static QString normalizeFolder(const QString& folder);

    const QString& folder() const { return m_folder; }
    sqlite3* handle() const { return m_db; }

    // A prepared statement kept for reuse; reset and unbound when handed out.
    sqlite3_stmt* prepare(const QString& sql);
    // A statement prepared once, for the caller alone; raises when it does not prepare.
    Statement prepareOwned(const QString& sql);
    void exec(const QString& sql);
    [[noreturn]] void fail(int rc, const QString& context) const;
    void check(int rc, const QString& context) const;
    // Runs an update of one record by its row id; raises when the record is gone (deleted
    // by another component or process since it was read), so the edit is not lost silently.
    void stepRecordUpdate(sqlite3_stmt* stmt, const QString& context) const;

    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return m_busyTimeout; }

    bool inTransaction() const;
    // owner: the database component that starts it; it ends the transaction when it
    // disconnects, whoever else shares the connection.
    void startTransaction(const void* owner = nullptr);
    const void* transactionOwner() const { return m_transactionOwner; }
    void commit(bool flush);
    void rollback();

    bool tableExists(const QString& name) const;
    QStringList tableNames() const;          // name order, catalogue hidden
    // Raises when the table does not exist. Kept while the schema stays the same.
    const TableInfo& tableInfo(const QString& name);
    void forgetSchema();
    // Changes whenever a table may have changed shape: DDL of this connection or of
    // another program, a rollback. Numbers are drawn for the whole process, so no two
    // connections share one: what is derived from the schema is kept with it.
    quint64 schemaGeneration();
    // What a query read of the result columns of a text, while the schema stays the
    // same; null when not kept.
    std::shared_ptr<const ResultColumns> resultColumns(const QString& sql);
    void keepResultColumns(const QString& sql, std::shared_ptr<const ResultColumns> columns);

    // Open datasets on this connection, resynchronised after a rollback.
    void attach(DataSet* ds);
    void detach(DataSet* ds);

    // Statements prepared on a table must go before the table changes shape.
    void clearStatements();

    // A stamp for each table, asked together: it changes with every write to its table
    // through this connection, every rollback, every commit of another connection and
    // every change the engine does not report row by row (a whole table emptied at
    // once, trigger work).
    ContentStamps contentStamps(const QStringList& tables);
    // The same, for only the rows of each table whose column holds key (before or after
    // the write): writes through this connection to rows of other keys leave it alone.
    // Text keys are told apart without regard to case.
    ContentStamps keyStamps(const QStringList& tables, const QString& column, const QVariant& key);

    // While an insert into table runs with values bound in the table's column order, the
    // key watches read whole-number keys from values rather than from the engine's new
    // row. Only the statement's own row counts, not rows its triggers write.
    class OwnInsert {
    public:
        OwnInsert(Connection& c, const QString& table, const QList<QVariant>& values)
            : m_c(c), m_saved(std::exchange(c.m_ownInsert, {&table, &values}))
        {
        }
        ~OwnInsert() { m_c.m_ownInsert = m_saved; }
        OwnInsert(const OwnInsert&) = delete;
        OwnInsert& operator=(const OwnInsert&) = delete;

    private:
        Connection& m_c;
        struct Values {
            const QString* table = nullptr;
            const QList<QVariant>* values = nullptr;
        } m_saved;
        friend class Connection;
    };

private:
    explicit Connection(const QString& folder);
    QString m_folder;
    sqlite3* m_db = nullptr;
    int m_busyTimeout = 5000;
    // Prepares without the rewrites of prepareOwned; raises when it does not prepare.
    Statement prepareExact(const char* sql) const;
    std::unordered_map<QString, Statement> m_statements;
    // The statements of texts asked last, found by the text's storage: the copy kept
    // here holds that storage alive and unchanged, so the same storage and length is the
    // same text, without hashing it again.
    struct RecentStatement {
        QString text;
        sqlite3_stmt* stmt = nullptr;
    };
    static constexpr int kRecentStatements = 16;
    RecentStatement m_recent[kRecentStatements];
    QHash<QString, TableInfo> m_schema;
    quint64 m_schemaGeneration = freshEpoch();
    qint64 m_schemaCookie = -1; // the file's schema version when last asked
    Statement m_schemaVersionStmt;
    std::unordered_map<QString, std::shared_ptr<const ResultColumns>> m_resultColumns;
    QVector<DataSet*> m_dataSets;
    const void* m_transactionOwner = nullptr;

    static void rowWritten(void* self, int, const char*, const char* table, long long);
    static void rolledBack(void* self);
    static int committing(void* self);
    static quint64 freshEpoch();
    static void rowToBeWritten(void* self, sqlite3* db, int op, const char* database, const char* table,
                               long long, long long);
    // Takes a fresh epoch when something changed that no stamp follows; false when the
    // engine cannot tell.
    bool followEngine();
    // Rows written, by table and by the value of one of its columns.
    struct KeyWatch {
        QByteArray table; // as the file spells it
        QString tableName; // the same, as text, to be found by without converting
        QString column;
        int columnIndex = -1;
        int columnCount = 0;
        QHash<QByteArray, quint64> writes;
        // The count of the whole-number key written last: rows mostly come by the same
        // key, one after another. Valid until another key is added to writes.
        qint64 lastKey = 0;
        quint64* lastCount = nullptr;
        bool integerColumn = false; // whole numbers are stored as integers
        void count(sqlite3_value* v);
        void countWhole(qint64 key);
    };
    OwnInsert::Values m_ownInsert;
    KeyWatch& keyWatch(const QString& table, const QString& column);
    std::deque<KeyWatch> m_keyWatches; // stays where it is while more are added
    struct LastWatch {
        QString table;
        QString column;
        KeyWatch* watch = nullptr;
    } m_lastWatch;
    quint64 m_epoch = freshEpoch();
    // Inside a transaction holding the write lock no other connection commits: once
    // asked there, the data version stays.
    bool m_holdsWriteLock = false;
    bool m_dataVersionAskedInTransaction = false;
    quint64 m_rowsHooked = 0;
    quint64 m_rowsHookedSeen = 0;
    qint64 m_totalChangesSeen = 0;
    qint64 m_dataVersion = -1;
    QHash<QByteArray, quint64> m_tableWrites;
    QByteArray m_lastWrittenTable; // as the engine names it, and folded
    QByteArray m_lastWrittenKey;
    quint64* m_lastWrittenCount = nullptr; // its count in m_tableWrites
    Statement m_dataVersionStmt;
};

// A transaction for work of several statements: it joins the transaction open on the
// connection, or starts one that rolls back when the guard goes unless committed. A
// guard that joined leaves the commit and the rollback to the one that started it.
class TransactionGuard {
public:
    explicit TransactionGuard(std::shared_ptr<Connection> connection, const void* owner = nullptr);
    // On the connection of a database component, which then owns what it starts.
    explicit TransactionGuard(Database& db);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;
    void commit(bool flush = true);
    bool joined() const { return !m_own; }

private:
    std::shared_ptr<Connection> m_connection;
    bool m_own = false;
    bool m_done = false;
};

// Binds a value (already in storage form or not) to a 1-based parameter.
void bindValue(sqlite3_stmt* stmt, int index, const QVariant& value);
// Reads a result column as the canonical value of the field type.
QVariant columnValue(sqlite3_stmt* stmt, int column, FieldType type);
// Resets the statement when the scope ends.
class StatementReset {
public:
    explicit StatementReset(sqlite3_stmt* s) : m_stmt(s) {}
    ~StatementReset();
    StatementReset(const StatementReset&) = delete;
    StatementReset& operator=(const StatementReset&) = delete;

private:
    sqlite3_stmt* m_stmt;
};

// Binds the values of one run of a statement, keeping short texts here so that the
// engine need not copy each one. Declared before the statement's StatementReset: the
// bindings are cleared when this goes, after the reset.
class BoundValues {
public:
    static constexpr qsizetype kRoom = 1024;
    // Room for the texts of a statement that lives no longer than it.
    struct Room {
        char texts[kRoom];
    };
    explicit BoundValues(sqlite3_stmt* s) : m_stmt(s), m_texts(m_ownRoom.texts) {}
    // With the statement's own room, for a statement each of whose runs binds every
    // parameter: the bindings stay valid when this goes, until the next run's replace them.
    BoundValues(sqlite3_stmt* s, Room& room) : m_stmt(s), m_texts(room.texts), m_keep(true) {}
    ~BoundValues();
    BoundValues(const BoundValues&) = delete;
    BoundValues& operator=(const BoundValues&) = delete;
    void bind(int index, const QVariant& value);

private:
    sqlite3_stmt* m_stmt;
    Room m_ownRoom;
    char* m_texts;
    bool m_keep = false;
    qsizetype m_used = 0;
};

} // namespace vorta::db
