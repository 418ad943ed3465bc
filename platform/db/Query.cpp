#include "platform/db/Query.h"

#include "platform/db/Connection.h"
#include "platform/db/Database.h"
#include "platform/db/SqlText.h"

#include <QRegularExpression>
#include <QSet>

#include <sqlite3.h>

namespace vorta::db {

namespace {

// A result value: as its declared type where the column has one, else as what it holds.
QVariant resultValue(sqlite3_stmt* stmt, int c, bool typed, FieldType type)
{
    if (typed)
        return columnValue(stmt, c, type);
    switch (sqlite3_column_type(stmt, c)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(stmt, c));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt, c);
    case SQLITE_BLOB:
        return columnValue(stmt, c, FieldType::Blob);
    case SQLITE_TEXT:
        return columnValue(stmt, c, FieldType::String);
    default:
        return QVariant();
    }
}

} // namespace

struct ResultColumns {
    QVector<ColumnDef> columns;
    QVector<int> resultColumn; // result column of each dataset column
    QVector<bool> typed;       // whether the column has a declared type

    static ResultColumns of(sqlite3_stmt* stmt, bool live)
    {
        const int ncol = sqlite3_column_count(stmt);
        if (ncol == 0)
            throw EDatabaseError(QStringLiteral("The statement returns no result set"));
        ResultColumns r;
        QSet<QString> taken; // the names so far, folded: a wide result is not searched again for each
        for (int c = live ? 1 : 0; c < ncol; ++c) {
            const QString name = QString::fromUtf8(sqlite3_column_name(stmt, c));
            const char* decl = sqlite3_column_decltype(stmt, c);
            ColumnDef def;
            int size = 0;
            def.type = decl ? fieldTypeFromDecl(QString::fromUtf8(decl), &size) : FieldType::Unknown;
            def.size = size;
            r.typed << (def.type != FieldType::Unknown);
            // Repeated names are told apart as the class library does: "Name_1".
            QString unique = name;
            for (int k = 1; taken.contains(unique.toCaseFolded()); ++k)
                unique = name + QLatin1Char('_') + QString::number(k);
            taken.insert(unique.toCaseFolded());
            def.name = unique;
            r.columns.append(def);
            r.resultColumn << c;
        }
        return r;
    }
};

class Query::ParamLink : public DataLink {
public:
    explicit ParamLink(Query* q) : m_query(q) {}

protected:
    void activeChanged() override { m_query->masterChanged(); }
    void dataSetChanged() override { m_query->masterChanged(); }
    void dataSetScrolled(int) override { m_query->masterChanged(); }
    void recordChanged(Field* f) override
    {
        if (!f)
            m_query->masterChanged();
    }

private:
    Query* m_query;
};

Query::Query(Component* owner)
    : EngineDataSet(owner)
{
}

Query::~Query()
{
    closeQuietly();
    m_paramLink.reset();
}

void Query::setSql(const QString& text)
{
    setSqlLines(text.split(QLatin1Char('\n')));
}

void Query::setSqlLines(const QStringList& lines)
{
    if (active())
        close();
    m_lines = lines;
    parseParams();
}

void Query::addSql(const QString& line)
{
    if (active())
        close();
    m_lines << line;
    parseParams();
}

void Query::clearSql()
{
    if (active())
        close();
    m_lines.clear();
    parseParams();
}

void Query::parseParams()
{
    // Kept with the text: a query run for every record rewrites it once.
    m_rewritten = rewriteSql(sqlText());
    const QStringList& names = m_rewritten.paramNames;
    std::vector<std::unique_ptr<Param>> next;
    for (const QString& n : names) {
        std::unique_ptr<Param> p;
        for (auto& old : m_params)
            if (old && old->name().compare(n, Qt::CaseInsensitive) == 0) {
                p = std::move(old);
                break;
            }
        if (!p)
            p = std::make_unique<Param>(n);
        next.push_back(std::move(p));
    }
    m_params = std::move(next);
}

Param* Query::params(int index) const
{
    if (index < 0 || index >= paramCount())
        throw EDatabaseError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_params[size_t(index)].get();
}

Param* Query::findParam(const QString& name) const
{
    // Names are distinct case-insensitively: an exact match is the one match.
    for (const auto& p : m_params)
        if (p->name() == name)
            return p.get();
    for (const auto& p : m_params)
        if (p->name().compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return p.get();
    return nullptr;
}

Param* Query::paramByName(const QString& name) const
{
    Param* p = findParam(name);
    if (!p)
        throw EDatabaseError(QStringLiteral("Parameter '%1' not found").arg(name));
    return p;
}

DataSource* Query::dataSource() const
{
    return m_paramLink ? m_paramLink->dataSource() : nullptr;
}

void Query::setDataSource(DataSource* source)
{
    if (!m_paramLink)
        m_paramLink = std::make_unique<ParamLink>(this);
    m_paramLink->setDataSource(source);
}

void Query::masterChanged()
{
    if (!active() || state() == DataSetState::CalcFields)
        return;
    disableControls();
    try {
        close();
        open();
    } catch (...) {
        enableControls();
        throw;
    }
    enableControls();
}

void Query::bindParams(sqlite3_stmt* stmt, const QStringList& names)
{
    DataSet* master = m_paramLink ? m_paramLink->dataSet() : nullptr;
    for (int i = 0; i < names.size(); ++i) {
        Param* p = findParam(names[i]);
        QVariant v;
        if (p && p->bound())
            v = p->value();
        else if (master && master->active() && master->findField(names[i]))
            v = master->findField(names[i])->value();
        else if (p)
            v = p->value();
        bindValue(stmt, i + 1, v);
    }
}

QString Query::liveTable() const
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*select\\s+(.+?)\\s+from\\s+(\"?[A-Za-z_][\\w$]*\"?)"
                       "(?:\\s+(?:as\\s+)?(?!where\\b|order\\b)[A-Za-z_]\\w*)?"
                       "(?:\\s+(?:where|order)\\b.*)?\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QString text = sqlText();
    const auto m = re.match(text);
    if (!m.hasMatch())
        return {};
    const QString list = m.captured(1).trimmed();
    if (list.contains(QLatin1Char('(')) || list.startsWith(QLatin1String("distinct"), Qt::CaseInsensitive))
        return {};
    static const QRegularExpression bad(QStringLiteral("\\b(join|group\\s+by|union|having)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (bad.match(text).hasMatch())
        return {};
    QString t = m.captured(2);
    t.remove(QLatin1Char('"'));
    return t;
}

void Query::openCursor()
{
    acquireConnection();
    runSelect();
}

QString Query::selectText(const QString& rewritten, bool live)
{
    QString inner = rewritten.trimmed();
    while (inner.endsWith(QLatin1Char(';')))
        inner.chop(1);
    if (live)
        inner.replace(QRegularExpression(QStringLiteral("^\\s*select\\s"), QRegularExpression::CaseInsensitiveOption),
                      QStringLiteral("SELECT rowid AS vorta_rowid, "));
    return inner;
}

void Query::runSelect()
{
    const RewrittenSql& r = m_rewritten;
    m_liveTable = m_requestLive ? liveTable() : QString();
    if (!m_liveTable.isEmpty() && !m_conn->tableExists(m_liveTable))
        m_liveTable.clear();
    m_live = !m_liveTable.isEmpty();
    const QString inner = selectText(r.sql, m_live);
    // Columns first (the filter refers to them by name). The statement is the
    // connection's kept one: a query opened for each record or line prepares once.
    // Its columns are read once for the text while the schema stays the same.
    std::shared_ptr<const ResultColumns> shape = m_conn->resultColumns(inner);
    if (!shape) {
        // A statement prepared now: a kept one shows the columns of the schema it was
        // prepared in until it runs again.
        const Statement fresh = m_conn->prepareOwned(inner);
        shape = std::make_shared<const ResultColumns>(ResultColumns::of(fresh, m_live));
        m_conn->keepResultColumns(inner, shape);
    }
    sqlite3_stmt* probe = m_conn->prepare(inner);
    m_columns = shape->columns;
    m_rowidColumn = m_live ? 0 : -1;
    const QVector<int>& resultColumn = shape->resultColumn;
    const QVector<bool>& typed = shape->typed;
    const SqlFilter f = filterCondition(int(r.paramNames.size()) + 1, [](const QString& n) { return quoteIdentifier(n); });
    // Without a filter the probe is the statement itself. Nothing of the probe is read
    // after this: preparing the filtered one may drop the kept statements.
    sqlite3_stmt* stmt = f.where.isEmpty()
        ? probe
        : m_conn->prepare(QStringLiteral("SELECT * FROM (%1) WHERE %2").arg(inner, f.where));
    int rc;
    QVector<int> maxLen(m_columns.size(), 0);
    {
        StatementReset reset(stmt);
        bindParams(stmt, r.paramNames);
        for (int i = 0; i < f.params.size(); ++i)
            bindValue(stmt, int(r.paramNames.size()) + 1 + i, f.params[i]);
        m_rows.clear();
        m_keys.clear();
        m_posOf.clear();
        // Rows of a rerun keep their positions as keys, so a refresh stays on its row.
        m_nextSerial = 0;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            Row row(m_columns.size());
            for (int i = 0; i < m_columns.size(); ++i) {
                row[i] = resultValue(stmt, resultColumn[i], typed[i], m_columns[i].type);
                if (!typed[i] && row[i].typeId() == QMetaType::QString)
                    maxLen[i] = std::max(maxLen[i], int(row[i].toString().size()));
            }
            m_keys << (m_live ? sqlite3_column_int64(stmt, 0) : m_nextSerial++);
            m_rows << row;
        }
        if (rc != SQLITE_DONE)
            m_conn->fail(rc, sqlText());
    }
    // Expression columns take the type of the values they hold.
    for (int i = 0; i < m_columns.size(); ++i) {
        if (typed[i])
            continue;
        FieldType t = FieldType::String;
        for (const Row& row : std::as_const(m_rows)) {
            const QVariant& v = row[i];
            if (!v.isValid() || v.isNull())
                continue;
            if (v.typeId() == QMetaType::LongLong)
                t = FieldType::Integer;
            else if (v.typeId() == QMetaType::Double)
                t = FieldType::Float;
            else if (v.typeId() == QMetaType::QByteArray)
                t = FieldType::Blob;
            break;
        }
        // A column holding both integers and reals is a float column.
        if (t == FieldType::Integer)
            for (Row& row : m_rows)
                if (row[i].typeId() == QMetaType::Double) {
                    t = FieldType::Float;
                    break;
                }
        if (t == FieldType::Float)
            for (Row& row : m_rows)
                if (row[i].isValid() && !row[i].isNull())
                    row[i] = row[i].toDouble();
        m_columns[i].type = t;
        m_columns[i].size = t == FieldType::String ? std::max(maxLen[i], 1) : 0;
    }
    if (m_live) {
        const TableInfo& info = m_conn->tableInfo(m_liveTable);
        for (ColumnDef& c : m_columns) {
            const int tc = info.columnIndex(c.name);
            if (tc >= 0)
                c.required = info.columns[tc].notNull;
        }
    }
}

void Query::closeCursor()
{
    m_rows.clear();
    m_keys.clear();
    m_posOf.clear();
    m_live = false;
    releaseConnection();
}

qint64 Query::keyAt(int pos)
{
    return pos >= 0 && pos < m_keys.size() ? m_keys[pos] : -1;
}

int Query::positionOfKey(qint64 key)
{
    if (m_posOf.isEmpty() && !m_keys.isEmpty())
        for (int i = 0; i < m_keys.size(); ++i)
            m_posOf.insert(m_keys[i], i);
    return m_posOf.value(key, -1);
}

void Query::fetchRow(int pos, Row& row)
{
    row = m_rows.value(pos);
    row.resize(m_columns.size());
}

bool Query::fetchByKey(qint64 key, Row& row)
{
    const int pos = positionOfKey(key);
    if (pos < 0)
        return false;
    row = m_rows[pos];
    return true;
}

qint64 Query::writeRow(bool inserting, qint64 key, const Row& values, const Row& old)
{
    if (!m_live)
        throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
    const TableInfo info = m_conn->tableInfo(m_liveTable);
    const QString table = quoteIdentifier(info.name);
    if (inserting) {
        QStringList cols, marks;
        QVariantList params;
        for (int c = 0; c < m_columns.size(); ++c) {
            if (info.columnIndex(m_columns[c].name) < 0)
                continue;
            cols << quoteIdentifier(m_columns[c].name);
            params << values.value(c);
            marks << QLatin1Char('?') + QString::number(params.size());
        }
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(table, cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        sqlite3_stmt* stmt = m_conn->prepare(sql);
        StatementReset reset(stmt);
        for (int i = 0; i < params.size(); ++i)
            bindValue(stmt, i + 1, params[i]);
        m_conn->stepRecordUpdate(stmt, m_liveTable);
        const qint64 id = sqlite3_last_insert_rowid(m_conn->handle());
        m_rows << values;
        m_keys << id;
        m_posOf.clear();
        return id;
    }
    QStringList sets;
    QVariantList params;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (info.columnIndex(m_columns[c].name) < 0)
            continue;
        if (values.value(c) == old.value(c) && values.value(c).isNull() == old.value(c).isNull())
            continue;
        params << values.value(c);
        sets << QStringLiteral("%1 = ?%2").arg(quoteIdentifier(m_columns[c].name)).arg(params.size());
    }
    if (!sets.isEmpty()) {
        params << key;
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                                .arg(table, sets.join(QLatin1Char(',')))
                                .arg(params.size());
        sqlite3_stmt* stmt = m_conn->prepare(sql);
        StatementReset reset(stmt);
        for (int i = 0; i < params.size(); ++i)
            bindValue(stmt, i + 1, params[i]);
        m_conn->stepRecordUpdate(stmt, m_liveTable);
    }
    const int pos = positionOfKey(key);
    if (pos >= 0)
        m_rows[pos] = values;
    return key;
}

void Query::deleteRow(qint64 key)
{
    if (!m_live)
        throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(quoteIdentifier(m_liveTable));
    sqlite3_stmt* stmt = m_conn->prepare(sql);
    StatementReset reset(stmt);
    sqlite3_bind_int64(stmt, 1, key);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE)
        m_conn->fail(rc, m_liveTable);
    const int pos = positionOfKey(key);
    if (pos >= 0) {
        m_rows.remove(pos);
        m_keys.remove(pos);
    }
    m_posOf.clear();
}

void Query::invalidateView()
{
    if (m_conn)
        runSelect();
}

QVariant Query::firstValue(const QString& column)
{
    if (filtered() && !filter().trimmed().isEmpty()) {
        // The filter names the result's fields: it applies to an open result only.
        if (active())
            close();
        open();
        const QVariant v = isEmpty() ? QVariant() : fieldByName(column)->value();
        close();
        return v;
    }
    auto c = database()->connection();
    const RewrittenSql& r = m_rewritten;
    sqlite3_stmt* stmt = c->prepare(selectText(r.sql, false));
    const int ncol = sqlite3_column_count(stmt);
    if (ncol == 0)
        throw EDatabaseError(QStringLiteral("The statement returns no result set"));
    int wanted = -1;
    // Mostly the name as the text writes it; any case is the same field.
    const QByteArray exact = column.toUtf8();
    for (int i = 0; i < ncol && wanted < 0; ++i)
        if (qstrcmp(sqlite3_column_name(stmt, i), exact.constData()) == 0)
            wanted = i;
    for (int i = 0; i < ncol && wanted < 0; ++i)
        if (QString::fromUtf8(sqlite3_column_name(stmt, i)).compare(column, Qt::CaseInsensitive) == 0)
            wanted = i;
    if (wanted < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(column));
    StatementReset reset(stmt);
    bindParams(stmt, r.paramNames);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE)
        return QVariant();
    if (rc != SQLITE_ROW)
        c->fail(rc, sqlText());
    const char* decl = sqlite3_column_decltype(stmt, wanted);
    int size = 0;
    const FieldType type = decl ? fieldTypeFromDecl(QString::fromUtf8(decl), &size) : FieldType::Unknown;
    return resultValue(stmt, wanted, type != FieldType::Unknown, type);
}

void Query::execSql()
{
    auto c = database()->connection();
    const QString text = sqlText();
    const RewrittenSql& r = m_rewritten;
    const QString head = r.sql.trimmed().left(6).toUpper();
    const bool ddl = head.startsWith(QLatin1String("CREATE")) || head.startsWith(QLatin1String("DROP"))
        || head.startsWith(QLatin1String("ALTER"));
    int rc;
    {
        // A statement that changes the schema is not kept: it would stop the next one.
        Statement own = ddl ? c->prepareOwned(r.sql) : Statement();
        sqlite3_stmt* stmt = ddl ? own.get() : c->prepare(r.sql);
        StatementReset reset(ddl ? nullptr : stmt);
        bindParams(stmt, r.paramNames);
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
    }
    if (rc != SQLITE_DONE)
        c->fail(rc, text);
    m_rowsAffected = ddl ? 0 : sqlite3_changes(c->handle());
    if (ddl) {
        c->forgetSchema();
        c->clearStatements();
    }
}

} // namespace vorta::db
