#include "installation/InstallDatabase.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"

#include <QDir>
#include <QSaveFile>

namespace vorta::installation {

// Generated from schema.sql and reference-rows.sql.
extern const char* const kSchemaSql;
extern const char* const kReferenceRowsSql;
extern const char* const kDemoRowsSql;

QString schemaSql()
{
    return QString::fromUtf8(kSchemaSql);
}

QString referenceRowsSql()
{
    return QString::fromUtf8(kReferenceRowsSql);
}

QString demoRowsSql()
{
    return QString::fromUtf8(kDemoRowsSql);
}

void installDatabase(const QString& dataFolder)
{
    // One script, one transaction: a failure leaves no database behind.
    db::createDatabase(dataFolder, schemaSql() + QStringLiteral(";\n") + referenceRowsSql());
}

void installDemoRows(const QString& dataFolder, const QDate& today)
{
    // The month's reference values, and the slaughterhouse's movement of the month under
    // which its maps are entered.
    const QString month = QStringLiteral(
                              "INSERT INTO qel_parametros_mensais (pam_ano, pam_mes, pam_vlr_arr_macho, pam_vlr_arr_femea)"
                              " VALUES (%1, %2, 285.50, 270.00);\n"
                              "INSERT INTO qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia,"
                              " mov_tipo, mov_dt_hr_criacao, mov_situacao, mov_responsavel)"
                              " VALUES (1, '281234566', %1, %2, 'N', '%3', '?', 'MARIA APARECIDA SOUZA')")
                              .arg(today.year())
                              .arg(today.month())
                              .arg(today.toString(QStringLiteral("yyyy-MM-dd 00:00:00")));
    db::executeScript(dataFolder, demoRowsSql() + QStringLiteral(";\n") + month);
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
