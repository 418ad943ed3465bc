#pragma once

#include <QList>
#include <QString>

namespace vorta::installation {

struct CatalogueMessage {
    int code = 0;
    QString text;
};

// The message catalogue as built into the program (mensagens.tsv).
QString messagesTsv();

// Rows of a catalogue file: "number<TAB>text" per line, lines starting with "#" and
// empty lines skipped. Raises vorta::Exception naming the line for a line without a
// tab, a number that is not a positive integer, an empty text or a repeated number.
QList<CatalogueMessage> parseMessages(const QString& tsv);

// Replaces the rows of table mensagem in the data folder's database with the
// built-in catalogue, in one transaction.
void installMessages(const QString& dataFolder);
// The same from a given catalogue text.
void installMessages(const QString& dataFolder, const QList<CatalogueMessage>& messages);

} // namespace vorta::installation
