#pragma once

#include "platform/db/Connection.h"

#include <QHash>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace vorta::db {

// Answers of reading queries, kept for as long as the tables they read are unchanged
// as the connection sees them; asked again otherwise. With a key column, an answer
// reads only the rows whose column holds its key, and only writes to those rows make
// it be asked again.
template <typename Key, typename Value>
class StampedMemo {
public:
    explicit StampedMemo(QStringList tables, QString keyColumn = QString())
        : m_tables(std::move(tables)), m_keyColumn(std::move(keyColumn))
    {
    }

    template <typename Compute>
    Value get(Connection& connection, const Key& key, Compute compute)
    {
        ContentStamps now = m_keyColumn.isEmpty()
                                ? connection.contentStamps(m_tables)
                                : connection.keyStamps(m_tables, m_keyColumn, QVariant::fromValue(key));
        // The key asked last, the common case, is checked without hashing it.
        if (m_last && m_last->key == key && m_last->entry.stamps == now)
            return m_last->entry.value;
        auto it = m_entries.find(key);
        if (it != m_entries.end() && it->stamps == now) {
            m_last.reset(new Last{key, *it});
            return it->value;
        }
        Value value = compute();
        // Stamps taken before computing: a write while computing makes the next call ask again.
        Entry entry{std::move(now), value};
        m_entries.insert(key, entry);
        m_last.reset(new Last{key, std::move(entry)});
        return value;
    }
    void clear()
    {
        m_entries.clear();
        m_last.reset();
    }

private:
    struct Entry {
        ContentStamps stamps;
        Value value;
    };
    QStringList m_tables;
    QString m_keyColumn;
    QHash<Key, Entry> m_entries;
    struct Last {
        Key key;
        Entry entry;
    };
    std::unique_ptr<Last> m_last;
};

} // namespace vorta::db
