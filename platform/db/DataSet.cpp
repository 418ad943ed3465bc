#include "platform/db/DataSet.h"

#include <QSet>

#include <atomic>
#include <cstring>

#include "platform/db/SqlText.h"

namespace vorta::db {

namespace {

const QVariant& nullVariant()
{
    static const QVariant v;
    return v;
}

// Whether two values are one and the same object state: the same type, null flag and
// bits, so that one may stand for the other. Read inline: asked for every column of
// every record posted.
bool identical(const QVariant& a, const QVariant& b)
{
    return std::memcmp(&a.data_ptr(), &b.data_ptr(), sizeof(QVariant::Private)) == 0;
}

bool invalid(const QVariant& v)
{
    return v.data_ptr().packedType == 0;
}

bool isTextual(FieldType t)
{
    return t == FieldType::String || t == FieldType::Memo || t == FieldType::Unknown;
}

// Runs an engine operation with the error event's fail / abort / retry answers.
template <class Op>
void checkOperation(DataSet& ds, const DataSet::ErrorEvent& onError, Op&& op)
{
    for (;;) {
        try {
            op();
            return;
        } catch (EDatabaseError& e) {
            if (!onError)
                throw;
            DataAction action = DataAction::Fail;
            onError(ds, e, action);
            if (action == DataAction::Fail)
                throw;
            if (action == DataAction::Abort)
                Abort();
        }
    }
}

} // namespace

// Keys of records inserted under cached updates, apart from every engine key.
constexpr qint64 kCachedKeyBase = qint64(1) << 60;

DataSet::DataSet(Component* owner)
    : Component(owner), m_nextCachedKey(kCachedKeyBase)
{
}

DataSet::~DataSet()
{
    const auto sources = m_sources;
    for (DataSource* s : sources)
        s->setDataSet(nullptr);
}

quint64 DataSet::nextFieldsGeneration()
{
    static std::atomic<quint64> last{0};
    return ++last;
}

void DataSet::fieldsChanged()
{
    m_fieldsGeneration = nextFieldsGeneration();
    m_fieldsIndexed = false;
    m_byName.clear();
    m_byFoldedName.clear();
    m_fieldLists.clear();
}

void DataSet::indexFields() const
{
    // The first of the fields whose names differ only in case is the one found.
    for (const auto& f : m_fields) {
        const QString folded = f->fieldName().toCaseFolded();
        if (!m_byFoldedName.contains(folded)) {
            m_byFoldedName.insert(folded, f.get());
            m_byName.insert(f->fieldName(), f.get());
        }
    }
    m_fieldsIndexed = true;
}

Field* DataSet::findField(const QString& name) const
{
    // A few fields (a query of one figure) are found sooner than an index is built.
    if (m_fields.size() <= 8) {
        for (const auto& f : m_fields)
            if (f->fieldName() == name)
                return f.get();
        const QString n = name.trimmed();
        for (const auto& f : m_fields)
            if (f->fieldName().compare(n, Qt::CaseInsensitive) == 0)
                return f.get();
        return nullptr;
    }
    if (!m_fieldsIndexed)
        indexFields();
    if (Field* f = m_byName.value(name))
        return f;
    return m_byFoldedName.value(name.trimmed().toCaseFolded());
}

Field* DataSet::fieldByName(const QString& name) const
{
    Field* f = findField(name);
    if (!f)
        throw EDatabaseError(QStringLiteral("%1: Field '%2' not found").arg(this->name(), name.trimmed()).mid(
            this->name().isEmpty() ? 2 : 0));
    return f;
}

QStringList DataSet::fieldNames() const
{
    QStringList names;
    for (const auto& f : m_fields)
        names << f->fieldName();
    return names;
}

Field* DataSet::addField(const QString& name, FieldType type, int size, FieldKind kind)
{
    if (active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    if (findField(name))
        throw EDatabaseError(QStringLiteral("Duplicate field name '%1'").arg(name));
    m_fields.push_back(std::make_unique<Field>(this, name, type, size, kind));
    fieldsChanged();
    ++m_persistentCount;
    return m_fields.back().get();
}

Field* DataSet::addLookupField(const QString& name, FieldType type, int size, const QString& keyFields,
                               DataSet* lookupDataSet, const QString& lookupKeyFields, const QString& lookupResultField)
{
    Field* f = addField(name, type, size, FieldKind::Lookup);
    f->setKeyFields(keyFields);
    f->setLookupDataSet(lookupDataSet);
    f->setLookupKeyFields(lookupKeyFields);
    f->setLookupResultField(lookupResultField);
    return f;
}

QVector<Field*> DataSet::fieldList(const QString& names) const
{
    if (!m_fieldsIndexed)
        indexFields();
    auto it = m_fieldLists.constFind(names);
    if (it != m_fieldLists.constEnd())
        return *it;
    QVector<Field*> out;
    for (const QString& n : splitFieldNames(names))
        out << fieldByName(n);
    m_fieldLists.insert(names, out);
    return out;
}

QVariant DataSet::fieldValues(const QString& names) const
{
    const auto list = fieldList(names);
    if (list.size() == 1)
        return list.first()->value();
    QVariantList values;
    for (Field* f : list)
        values << f->value();
    return values;
}

int DataSet::columnIndex(const QString& name) const
{
    // Names of another length differ in any case: compared only when the lengths meet.
    const qsizetype n = name.size();
    for (int i = 0; i < m_columns.size(); ++i) {
        const QString& c = m_columns[i].name;
        if (c.size() == n && c.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void DataSet::bindFields()
{
    if (m_boundGeneration == m_fieldsGeneration && m_boundColumns == m_columns)
        return;
    // Fields made at an earlier open are "default" fields: find them again by name.
    std::vector<std::unique_ptr<Field>> defaults;
    std::vector<std::unique_ptr<Field>> persistent;
    fieldsChanged();
    const int autoCount = int(m_fields.size()) - m_persistentCount;
    for (int i = 0; i < int(m_fields.size()); ++i)
        (i < autoCount ? defaults : persistent).push_back(std::move(m_fields[size_t(i)]));
    m_fields.clear();
    bool anyPersistentData = false;
    for (const auto& f : persistent)
        anyPersistentData = anyPersistentData || f->fieldKind() == FieldKind::Data;
    if (!anyPersistentData) {
        for (int c = 0; c < m_columns.size(); ++c) {
            const ColumnDef& col = m_columns[c];
            // Names of default fields differ in more than case: one matches at most.
            const auto same = [&col](const std::unique_ptr<Field>& d) {
                return d && d->dataType() == col.type && d->fieldName().size() == col.name.size()
                    && d->fieldName().compare(col.name, Qt::CaseInsensitive) == 0;
            };
            std::unique_ptr<Field> f;
            // Mostly the columns of the last open, in their order.
            if (size_t(c) < defaults.size() && same(defaults[size_t(c)]))
                f = std::move(defaults[size_t(c)]);
            for (size_t i = 0; !f && i < defaults.size(); ++i)
                if (same(defaults[i]))
                    f = std::move(defaults[i]);
            if (!f) {
                f = std::make_unique<Field>(this, col.name, col.type, col.size);
                f->setRequired(col.required);
            }
            f->setSlot(c);
            m_fields.push_back(std::move(f));
        }
    }
    int extra = int(m_columns.size());
    for (auto& f : persistent) {
        if (f->fieldKind() == FieldKind::Data) {
            const int c = columnIndex(f->fieldName());
            if (c < 0) {
                const QString n = f->fieldName();
                // Keep the field list intact for a later open.
                m_fields.insert(m_fields.end(), std::make_move_iterator(persistent.begin()),
                                std::make_move_iterator(persistent.end()));
                m_fields.erase(std::remove(m_fields.begin(), m_fields.end(), nullptr), m_fields.end());
                fieldsChanged();
                throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(n));
            }
            f->setSlot(c);
        } else {
            f->setSlot(extra++);
        }
        m_fields.push_back(std::move(f));
    }
    fieldsChanged();
    m_hasComputedFields = false;
    for (const auto& f : m_fields)
        m_hasComputedFields = m_hasComputedFields || f->fieldKind() != FieldKind::Data;
    m_boundColumns = m_columns;
    m_boundGeneration = m_fieldsGeneration;
}

void DataSet::checkActive() const
{
    if (!active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

const QVariant& DataSet::slotValue(int slot) const
{
    if (slot < 0 || slot >= m_buffer.size())
        return nullVariant();
    if (m_calcPending && slot >= m_columns.size())
        const_cast<DataSet*>(this)->resolvePendingCalc();
    return m_buffer[slot];
}

const QVariant& DataSet::oldSlotValue(int slot) const
{
    if (slot < 0 || slot >= m_old.size())
        return nullVariant();
    if (m_calcPending && slot >= m_columns.size())
        const_cast<DataSet*>(this)->resolvePendingCalc();
    return m_old[slot];
}

void DataSet::resolvePendingCalc()
{
    calculateFields();
    // Left pending only while browsing, where the old values are the record's own.
    for (qsizetype i = m_columns.size(); i < m_buffer.size() && i < m_old.size(); ++i)
        m_old[i] = m_buffer[i];
}

void DataSet::open()
{
    if (active())
        return;
    if (BeforeOpen)
        BeforeOpen(*this);
    ++m_rowsStamp;
    try {
        openCursor();
        bindFields();
    } catch (...) {
        try {
            closeCursor();
        } catch (...) {
        }
        throw;
    }
    m_state = DataSetState::Browse;
    m_modified = false;
    m_posKnown = true;
    const int n = vCount();
    m_bof = true;
    m_eof = n == 0;
    m_pos = n > 0 ? 0 : -1;
    loadBuffer();
    dataEvent(DataEvent::UpdateState);
    dataEvent(DataEvent::DataSetChange);
    if (AfterOpen)
        AfterOpen(*this);
    if (n > 0 && AfterScroll)
        AfterScroll(*this);
}

void DataSet::closeQuietly()
{
    if (!active())
        return;
    m_state = DataSetState::Inactive;
    try {
        closeCursor();
    } catch (...) {
    }
}

void DataSet::close()
{
    if (!active())
        return;
    if (BeforeClose)
        BeforeClose(*this);
    m_state = DataSetState::Inactive;
    ++m_rowsStamp;
    closeCursor();
    dropPending();
    m_pos = -1;
    m_key = -1;
    m_buffer.clear();
    m_old.clear();
    m_calcPending = false;
    m_modified = false;
    m_bof = m_eof = true;
    dataEvent(DataEvent::UpdateState);
    if (AfterClose)
        AfterClose(*this);
}

Row DataSet::readRecord(int pos)
{
    int slotCount = int(m_columns.size());
    for (const auto& f : m_fields)
        slotCount = std::max(slotCount, f->slot() + 1);
    Row row;
    if (pos >= 0) {
        vFetchRow(pos, row);
        m_key = vKeyAt(pos);
    } else {
        m_key = -1;
    }
    if (row.size() < slotCount)
        row.resize(slotCount);
    return row;
}

void DataSet::loadBuffer()
{
    m_buffer = readRecord(m_pos);
    calculateFields();
    m_old = m_buffer;
}

Bookmark DataSet::bookmarkAt(int pos)
{
    checkActive();
    return pos >= 0 && pos < vCount() ? Bookmark{vKeyAt(pos)} : Bookmark{};
}

int DataSet::positionOf(const Bookmark& b)
{
    checkActive();
    return b.isValid() ? vPositionOfKey(b.key) : -1;
}

void DataSet::peekRecord(int pos, const std::function<void()>& fn)
{
    checkActive();
    // Inside a calculation the fields belong to the record being calculated.
    if (m_calculating || pos < 0 || pos >= vCount())
        return;
    struct Saved {
        DataSet& ds;
        Row buffer, old;
        qint64 key;
        bool modified, calcPending;
        explicit Saved(DataSet& d)
            : ds(d), buffer(std::move(d.m_buffer)), old(std::move(d.m_old)), key(d.m_key), modified(d.m_modified),
              calcPending(d.m_calcPending)
        {
        }
        ~Saved()
        {
            ds.m_buffer = std::move(buffer);
            ds.m_old = std::move(old);
            ds.m_key = key;
            ds.m_modified = modified;
            ds.m_calcPending = calcPending;
        }
    } saved(*this);
    m_buffer = readRecord(pos);
    calculateFields();
    m_old = m_buffer;
    fn();
}

// The answer kept for one key of a cached lookup, if any. Kept answers go as soon as
// the source's rows may have changed.
const QVariant* DataSet::recentLookup(Field* f, const QVariant& key)
{
    DataSet* source = f->lookupDataSet();
    if (f->m_lookupStamp != source->rowsStamp()) {
        f->m_lookupValues.clear();
        f->m_recentLookupCount = 0;
        f->m_lookupStamp = source->rowsStamp();
        return nullptr;
    }
    // The same keys as the text key of lookupValue tells apart: type first, then the
    // number or the text.
    const int type = key.typeId();
    const bool text = type == QMetaType::QString;
    if (!text && !isWholeNumberType(type))
        return nullptr;
    for (int i = 0; i < f->m_recentLookupCount; ++i) {
        const Field::RecentLookup& r = f->m_recentLookups[i];
        if (r.key.typeId() != type)
            continue;
        const bool same = text ? *static_cast<const QString*>(r.key.constData()) == *static_cast<const QString*>(key.constData())
                               : r.key.toLongLong() == key.toLongLong();
        if (same)
            return &r.value;
    }
    return nullptr;
}

QVariant DataSet::lookupValue(Field* f, const QVariantList& keys)
{
    DataSet* source = f->lookupDataSet();
    auto read = [&] {
        return normalizeValue(f->dataType(), source->lookup(f->lookupKeyFields(), keys, f->lookupResultField()));
    };
    if (!f->lookupCache())
        return read();
    const QVariant* single = keys.size() == 1 ? &keys.first() : nullptr;
    if (single) {
        if (const QVariant* hit = recentLookup(f, *single))
            return *hit;
    } else if (f->m_lookupStamp != source->rowsStamp()) {
        f->m_lookupValues.clear();
        f->m_recentLookupCount = 0;
        f->m_lookupStamp = source->rowsStamp();
    }
    const int singleType = single ? single->typeId() : QMetaType::UnknownType;
    const bool recentKind = single && (isWholeNumberType(singleType) || singleType == QMetaType::QString);
    // Asked for every record read: the key is built without allocating, type first so
    // that 1 and "1" stay apart.
    static thread_local QString key;
    key.clear();
    for (const QVariant& k : keys) {
        const auto type = quint32(k.typeId());
        key += QChar(char16_t(type & 0xffff));
        key += QChar(char16_t(type >> 16));
        if (isWholeNumberType(int(type))) {
            const auto v = quint64(k.toLongLong());
            for (int i = 0; i < 4; ++i)
                key += QChar(char16_t(v >> (16 * i)));
        } else {
            key += k.toString();
        }
        key += QChar(0x1f);
    }
    auto it = f->m_lookupValues.constFind(key);
    if (it == f->m_lookupValues.constEnd())
        it = f->m_lookupValues.insert(key, read());
    if (recentKind) {
        f->m_recentLookups[f->m_recentLookupNext] = Field::RecentLookup{*single, *it};
        f->m_recentLookupNext = (f->m_recentLookupNext + 1) % Field::kRecentLookups;
        f->m_recentLookupCount = std::min(f->m_recentLookupCount + 1, int(Field::kRecentLookups));
    }
    return *it;
}

void DataSet::calculateFields()
{
    m_calcPending = false;
    if (!OnCalcFields && !m_hasComputedFields)
        return;
    // A slot already empty is left alone: writing it would copy a buffer shared with the
    // old values.
    for (const auto& f : m_fields)
        if (f->fieldKind() != FieldKind::Data && f->slot() < m_buffer.size() && !invalid(m_buffer.at(f->slot())))
            m_buffer[f->slot()] = QVariant();
    if (m_key < 0 && m_state != DataSetState::Insert)
        return;
    const DataSetState saved = m_state;
    m_state = DataSetState::CalcFields;
    m_calculating = true;
    try {
        for (const auto& f : m_fields) {
            if (f->fieldKind() != FieldKind::Lookup || !f->lookupDataSet() || !f->lookupDataSet()->active())
                continue;
            // Run for every record read or posted: the key fields are resolved once and
            // the key list is refilled in place.
            if (f->m_keyListGeneration != m_fieldsGeneration) {
                f->m_keyList = fieldList(f->keyFields());
                f->m_keyListGeneration = m_fieldsGeneration;
            }
            if (f->m_keyList.size() == 1 && f->lookupCache()) {
                // One key, the common case: a kept answer is taken without a key list.
                const QVariant& v = slotValue(f->m_keyList.first()->slot());
                if (isNullValue(v))
                    continue;
                if (const QVariant* hit = recentLookup(f.get(), v)) {
                    m_buffer[f->slot()] = *hit;
                    continue;
                }
            }
            m_lookupKeys.clear();
            bool allNull = true;
            for (const Field* k : std::as_const(f->m_keyList)) {
                const QVariant& v = slotValue(k->slot());
                allNull = allNull && isNullValue(v);
                m_lookupKeys.append(v);
            }
            if (!allNull)
                m_buffer[f->slot()] = lookupValue(f.get(), m_lookupKeys);
        }
        if (OnCalcFields)
            OnCalcFields(*this);
    } catch (...) {
        m_state = saved;
        m_calculating = false;
        throw;
    }
    m_state = saved;
    m_calculating = false;
}

void DataSet::setFieldValue(Field* field, QVariant value)
{
    checkActive();
    const bool calc = field->fieldKind() != FieldKind::Data;
    if (calc) {
        if (m_state != DataSetState::CalcFields && m_state != DataSetState::Edit && m_state != DataSetState::Insert)
            throw EDatabaseError(notEditingMessage());
        m_buffer[field->slot()] = std::move(value);
        return;
    }
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert && m_state != DataSetState::SetKey)
        throw EDatabaseError(notEditingMessage());
    if (field->readOnly())
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(field->displayName()));
    const int slot = field->slot();
    // Swapped in: value now holds the previous one, for a refusal to put back.
    m_buffer[slot].swap(value);
    if (field->OnValidate) {
        try {
            field->OnValidate(*field);
        } catch (...) {
            m_buffer[slot] = std::move(value);
            throw;
        }
    }
    m_modified = true;
    if (autoCalcFields)
        calculateFields();
    dataEvent(DataEvent::FieldChange, field);
    if (field->OnChange)
        field->OnChange(*field);
}

void DataSet::setState(DataSetState s)
{
    if (m_state == s)
        return;
    m_state = s;
    dataEvent(DataEvent::UpdateState);
}

int DataSet::currentPos()
{
    if (!m_posKnown) {
        m_posKnown = true;
        const int p = vPositionOfKey(m_key);
        if (p >= 0) {
            m_pos = p;
        } else {
            // The record left the view (a filter or range no longer admits it).
            const int n = vCount();
            m_pos = n == 0 ? -1 : std::clamp(m_pos, 0, n - 1);
            if (m_state == DataSetState::Browse)
                loadBuffer();
        }
    }
    return m_pos;
}

void DataSet::moveTo(int pos)
{
    m_pos = pos;
    m_posKnown = true;
    loadBuffer();
}

int DataSet::recNo()
{
    checkActive();
    if (m_state == DataSetState::Insert)
        return -1;
    const int p = currentPos();
    return p < 0 ? -1 : p + 1;
}

void DataSet::setRecNo(int recNo)
{
    const int current = this->recNo();
    if (current > 0)
        moveBy(recNo - current);
}

int DataSet::recordCount()
{
    checkActive();
    return vCount();
}

bool DataSet::isEmpty()
{
    checkActive();
    return overlayActive() ? vCount() == 0 : viewEmpty();
}

bool DataSet::canModify() const
{
    return !m_readOnly && backendCanModify();
}

void DataSet::checkBrowseMode()
{
    checkActive();
    dataEvent(DataEvent::CheckBrowseMode);
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert) {
        dataEvent(DataEvent::UpdateRecord);
        if (m_modified)
            post();
        else
            cancel();
    }
}

void DataSet::first()
{
    checkBrowseMode();
    if (BeforeScroll)
        BeforeScroll(*this);
    const int n = vCount();
    moveTo(n > 0 ? 0 : -1);
    m_bof = true;
    m_eof = n == 0;
    dataEvent(DataEvent::DataSetChange);
    if (AfterScroll)
        AfterScroll(*this);
}

void DataSet::last()
{
    checkBrowseMode();
    if (BeforeScroll)
        BeforeScroll(*this);
    const int n = vCount();
    moveTo(n - 1);
    m_eof = true;
    m_bof = n == 0;
    dataEvent(DataEvent::DataSetChange);
    if (AfterScroll)
        AfterScroll(*this);
}

int DataSet::moveBy(int distance)
{
    checkBrowseMode();
    if (distance == 0)
        return 0;
    if (BeforeScroll)
        BeforeScroll(*this);
    const int n = vCount();
    const int pos = currentPos();
    int moved = 0;
    if (n == 0) {
        m_bof = m_eof = true;
    } else {
        int target = pos + distance;
        if (distance > 0) {
            m_bof = false;
            m_eof = target >= n;
            if (m_eof)
                target = n - 1;
        } else {
            m_eof = false;
            m_bof = target < 0;
            if (m_bof)
                target = 0;
        }
        moved = target - pos;
        if (moved != 0)
            moveTo(target);
    }
    dataEvent(DataEvent::DataSetScroll, nullptr, moved);
    if (AfterScroll)
        AfterScroll(*this);
    return moved;
}

void DataSet::beginInsert(bool appending)
{
    checkBrowseMode();
    if (!canModify())
        throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
    if (BeforeInsert)
        BeforeInsert(*this);
    if (BeforeScroll)
        BeforeScroll(*this);
    if (!appending)
        currentPos();
    Row row(m_buffer.size());
    initNewRow(row);
    // The old values are a list of their own: the record's first value set would
    // otherwise copy the whole buffer away from them.
    Row old(row.size());
    for (qsizetype i = 0; i < row.size(); ++i)
        if (!invalid(row.at(i)))
            old[i] = row.at(i);
    m_old = std::move(old);
    m_buffer = std::move(row);
    m_state = DataSetState::Insert;
    m_appending = appending;
    m_modified = false;
    if (appending) {
        m_eof = true;
        m_bof = false;
    }
    dataEvent(DataEvent::UpdateState);
    try {
        calculateFields();
        if (OnNewRecord)
            OnNewRecord(*this);
    } catch (...) {
        // A failing new-record handler leaves no half-made record behind.
        m_state = DataSetState::Browse;
        m_modified = false;
        m_bof = m_eof = false;
        const int n = vCount();
        m_pos = n == 0 ? -1 : std::clamp(m_pos, 0, n - 1);
        if (n == 0)
            m_bof = m_eof = true;
        loadBuffer();
        dataEvent(DataEvent::UpdateState);
        dataEvent(DataEvent::DataSetChange);
        throw;
    }
    m_modified = false;
    dataEvent(DataEvent::DataSetChange);
    if (AfterInsert)
        AfterInsert(*this);
    if (AfterScroll)
        AfterScroll(*this);
}

void DataSet::insert()
{
    checkActive();
    beginInsert(false);
}

void DataSet::append()
{
    checkActive();
    beginInsert(true);
}

void DataSet::edit()
{
    checkActive();
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return;
    if (vCount() == 0) {
        insert();
        return;
    }
    checkBrowseMode();
    if (!canModify())
        throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
    if (BeforeEdit)
        BeforeEdit(*this);
    currentPos();
    checkOperation(*this, OnEditError, [&] {
        // Edit what the file holds now, not what was read earlier.
        Row row;
        if (vFetchByKey(m_key, row))
            takeColumns(row);
    });
    m_state = DataSetState::Edit;
    calculateFields();
    m_old = m_buffer;
    m_modified = false;
    dataEvent(DataEvent::UpdateState);
    dataEvent(DataEvent::RecordChange);
    if (AfterEdit)
        AfterEdit(*this);
}

namespace {

// Whether two values are one and the same: the same number, or text sharing one storage.
// Values read back as they were written are mostly that.
bool sameValue(const QVariant& a, const QVariant& b)
{
    const int type = a.typeId();
    if (type != b.typeId())
        return false;
    switch (type) {
    case QMetaType::UnknownType:
        return true;
    case QMetaType::LongLong: {
        // A zero may be a null number.
        const qlonglong x = *static_cast<const qlonglong*>(a.constData());
        return x == *static_cast<const qlonglong*>(b.constData()) && (x != 0 || a.isNull() == b.isNull());
    }
    case QMetaType::QString: {
        const auto& x = *static_cast<const QString*>(a.constData());
        const auto& y = *static_cast<const QString*>(b.constData());
        return !x.isNull() && x.constData() == y.constData() && x.size() == y.size();
    }
    default:
        return false;
    }
}

} // namespace

void DataSet::takeColumns(const Row& row)
{
    // The row may be shared with the backend's copy: read, never resized.
    const int n = int(m_columns.size());
    const int have = std::min(n, int(row.size()));
    for (int i = 0; i < have; ++i)
        if (!identical(m_buffer.at(i), row.at(i)) && !sameValue(m_buffer.at(i), row.at(i)))
            m_buffer[i] = row.at(i);
    for (int i = have; i < n; ++i)
        m_buffer[i] = QVariant();
}

void DataSet::resetCurrentAfterPost(qint64 key)
{
    m_key = key;
    m_posKnown = false;
    Row row;
    if (vFetchByKey(key, row))
        takeColumns(row);
    m_old = m_buffer;
    // Records posted one after another (an import) are mostly never read back: their
    // looked-up values are worked out when first read. A calculation handler may do
    // more than set values and runs now.
    if (OnCalcFields)
        calculateFields();
    else
        m_calcPending = m_hasComputedFields;
    m_bof = m_eof = false;
}

void DataSet::post()
{
    checkActive();
    dataEvent(DataEvent::UpdateRecord);
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    dataEvent(DataEvent::CheckBrowseMode);
    if (BeforePost)
        BeforePost(*this);
    const bool inserting = m_state == DataSetState::Insert;
    qint64 key = m_key;
    checkOperation(*this, OnPostError, [&] {
        // The fields' own null test, read from the buffer without a call per field.
        const bool open = active();
        const qsizetype direct = std::min(m_buffer.size(), m_columns.size());
        for (const auto& f : m_fields) {
            if (f->fieldKind() != FieldKind::Data || !f->required())
                continue;
            const int slot = f->slot();
            if (!open || slot < 0 || isNullValue(slot < direct ? m_buffer.at(slot) : slotValue(slot)))
                throw EDatabaseError(QStringLiteral("Field '%1' must have a value").arg(f->displayName()));
        }
        Row values = m_buffer.mid(0, m_columns.size());
        // An insert compares with no old values; only cached updates keep them.
        Row old = inserting && !m_cached ? Row() : m_old.mid(0, m_columns.size());
        key = vWriteRow(inserting, inserting ? -1 : m_key, values, old);
    });
    m_state = DataSetState::Browse;
    m_modified = false;
    resetCurrentAfterPost(key);
    if (m_filtered && !m_filter.trimmed().isEmpty()) {
        // A record the filter no longer admits leaves the view at once: the next one
        // (or the last) becomes current, as loops that mark records rely on.
        currentPos();
        m_eof = m_bof = vCount() == 0;
    }
    dataEvent(DataEvent::UpdateState);
    dataEvent(DataEvent::DataSetChange);
    if (AfterPost)
        AfterPost(*this);
}

void DataSet::cancel()
{
    checkActive();
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    dataEvent(DataEvent::CheckBrowseMode);
    if (BeforeCancel)
        BeforeCancel(*this);
    const bool wasInsert = m_state == DataSetState::Insert;
    m_state = DataSetState::Browse;
    m_modified = false;
    if (wasInsert) {
        // Back to the record that was current before the insert.
        if (!m_posKnown)
            currentPos();
        const int n = vCount();
        m_pos = n == 0 ? -1 : std::clamp(m_pos, 0, n - 1);
        m_posKnown = true;
        m_bof = n == 0;
        m_eof = n == 0;
        loadBuffer();
    } else {
        m_buffer = m_old;
        calculateFields();
    }
    dataEvent(DataEvent::UpdateState);
    dataEvent(DataEvent::DataSetChange);
    if (AfterCancel)
        AfterCancel(*this);
    // A cancelled insert has moved the cursor back to a stored record.
    if (wasInsert && AfterScroll)
        AfterScroll(*this);
}

void DataSet::deleteRecord()
{
    checkActive();
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (vCount() == 0)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (!canModify())
        throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
    dataEvent(DataEvent::CheckBrowseMode);
    if (BeforeDelete)
        BeforeDelete(*this);
    if (BeforeScroll)
        BeforeScroll(*this);
    const int pos = currentPos();
    checkOperation(*this, OnDeleteError, [&] { vDeleteRow(m_key); });
    m_state = DataSetState::Browse;
    m_modified = false;
    const int n = vCount();
    m_pos = n == 0 ? -1 : std::min(pos, n - 1);
    m_posKnown = true;
    m_bof = n == 0 || m_pos == 0;
    m_eof = n == 0 || pos >= n;
    loadBuffer();
    dataEvent(DataEvent::UpdateState);
    dataEvent(DataEvent::DataSetChange);
    if (AfterDelete)
        AfterDelete(*this);
    if (AfterScroll)
        AfterScroll(*this);
}

void DataSet::resyncCurrent(bool keepKey)
{
    const int n = vCount();
    int pos = -1;
    if (keepKey && m_key >= 0)
        pos = vPositionOfKey(m_key);
    if (pos < 0)
        pos = keepKey ? (n == 0 ? -1 : std::clamp(m_pos, 0, n - 1)) : (n > 0 ? 0 : -1);
    m_pos = pos;
    m_posKnown = true;
    m_bof = !keepKey || n == 0;
    m_eof = n == 0;
    loadBuffer();
}

void DataSet::refresh()
{
    checkBrowseMode();
    if (BeforeRefresh)
        BeforeRefresh(*this);
    currentPos();
    vInvalidateView();
    resyncCurrent(true);
    dataEvent(DataEvent::DataSetChange);
    if (AfterRefresh)
        AfterRefresh(*this);
}

void DataSet::transactionRolledBack()
{
    if (m_applied) {
        // What was written is gone with the transaction: it is pending again.
        m_applied = false;
        m_overlayValid = false;
        if (m_state == DataSetState::Browse) {
            vInvalidateView();
            resyncCurrent(true);
            dataEvent(DataEvent::DataSetChange);
        }
    }
    connectionRolledBack();
}

void DataSet::connectionRolledBack()
{
    if (m_state != DataSetState::Browse)
        return;
    vInvalidateView();
    resyncCurrent(true);
    dataEvent(DataEvent::DataSetChange);
}

bool DataSet::matches(const Field* f, const QVariant& fieldValue, const QVariant& wanted, LocateOptions options)
{
    const bool wantedNull = !wanted.isValid() || wanted.isNull()
        || (wanted.typeId() == QMetaType::QString && wanted.toString().isEmpty());
    const bool valueNull = !fieldValue.isValid() || fieldValue.isNull();
    if (wantedNull)
        return valueNull || (options & loPartialKey);
    if (valueNull)
        return false;
    if (isTextual(f->dataType())) {
        const Qt::CaseSensitivity cs = (options & loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
        const QString s = fieldValue.toString();
        const QString w = wanted.toString();
        if (options & loPartialKey)
            return s.startsWith(w, cs);
        return s.compare(w, cs) == 0;
    }
    const QVariant w = normalizeValue(f->dataType(), wanted);
    return w == fieldValue;
}

int DataSet::findFirst(const QVector<Field*>& fields, const QVariantList& values, LocateOptions options)
{
    const int n = vCount();
    Row row;
    for (int pos = 0; pos < n; ++pos) {
        vFetchRow(pos, row);
        bool ok = true;
        for (int i = 0; i < fields.size() && ok; ++i) {
            const int slot = fields[i]->slot();
            ok = slot < row.size() && matches(fields[i], row[slot], values.value(i), options);
        }
        if (ok)
            return pos;
    }
    return -1;
}

bool DataSet::locate(const QString& keyFields, const QVariantList& keyValues, LocateOptions options)
{
    checkBrowseMode();
    const auto list = fieldList(keyFields);
    for (Field* f : list)
        if (f->fieldKind() != FieldKind::Data)
            throw EDatabaseError(QStringLiteral("Field '%1' cannot be used in a search").arg(f->fieldName()));
    if (list.size() != keyValues.size())
        throw EDatabaseError(QStringLiteral("Locate needs one value per field of '%1'").arg(keyFields));
    if (BeforeScroll)
        BeforeScroll(*this);
    const int pos = vFindFirst(list, keyValues, options);
    if (pos < 0)
        return false;
    moveTo(pos);
    m_bof = m_eof = false;
    dataEvent(DataEvent::DataSetChange);
    if (AfterScroll)
        AfterScroll(*this);
    return true;
}

QVariant DataSet::lookup(const QString& keyFields, const QVariantList& keyValues, const QString& resultFields)
{
    checkActive();
    const auto list = fieldList(keyFields);
    const auto results = fieldList(resultFields);
    const int pos = vFindFirst(list, keyValues, 0);
    if (pos < 0)
        return {};
    Row row;
    vFetchRow(pos, row);
    if (results.size() == 1)
        return row.value(results.first()->slot());
    QVariantList out;
    for (Field* f : results)
        out << row.value(f->slot());
    return out;
}

Bookmark DataSet::bookmark()
{
    checkActive();
    if (currentPos() < 0)
        return {};
    return Bookmark{m_key};
}

bool DataSet::bookmarkValid(const Bookmark& b)
{
    return active() && b.isValid() && vPositionOfKey(b.key) >= 0;
}

void DataSet::gotoBookmark(const Bookmark& b)
{
    checkBrowseMode();
    const int pos = b.isValid() ? vPositionOfKey(b.key) : -1;
    if (pos < 0)
        throw EDatabaseError(QStringLiteral("Record not found"));
    if (BeforeScroll)
        BeforeScroll(*this);
    moveTo(pos);
    m_bof = m_eof = false;
    dataEvent(DataEvent::DataSetChange);
    if (AfterScroll)
        AfterScroll(*this);
}

void DataSet::disableControls()
{
    ++m_disableCount;
}

void DataSet::enableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0 && m_changedWhileDisabled) {
        m_changedWhileDisabled = false;
        dataEvent(DataEvent::UpdateState);
        dataEvent(DataEvent::DataSetChange);
    }
}

void DataSet::setFilter(const QString& text)
{
    if (text == m_filter)
        return;
    if (active() && m_filtered)
        checkBrowseMode();
    m_filter = text;
    if (active() && m_filtered) {
        vInvalidateView();
        resyncCurrent(false);
        dataEvent(DataEvent::DataSetChange);
    }
}

void DataSet::setFiltered(bool on)
{
    if (on == m_filtered)
        return;
    if (active())
        checkBrowseMode();
    m_filtered = on;
    if (active()) {
        vInvalidateView();
        resyncCurrent(false);
        dataEvent(DataEvent::DataSetChange);
    }
}

void DataSet::setFilterOptions(FilterOptions o)
{
    m_filterOptions = o;
    if (active() && m_filtered) {
        vInvalidateView();
        resyncCurrent(false);
        dataEvent(DataEvent::DataSetChange);
    }
}

DataSet::SqlFilter DataSet::filterCondition(int firstParam, const std::function<QString(const QString&)>& columnSql) const
{
    SqlFilter out;
    if (!m_filtered || m_filter.trimmed().isEmpty())
        return out;
    const auto t = translateFilter(
        m_filter, m_filterOptions,
        [&](const QString& name) -> QPair<FieldType, QString> {
            const int c = columnIndex(name);
            if (c < 0)
                throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
            return {m_columns[c].type, columnSql(m_columns[c].name)};
        },
        firstParam);
    out.where = t.where;
    out.params = t.params;
    return out;
}

void DataSet::attachSource(DataSource* s)
{
    if (!m_sources.contains(s))
        m_sources.append(s);
}

void DataSet::detachSource(DataSource* s)
{
    m_sources.removeAll(s);
}

void DataSet::dataEvent(DataEvent event, Field* field, int info)
{
    if (m_disableCount > 0) {
        if (event != DataEvent::UpdateRecord && event != DataEvent::CheckBrowseMode)
            m_changedWhileDisabled = true;
        return;
    }
    const auto sources = m_sources;
    for (DataSource* s : sources)
        s->dataEvent(event, field, info);
}

// ---- Cached updates ---------------------------------------------------------------

int DataSet::pendingIndex(qint64 key) const
{
    for (int i = 0; i < m_pending.size(); ++i)
        if (m_pending.at(i).key == key)
            return i;
    return -1;
}

void DataSet::buildOverlay()
{
    m_overlayKeys.clear();
    m_overlayBase.clear();
    m_overlayPos.clear();
    QSet<qint64> deleted;
    for (const Pending& p : std::as_const(m_pending))
        if (p.kind == Pending::Deleted)
            deleted.insert(p.key);
    const int n = viewCount();
    for (int pos = 0; pos < n; ++pos) {
        const qint64 key = keyAt(pos);
        if (deleted.contains(key))
            continue;
        m_overlayPos.insert(key, int(m_overlayKeys.size()));
        m_overlayKeys << key;
        m_overlayBase << pos;
    }
    for (const Pending& p : std::as_const(m_pending))
        if (p.kind == Pending::Inserted) {
            m_overlayPos.insert(p.key, int(m_overlayKeys.size()));
            m_overlayKeys << p.key;
            m_overlayBase << -1;
        }
    m_overlayValid = true;
}

int DataSet::vCount()
{
    if (!overlayActive())
        return viewCount();
    if (!m_overlayValid)
        buildOverlay();
    return int(m_overlayKeys.size());
}

qint64 DataSet::vKeyAt(int pos)
{
    if (!overlayActive())
        return keyAt(pos);
    if (!m_overlayValid)
        buildOverlay();
    return m_overlayKeys.value(pos, -1);
}

int DataSet::vPositionOfKey(qint64 key)
{
    if (!overlayActive())
        return positionOfKey(key);
    if (!m_overlayValid)
        buildOverlay();
    return m_overlayPos.value(key, -1);
}

void DataSet::vFetchRow(int pos, Row& row)
{
    if (!overlayActive()) {
        fetchRow(pos, row);
        return;
    }
    if (!m_overlayValid)
        buildOverlay();
    const qint64 key = m_overlayKeys.value(pos, -1);
    if (const int i = pendingIndex(key); i >= 0) {
        row = m_pending.at(i).values;
        return;
    }
    fetchRow(m_overlayBase.value(pos), row);
}

bool DataSet::vFetchByKey(qint64 key, Row& row)
{
    if (overlayActive())
        if (const int i = pendingIndex(key); i >= 0) {
            if (m_pending.at(i).kind == Pending::Deleted)
                return false;
            row = m_pending.at(i).values;
            return true;
        }
    return fetchByKey(key, row);
}

int DataSet::vFindFirst(const QVector<Field*>& fields, const QVariantList& values, LocateOptions options)
{
    // The engine's own search knows nothing of the cached records: scan what is shown.
    return overlayActive() ? DataSet::findFirst(fields, values, options) : findFirst(fields, values, options);
}

qint64 DataSet::vWriteRow(bool inserting, qint64 key, const Row& values, const Row& old)
{
    ++m_rowsStamp;
    if (!m_cached)
        return writeRow(inserting, key, values, old);
    if (m_applied)
        throw EDatabaseError(QStringLiteral("Cached updates are applied and not yet committed"));
    if (m_pending.isEmpty())
        m_overlayValid = false;
    if (inserting) {
        const qint64 newKey = m_nextCachedKey++;
        m_pending << Pending{Pending::Inserted, newKey, values, old};
        if (m_overlayValid) {
            m_overlayPos.insert(newKey, int(m_overlayKeys.size()));
            m_overlayKeys << newKey;
            m_overlayBase << -1;
        }
        return newKey;
    }
    if (const int i = pendingIndex(key); i >= 0)
        m_pending[i].values = values;
    else
        m_pending << Pending{Pending::Modified, key, values, old};
    return key;
}

void DataSet::vDeleteRow(qint64 key)
{
    ++m_rowsStamp;
    if (!m_cached) {
        deleteRow(key);
        return;
    }
    if (m_applied)
        throw EDatabaseError(QStringLiteral("Cached updates are applied and not yet committed"));
    const int i = pendingIndex(key);
    if (i >= 0 && m_pending.at(i).kind == Pending::Inserted) {
        m_pending.removeAt(i);
    } else if (i >= 0) {
        m_pending[i].kind = Pending::Deleted;
    } else {
        Row row;
        fetchByKey(key, row);
        m_pending << Pending{Pending::Deleted, key, row, row};
    }
    m_overlayValid = false;
}

void DataSet::vInvalidateView()
{
    ++m_rowsStamp;
    invalidateView();
    m_overlayValid = false;
}

void DataSet::dropPending()
{
    ++m_rowsStamp;
    m_pending.clear();
    m_applied = false;
    m_overlayValid = false;
    m_overlayKeys.clear();
    m_overlayBase.clear();
    m_overlayPos.clear();
}

void DataSet::reshow()
{
    if (m_state != DataSetState::Browse)
        return;
    vInvalidateView();
    resyncCurrent(true);
    dataEvent(DataEvent::DataSetChange);
}

void DataSet::setCachedUpdates(bool on)
{
    if (on == m_cached)
        return;
    if (!on) {
        if (active() && m_state != DataSetState::Browse)
            cancel();
        const bool had = !m_pending.isEmpty();
        dropPending();
        m_cached = false;
        if (had)
            reshow();
        return;
    }
    if (active())
        checkBrowseMode();
    m_cached = true;
}

void DataSet::applyUpdates()
{
    checkActive();
    if (!m_cached)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation when cached updates are not enabled"));
    checkBrowseMode();
    if (m_applied || m_pending.isEmpty())
        return;
    const bool own = !inTransaction();
    if (own)
        startTransaction();
    QHash<qint64, qint64> written;
    try {
        for (const Pending& p : std::as_const(m_pending)) {
            switch (p.kind) {
            case Pending::Inserted: written.insert(p.key, writeRow(true, -1, p.values, p.old)); break;
            case Pending::Modified: writeRow(false, p.key, p.values, p.old); break;
            case Pending::Deleted: deleteRow(p.key); break;
            }
        }
        if (own)
            commitTransaction();
    } catch (...) {
        if (own) {
            try {
                rollbackTransaction();
            } catch (...) {
            }
        }
        // Whatever reached the engine goes with the rollback; the changes stay pending.
        m_overlayValid = false;
        throw;
    }
    m_applied = true;
    m_key = written.value(m_key, m_key);
    m_posKnown = false;
    reshow();
}

void DataSet::commitUpdates()
{
    checkActive();
    const bool had = !m_pending.isEmpty();
    const bool wasApplied = m_applied;
    dropPending();
    if (had && !wasApplied)
        reshow();
}

void DataSet::cancelUpdates()
{
    checkActive();
    if (m_state != DataSetState::Browse)
        cancel();
    // Changes already applied are the engine's now; only pending ones go.
    const bool shown = updatesPending();
    dropPending();
    if (shown)
        reshow();
}

} // namespace vorta::db
