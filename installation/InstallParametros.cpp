#include "installation/InstallParametros.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"

#include <QRegularExpression>
#include <QSet>

namespace vorta::installation {

// Generated from parametros.txt.
extern const char* const kParametrosText;

QString parametrosText()
{
    return QString::fromUtf8(kParametrosText);
}

namespace {

bool isIdentifier(const QString& s)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(s).hasMatch();
}

[[noreturn]] void fail(int line, const QString& what)
{
    throw Exception(QStringLiteral("parametros line %1: %2").arg(line).arg(what));
}

} // namespace

ParametrosData parseParametros(const QString& text)
{
    ParametrosData data;
    bool header = false;
    QSet<QString> keys;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QRegularExpression(QStringLiteral("\\s+")));
        for (const QString& p : parts.mid(0, header ? 2 : parts.size()))
            if (!isIdentifier(p))
                fail(lineNo, QStringLiteral("'%1' is not a name").arg(p));
        if (!header) {
            if (parts.size() < 3 || parts[0] != QLatin1String("Campo") || parts[1] != QLatin1String("Tabelas"))
                fail(lineNo, QStringLiteral("the header must be Campo Tabelas and the columns"));
            data.colunas = parts.mid(2);
            header = true;
            continue;
        }
        if (parts.size() != data.colunas.size() + 2)
            fail(lineNo, QStringLiteral("%1 values for %2 columns").arg(parts.size() - 2).arg(data.colunas.size()));
        ParametroRow row;
        row.campo = parts[0];
        row.tabelas = parts[1];
        for (const QString& v : parts.mid(2)) {
            if (v != QLatin1String("S") && v != QLatin1String("N"))
                fail(lineNo, QStringLiteral("'%1' is neither S nor N").arg(v));
            row.valores << (v == QLatin1String("S"));
        }
        const QString key = row.campo.toLower() + QLatin1Char('\t') + row.tabelas.toLower();
        if (keys.contains(key))
            fail(lineNo, QStringLiteral("%1 of %2 given twice").arg(row.campo, row.tabelas));
        keys.insert(key);
        data.linhas << row;
    }
    if (!header)
        throw Exception(QStringLiteral("parametros: no header line"));
    return data;
}

void installParametros(const QString& dataFolder, const ParametrosData& data)
{
    db::Database database;
    database.setDirectory(dataFolder);
    database.open();
    // The column names were checked to be plain identifiers; the values are bound.
    QStringList marks;
    for (int i = 0; i < data.colunas.size() + 2; ++i)
        marks << QStringLiteral("?");
    const QString insert = QStringLiteral("INSERT INTO Parametros (Campo, Tabelas, %1) VALUES (%2)")
                               .arg(data.colunas.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    db::TransactionGuard transaction(database);
    database.execute(QStringLiteral("DELETE FROM Parametros"));
    for (const ParametroRow& row : data.linhas) {
        QVariantList values{row.campo, row.tabelas};
        for (bool v : row.valores)
            values << v;
        database.execute(insert, values);
    }
    transaction.commit();
}

void installParametros(const QString& dataFolder)
{
    installParametros(dataFolder, parseParametros(parametrosText()));
}

} // namespace vorta::installation
