#pragma once

#include "platform/db/Connection.h"

#include <QHash>
#include <QStringList>

#include <vector>

namespace vorta::db {

// Answers of reading queries, kept for as long as the tables they read are unchanged
// as the connection sees them; asked again otherwise.
template <typename Key, typename Value>
class StampedMemo {
public:
    explicit StampedMemo(QStringList tables) : m_tables(std::move(tables)) {}

    template <typename Compute>
    Value get(Connection& connection, const Key& key, Compute compute)
    {
        std::vector<ContentStamp> now = connection.contentStamps(m_tables);
        auto it = m_entries.find(key);
        if (it != m_entries.end() && it->stamps == now)
            return it->value;
        Value value = compute();
        // Stamps taken before computing: a write while computing makes the next call ask again.
        m_entries.insert(key, Entry{std::move(now), value});
        return value;
    }
    void clear() { m_entries.clear(); }

private:
    struct Entry {
        std::vector<ContentStamp> stamps;
        Value value;
    };
    QStringList m_tables;
    QHash<Key, Entry> m_entries;
};

} // namespace vorta::db
