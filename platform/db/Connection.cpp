#include "platform/db/Connection.h"

#include "platform/db/DataSet.h"
#include "platform/db/SqlText.h"

#include <QDir>
#include <QFileInfo>

// The engine of the system is built with the hook before each row's write.
#define SQLITE_ENABLE_PREUPDATE_HOOK 1
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstring>

namespace vorta::db {

namespace {

QHash<QString, std::weak_ptr<Connection>>& registry()
{
    static QHash<QString, std::weak_ptr<Connection>> connections;
    return connections;
}

QString fromUtf8(const unsigned char* text)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(text));
}

// Case folding that knows accented letters (the engine's own only folds ASCII).
void foldFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const char* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray folded = QString::fromUtf8(p, sqlite3_value_bytes(argv[0])).toCaseFolded().toUtf8();
    sqlite3_result_text(ctx, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

} // namespace

int TableInfo::columnIndex(const QString& name) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const IndexInfo* TableInfo::findIndex(const QString& name) const
{
    for (const IndexInfo& ix : indexes)
        if (!ix.primary && ix.name.compare(name, Qt::CaseInsensitive) == 0)
            return &ix;
    if (name.compare(QLatin1String("PrimaryKey"), Qt::CaseInsensitive) == 0)
        return primaryIndex();
    return nullptr;
}

const IndexInfo* TableInfo::primaryIndex() const
{
    for (const IndexInfo& ix : indexes)
        if (ix.primary)
            return &ix;
    return nullptr;
}

QString Connection::normalizeFolder(const QString& folder)
{
    QFileInfo fi(folder);
    QString path = fi.exists() ? fi.canonicalFilePath() : QDir::cleanPath(fi.absoluteFilePath());
    return path;
}

std::shared_ptr<Connection> Connection::forFolder(const QString& folder)
{
    const QString key = normalizeFolder(folder);
    auto& reg = registry();
    if (auto existing = reg.value(key).lock())
        return existing;
    std::shared_ptr<Connection> c(new Connection(key));
    reg.insert(key, c);
    return c;
}

Connection::Connection(const QString& folder)
    : m_folder(folder)
{
    const QString file = QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName));
    if (!QFileInfo(folder).isDir())
        throw EDBEngineError(QStringLiteral("The database folder '%1' does not exist").arg(folder), SQLITE_CANTOPEN);
    if (!QFileInfo::exists(file))
        throw EDBEngineError(QStringLiteral("The folder '%1' holds no database").arg(folder), SQLITE_CANTOPEN);
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw EDBEngineError(QStringLiteral("Cannot open the database of '%1': %2").arg(folder, msg), rc);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, m_busyTimeout);
    sqlite3_update_hook(m_db, &Connection::rowWritten, this);
    sqlite3_rollback_hook(m_db, &Connection::rolledBack, this);
    sqlite3_commit_hook(m_db, &Connection::committing, this);
    sqlite3_create_function(m_db, "vorta_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, foldFunction,
                            nullptr, nullptr);
    try {
        exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        // Every commit reaches the disk; commits with and without a flush are alike.
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
        exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
        // Reading the schema proves the file is a database at all.
        exec(QStringLiteral("SELECT count(*) FROM sqlite_schema"));
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

Connection::~Connection()
{
    clearStatements();
    if (m_db) {
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    auto& reg = registry();
    auto it = reg.find(m_folder);
    if (it != reg.end() && it->expired())
        reg.erase(it);
}

void Connection::clearStatements()
{
    for (RecentStatement& r : m_recent)
        r = RecentStatement();
    m_statements.clear();
    m_dataVersionStmt = Statement();
    m_schemaVersionStmt = Statement();
    // The tables may change shape, and rows with them.
    m_epoch = freshEpoch();
    forgetSchema();
    // Columns may have moved: watched again from their names when next asked.
    m_keyWatches.clear();
    m_lastWatch = {};
    sqlite3_preupdate_hook(m_db, nullptr, nullptr);
}

quint64 Connection::freshEpoch()
{
    // Drawn for the whole process, so that a stamp of a closed connection never matches
    // one of the connection opened after it.
    static std::atomic<quint64> last{0};
    return ++last;
}

void Connection::rowWritten(void* self, int, const char*, const char* table, long long)
{
    auto* c = static_cast<Connection*>(self);
    ++c->m_rowsHooked;
    // Called for every row written, mostly to the table written last: its name is
    // folded once.
    if (!c->m_lastWrittenCount || std::strcmp(c->m_lastWrittenTable.constData(), table) != 0
        || !c->m_tableWrites.isDetached()) {
        c->m_lastWrittenTable = QByteArray(table);
        c->m_lastWrittenKey = c->m_lastWrittenTable.toLower();
        // Only this adds keys, and the count stays where it is until a key is added.
        c->m_lastWrittenCount = &c->m_tableWrites[c->m_lastWrittenKey];
    }
    ++*c->m_lastWrittenCount;
}

void Connection::rolledBack(void* self)
{
    auto* c = static_cast<Connection*>(self);
    c->m_epoch = freshEpoch();
    c->m_holdsWriteLock = false;
    c->m_dataVersionAskedInTransaction = false;
}

int Connection::committing(void* self)
{
    auto* c = static_cast<Connection*>(self);
    c->m_holdsWriteLock = false;
    c->m_dataVersionAskedInTransaction = false;
    return 0;
}

bool Connection::followEngine()
{
    // Rows changed beside the hook (an emptied table, triggers) may be any table's.
    const qint64 total = sqlite3_total_changes64(m_db);
    if (quint64(total - m_totalChangesSeen) != m_rowsHooked - m_rowsHookedSeen)
        m_epoch = freshEpoch();
    m_totalChangesSeen = total;
    m_rowsHookedSeen = m_rowsHooked;
    if (!(m_holdsWriteLock && m_dataVersionAskedInTransaction && inTransaction())) {
        if (!m_dataVersionStmt.get())
            m_dataVersionStmt = prepareExact("PRAGMA data_version");
        sqlite3_reset(m_dataVersionStmt);
        if (sqlite3_step(m_dataVersionStmt) != SQLITE_ROW)
            return false;
        const qint64 version = sqlite3_column_int64(m_dataVersionStmt, 0);
        sqlite3_reset(m_dataVersionStmt);
        if (version != m_dataVersion) {
            m_epoch = freshEpoch();
            m_dataVersion = version;
        }
        m_dataVersionAskedInTransaction = inTransaction();
    }
    return true;
}

namespace {

// One spelling per value a column can hold, so that the key asked and the key written
// meet: integral numbers as integers, text folded.
QByteArray keyOfDouble(double d)
{
    if (d >= -9.2e18 && d <= 9.2e18 && d == double(qint64(d)))
        return QByteArray::number(qint64(d));
    return QByteArray::number(d, 'g', 17);
}

QByteArray keyOfValue(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return QByteArray::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return keyOfDouble(sqlite3_value_double(v));
    case SQLITE_NULL:
        return QByteArray("\0", 1);
    default:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v))
            .toCaseFolded()
            .toUtf8();
    }
}

// The engine's comparison of names (ASCII letters folded), names of another length
// passed over at once: asked for every watch of every row written.
bool sameEngineName(const char* name, qsizetype length, const QByteArray& other)
{
    if (length != other.size())
        return false;
    const char* o = other.constData();
    if (std::memcmp(name, o, size_t(length)) == 0)
        return true;
    const auto lower = [](unsigned char ch) { return ch >= 'A' && ch <= 'Z' ? ch + ('a' - 'A') : int(ch); };
    for (qsizetype i = 0; i < length; ++i)
        if (name[i] != o[i] && lower(uchar(name[i])) != lower(uchar(o[i])))
            return false;
    return true;
}

bool isWholeNumber(const QVariant& key)
{
    return !key.isNull() && isWholeNumberType(key.typeId());
}

// Whether the key is a whole number, and which; a 64-bit integer, the common key, is
// read without a call.
bool wholeNumber(const QVariant& key, qint64& out)
{
    const QVariant::Private& d = key.data_ptr();
    if (d.typeId() == QMetaType::LongLong) {
        if (d.is_null)
            return false;
        out = *static_cast<const qlonglong*>(key.constData());
        return true;
    }
    if (!isWholeNumber(key))
        return false;
    out = key.toLongLong();
    return true;
}

QByteArray keyOfVariant(const QVariant& key)
{
    if (key.isNull())
        return QByteArray("\0", 1);
    if (isWholeNumber(key))
        return QByteArray::number(key.toLongLong());
    switch (key.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return keyOfDouble(key.toDouble());
    default:
        return key.toString().toCaseFolded().toUtf8();
    }
}

} // namespace

void Connection::rowToBeWritten(void* self, sqlite3* db, int op, const char* database, const char* table, long long,
                                long long)
{
    auto* c = static_cast<Connection*>(self);
    if (std::strcmp(database, "main") != 0)
        return;
    const QList<QVariant>* own = op == SQLITE_INSERT && c->m_ownInsert.values && sqlite3_preupdate_depth(db) == 0
                                     ? c->m_ownInsert.values
                                     : nullptr;
    const qsizetype tableLength = qsizetype(std::strlen(table));
    for (KeyWatch& w : c->m_keyWatches) {
        if (!sameEngineName(table, tableLength, w.table))
            continue;
        // A shape the watch does not know: no key can be trusted.
        if (sqlite3_preupdate_count(db) != w.columnCount) {
            c->m_epoch = freshEpoch();
            continue;
        }
        // The key as bound, when the engine stores it as that very integer.
        if (own && w.integerColumn && own->size() == w.columnCount
            && c->m_ownInsert.table->compare(w.tableName, Qt::CaseInsensitive) == 0) {
            if (qint64 k; wholeNumber(own->at(w.columnIndex), k)) {
                w.countWhole(k);
                continue;
            }
        }
        sqlite3_value* v = nullptr;
        if (op != SQLITE_INSERT && sqlite3_preupdate_old(db, w.columnIndex, &v) == SQLITE_OK && v)
            w.count(v);
        else if (op != SQLITE_INSERT)
            c->m_epoch = freshEpoch();
        v = nullptr;
        if (op != SQLITE_DELETE && sqlite3_preupdate_new(db, w.columnIndex, &v) == SQLITE_OK && v)
            w.count(v);
        else if (op != SQLITE_DELETE)
            c->m_epoch = freshEpoch();
    }
}

void Connection::KeyWatch::count(sqlite3_value* v)
{
    if (sqlite3_value_type(v) != SQLITE_INTEGER) {
        lastCount = nullptr; // adding a key may move the counts
        ++writes[keyOfValue(v)];
        return;
    }
    countWhole(sqlite3_value_int64(v));
}

void Connection::KeyWatch::countWhole(qint64 key)
{
    if (lastCount && lastKey == key) {
        ++*lastCount;
        return;
    }
    quint64& n = writes[QByteArray::number(key)];
    ++n;
    lastKey = key;
    lastCount = &n;
}

Connection::KeyWatch& Connection::keyWatch(const QString& table, const QString& column)
{
    // Asked for every stamp: found without converting the names, and names of another
    // length are passed over without comparing (case is folded letter by letter).
    // The watch asked last is found again by the storage of the names it was asked by:
    // the copies kept hold that storage alive and unchanged.
    const auto sameText = [](const QString& kept, const QString& asked) {
        return kept.constData() == asked.constData() && kept.size() == asked.size();
    };
    if (m_lastWatch.watch && sameText(m_lastWatch.table, table) && sameText(m_lastWatch.column, column))
        return *m_lastWatch.watch;
    const QStringView name = QStringView(table).trimmed();
    const auto same = [](QStringView a, QStringView b) {
        return a.size() == b.size() && (a == b || a.compare(b, Qt::CaseInsensitive) == 0);
    };
    for (KeyWatch& w : m_keyWatches)
        if (same(w.tableName, name) && same(w.column, column)) {
            m_lastWatch = {table, column, &w};
            return w;
        }
    const TableInfo& info = tableInfo(table);
    KeyWatch w;
    w.table = info.name.toUtf8();
    w.tableName = info.name;
    w.column = column;
    w.columnIndex = info.columnIndex(column);
    w.columnCount = int(info.columns.size());
    if (w.columnIndex < 0)
        throw EDBEngineError(QStringLiteral("Table '%1' has no column '%2'").arg(info.name, column), SQLITE_ERROR);
    // The engine's rule for a column of integer affinity.
    w.integerColumn = info.columns[w.columnIndex].declaredType.contains(QLatin1String("INT"), Qt::CaseInsensitive);
    if (m_keyWatches.empty())
        sqlite3_preupdate_hook(m_db, &Connection::rowToBeWritten, this);
    // Writes until now were not told apart by key.
    m_epoch = freshEpoch();
    m_keyWatches.push_back(std::move(w));
    m_lastWatch = {table, column, &m_keyWatches.back()};
    return m_keyWatches.back();
}

ContentStamps Connection::keyStamps(const QStringList& tables, const QString& column, const QVariant& key)
{
    QVarLengthArray<KeyWatch*, 4> watches;
    for (const QString& t : tables)
        watches.push_back(&keyWatch(t, column));
    if (!followEngine())
        return ContentStamps(tables.size());
    // A whole number, the common key, is spelt on the stack: the key is only looked up.
    char digits[24];
    QByteArray k;
    qint64 whole = 0;
    const bool isWhole = wholeNumber(key, whole);
    if (isWhole) {
        const auto end = std::to_chars(digits, digits + sizeof digits, whole).ptr;
        k = QByteArray::fromRawData(digits, end - digits);
    } else {
        k = keyOfVariant(key);
    }
    ContentStamps stamps;
    for (KeyWatch* w : watches) {
        // The key written last, mostly the one asked, has its count at hand.
        const bool last = isWhole && w->lastCount && w->lastKey == whole;
        stamps.push_back({m_epoch, last ? *w->lastCount : w->writes.value(k)});
    }
    return stamps;
}

ContentStamps Connection::contentStamps(const QStringList& tables)
{
    if (!followEngine())
        return ContentStamps(tables.size());
    ContentStamps stamps;
    for (const QString& t : tables) {
        // Asked for every stamp: a short plain name is folded on the stack.
        char folded[64];
        qsizetype n = 0;
        for (; n < t.size() && n < qsizetype(sizeof folded) && t[n].unicode() < 0x80; ++n) {
            const char c = char(t[n].unicode());
            folded[n] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        }
        const QByteArray key = n == t.size() ? QByteArray::fromRawData(folded, n) : t.toUtf8().toLower();
        stamps.push_back({m_epoch, m_tableWrites.value(key)});
    }
    return stamps;
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

void Connection::fail(int rc, const QString& context) const
{
    QString msg = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        msg = QStringLiteral("The database is locked by another process (%1)").arg(msg);
    if (!context.isEmpty())
        msg += QStringLiteral(" [") + context + QLatin1Char(']');
    throw EDBEngineError(msg, rc);
}

void Connection::check(int rc, const QString& context) const
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        fail(rc, context);
}

void Connection::stepRecordUpdate(sqlite3_stmt* stmt, const QString& context) const
{
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE)
        fail(rc, context);
    if (sqlite3_changes(m_db) == 0)
        throw EDBEngineError(QStringLiteral("Record has been deleted by another user [%1]").arg(context), SQLITE_NOTFOUND);
}

Statement Connection::prepareExact(const char* sql) const
{
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql, -1, &raw, nullptr);
    Statement stmt(raw);
    if (rc != SQLITE_OK)
        fail(rc, QString::fromUtf8(sql));
    return stmt;
}

Statement Connection::prepareOwned(const QString& sql)
{
    QString text = sql;
    for (int attempt = 0;; ++attempt) {
        sqlite3_stmt* raw = nullptr;
        const QByteArray utf8 = text.toUtf8();
        const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &raw, nullptr);
        Statement stmt(raw);
        if (rc == SQLITE_OK) {
            // Only white space or a comment: nothing to run, and nothing to step.
            if (!raw)
                throw EDBEngineError(QStringLiteral("No SQL statement to run [%1]").arg(sql), SQLITE_MISUSE);
            return stmt;
        }
        // A bare column that two joined tables have is read as the first table's.
        static const QLatin1String ambiguous("ambiguous column name: ");
        const QString msg = QString::fromUtf8(sqlite3_errmsg(m_db));
        if (attempt < 8 && msg.startsWith(ambiguous)) {
            const QString column = msg.mid(ambiguous.size()).trimmed();
            const QString fixed = qualifyAmbiguousColumn(text, column, [this](const QString& t, const QString& c) {
                return tableExists(t) && tableInfo(t).columnIndex(c) >= 0;
            });
            if (!fixed.isEmpty()) {
                text = fixed;
                continue;
            }
        }
        fail(rc, sql);
    }
}

sqlite3_stmt* Connection::prepare(const QString& sql)
{
    const auto slot = (quintptr(sql.constData()) >> 4) % kRecentStatements;
    RecentStatement& recent = m_recent[slot];
    if (recent.stmt && recent.text.constData() == sql.constData() && recent.text.size() == sql.size()) {
        sqlite3_reset(recent.stmt);
        sqlite3_clear_bindings(recent.stmt);
        return recent.stmt;
    }
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        if (m_statements.size() > 200)
            clearStatements();
        it = m_statements.emplace(sql, prepareOwned(sql)).first;
    } else {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
    }
    recent = RecentStatement{sql, it->second};
    return it->second;
}

void Connection::exec(const QString& sql)
{
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        fail(rc, sql);
}

void Connection::setBusyTimeout(int milliseconds)
{
    m_busyTimeout = milliseconds;
    sqlite3_busy_timeout(m_db, milliseconds);
}

bool Connection::inTransaction() const
{
    return !sqlite3_get_autocommit(m_db);
}

void Connection::startTransaction(const void* owner)
{
    if (inTransaction())
        throw EDatabaseError(QStringLiteral("A transaction is already active"));
    // Take the write lock now, so a conflict shows here and not in the middle.
    exec(QStringLiteral("BEGIN IMMEDIATE"));
    m_transactionOwner = owner;
    m_holdsWriteLock = true;
    m_dataVersionAskedInTransaction = false;
}

void Connection::commit(bool flush)
{
    if (!inTransaction())
        throw EDatabaseError(QStringLiteral("No transaction is active"));
    Q_UNUSED(flush);
    exec(QStringLiteral("COMMIT"));
    m_transactionOwner = nullptr;
}

void Connection::rollback()
{
    if (!inTransaction())
        throw EDatabaseError(QStringLiteral("No transaction is active"));
    // Statements still stepping would keep the rollback from finishing cleanly.
    for (const auto& entry : m_statements)
        sqlite3_reset(entry.second);
    exec(QStringLiteral("ROLLBACK"));
    m_transactionOwner = nullptr;
    forgetSchema();
    const auto open = m_dataSets;
    for (DataSet* ds : open)
        ds->transactionRolledBack();
}

bool Connection::tableExists(const QString& name) const
{
    if (name.compare(QLatin1String(kCatalogueTable), Qt::CaseInsensitive) == 0)
        return false;
    const Statement stmt = prepareExact("SELECT 1 FROM sqlite_schema WHERE type='table' AND name=?1 COLLATE NOCASE");
    const QByteArray n = name.trimmed().toUtf8();
    sqlite3_bind_text(stmt, 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail(rc, QStringLiteral("table list"));
    return rc == SQLITE_ROW;
}

QStringList Connection::tableNames() const
{
    QStringList names;
    const Statement stmt = prepareExact("SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite_%'");
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const QString n = fromUtf8(sqlite3_column_text(stmt, 0));
        if (n.compare(QLatin1String(kCatalogueTable), Qt::CaseInsensitive) != 0)
            names << n;
    }
    if (rc != SQLITE_DONE)
        fail(rc, QStringLiteral("table list"));
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

void Connection::forgetSchema()
{
    m_schema.clear();
    m_resultColumns.clear();
    m_schemaGeneration = freshEpoch();
}

std::shared_ptr<const ResultColumns> Connection::resultColumns(const QString& sql)
{
    schemaGeneration();
    const auto it = m_resultColumns.find(sql);
    return it == m_resultColumns.end() ? nullptr : it->second;
}

void Connection::keepResultColumns(const QString& sql, std::shared_ptr<const ResultColumns> columns)
{
    // Texts made up on the fly (values written into them) would grow it without end.
    if (m_resultColumns.size() > 200)
        m_resultColumns.clear();
    m_resultColumns[sql] = std::move(columns);
}

quint64 Connection::schemaGeneration()
{
    // The file's own count of schema changes sees every program's DDL; a question
    // that fails counts as a change.
    if (!m_schemaVersionStmt.get())
        m_schemaVersionStmt = prepareExact("PRAGMA schema_version");
    const int rc = sqlite3_step(m_schemaVersionStmt);
    const qint64 cookie = rc == SQLITE_ROW ? sqlite3_column_int64(m_schemaVersionStmt, 0) : -1;
    sqlite3_reset(m_schemaVersionStmt);
    if (cookie < 0 || cookie != m_schemaCookie) {
        forgetSchema();
        m_schemaCookie = cookie;
    }
    return m_schemaGeneration;
}

const TableInfo& Connection::tableInfo(const QString& rawName)
{
    schemaGeneration();
    const QString key = rawName.trimmed().toLower();
    auto it = m_schema.find(key);
    if (it != m_schema.end())
        return *it;
    if (!tableExists(rawName))
        throw EDBEngineError(QStringLiteral("Table '%1' does not exist in '%2'").arg(rawName.trimmed(), m_folder), SQLITE_ERROR);
    TableInfo info;
    {
        const Statement stmt = prepareExact("SELECT name FROM sqlite_schema WHERE type='table' AND name=?1 COLLATE NOCASE");
        const QByteArray n = rawName.trimmed().toUtf8();
        sqlite3_bind_text(stmt, 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(stmt) == SQLITE_ROW)
            info.name = fromUtf8(sqlite3_column_text(stmt, 0));
    }
    const QString quoted = QLatin1Char('"') + info.name + QLatin1Char('"');
    Statement stmt = prepareOwned(QStringLiteral("PRAGMA table_info(%1)").arg(quoted));
    QVector<QPair<int, QString>> pk;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ColumnInfo c;
        c.name = fromUtf8(sqlite3_column_text(stmt, 1));
        c.declaredType = fromUtf8(sqlite3_column_text(stmt, 2));
        c.type = fieldTypeFromDecl(c.declaredType, &c.size);
        if (c.type == FieldType::Unknown)
            c.type = FieldType::String;
        c.notNull = sqlite3_column_int(stmt, 3) != 0;
        c.primaryKeyOrder = sqlite3_column_int(stmt, 5);
        if (c.primaryKeyOrder > 0)
            pk.append({c.primaryKeyOrder, c.name});
        info.columns.append(c);
    }
    if (!pk.isEmpty()) {
        std::sort(pk.begin(), pk.end());
        IndexInfo p;
        p.primary = true;
        p.unique = true;
        for (const auto& e : pk)
            p.fields << e.second;
        info.indexes.append(p);
    }
    stmt = prepareOwned(QStringLiteral("PRAGMA index_list(%1)").arg(quoted));
    QVector<IndexInfo> list;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        IndexInfo ix;
        ix.sqlName = fromUtf8(sqlite3_column_text(stmt, 1));
        ix.unique = sqlite3_column_int(stmt, 2) != 0;
        const QString origin = fromUtf8(sqlite3_column_text(stmt, 3));
        if (origin == QLatin1String("pk")) {
            // The primary key's own index: already described from the columns.
            for (IndexInfo& p : info.indexes)
                if (p.primary)
                    p.sqlName = ix.sqlName;
            continue;
        }
        const int sep = ix.sqlName.indexOf(QLatin1Char('$'));
        ix.name = sep >= 0 ? ix.sqlName.mid(sep + 1) : ix.sqlName;
        // A unique index without a name of its own is the primary index added to a
        // table made without a primary key.
        ix.primary = sep >= 0 && ix.name.isEmpty() && ix.unique && !info.primaryIndex();
        list.append(ix);
    }
    for (IndexInfo& ix : list) {
        stmt = prepareOwned(QStringLiteral("PRAGMA index_info(\"%1\")").arg(ix.sqlName));
        while (sqlite3_step(stmt) == SQLITE_ROW)
            ix.fields << fromUtf8(sqlite3_column_text(stmt, 2));
        if (ix.primary)
            info.indexes.prepend(ix);
        else
            info.indexes.append(ix);
    }
    return *m_schema.insert(key, info);
}

void Connection::attach(DataSet* ds)
{
    if (!m_dataSets.contains(ds))
        m_dataSets.append(ds);
}

void Connection::detach(DataSet* ds)
{
    m_dataSets.removeAll(ds);
}

namespace {

// Binds text, short ASCII text without an intermediate copy on the heap.
void bindText(sqlite3_stmt* stmt, int index, const QString& s)
{
    constexpr qsizetype kShort = 128;
    if (s.size() <= kShort) {
        char buf[kShort];
        const QChar* c = s.constData();
        qsizetype i = 0;
        for (; i < s.size() && c[i].unicode() < 0x80; ++i)
            buf[i] = char(c[i].unicode());
        if (i == s.size()) {
            sqlite3_bind_text(stmt, index, buf, int(i), SQLITE_TRANSIENT);
            return;
        }
    }
    const QByteArray utf8 = s.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

} // namespace

void bindValue(sqlite3_stmt* stmt, int index, const QVariant& raw)
{
    // Text and integers, the common values, are bound as they come.
    switch (raw.typeId()) {
    case QMetaType::QString: {
        const QString& s = *static_cast<const QString*>(raw.constData());
        if (s.isEmpty())
            sqlite3_bind_null(stmt, index);
        else
            bindText(stmt, index, s);
        return;
    }
    case QMetaType::LongLong:
        sqlite3_bind_int64(stmt, index, *static_cast<const qlonglong*>(raw.constData()));
        return;
    case QMetaType::Double:
        sqlite3_bind_double(stmt, index, *static_cast<const double*>(raw.constData()));
        return;
    case QMetaType::UnknownType:
        sqlite3_bind_null(stmt, index);
        return;
    default:
        break;
    }
    const QVariant v = toStorage(raw);
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        sqlite3_bind_int64(stmt, index, v.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, index, v.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(stmt, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        break;
    }
    default:
        bindText(stmt, index, v.toString());
        break;
    }
}

QVariant columnValue(sqlite3_stmt* stmt, int column, FieldType type)
{
    const int t = sqlite3_column_type(stmt, column);
    if (t == SQLITE_NULL)
        return {};
    switch (type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
        return QVariant(qint64(sqlite3_column_int64(stmt, column)));
    case FieldType::Float:
    case FieldType::Currency:
        return QVariant(sqlite3_column_double(stmt, column));
    case FieldType::Boolean:
        if (t == SQLITE_TEXT)
            return normalizeValue(type, fromUtf8(sqlite3_column_text(stmt, column)));
        return QVariant(sqlite3_column_int64(stmt, column) != 0);
    case FieldType::Blob: {
        const void* p = sqlite3_column_blob(stmt, column);
        return QVariant(QByteArray(static_cast<const char*>(p), sqlite3_column_bytes(stmt, column)));
    }
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return normalizeValue(type, fromUtf8(sqlite3_column_text(stmt, column)));
    default: {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        const int n = sqlite3_column_bytes(stmt, column);
        if (n == 0)
            return {};
        return QVariant(QString::fromUtf8(p, n));
    }
    }
}

TransactionGuard::TransactionGuard(std::shared_ptr<Connection> connection, const void* owner)
    : m_connection(std::move(connection))
{
    if (!m_connection->inTransaction()) {
        m_connection->startTransaction(owner);
        m_own = true;
    }
}

TransactionGuard::~TransactionGuard()
{
    if (!m_own || m_done)
        return;
    try {
        if (m_connection->inTransaction())
            m_connection->rollback();
    } catch (...) {
        // Already leaving by an exception, or the connection is gone: nothing to add.
    }
}

void TransactionGuard::commit(bool flush)
{
    if (m_own && !m_done)
        m_connection->commit(flush);
    m_done = true;
}

StatementReset::~StatementReset()
{
    if (m_stmt)
        sqlite3_reset(m_stmt);
}

BoundValues::~BoundValues()
{
    if (m_stmt && !m_keep)
        sqlite3_clear_bindings(m_stmt);
}

void BoundValues::bind(int index, const QVariant& value)
{
    // Whole numbers and floats, most of the rest, are bound here as bindValue would.
    const int type = value.data_ptr().typeId();
    if (type == QMetaType::LongLong) {
        sqlite3_bind_int64(m_stmt, index, *static_cast<const qlonglong*>(value.constData()));
        return;
    }
    if (type == QMetaType::Double) {
        sqlite3_bind_double(m_stmt, index, *static_cast<const double*>(value.constData()));
        return;
    }
    if (type == QMetaType::QString) {
        const QString& s = *static_cast<const QString*>(value.constData());
        if (!s.isEmpty() && s.size() <= kRoom - m_used) {
            char* out = m_texts + m_used;
            const QChar* c = s.constData();
            qsizetype i = 0;
            for (; i < s.size() && c[i].unicode() < 0x80; ++i)
                out[i] = char(c[i].unicode());
            if (i == s.size()) {
                m_used += i;
                sqlite3_bind_text(m_stmt, index, out, int(i), SQLITE_STATIC);
                return;
            }
        }
    }
    bindValue(m_stmt, index, value);
}

} // namespace vorta::db
