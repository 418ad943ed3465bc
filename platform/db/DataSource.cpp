#include "platform/db/DataSource.h"

#include "platform/db/DataSet.h"

namespace vorta::db {

DataLink::~DataLink()
{
    setDataSource(nullptr);
}

void DataLink::setDataSource(DataSource* source)
{
    if (source == m_source)
        return;
    if (m_source)
        m_source->m_links.removeAll(this);
    m_source = source;
    if (m_source)
        m_source->m_links.append(this);
    updateState();
}

DataSet* DataLink::dataSet() const
{
    return m_source ? m_source->dataSet() : nullptr;
}

void DataLink::setReadOnly(bool on)
{
    m_readOnly = on;
    updateState();
}

bool DataLink::edit()
{
    if (!m_readOnly && m_source)
        m_source->edit();
    return m_editing;
}

void DataLink::updateRecord()
{
    if (!m_modified || m_updating)
        return;
    m_updating = true;
    try {
        updateData();
    } catch (...) {
        m_updating = false;
        throw;
    }
    m_updating = false;
    m_modified = false;
}

void DataLink::updateState()
{
    const bool active = m_source && m_source->enabled() && m_source->dataSet() && m_source->dataSet()->active();
    const DataSetState st = active ? m_source->state() : DataSetState::Inactive;
    const bool editing = active && !m_readOnly && (st == DataSetState::Edit || st == DataSetState::Insert);
    if (active != m_active) {
        m_active = active;
        if (!active)
            m_modified = false;
        activeChanged();
    }
    if (editing != m_editing) {
        m_editing = editing;
        editingChanged();
    }
}

void DataLink::dataEvent(DataEvent event, Field* field, int info)
{
    if (event == DataEvent::UpdateState) {
        updateState();
        return;
    }
    if (!m_active)
        return;
    switch (event) {
    case DataEvent::FieldChange:
    case DataEvent::RecordChange:
        if (!m_updating)
            recordChanged(field);
        break;
    case DataEvent::DataSetChange:
        m_modified = false;
        dataSetChanged();
        break;
    case DataEvent::DataSetScroll:
        m_modified = false;
        dataSetScrolled(info);
        break;
    case DataEvent::LayoutChange:
        layoutChanged();
        break;
    case DataEvent::UpdateRecord:
        updateRecord();
        break;
    case DataEvent::CheckBrowseMode:
        checkBrowseMode();
        break;
    default:
        break;
    }
}

DataSource::DataSource(Component* owner)
    : Component(owner)
{
}

DataSource::~DataSource()
{
    const auto links = m_links;
    for (DataLink* l : links)
        l->setDataSource(nullptr);
    setDataSet(nullptr);
}

void DataSource::setDataSet(DataSet* ds)
{
    if (ds == m_dataSet)
        return;
    if (m_dataSet)
        m_dataSet->detachSource(this);
    m_dataSet = ds;
    if (m_dataSet)
        m_dataSet->attachSource(this);
    dataEvent(DataEvent::UpdateState, nullptr, 0);
    if (m_dataSet && m_dataSet->active())
        dataEvent(DataEvent::DataSetChange, nullptr, 0);
}

void DataSource::setEnabled(bool on)
{
    m_enabled = on;
    dataEvent(DataEvent::UpdateState, nullptr, 0);
}

DataSetState DataSource::state() const
{
    if (!m_dataSet || !m_enabled)
        return DataSetState::Inactive;
    return m_dataSet->state();
}

void DataSource::edit()
{
    if (m_autoEdit && m_dataSet && state() == DataSetState::Browse)
        m_dataSet->edit();
}

void DataSource::dataEvent(DataEvent event, Field* field, int info)
{
    if (event == DataEvent::UpdateState) {
        const DataSetState now = state();
        const auto links = m_links;
        for (DataLink* l : links)
            l->dataEvent(event, field, info);
        if (now != m_lastState) {
            m_lastState = now;
            if (OnStateChange)
                OnStateChange(*this);
        }
        return;
    }
    if (!m_enabled)
        return;
    if (event == DataEvent::UpdateRecord && OnUpdateData)
        OnUpdateData(*this);
    const auto links = m_links;
    for (DataLink* l : links)
        l->dataEvent(event, field, info);
    if ((event == DataEvent::FieldChange || event == DataEvent::RecordChange || event == DataEvent::DataSetChange
         || event == DataEvent::DataSetScroll || event == DataEvent::LayoutChange)
        && OnDataChange)
        OnDataChange(*this, event == DataEvent::FieldChange ? field : nullptr);
}

} // namespace vorta::db
