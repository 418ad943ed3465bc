#include "platform/db/Table.h"

#include "platform/db/Database.h"
#include "platform/db/SqlText.h"

#include <sqlite3.h>

#include <optional>

namespace vorta::db {

namespace {

constexpr int kBlock = 128;
constexpr int kMaxBlocks = 256;
// Blocks of at most this many rows are read row by row.
constexpr int kFewRows = 8;

QString blockSql(const QString& selectList, const QString& table)
{
    QString in;
    for (int i = 1; i <= kBlock; ++i)
        in += (i > 1 ? QStringLiteral(",?") : QStringLiteral("?")) + QString::number(i);
    return QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)").arg(selectList, table, in);
}

} // namespace

class Table::MasterLink : public DataLink {
public:
    explicit MasterLink(Table* t) : m_table(t) {}

protected:
    void activeChanged() override { m_table->masterChanged(); }
    void dataSetChanged() override { m_table->masterChanged(); }
    void dataSetScrolled(int) override { m_table->masterChanged(); }
    void recordChanged(Field* f) override
    {
        if (!f) {
            m_table->masterChanged();
            return;
        }
        for (const QString& n : m_table->m_masterFieldList)
            if (n.compare(f->fieldName(), Qt::CaseInsensitive) == 0) {
                m_table->masterChanged();
                return;
            }
    }

private:
    Table* m_table;
};

Table::Table(Component* owner)
    : EngineDataSet(owner)
{
}

Table::~Table()
{
    closeQuietly();
    m_masterLink.reset();
}

QString Table::quotedTable() const
{
    const QString& name = m_info.name.isEmpty() ? m_tableName : m_info.name;
    // Asked for every view and search: quoted once for the shape.
    if (!m_shape.quotedTable.isEmpty() && name == m_shape.info.name)
        return m_shape.quotedTable;
    return quoteIdentifier(name);
}

void Table::setTableName(const QString& name)
{
    if (active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    QString n = name.trimmed();
    if (n.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive))
        n.chop(4);
    m_tableName = n;
}

void Table::setIndexName(const QString& name)
{
    m_indexName = name;
    m_indexFieldNames.clear();
    ++m_conditionGeneration;
    if (active()) {
        if (!m_info.findIndex(name) && !name.isEmpty())
            throw EDatabaseError(QStringLiteral("Index '%1' not found").arg(name));
        invalidateView();
        resyncCurrent(true);
        dataEvent(DataEvent::DataSetChange);
    }
}

void Table::setIndexFieldNames(const QString& names)
{
    m_indexFieldNames = names;
    m_indexName.clear();
    ++m_conditionGeneration;
    if (active()) {
        fieldList(names);
        invalidateView();
        resyncCurrent(true);
        dataEvent(DataEvent::DataSetChange);
    }
}

QStringList Table::indexFields()
{
    if (!m_indexFieldNames.isEmpty())
        return splitFieldNames(m_indexFieldNames);
    if (!m_indexName.isEmpty()) {
        if (const IndexInfo* ix = m_info.findIndex(m_indexName))
            return ix->fields;
        return {};
    }
    if (const IndexInfo* p = m_info.primaryIndex())
        return p->fields;
    return {};
}

QStringList Table::indexNames()
{
    if (!active())
        m_info = database()->connection()->tableInfo(m_tableName);
    QStringList names;
    for (const IndexInfo& ix : m_info.indexes)
        if (!ix.primary)
            names << ix.name;
    return names;
}

QStringList Table::primaryIndexFields()
{
    if (!active())
        m_info = database()->connection()->tableInfo(m_tableName);
    if (const IndexInfo* p = m_info.primaryIndex())
        return p->fields;
    return {};
}

bool Table::exists()
{
    return database()->connection()->tableExists(m_tableName);
}

QVector<IndexInfo> Table::indexDefs()
{
    if (!active())
        m_info = database()->connection()->tableInfo(m_tableName);
    return m_info.indexes;
}

namespace {

QString declaredTypeOf(const Field& f)
{
    switch (f.dataType()) {
    case FieldType::String: return QStringLiteral("VARCHAR(%1)").arg(f.size() > 0 ? f.size() : 20);
    case FieldType::Integer: return QStringLiteral("INTEGER");
    case FieldType::SmallInt: return QStringLiteral("SMALLINT");
    case FieldType::Float: return QStringLiteral("FLOAT");
    case FieldType::Currency: return QStringLiteral("MONEY");
    case FieldType::Boolean: return QStringLiteral("BOOLEAN");
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::Time: return QStringLiteral("TIME");
    case FieldType::DateTime: return QStringLiteral("DATETIME");
    case FieldType::Memo: return QStringLiteral("MEMO");
    case FieldType::Blob: return QStringLiteral("BLOB");
    case FieldType::Unknown: break;
    }
    throw EDatabaseError(QStringLiteral("Field '%1' has no type a table can store").arg(f.fieldName()));
}

} // namespace

void Table::createTable()
{
    if (active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    QStringList columns;
    for (int i = 0; i < fieldCount(); ++i) {
        const Field* f = fields(i);
        if (f->fieldKind() != FieldKind::Data)
            continue;
        columns << quoteIdentifier(f->fieldName()) + QLatin1Char(' ') + declaredTypeOf(*f)
                       + (f->required() ? QStringLiteral(" NOT NULL") : QString());
    }
    if (columns.isEmpty())
        throw EDatabaseError(QStringLiteral("Field definitions of table '%1' are missing").arg(m_tableName));
    auto c = database()->connection();
    if (c->tableExists(m_tableName))
        throw EDBEngineError(QStringLiteral("Table '%1' already exists").arg(m_tableName), SQLITE_ERROR);
    c->exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdentifier(m_tableName), columns.join(QStringLiteral(", "))));
    c->forgetSchema();
}

void Table::addIndex(const QString& name, const QString& fields, bool primary, bool unique)
{
    if (active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    auto c = database()->connection();
    const TableInfo& info = c->tableInfo(m_tableName);
    const QStringList names = splitFieldNames(fields);
    if (names.isEmpty())
        throw EDatabaseError(QStringLiteral("An index needs at least one field"));
    QStringList columns;
    for (const QString& n : names) {
        if (info.columnIndex(n) < 0)
            throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(n));
        columns << quoteIdentifier(n);
    }
    if (primary && !name.isEmpty())
        throw EDatabaseError(QStringLiteral("A primary index has no name"));
    if (primary && info.primaryIndex())
        throw EDatabaseError(QStringLiteral("Table '%1' already has a primary index").arg(m_tableName));
    if (!primary && (name.isEmpty() || info.findIndex(name)))
        throw EDatabaseError(QStringLiteral("Index '%1' already exists or has no name").arg(name));
    // The file keeps the suite's name after the table's; the primary index is the
    // unique one with an empty name.
    const QString sqlName = m_tableName + QLatin1Char('$') + name;
    c->exec(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                .arg(primary || unique ? QStringLiteral("UNIQUE ") : QString(), quoteIdentifier(sqlName),
                     quoteIdentifier(m_tableName), columns.join(QLatin1Char(','))));
    c->clearStatements();
    c->forgetSchema();
}

void Table::openCursor()
{
    auto c = acquireConnection();
    // The texts depend only on the table's shape: built again when the schema changed.
    const quint64 generation = c->schemaGeneration();
    if (m_shape.generation != generation || m_shape.tableName != m_tableName) {
        m_shape = {};
        m_shape.info = c->tableInfo(m_tableName);
        buildShape();
        m_shape.generation = generation;
        m_shape.tableName = m_tableName;
    }
    // Asked while closed, the definition may be another table's.
    m_info = m_shape.info;
    m_columns = m_shape.columns;
    if (!m_indexName.isEmpty() && !m_info.findIndex(m_indexName))
        throw EDatabaseError(QStringLiteral("Index '%1' not found").arg(m_indexName));
    m_insertStmt = Statement();
    ++m_conditionGeneration;
    m_emptySql.clear();
    m_writtenKey = -1;
    for (const QString& f : splitFieldNames(m_indexFieldNames))
        if (columnIndex(f) < 0)
            throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(f));
    invalidateView();
    ensureView();
}

void Table::buildShape()
{
    m_info = m_shape.info;
    m_stampTables = QStringList{m_info.name.isEmpty() ? m_tableName : m_info.name};
    m_shape.quotedTable = quotedTable();
    QVector<ColumnDef>& columns = m_shape.columns;
    QStringList cols;
    m_rowidAlias = -1;
    for (int i = 0; i < m_info.columns.size(); ++i) {
        const ColumnInfo& ci = m_info.columns[i];
        columns.append({ci.name, ci.type, ci.size, ci.notNull});
        cols << quoteIdentifier(ci.name);
        if (ci.primaryKeyOrder == 1 && ci.declaredType.trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0) {
            const IndexInfo* p = m_info.primaryIndex();
            if (p && p->fields.size() == 1)
                m_rowidAlias = i;
        }
    }
    m_selectList = cols.join(QLatin1Char(','));
    QStringList marks;
    for (int c = 0; c < columns.size(); ++c)
        marks << QLatin1Char('?') + QString::number(c + 1);
    m_insertSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(m_shape.quotedTable, m_selectList, marks.join(QLatin1Char(',')));
    m_fetchSql = QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1").arg(m_selectList, m_shape.quotedTable);
    m_blockSql = blockSql(m_selectList, m_shape.quotedTable);
}

void Table::closeCursor()
{
    ++m_conditionGeneration;
    m_emptySql.clear();
    m_rowids.clear();
    m_posOf.clear();
    m_blocks.clear();
    m_viewValid = false;
    m_holdsRows = {};
    m_insertStmt = Statement();
    releaseConnection();
}

QStringList Table::detailFieldList()
{
    const QStringList& master = m_masterFieldList;
    QStringList detail = splitFieldNames(m_detailFields);
    if (detail.isEmpty()) {
        const QStringList ix = indexFields();
        for (int i = 0; i < master.size(); ++i)
            detail << (i < ix.size() ? ix[i] : master[i]);
    }
    return detail;
}

namespace {

// Whether two values give the same condition text and parameters; types whose equality
// is not exact (date-times of other zones) never count as the same.
bool sameKeyValue(const QVariant& a, const QVariant& b)
{
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    if (aNull || bNull)
        return aNull && bNull;
    if (a.typeId() != b.typeId())
        return false;
    switch (a.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
    case QMetaType::QString:
    case QMetaType::QDate:
    case QMetaType::QByteArray:
        return a == b;
    case QMetaType::Double:
        return a.toDouble() == b.toDouble();
    default:
        return false;
    }
}

bool sameParams(const QVariantList& a, const QVariantList& b)
{
    if (a.size() != b.size())
        return false;
    // Copies of one kept condition share their values.
    if (a.constData() == b.constData())
        return true;
    for (int i = 0; i < a.size(); ++i)
        if (!sameKeyValue(a[i], b[i]))
            return false;
    return true;
}

} // namespace

QString Table::whereClause(QVariantList& params)
{
    // Asked after every post (emptiness) and for every search: the condition is built
    // again only when what it depends on changed.
    RowCondition& rc = m_condition;
    DataSet* master = m_masterLink ? m_masterLink->dataSet() : nullptr;
    const bool masterUsed = master && master->active() && !m_masterFields.isEmpty();
    bool same = params.isEmpty() && rc.generation == m_conditionGeneration && rc.master == master
        && rc.masterUsed == masterUsed && rc.filtered == filtered() && rc.filterOptions == filterOptions()
        && rc.filter == filter();
    if (same && masterUsed) {
        const QStringList& mf = m_masterFieldList;
        for (int i = 0; i < rc.masterValues.size() && same; ++i)
            same = sameKeyValue(master->fieldByName(mf[i])->value(), rc.masterValues[i]);
    }
    if (same) {
        params = rc.params;
        return rc.sql;
    }
    const bool fresh = params.isEmpty();
    int masterCount = 0;
    QString sql = buildWhereClause(params, masterCount);
    if (!fresh)
        return sql;
    rc.generation = m_conditionGeneration;
    rc.master = master;
    rc.masterUsed = masterUsed;
    rc.filtered = filtered();
    rc.filterOptions = filterOptions();
    rc.filter = filter();
    rc.masterValues.clear();
    if (masterUsed) {
        const QStringList& mf = m_masterFieldList;
        for (int i = 0; i < masterCount; ++i)
            rc.masterValues << master->fieldByName(mf[i])->value();
    }
    rc.sql = sql;
    rc.params = params;
    return sql;
}

QString Table::buildWhereClause(QVariantList& params, int& masterCount)
{
    masterCount = 0;
    QStringList conds;
    const QStringList ix = indexFields();
    if (m_ranged) {
        for (int i = 0; i < ix.size(); ++i) {
            const int c = columnIndex(ix[i]);
            if (i < m_rangeStart.size()) {
                params << toStorage(normalizeValue(m_columns[c].type, m_rangeStart[i]));
                conds << QStringLiteral("%1 >= ?%2").arg(quoteIdentifier(ix[i])).arg(params.size());
            }
            if (i < m_rangeEnd.size()) {
                params << toStorage(normalizeValue(m_columns[c].type, m_rangeEnd[i]));
                conds << QStringLiteral("%1 <= ?%2").arg(quoteIdentifier(ix[i])).arg(params.size());
            }
        }
    }
    DataSet* master = m_masterLink ? m_masterLink->dataSet() : nullptr;
    if (master && master->active() && !m_masterFields.isEmpty()) {
        const QStringList& mf = m_masterFieldList;
        const QStringList df = detailFieldList();
        masterCount = int(std::min(mf.size(), df.size()));
        for (int i = 0; i < masterCount; ++i) {
            const int c = columnIndex(df[i]);
            if (c < 0)
                throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(df[i]));
            const QVariant v = toStorage(normalizeValue(m_columns[c].type, master->fieldByName(mf[i])->value()));
            if (!v.isValid()) {
                conds << QStringLiteral("%1 IS NULL").arg(quoteIdentifier(m_columns[c].name));
            } else {
                params << v;
                conds << QStringLiteral("%1 = ?%2").arg(quoteIdentifier(m_columns[c].name)).arg(params.size());
            }
        }
    }
    const SqlFilter f = filterCondition(int(params.size()) + 1, [](const QString& n) { return quoteIdentifier(n); });
    if (!f.where.isEmpty()) {
        conds << f.where;
        params += f.params;
    }
    return conds.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
}

bool Table::orderHeldByMaster()
{
    DataSet* master = m_masterLink ? m_masterLink->dataSet() : nullptr;
    if (!master || !master->active() || m_masterFields.isEmpty())
        return false;
    const QStringList ix = indexFields();
    if (ix.isEmpty())
        return false;
    const QStringList df = detailFieldList();
    const qsizetype held = std::min(m_masterFieldList.size(), df.size());
    for (const QString& f : ix) {
        bool found = false;
        for (qsizetype i = 0; i < held && !found; ++i)
            found = df[i].compare(f, Qt::CaseInsensitive) == 0;
        if (!found)
            return false;
    }
    return true;
}

QString Table::orderClause()
{
    if (orderHeldByMaster())
        return QStringLiteral(" ORDER BY rowid");
    QStringList parts;
    for (const QString& f : indexFields())
        parts << quoteIdentifier(f);
    parts << QStringLiteral("rowid");
    return QStringLiteral(" ORDER BY ") + parts.join(QLatin1Char(','));
}

void Table::invalidateView()
{
    m_lastFetched = -2;
    m_viewValid = false;
    // The row as written may have changed since, like any other.
    m_writtenKey = -1;
    m_posOf.clear();
    m_blocks.clear();
}

QString Table::viewSql(QVariantList& params)
{
    const QString where = whereClause(params);
    // Asked for every view built or checked: made again when the condition or the
    // definition (order, table, master fields) changed. Rows whose index fields all
    // equal the master's come in row-id order: the view is put in that order after
    // reading, without the engine sorting it.
    if (m_viewText.generation != m_conditionGeneration || m_viewText.where != where)
        m_viewText = {m_conditionGeneration, where,
                      QStringLiteral("SELECT rowid FROM %1%2%3")
                          .arg(quotedTable(), where, orderHeldByMaster() ? QString() : orderClause())};
    return m_viewText.sql;
}

ContentStamp Table::tableStamp()
{
    return m_conn->contentStamps(m_stampTables).front();
}

bool Table::viewStillCurrent()
{
    if (!m_viewValid)
        return false;
    QVariantList params;
    const QString sql = viewSql(params);
    return sql == m_viewSql && sameParams(params, m_viewParams) && tableStamp() == m_viewStamp;
}

void Table::ensureView()
{
    if (m_viewValid)
        return;
    QVariantList params;
    const QString sql = viewSql(params);
    // Taken before reading: a change in between makes the view look older, never newer.
    const ContentStamp stamp = tableStamp();
    sqlite3_stmt* stmt = m_conn->prepare(sql);
    StatementReset reset(stmt);
    for (int i = 0; i < params.size(); ++i)
        bindValue(stmt, i + 1, params[i]);
    m_rowids.clear();
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        m_rowids.append(sqlite3_column_int64(stmt, 0));
    if (rc != SQLITE_DONE)
        m_conn->fail(rc, sql);
    if (!sql.contains(QLatin1String(" ORDER BY ")))
        std::sort(m_rowids.begin(), m_rowids.end());
    m_posOf.clear();
    m_blocks.clear();
    m_viewValid = true;
    m_viewSql = sql;
    m_viewParams = params;
    m_viewStamp = stamp;
    if (!m_rowids.isEmpty()) {
        QVariantList whereParams;
        const QString where = whereClause(whereParams);
        m_holdsRows = {stamp, where, whereParams};
    }
}

int Table::viewCount()
{
    ensureView();
    return int(m_rowids.size());
}

bool Table::viewEmpty()
{
    if (m_viewValid)
        return m_rowids.isEmpty();
    // Asked after each insert (which drops the view): one row found is enough.
    QVariantList params;
    const QString where = whereClause(params);
    const ContentStamp stamp = tableStamp();
    if (stamp == m_holdsRows.stamp && where == m_holdsRows.where && sameParams(params, m_holdsRows.params))
        return false;
    if (m_emptySql.isEmpty() || where != m_emptySqlWhere) {
        m_emptySqlWhere = where;
        m_emptySql = QStringLiteral("SELECT 1 FROM %1%2 LIMIT 1").arg(quotedTable(), where);
    }
    const QString& sql = m_emptySql;
    sqlite3_stmt* stmt = m_conn->prepare(sql);
    StatementReset reset(stmt);
    for (int i = 0; i < params.size(); ++i)
        bindValue(stmt, i + 1, params[i]);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        m_conn->fail(rc, sql);
    if (rc == SQLITE_ROW)
        m_holdsRows = {stamp, where, params};
    return rc == SQLITE_DONE;
}

qint64 Table::keyAt(int pos)
{
    ensureView();
    return pos >= 0 && pos < m_rowids.size() ? m_rowids[pos] : -1;
}

int Table::positionOfKey(qint64 key)
{
    ensureView();
    if (m_posOf.isEmpty() && !m_rowids.isEmpty()) {
        m_posOf.reserve(m_rowids.size());
        for (int i = 0; i < m_rowids.size(); ++i)
            m_posOf.insert(m_rowids[i], i);
    }
    return m_posOf.value(key, -1);
}

void Table::fetchRow(int pos, Row& row)
{
    ensureView();
    const int block = pos / kBlock;
    auto it = m_blocks.find(block);
    const bool sequential = pos == m_lastFetched + 1 || pos == m_lastFetched - 1;
    m_lastFetched = pos;
    if (it == m_blocks.end() && !sequential) {
        // A jump (a locate, a bookmark): one row, not a whole block.
        if (!fetchByKey(m_rowids.value(pos, -1), row)) {
            row = Row();
            row.resize(m_columns.size());
        }
        return;
    }
    if (it == m_blocks.end()) {
        if (m_blocks.size() >= kMaxBlocks)
            m_blocks.clear();
        const int first = block * kBlock;
        const int count = std::min(kBlock, int(m_rowids.size()) - first);
        QVector<Row> rows(count);
        if (count <= kFewRows) {
            // A short table's block: the engine sets up a list of every bound key for the
            // block's question, dearer than asking for the few rows one by one.
            for (int i = 0; i < count; ++i)
                fetchByKey(m_rowids[first + i], rows[i]);
        } else {
            sqlite3_stmt* stmt = m_conn->prepare(m_blockSql);
            StatementReset reset(stmt);
            for (int i = 0; i < kBlock; ++i) {
                if (i < count)
                    sqlite3_bind_int64(stmt, i + 1, m_rowids[first + i]);
                else
                    sqlite3_bind_null(stmt, i + 1);
            }
            QHash<qint64, int> slotOf;
            for (int i = 0; i < count; ++i)
                slotOf.insert(m_rowids[first + i], i);
            const int ncol = int(m_columns.size());
            int rc;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
                const int at = slotOf.value(sqlite3_column_int64(stmt, 0), -1);
                if (at < 0)
                    continue;
                Row& r = rows[at];
                r.resize(ncol);
                for (int c = 0; c < ncol; ++c)
                    r[c] = columnValue(stmt, c + 1, m_columns[c].type);
            }
            if (rc != SQLITE_DONE)
                m_conn->fail(rc, m_tableName);
        }
        it = m_blocks.insert(block, rows);
    }
    row = it->value(pos - block * kBlock);
    // The block keeps its rows: a resize to the same size would copy one needlessly.
    if (row.size() != m_columns.size())
        row.resize(m_columns.size());
}

bool Table::fetchByKey(qint64 key, Row& row)
{
    if (key < 0)
        return false;
    if (key == m_writtenKey) {
        row = m_writtenRow;
        return true;
    }
    sqlite3_stmt* stmt = m_conn->prepare(m_fetchSql);
    StatementReset reset(stmt);
    sqlite3_bind_int64(stmt, 1, key);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE)
        return false;
    if (rc != SQLITE_ROW)
        m_conn->fail(rc, m_tableName);
    row.resize(m_columns.size());
    for (int c = 0; c < m_columns.size(); ++c)
        row[c] = columnValue(stmt, c, m_columns[c].type);
    return true;
}

int Table::findFirst(const QVector<Field*>& fields, const QVariantList& values, LocateOptions options)
{
    QVariantList params;
    QString where = whereClause(params);
    QStringList conds;
    for (int i = 0; i < fields.size(); ++i) {
        Field* f = fields[i];
        const ColumnDef& col = m_columns[f->slot()];
        const QString name = quoteIdentifier(col.name);
        const QVariant& wanted = values.value(i);
        const bool textual = col.type == FieldType::String || col.type == FieldType::Memo;
        const bool wantedNull = !wanted.isValid() || wanted.isNull()
            || (wanted.typeId() == QMetaType::QString && wanted.toString().isEmpty());
        if (wantedNull) {
            if (!(options & loPartialKey))
                conds << QStringLiteral("%1 IS NULL").arg(name);
            continue;
        }
        if (textual) {
            const QString w = wanted.toString();
            params << w;
            const QString p = QLatin1Char('?') + QString::number(params.size());
            if ((options & loPartialKey) && (options & loCaseInsensitive))
                conds << QStringLiteral("vorta_fold(substr(%1, 1, %2)) = vorta_fold(%3)").arg(name).arg(w.size()).arg(p);
            else if (options & loPartialKey)
                conds << QStringLiteral("(%1 >= %3 AND substr(%1, 1, %2) = %3)").arg(name).arg(w.size()).arg(p);
            else if (options & loCaseInsensitive)
                conds << QStringLiteral("vorta_fold(%1) = vorta_fold(%2)").arg(name, p);
            else
                conds << QStringLiteral("%1 = %2").arg(name, p);
        } else {
            params << toStorage(normalizeValue(col.type, wanted));
            conds << QStringLiteral("%1 = ?%2").arg(name).arg(params.size());
        }
    }
    if (!conds.isEmpty())
        where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) + conds.join(QStringLiteral(" AND "));
    const QString sql = QStringLiteral("SELECT rowid FROM %1%2%3 LIMIT 1").arg(quotedTable(), where, orderClause());
    sqlite3_stmt* stmt = m_conn->prepare(sql);
    qint64 key = -1;
    {
        StatementReset reset(stmt);
        for (int i = 0; i < params.size(); ++i)
            bindValue(stmt, i + 1, params[i]);
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            key = sqlite3_column_int64(stmt, 0);
        else if (rc != SQLITE_DONE)
            m_conn->fail(rc, sql);
    }
    return key < 0 ? -1 : positionOfKey(key);
}

qint64 Table::writeRow(bool inserting, qint64 key, const Row& values, const Row& old)
{
    m_writtenKey = -1;
    if (inserting) {
        if (!m_insertStmt.get()) {
            m_insertStmt = m_conn->prepareOwned(m_insertSql);
            m_insertBindsAll = sqlite3_bind_parameter_count(m_insertStmt) == m_columns.size();
        }
        sqlite3_stmt* stmt = m_insertStmt;
        // Every run binds every parameter: the texts stay in the table's room and the
        // bindings need not be cleared after each row.
        std::optional<BoundValues> bound;
        if (m_insertBindsAll)
            bound.emplace(stmt, m_insertTexts);
        else
            bound.emplace(stmt);
        StatementReset reset(stmt);
        static const QVariant none;
        for (int c = 0; c < m_columns.size(); ++c)
            bound->bind(c + 1, c < values.size() ? values.at(c) : none);
        const Connection::OwnInsert own(*m_conn, m_info.name, values);
        const int rc = sqlite3_step(stmt);
        if (rc != SQLITE_DONE)
            m_conn->fail(rc, m_tableName);
        invalidateView();
        // The insert's own write; any other write since leaves the stamp behind.
        if (m_holdsRows.stamp.valid())
            ++m_holdsRows.stamp.writes;
        const qint64 id = sqlite3_last_insert_rowid(m_conn->handle());
        // The columns hold what was bound; only a row-id column may have been filled in.
        m_writtenRow = values;
        if (m_rowidAlias >= 0 && !m_writtenRow.value(m_rowidAlias).isValid())
            m_writtenRow[m_rowidAlias] = id;
        m_writtenKey = id;
        return id;
    }
    QStringList sets;
    QVariantList params;
    bool orderTouched = false;
    const QStringList ix = indexFields();
    for (int c = 0; c < m_columns.size(); ++c) {
        if (values.value(c) == old.value(c) && values.value(c).isNull() == old.value(c).isNull())
            continue;
        params << values.value(c);
        sets << QStringLiteral("%1 = ?%2").arg(quoteIdentifier(m_columns[c].name)).arg(params.size());
        for (const QString& f : ix)
            orderTouched = orderTouched || f.compare(m_columns[c].name, Qt::CaseInsensitive) == 0;
    }
    if (sets.isEmpty())
        return key;
    // The row may leave the condition.
    m_holdsRows = {};
    params << key;
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                            .arg(quotedTable(), sets.join(QLatin1Char(',')))
                            .arg(params.size());
    sqlite3_stmt* stmt = m_conn->prepare(sql);
    StatementReset reset(stmt);
    for (int i = 0; i < params.size(); ++i)
        bindValue(stmt, i + 1, params[i]);
    m_conn->stepRecordUpdate(stmt, m_tableName);
    qint64 newKey = key;
    if (m_rowidAlias >= 0 && values.value(m_rowidAlias).isValid())
        newKey = values.value(m_rowidAlias).toLongLong();
    if (orderTouched || newKey != key || filtered() || m_ranged || masterSource())
        invalidateView();
    else
        m_blocks.clear();
    return newKey;
}

void Table::deleteRow(qint64 key)
{
    m_holdsRows = {};
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(quotedTable());
    sqlite3_stmt* stmt = m_conn->prepare(sql);
    StatementReset reset(stmt);
    sqlite3_bind_int64(stmt, 1, key);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE)
        m_conn->fail(rc, m_tableName);
    if (m_viewValid) {
        const int pos = positionOfKey(key);
        if (pos >= 0)
            m_rowids.remove(pos);
        m_posOf.clear();
        m_blocks.clear();
    }
}

void Table::initNewRow(Row& row)
{
    DataSet* master = m_masterLink ? m_masterLink->dataSet() : nullptr;
    if (!master || !master->active() || m_masterFields.isEmpty())
        return;
    // Asked for every new row: the columns the master's fields go to are found once for
    // the definition.
    if (m_masterColumnsGeneration != m_conditionGeneration) {
        m_masterColumnNames.clear();
        m_masterColumns.clear();
        const QStringList& mf = m_masterFieldList;
        const QStringList df = detailFieldList();
        for (int i = 0; i < mf.size() && i < df.size(); ++i) {
            m_masterColumnNames << mf[i];
            m_masterColumns << columnIndex(df[i]);
        }
        m_masterColumnsGeneration = m_conditionGeneration;
        m_masterFieldPtrs.clear();
    }
    // The master's fields by name, found when first needed while its field list stays.
    if (m_masterFieldsOf != master || m_masterFieldsGeneration != master->fieldsGeneration()
        || m_masterFieldPtrs.size() != m_masterColumns.size()) {
        m_masterFieldsOf = master;
        m_masterFieldsGeneration = master->fieldsGeneration();
        m_masterFieldPtrs = QVector<Field*>(m_masterColumns.size(), nullptr);
    }
    for (int i = 0; i < m_masterColumns.size(); ++i) {
        const int c = m_masterColumns[i];
        if (c >= 0 && c < row.size()) {
            Field*& f = m_masterFieldPtrs[i];
            if (!f)
                f = master->fieldByName(m_masterColumnNames[i]);
            row[c] = normalizeValue(m_columns[c].type, f->value());
        }
    }
}

void Table::setMasterSource(DataSource* source)
{
    if (!m_masterLink)
        m_masterLink = std::make_unique<MasterLink>(this);
    m_masterLink->setDataSource(source);
    ++m_conditionGeneration;
}

DataSource* Table::masterSource() const
{
    // Through the link, which forgets a source that is destroyed.
    return m_masterLink ? m_masterLink->dataSource() : nullptr;
}

void Table::setMasterFields(const QString& fields)
{
    m_masterFields = fields;
    m_masterFieldList = splitFieldNames(fields);
    ++m_conditionGeneration;
    masterChanged();
}

void Table::masterChanged()
{
    if (!active() || state() == DataSetState::CalcFields)
        return;
    if (state() == DataSetState::Edit || state() == DataSetState::Insert)
        checkBrowseMode();
    // Masters post and scroll far more often than their keys change: the rows are read
    // again only when they could differ.
    if (viewStillCurrent())
        m_lastFetched = -2;
    else
        invalidateView();
    first();
}

void Table::moveToFound(int pos)
{
    // Same events as a locate: the cursor moves only when a record was found.
    if (pos < 0)
        return;
    setRecNo(pos + 1);
}

bool Table::findKey(const QVariantList& values)
{
    checkBrowseMode();
    const QStringList ix = indexFields();
    if (ix.isEmpty())
        throw EDatabaseError(QStringLiteral("No index is active on table '%1'").arg(m_tableName));
    QStringList names;
    for (int i = 0; i < values.size() && i < ix.size(); ++i)
        names << ix[i];
    return locate(names.join(QLatin1Char(';')), values, 0);
}

void Table::findNearest(const QVariantList& values)
{
    checkBrowseMode();
    const QStringList ix = indexFields();
    if (ix.isEmpty())
        throw EDatabaseError(QStringLiteral("No index is active on table '%1'").arg(m_tableName));
    QVariantList params;
    QString where = whereClause(params);
    // Lexicographic "key >= values" over the given leading fields.
    QStringList ors;
    const int n = std::min<int>(int(values.size()), int(ix.size()));
    for (int i = 0; i < n; ++i) {
        QStringList ands;
        for (int j = 0; j <= i; ++j) {
            const int c = columnIndex(ix[j]);
            params << toStorage(normalizeValue(m_columns[c].type, values[j]));
            const QString op = j < i ? QStringLiteral("=") : (i == n - 1 ? QStringLiteral(">=") : QStringLiteral(">"));
            ands << QStringLiteral("%1 %2 ?%3").arg(quoteIdentifier(ix[j]), op).arg(params.size());
        }
        ors << QLatin1Char('(') + ands.join(QStringLiteral(" AND ")) + QLatin1Char(')');
    }
    if (!ors.isEmpty())
        where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) + QLatin1Char('(')
            + ors.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    const QString sql = QStringLiteral("SELECT rowid FROM %1%2%3 LIMIT 1").arg(quotedTable(), where, orderClause());
    sqlite3_stmt* stmt = m_conn->prepare(sql);
    qint64 key = -1;
    {
        StatementReset reset(stmt);
        for (int i = 0; i < params.size(); ++i)
            bindValue(stmt, i + 1, params[i]);
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            key = sqlite3_column_int64(stmt, 0);
        else if (rc != SQLITE_DONE)
            m_conn->fail(rc, sql);
    }
    const int pos = key < 0 ? -1 : positionOfKey(key);
    if (pos < 0)
        last();
    else
        moveToFound(pos);
}

void Table::setRange(const QVariantList& startValues, const QVariantList& endValues)
{
    checkBrowseMode();
    m_ranged = true;
    m_rangeStart = startValues;
    m_rangeEnd = endValues;
    ++m_conditionGeneration;
    invalidateView();
    first();
}

void Table::cancelRange()
{
    if (!m_ranged)
        return;
    checkBrowseMode();
    m_ranged = false;
    m_rangeStart.clear();
    m_rangeEnd.clear();
    ++m_conditionGeneration;
    invalidateView();
    resyncCurrent(true);
    dataEvent(DataEvent::DataSetChange);
}

void Table::emptyTable()
{
    auto c = active() ? m_conn : database()->connection();
    if (!c->tableExists(m_tableName))
        throw EDBEngineError(QStringLiteral("Table '%1' does not exist").arg(m_tableName), SQLITE_ERROR);
    c->exec(QStringLiteral("DELETE FROM %1").arg(quoteIdentifier(m_tableName)));
    m_holdsRows = {};
    if (active()) {
        invalidateView();
        resyncCurrent(false);
        dataEvent(DataEvent::DataSetChange);
    }
}

int Table::catalogueVersion(const char* column)
{
    auto c = active() ? m_conn : database()->connection();
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE table_name = ?1 COLLATE NOCASE")
                            .arg(QLatin1String(column), QLatin1String(kCatalogueTable));
    sqlite3_stmt* stmt = c->prepare(sql);
    StatementReset reset(stmt);
    bindValue(stmt, 1, m_tableName);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        c->fail(rc, sql);
    return rc == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : 0;
}

int Table::userMajorVersion()
{
    return catalogueVersion("major");
}

int Table::userMinorVersion()
{
    return catalogueVersion("minor");
}

void Table::setUserVersion(int major, int minor)
{
    auto c = active() ? m_conn : database()->connection();
    if (!c->tableExists(m_tableName))
        throw EDBEngineError(QStringLiteral("Table '%1' does not exist").arg(m_tableName), SQLITE_ERROR);
    const QString sql = QStringLiteral("INSERT INTO %1 (table_name, major, minor) VALUES (?1, ?2, ?3) "
                                       "ON CONFLICT(table_name) DO UPDATE SET major = excluded.major, minor = excluded.minor")
                            .arg(QLatin1String(kCatalogueTable));
    sqlite3_stmt* stmt = c->prepare(sql);
    StatementReset reset(stmt);
    bindValue(stmt, 1, c->tableInfo(m_tableName).name);
    sqlite3_bind_int(stmt, 2, major);
    sqlite3_bind_int(stmt, 3, minor);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE)
        c->fail(rc, sql);
}

std::shared_ptr<Connection> Table::maintenanceConnection()
{
    auto c = active() ? m_conn : database()->connection();
    if (!c->tableExists(m_tableName))
        throw EDBEngineError(QStringLiteral("Table '%1' does not exist").arg(m_tableName), SQLITE_ERROR);
    return c;
}

bool Table::integrityCheck(const std::shared_ptr<Connection>& c, bool log, const std::function<void(const QString&)>& out)
{
    const QString name = c->tableInfo(m_tableName).name;
    const Statement stmt = c->prepareOwned(QStringLiteral("PRAGMA integrity_check(%1)").arg(quoteIdentifier(name)));
    bool sound = true;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const QString line = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        if (line != QLatin1String("ok")) {
            sound = false;
            if (log)
                out(line);
        }
    }
    if (rc != SQLITE_DONE) {
        // The check itself breaking down is damage too.
        if (log)
            out(QString::fromUtf8(sqlite3_errmsg(c->handle())));
        return false;
    }
    return sound;
}

bool Table::verifyTable()
{
    auto c = maintenanceConnection();
    auto log = [&](const QString& line) {
        if (OnVerifyLog)
            OnVerifyLog(*this, line);
    };
    auto progress = [&](int percent) {
        bool stop = false;
        if (OnVerifyProgress)
            OnVerifyProgress(*this, percent, stop);
        if (stop)
            throw EDatabaseError(QStringLiteral("Verification of table '%1' stopped").arg(m_tableName));
    };
    log(QStringLiteral("Verifying table '%1'").arg(m_tableName));
    progress(0);
    const bool sound = integrityCheck(c, true, log);
    progress(100);
    log(sound ? QStringLiteral("Table '%1' is sound").arg(m_tableName)
              : QStringLiteral("Table '%1' is damaged").arg(m_tableName));
    return sound;
}

bool Table::repairTable()
{
    auto c = maintenanceConnection();
    const QString name = c->tableInfo(m_tableName).name;
    auto log = [&](const QString& line) {
        if (OnRepairLog)
            OnRepairLog(*this, line);
    };
    auto progress = [&](int percent) {
        bool stop = false;
        if (OnRepairProgress)
            OnRepairProgress(*this, percent, stop);
        if (stop)
            throw EDatabaseError(QStringLiteral("Repair of table '%1' stopped").arg(m_tableName));
    };
    const bool wasActive = active();
    if (wasActive)
        close();
    log(QStringLiteral("Repairing table '%1'").arg(name));
    progress(0);
    c->clearStatements();
    // Indexes are rebuilt from the rows first; that mends most damage.
    try {
        c->exec(QStringLiteral("REINDEX %1").arg(quoteIdentifier(name)));
        log(QStringLiteral("Indexes of '%1' rebuilt").arg(name));
    } catch (const EDatabaseError& e) {
        log(QStringLiteral("Rebuilding the indexes failed: %1").arg(e.message()));
    }
    progress(40);
    if (!integrityCheck(c, false, log)) {
        // Rebuild the table from the rows that can still be read.
        log(QStringLiteral("Rebuilding table '%1' from its readable rows").arg(name));
        QString createSql;
        QStringList indexSql;
        {
            const Statement s = c->prepareOwned(QStringLiteral(
                "SELECT type, sql FROM sqlite_schema WHERE tbl_name = ?1 AND sql IS NOT NULL"));
            bindValue(s, 1, name);
            while (sqlite3_step(s) == SQLITE_ROW) {
                const QString type = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
                const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
                if (type == QLatin1String("table"))
                    createSql = sql;
                else if (type == QLatin1String("index"))
                    indexSql << sql;
            }
        }
        const QString temp = name + QStringLiteral("$repair");
        try {
            TransactionGuard transaction(c);
            c->exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoteIdentifier(temp)));
            c->exec(QStringLiteral("CREATE TABLE %1 AS SELECT * FROM %2 WHERE 0").arg(quoteIdentifier(temp), quoteIdentifier(name)));
            int copied = 0, lost = 0;
            QVector<qint64> ids;
            {
                const Statement read = c->prepareOwned(QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid").arg(quoteIdentifier(name)));
                while (sqlite3_step(read) == SQLITE_ROW)
                    ids << sqlite3_column_int64(read, 0);
            }
            {
                const Statement copy = c->prepareOwned(QStringLiteral("INSERT INTO %1 SELECT * FROM %2 WHERE rowid = ?1")
                                                           .arg(quoteIdentifier(temp), quoteIdentifier(name)));
                for (qint64 id : ids) {
                    sqlite3_reset(copy);
                    sqlite3_bind_int64(copy, 1, id);
                    if (sqlite3_step(copy) == SQLITE_DONE)
                        ++copied;
                    else
                        ++lost;
                }
            }
            c->exec(QStringLiteral("DROP TABLE %1").arg(quoteIdentifier(name)));
            c->exec(createSql);
            c->exec(QStringLiteral("INSERT INTO %1 SELECT * FROM %2").arg(quoteIdentifier(name), quoteIdentifier(temp)));
            c->exec(QStringLiteral("DROP TABLE %1").arg(quoteIdentifier(temp)));
            for (const QString& s : indexSql)
                c->exec(s);
            transaction.commit(true);
            log(QStringLiteral("%1 rows kept, %2 rows could not be read").arg(copied).arg(lost));
        } catch (...) {
            c->forgetSchema();
            throw;
        }
        c->forgetSchema();
    }
    progress(80);
    const bool sound = integrityCheck(c, true, log);
    progress(100);
    log(sound ? QStringLiteral("Table '%1' repaired").arg(name)
              : QStringLiteral("Table '%1' is still damaged").arg(name));
    if (wasActive)
        open();
    return sound;
}

} // namespace vorta::db
