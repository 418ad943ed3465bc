#pragma once

#include "platform/db/EngineDataSet.h"
#include "platform/db/SqlText.h"

#include <QHash>

#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace vorta::db {

// A parameter of a query: its value is always bound, never written into the text.
class Param {
public:
    explicit Param(const QString& name) : m_name(name) {}
    const QString& name() const { return m_name; }
    const QVariant& value() const { return m_value; }
    void setValue(const QVariant& v) { m_value = v; m_bound = true; }
    void setAsString(const QString& v) { setValue(v); }
    void setAsInteger(qint64 v) { setValue(v); }
    void setAsFloat(double v) { setValue(v); }
    // Bound as the nearest number, as a float column stores it.
    void setAsMoney(Money v) { setValue(v.toDouble()); }
    void setAsBoolean(bool v) { setValue(v); }
    void setAsDateTime(const QDateTime& v) { setValue(v); }
    void setAsDate(const QDate& v) { setValue(v); }
    void clear() { m_value = QVariant(); m_bound = true; }
    bool isNull() const { return !m_value.isValid() || m_value.isNull(); }
    bool bound() const { return m_bound; }
    QString asString() const { return m_value.toString(); }

private:
    QString m_name;
    QVariant m_value;
    bool m_bound = false;
};

// A SQL statement on a database: open for its rows, or execute. A request-live query
// that selects from one table writes its changes back to that table.
class Query : public EngineDataSet {
public:
    explicit Query(Component* owner = nullptr);
    ~Query() override;

    // The text as one string or as lines (joined with line breaks).
    QString sqlText() const { return m_lines.join(QLatin1Char('\n')); }
    QStringList sqlLines() const { return m_lines; }
    void setSql(const QString& text);
    void setSqlLines(const QStringList& lines);
    void addSql(const QString& line);
    void clearSql();

    int paramCount() const { return int(m_params.size()); }
    Param* params(int index) const;
    Param* paramByName(const QString& name) const; // raises "Parameter 'X' not found"
    Param* findParam(const QString& name) const;

    bool requestLive() const { return m_requestLive; }
    void setRequestLive(bool on) { m_requestLive = on; }
    // Whether the open result writes back.
    bool live() const { return m_live; }

    // Parameters not set take the values of the same-named fields of this source's
    // dataset, and the query reopens when that dataset moves.
    DataSource* dataSource() const;
    void setDataSource(DataSource* source);

    void execSql();
    int rowsAffected() const { return m_rowsAffected; }
    // The named column of the first row, run now with the parameters as they stand and
    // without opening (no fields, no events); invalid when there is no row. Raises
    // "Field 'X' not found" for a column the result lacks. A filtered query opens and
    // closes, since its filter reads the result's fields.
    QVariant firstValue(const QString& column);
    void prepare() {}
    void unprepare() {}

protected:
    void openCursor() override;
    void closeCursor() override;
    int viewCount() override { return int(m_rows.size()); }
    qint64 keyAt(int pos) override;
    int positionOfKey(qint64 key) override;
    void fetchRow(int pos, Row& row) override;
    bool fetchByKey(qint64 key, Row& row) override;
    qint64 writeRow(bool inserting, qint64 key, const Row& values, const Row& old) override;
    void deleteRow(qint64 key) override;
    void invalidateView() override;
    bool backendCanModify() const override { return m_live; }
    void connectionRolledBack() override {}

private:
    class ParamLink;
    friend class ParamLink;
    void parseParams();
    void masterChanged();
    void bindParams(sqlite3_stmt* stmt, const QStringList& names);
    QString liveTable() const;
    void runSelect();
    // The statement's text as run, with the row id first when live.
    static QString selectText(const QString& rewritten, bool live);

    QStringList m_lines;
    RewrittenSql m_rewritten;
    std::vector<std::unique_ptr<Param>> m_params;
    bool m_requestLive = false;
    bool m_live = false;
    QString m_liveTable;
    int m_rowidColumn = -1;
    int m_rowsAffected = 0;
    std::unique_ptr<ParamLink> m_paramLink;
    QVector<Row> m_rows;     // every row of the result (with the row id when live)
    QVector<qint64> m_keys;  // a key per row: the row id, or a serial number
    QHash<qint64, int> m_posOf;
    qint64 m_nextSerial = 0;
    bool m_stale = false;
};

} // namespace vorta::db
