#include "platform/db/BatchMove.h"

#include "platform/db/Database.h"
#include "platform/db/Table.h"

#include <optional>

namespace vorta::db {

void BatchMove::Execute()
{
    m_moved = 0;
    if (!Source || !Destination)
        throw EDatabaseError(QStringLiteral("Source and destination of the batch move are required"));
    // Destination field name -> source field name.
    QList<QPair<QString, QString>> pairs;
    const bool wasOpen = Destination->active();
    if (!Source->active())
        Source->open();
    if (!wasOpen)
        Destination->open();
    if (Mappings.isEmpty()) {
        for (int i = 0; i < Source->fieldCount(); ++i)
            if (Destination->findField(Source->fields(i)->fieldName()))
                pairs.append({Source->fields(i)->fieldName(), Source->fields(i)->fieldName()});
    } else {
        for (const QString& m : Mappings) {
            const int eq = m.indexOf(QLatin1Char('='));
            const QString dest = (eq < 0 ? m : m.left(eq)).trimmed();
            const QString src = (eq < 0 ? m : m.mid(eq + 1)).trimmed();
            Destination->fieldByName(dest);
            Source->fieldByName(src);
            pairs.append({dest, src});
        }
    }
    const QStringList keys = Destination->primaryIndexFields();
    const bool byKey = Mode != BatchMode::batAppend && Mode != BatchMode::batCopy;
    if (byKey && keys.isEmpty())
        throw EDatabaseError(QStringLiteral("Batch move needs a primary index on the destination"));
    const QString savedIndex = Destination->indexName();
    if (byKey)
        Destination->setIndexName(QStringLiteral("PrimaryKey"));

    Database* db = Destination->database();
    std::optional<TransactionGuard> guard;
    if (db && !db->inTransaction())
        guard.emplace(*db);
    if (Mode == BatchMode::batCopy)
        Destination->emptyTable();
    auto sourceValueFor = [&](const QString& destField) -> QVariant {
        for (const auto& p : pairs)
            if (p.first.compare(destField, Qt::CaseInsensitive) == 0)
                return Source->fieldByName(p.second)->value();
        return Source->fieldByName(destField)->value();
    };
    for (Source->first(); !Source->eof(); Source->next()) {
        bool found = false;
        if (byKey) {
            QVariantList key;
            for (const QString& k : keys)
                key << sourceValueFor(k);
            found = Destination->findKey(key);
        }
        if (Mode == BatchMode::batDelete) {
            if (found) {
                Destination->deleteRecord();
                ++m_moved;
            }
            continue;
        }
        if (Mode == BatchMode::batUpdate && !found)
            continue;
        if (found)
            Destination->edit();
        else
            Destination->append();
        for (const auto& p : pairs)
            Destination->fieldByName(p.first)->setValue(Source->fieldByName(p.second)->value());
        Destination->post();
        ++m_moved;
    }
    if (guard)
        guard->commit();
    if (byKey)
        Destination->setIndexName(savedIndex);
    if (!wasOpen)
        Destination->close();
}

} // namespace vorta::db
