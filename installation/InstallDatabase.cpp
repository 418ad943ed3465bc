#include "installation/InstallDatabase.h"

#include "platform/db/Database.h"

namespace vorta::installation {

// Generated from schema.sql and reference-rows.sql.
extern const char* const kSchemaSql;
extern const char* const kReferenceRowsSql;

QString schemaSql()
{
    return QString::fromUtf8(kSchemaSql);
}

QString referenceRowsSql()
{
    return QString::fromUtf8(kReferenceRowsSql);
}

void installDatabase(const QString& dataFolder)
{
    // One script, one transaction: a failure leaves no database behind.
    db::createDatabase(dataFolder, schemaSql() + QStringLiteral(";\n") + referenceRowsSql());
}

} // namespace vorta::installation
