#pragma once

#include "platform/core/Component.h"
#include "platform/db/DbTypes.h"

#include <functional>

namespace vorta::db {

class DataSet;
class DataSource;
class Field;

enum class DataEvent {
    FieldChange, RecordChange, DataSetChange, DataSetScroll, LayoutChange,
    UpdateRecord, UpdateState, CheckBrowseMode
};

// What a data-aware control (or a detail dataset) holds on a data source. Subclasses
// override the hooks they need.
class DataLink {
public:
    DataLink() = default;
    virtual ~DataLink();
    DataLink(const DataLink&) = delete;
    DataLink& operator=(const DataLink&) = delete;

    DataSource* dataSource() const { return m_source; }
    void setDataSource(DataSource* source);
    DataSet* dataSet() const;
    // The source is enabled and its dataset open.
    bool active() const { return m_active; }
    // The dataset is in edit or insert state (and this link is not read-only).
    bool editing() const { return m_editing; }
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool on);

    // Puts the dataset into edit state when the source allows it; true when editing.
    bool edit();
    // A control changed its value: its updateData runs before the next post.
    void modified() { m_modified = true; }
    bool isModified() const { return m_modified; }
    // Runs updateData when the control has a pending change.
    void updateRecord();
    // The focus request of a field: true when this link's control took the focus.
    virtual bool focusControl(Field* /*field*/) { return false; }

protected:
    virtual void activeChanged() {}
    virtual void recordChanged(Field* /*field*/) {}
    virtual void dataSetChanged() { recordChanged(nullptr); }
    virtual void dataSetScrolled(int /*distance*/) { dataSetChanged(); }
    virtual void layoutChanged() { dataSetChanged(); }
    virtual void editingChanged() {}
    virtual void updateData() {}
    virtual void checkBrowseMode() {}

private:
    friend class DataSource;
    void dataEvent(DataEvent event, Field* field, int info);
    void updateState();
    DataSource* m_source = nullptr;
    bool m_active = false;
    bool m_editing = false;
    bool m_readOnly = false;
    bool m_modified = false;
    bool m_updating = false;
};

// Joins a dataset and the controls (data links) that show it.
class DataSource : public Component {
public:
    explicit DataSource(Component* owner = nullptr);
    ~DataSource() override;

    DataSet* dataSet() const { return m_dataSet; }
    void setDataSet(DataSet* ds);
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool on) { m_autoEdit = on; }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    DataSetState state() const;
    // Edit state on the dataset when auto-edit allows it.
    void edit();

    std::function<void(DataSource&)> OnStateChange;
    std::function<void(DataSource&, Field*)> OnDataChange;
    std::function<void(DataSource&)> OnUpdateData;

    const QVector<DataLink*>& links() const { return m_links; }

    // For the dataset.
    void dataEvent(DataEvent event, Field* field, int info);

private:
    friend class DataLink;
    DataSet* m_dataSet = nullptr;
    bool m_autoEdit = true;
    bool m_enabled = true;
    DataSetState m_lastState = DataSetState::Inactive;
    QVector<DataLink*> m_links;
};

} // namespace vorta::db
