#pragma once

#include "platform/db/Connection.h"
#include "platform/db/EngineDataSet.h"

#include <QHash>

#include <memory>

namespace vorta::db {

// A table of the database folder, in the order of its active index, optionally limited
// by a range, a master record and a filter. Rows are read in blocks as they are needed.
class Table : public EngineDataSet {
public:
    explicit Table(Component* owner = nullptr);
    ~Table() override;

    QString tableName() const { return m_tableName; }
    void setTableName(const QString& name); // a trailing ".DAT" is ignored

    // Active index by name ("Id_Nome", "PrimaryKey") or by field names ("a;b").
    QString indexName() const { return m_indexName; }
    void setIndexName(const QString& name);
    QString indexFieldNames() const { return m_indexFieldNames; }
    void setIndexFieldNames(const QString& names);
    QStringList indexFields(); // fields of the active order
    QStringList indexNames();  // the table's named indexes
    QStringList primaryIndexFields();

    bool exists();
    // The table's index definitions, the primary index (name "") first.
    QVector<IndexInfo> indexDefs();
    // Creates the table from the dataset's persistent data fields (names, types, sizes,
    // required); raises EDatabaseError without any, EDBEngineError when it exists.
    void createTable();
    // Adds an index on the fields ("a;b") of the closed table. The primary index has no
    // name and keeps its fields unique; a table has one at most.
    void addIndex(const QString& name, const QString& fields, bool primary, bool unique = false);

    // Key search on the active index.
    bool findKey(const QVariantList& values);
    void findNearest(const QVariantList& values);
    void setRange(const QVariantList& startValues, const QVariantList& endValues);
    void cancelRange();

    // Master-detail by fields: masterFields of the source's dataset give the values of
    // this table's detail fields (by default the active index's first fields).
    DataSource* masterSource() const;
    void setMasterSource(DataSource* source);
    QString masterFields() const { return m_masterFields; }
    void setMasterFields(const QString& fields);
    QString detailFields() const { return m_detailFields; }
    void setDetailFields(const QString& fields)
    {
        m_detailFields = fields;
        ++m_conditionGeneration;
    }

    // User version numbers kept for the table in the layer's catalogue.
    int userMajorVersion();
    int userMinorVersion();
    void setUserVersion(int major, int minor);

    // Maintenance. verifyTable answers whether the table is sound; repairTable repairs it
    // and answers whether it is sound afterwards. A progress handler may set stop.
    bool verifyTable();
    bool repairTable();
    std::function<void(Table&, const QString&)> OnVerifyLog;
    std::function<void(Table&, int percent, bool& stop)> OnVerifyProgress;
    std::function<void(Table&, const QString&)> OnRepairLog;
    std::function<void(Table&, int percent, bool& stop)> OnRepairProgress;

    // Empties the table.
    void emptyTable();

protected:
    void openCursor() override;
    void closeCursor() override;
    int viewCount() override;
    bool viewEmpty() override;
    qint64 keyAt(int pos) override;
    int positionOfKey(qint64 key) override;
    void fetchRow(int pos, Row& row) override;
    bool fetchByKey(qint64 key, Row& row) override;
    int findFirst(const QVector<Field*>& fields, const QVariantList& values, LocateOptions options) override;
    qint64 writeRow(bool inserting, qint64 key, const Row& values, const Row& old) override;
    void deleteRow(qint64 key) override;
    void invalidateView() override;
    bool backendCanModify() const override { return true; }
    void initNewRow(Row& row) override;
    // The engine's own wording for tables, which the programs' error translations expect.
    QString notEditingMessage() const override { return QStringLiteral("Table is not in edit or insert mode"); }

private:
    // One column of the table's row in the version catalogue; 0 when it has none.
    int catalogueVersion(const char* column);
    class MasterLink;
    friend class MasterLink;
    void masterChanged();
    void ensureView();
    QString viewSql(QVariantList& params);
    // Whether the view built last would come out the same if built now.
    bool viewStillCurrent();
    ContentStamp tableStamp();
    QString whereClause(QVariantList& params);
    QString buildWhereClause(QVariantList& params, int& masterCount);
    QString orderClause();
    bool orderHeldByMaster();
    QStringList detailFieldList();
    QString quotedTable() const;
    std::shared_ptr<Connection> maintenanceConnection();
    bool integrityCheck(const std::shared_ptr<Connection>& c, bool log, const std::function<void(const QString&)>& out);
    void moveToFound(int pos);

    // Fills the texts and columns below from the shape's definition.
    void buildShape();
    // What the texts were built for: a schema generation of the connection and a name.
    struct Shape {
        quint64 generation = 0;
        QString tableName;
        TableInfo info;
        QString quotedTable;
        QVector<ColumnDef> columns;
    } m_shape;
    struct ViewText {
        quint64 generation = 0; // of the condition's definition
        QString where;
        QString sql;
    } m_viewText;
    QString m_tableName;
    QString m_indexName;
    QString m_indexFieldNames;
    TableInfo m_info;
    QString m_selectList;
    QString m_insertSql;
    Statement m_insertStmt; // kept while open: asked for every row posted
    bool m_insertBindsAll = false;
    BoundValues::Room m_insertTexts; // the texts bound to it
    QString m_fetchSql;
    QString m_blockSql;
    QString m_emptySql;      // the emptiness question for the condition below
    QString m_emptySqlWhere;
    int m_lastFetched = -2;          // position read last: sequential reads go by blocks
    qint64 m_writtenKey = -1;        // the row just written, as written
    Row m_writtenRow;
    int m_rowidAlias = -1; // column that is the row id, or -1
    QVector<qint64> m_rowids;
    bool m_viewValid = false;
    QStringList m_stampTables; // this table's name, for its stamp asked after every post
    // What the view was read with, and the table's rows as the connection saw them then.
    QString m_viewSql;
    QVariantList m_viewParams;
    ContentStamp m_viewStamp;
    // A condition the table held a row for at the stamp; an insert through this table
    // adds its own write to the stamp, as it removes no row.
    struct KnownRows {
        ContentStamp stamp;
        QString where;
        QVariantList params;
    } m_holdsRows;
    QHash<qint64, int> m_posOf;
    QHash<int, QVector<Row>> m_blocks;
    bool m_ranged = false;
    QVariantList m_rangeStart;
    QVariantList m_rangeEnd;
    QString m_masterFields;
    QStringList m_masterFieldList; // split once: asked for every post
    QString m_detailFields;
    std::unique_ptr<MasterLink> m_masterLink;
    // The row condition last built and what it was built from; the generation changes
    // with the definition (open, index, range, master and detail fields).
    quint64 m_conditionGeneration = 1;
    struct RowCondition {
        quint64 generation = 0;
        const DataSet* master = nullptr;
        bool masterUsed = false;
        QVariantList masterValues;
        bool filtered = false;
        FilterOptions filterOptions = 0;
        QString filter;
        QString sql;
        QVariantList params;
    } m_condition;
    // Master field names and the columns they fill in a new row, for a generation.
    quint64 m_masterColumnsGeneration = 0;
    QStringList m_masterColumnNames;
    QVector<int> m_masterColumns;
    const DataSet* m_masterFieldsOf = nullptr;
    quint64 m_masterFieldsGeneration = 0;
    QVector<Field*> m_masterFieldPtrs; // by master column, null until found
};

} // namespace vorta::db
