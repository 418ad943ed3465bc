#include "installation/InstallMessages.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"

#include <QSet>
#include <QStringList>

namespace vorta::installation {

// Generated from mensagens.tsv.
extern const char* const kMessagesTsv;

QString messagesTsv()
{
    return QString::fromUtf8(kMessagesTsv);
}

QList<CatalogueMessage> parseMessages(const QString& tsv)
{
    QList<CatalogueMessage> rows;
    QSet<int> seen;
    const QStringList lines = tsv.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const auto fail = [&](const QString& why) {
            throw Exception(QStringLiteral("Message catalogue, line %1: %2").arg(i + 1).arg(why));
        };
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            fail(QStringLiteral("no tab between number and text"));
        bool ok = false;
        const int code = line.left(tab).toInt(&ok);
        if (!ok || code <= 0)
            fail(QStringLiteral("'%1' is not a message number").arg(line.left(tab)));
        const QString text = line.mid(tab + 1);
        if (text.trimmed().isEmpty())
            fail(QStringLiteral("message %1 has no text").arg(code));
        if (seen.contains(code))
            fail(QStringLiteral("message %1 appears twice").arg(code));
        seen.insert(code);
        rows.append(CatalogueMessage{code, text});
    }
    return rows;
}

void installMessages(const QString& dataFolder, const QList<CatalogueMessage>& messages)
{
    db::Database database;
    database.setDirectory(dataFolder);
    database.open();
    db::TransactionGuard transaction(database);
    database.execute(QStringLiteral("DELETE FROM mensagem"));
    for (const CatalogueMessage& m : messages)
        database.execute(QStringLiteral("INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES (?, ?)"),
                         {m.code, m.text});
    transaction.commit();
}

void installMessages(const QString& dataFolder)
{
    installMessages(dataFolder, parseMessages(messagesTsv()));
}

} // namespace vorta::installation
