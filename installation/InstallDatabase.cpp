#include "installation/InstallDatabase.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"

#include <QDir>
#include <QSaveFile>

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

QStringList indexScriptLines()
{
    QStringList out;
    for (QString line : schemaSql().split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (!line.startsWith(QLatin1String("CREATE INDEX "), Qt::CaseInsensitive))
            continue;
        if (line.endsWith(QLatin1Char(';')))
            line.chop(1);
        out << QStringLiteral("CREATE INDEX IF NOT EXISTS ") + line.mid(13);
    }
    return out;
}

void installIndexScript(const QString& dataFolder)
{
    QSaveFile f(QDir(dataFolder).filePath(QStringLiteral("Indices.Conf")));
    if (!f.open(QIODevice::WriteOnly) || f.write(indexScriptLines().join(QLatin1Char('\n')).toUtf8() + '\n') < 0
        || !f.commit())
        throw Exception(QStringLiteral("Cannot write %1: %2").arg(f.fileName(), f.errorString()));
}

} // namespace vorta::installation
