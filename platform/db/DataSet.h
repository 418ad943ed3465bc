#pragma once

#include "platform/core/Component.h"
#include "platform/db/DataSource.h"
#include "platform/db/DbTypes.h"
#include "platform/db/Field.h"

#include <QHash>

#include <functional>
#include <memory>
#include <vector>

namespace vorta::db {

class Connection;
class Database;

// A position kept across moves; valid while the record exists.
struct Bookmark {
    qint64 key = -1;
    bool isValid() const { return key >= 0; }
    bool operator==(const Bookmark&) const = default;
};

struct ColumnDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0;
    bool required = false;
    bool operator==(const ColumnDef&) const = default;
};

// The class library's dataset: states, navigation, editing with its event order,
// fields, search, filters, bookmarks and the notifications of its data sources.
// Raising EAbort in a Before* handler ends the operation and keeps the state.
class DataSet : public Component {
public:
    explicit DataSet(Component* owner = nullptr);
    ~DataSet() override;

    // Fields. Fields added before opening are persistent; when none of them is a data
    // field, every column gets a field at open.
    int fieldCount() const { return int(m_fields.size()); }
    Field* fields(int index) const { return m_fields.at(size_t(index)).get(); }
    Field* findField(const QString& name) const;
    Field* fieldByName(const QString& name) const; // raises "Field 'X' not found"
    QStringList fieldNames() const;
    Field* addField(const QString& name, FieldType type, int size = 0, FieldKind kind = FieldKind::Data);
    Field* addLookupField(const QString& name, FieldType type, int size, const QString& keyFields,
                          DataSet* lookupDataSet, const QString& lookupKeyFields, const QString& lookupResultField);
    // Data fields of the given names ("a;b"), raising for an unknown one.
    QVector<Field*> fieldList(const QString& names) const;
    QVariant fieldValues(const QString& names) const; // one value, or a list for several
    // Changes with every change of the field list; no two datasets share a value, so a
    // field found by name stays the answer while it is the same.
    quint64 fieldsGeneration() const { return m_fieldsGeneration; }

    DataSetState state() const { return m_state; }
    bool active() const { return m_state != DataSetState::Inactive; }
    void setActive(bool on) { on ? open() : close(); }
    void open();
    void close();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    // True while the record being inserted goes after the last one (append), not at the cursor.
    bool appending() const { return m_state == DataSetState::Insert && m_appending; }
    int recNo();          // 1-based; -1 while inserting or when empty
    void setRecNo(int recNo);
    int recordCount();
    bool isEmpty();
    bool modified() const { return m_modified; }
    bool canModify() const;
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool on) { m_readOnly = on; }

    void first();
    void last();
    void next() { moveBy(1); }
    void prior() { moveBy(-1); }
    int moveBy(int distance);

    void insert();
    void append();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    void refresh();
    // Posts a modified record and cancels an unmodified one.
    void checkBrowseMode();

    bool locate(const QString& keyFields, const QVariantList& keyValues, LocateOptions options = 0);
    bool locate(const QString& keyField, const QVariant& keyValue, LocateOptions options = 0)
    {
        return locate(keyField, QVariantList{keyValue}, options);
    }
    // Value(s) of resultFields in the first record matching; the cursor does not move.
    QVariant lookup(const QString& keyFields, const QVariantList& keyValues, const QString& resultFields);

    Bookmark bookmark();
    void gotoBookmark(const Bookmark& b);
    bool bookmarkValid(const Bookmark& b);
    // The records of the view by their 0-based position, for controls that show many
    // of them: read without moving, so no event is sent and details do not follow.
    Bookmark bookmarkAt(int pos);
    int positionOf(const Bookmark& b); // -1 when not in the view
    // Runs fn with the record at pos in the fields (its calculated fields computed),
    // then gives the current record back as it was, typed values included.
    void peekRecord(int pos, const std::function<void()>& fn);

    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }
    // Changes whenever the rows the dataset shows may have changed.
    quint64 rowsStamp() const { return m_rowsStamp; }

    const QString& filter() const { return m_filter; }
    void setFilter(const QString& text);
    bool filtered() const { return m_filtered; }
    void setFiltered(bool on);
    FilterOptions filterOptions() const { return m_filterOptions; }
    void setFilterOptions(FilterOptions o);

    bool autoCalcFields = true;

    // Cached updates: posts and deletes stay in the dataset, shown as if stored (new
    // records after the stored ones), until applyUpdates writes them; commitUpdates then
    // forgets them. A rollback of the transaction they were written in brings them back
    // as pending. Switching cached updates off or closing drops pending changes.
    bool cachedUpdates() const { return m_cached; }
    void setCachedUpdates(bool on);
    bool updatesPending() const { return !m_pending.isEmpty() && !m_applied; }
    // Writes the pending changes in their order, inside the database's transaction (one
    // of its own when none is active); they stay cached until commitUpdates.
    void applyUpdates();
    void commitUpdates();
    void cancelUpdates();

    using Event = std::function<void(DataSet&)>;
    using ErrorEvent = std::function<void(DataSet&, EDatabaseError&, DataAction&)>;
    Event BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeScroll, AfterScroll,
        BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost, AfterPost,
        BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeRefresh, AfterRefresh,
        OnNewRecord, OnCalcFields;
    ErrorEvent OnPostError, OnDeleteError, OnEditError;

    // For fields, data sources and connections.
    const QVariant& slotValue(int slot) const;
    const QVariant& oldSlotValue(int slot) const;
    void setFieldValue(Field* field, QVariant value);
    void attachSource(DataSource* s);
    const QVector<DataSource*>& dataSources() const { return m_sources; }
    void detachSource(DataSource* s);
    void dataEvent(DataEvent event, Field* field = nullptr, int info = 0);
    virtual void connectionRolledBack();
    // The connection rolled back: applied cached updates are pending again.
    void transactionRolledBack();
    const QVector<ColumnDef>& columns() const { return m_columns; }

protected:
    // What a concrete dataset provides: a view (ordered, filtered rows) with keys.
    virtual void openCursor() = 0;   // fills m_columns and prepares the view
    virtual void closeCursor() = 0;
    virtual int viewCount() = 0;
    // Whether the view has no row; a dataset may answer without building its view.
    virtual bool viewEmpty() { return viewCount() == 0; }
    virtual qint64 keyAt(int pos) = 0;
    virtual int positionOfKey(qint64 key) = 0; // -1 when not in the view
    virtual void fetchRow(int pos, Row& row) = 0;
    virtual bool fetchByKey(qint64 key, Row& row) = 0;
    // Position of the first row matching, or -1; the default scans the view.
    virtual int findFirst(const QVector<Field*>& fields, const QVariantList& values, LocateOptions options);
    // Writes the record; returns its key. The view may be rebuilt lazily.
    virtual qint64 writeRow(bool inserting, qint64 key, const Row& values, const Row& old) = 0;
    virtual void deleteRow(qint64 key) = 0;
    // The view must be rebuilt (refresh, filter, range or master changes).
    virtual void invalidateView() = 0;
    virtual bool backendCanModify() const { return false; }
    // New rows get these values (detail datasets set the master's key).
    virtual void initNewRow(Row&) {}
    // Filter text as a SQL condition over column expressions.
    struct SqlFilter {
        QString where;
        QVariantList params;
    };
    SqlFilter filterCondition(int firstParam, const std::function<QString(const QString&)>& columnSql) const;

    // The refusal of a field write outside edit and insert state.
    virtual QString notEditingMessage() const { return QStringLiteral("Dataset not in edit or insert mode"); }
    // Closes without events; concrete datasets call it from their destructors.
    void closeQuietly();
    // Keeps the current record and re-reads it (after a view change).
    void resyncCurrent(bool keepKey = true);
    void checkActive() const;
    int columnIndex(const QString& name) const;
    static bool matches(const Field* f, const QVariant& fieldValue, const QVariant& wanted, LocateOptions options);
    bool m_readOnly = false;
    QVector<ColumnDef> m_columns;

    // The engine's transaction around applied cached updates; datasets without one
    // write without it.
    virtual bool inTransaction() { return true; }
    virtual void startTransaction() {}
    virtual void commitTransaction() {}
    virtual void rollbackTransaction() {}

private:
    // The view as the dataset shows it: the concrete view, or with pending cached
    // updates that view without deleted records and with new ones after it.
    bool overlayActive() const { return m_cached && !m_applied && !m_pending.isEmpty(); }
    void buildOverlay();
    int vCount();
    qint64 vKeyAt(int pos);
    int vPositionOfKey(qint64 key);
    void vFetchRow(int pos, Row& row);
    bool vFetchByKey(qint64 key, Row& row);
    int vFindFirst(const QVector<Field*>& fields, const QVariantList& values, LocateOptions options);
    qint64 vWriteRow(bool inserting, qint64 key, const Row& values, const Row& old);
    void vDeleteRow(qint64 key);
    void vInvalidateView();
    void dropPending();
    void reshow();
    struct Pending {
        enum Kind { Inserted, Modified, Deleted } kind;
        qint64 key;
        Row values;
        Row old;
    };
    int pendingIndex(qint64 key) const;
    bool m_cached = false;
    bool m_applied = false;
    QVector<Pending> m_pending;
    qint64 m_nextCachedKey;
    bool m_overlayValid = false;
    QVector<qint64> m_overlayKeys;
    QVector<int> m_overlayBase; // position in the concrete view, -1 for a new record
    QHash<qint64, int> m_overlayPos;

    void bindFields();
    void loadBuffer();
    Row readRecord(int pos);
    void calculateFields();
    // Works out the looked-up values left for their first reading after a post.
    void resolvePendingCalc();
    QVariant lookupValue(Field* f, const QVariantList& keys);
    const QVariant* recentLookup(Field* f, const QVariant& key);
    void setState(DataSetState s);
    void beginInsert(bool appending);
    void doPost();
    int currentPos();
    void moveTo(int pos);
    void resetCurrentAfterPost(qint64 key);
    // The data columns of the current record from a row read by key.
    void takeColumns(const Row& row);

    std::vector<std::unique_ptr<Field>> m_fields;
    // Name lookups are made for every value read or set: an index, rebuilt when the
    // fields change.
    void fieldsChanged();
    void indexFields() const;
    mutable QHash<QString, Field*> m_byName;
    mutable QHash<QString, Field*> m_byFoldedName;
    mutable QHash<QString, QVector<Field*>> m_fieldLists;
    mutable bool m_fieldsIndexed = false;
    // Changes with every change of the field list; resolved field lists of an older
    // generation are stale.
    quint64 m_fieldsGeneration = nextFieldsGeneration();
    static quint64 nextFieldsGeneration();
    // The columns and the field list of the last binding: an open on the same columns
    // with the same fields finds every field where it was.
    QVector<ColumnDef> m_boundColumns;
    quint64 m_boundGeneration = 0;
    QVariantList m_lookupKeys;
    int m_persistentCount = 0;
    DataSetState m_state = DataSetState::Inactive;
    Row m_buffer;
    Row m_old;
    int m_pos = -1;           // position in the view, -1 when empty
    qint64 m_key = -1;        // key of the current record
    bool m_posKnown = true;   // false after a write until the view is consulted
    bool m_bof = true;
    bool m_eof = true;
    bool m_appending = false;
    bool m_modified = false;
    bool m_calculating = false;
    // The current record's looked-up values are not yet worked out (read at first use).
    bool m_calcPending = false;
    bool m_hasComputedFields = false;
    int m_disableCount = 0;
    quint64 m_rowsStamp = 1;
    bool m_changedWhileDisabled = false;
    QString m_filter;
    bool m_filtered = false;
    FilterOptions m_filterOptions = 0;
    QVector<DataSource*> m_sources;
};

} // namespace vorta::db
