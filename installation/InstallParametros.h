#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

namespace vorta::installation {

// One row of table Parametros: a field of a register and its visibility per column.
struct ParametroRow {
    QString campo;
    QString tabelas;
    QVector<bool> valores; // in the order of ParametrosData::colunas
};

struct ParametrosData {
    QStringList colunas; // the visibility columns, as the header names them
    QList<ParametroRow> linhas;
};

// The field-visibility rows as built into the program (parametros.txt).
QString parametrosText();

// Reads a visibility file: "#" comments and empty lines skipped; the first line is the
// header "Campo Tabelas <column>..."; every other line a field, its register and one
// S or N per column, separated by blanks. Raises vorta::Exception naming the line for
// a wrong number of values, a value other than S or N, a name that is not a plain
// identifier or a field repeated for the same register (case-insensitive).
ParametrosData parseParametros(const QString& text);

// Replaces the rows of table Parametros in the data folder's database, in one
// transaction; a column the table lacks raises the engine's error and leaves the rows.
void installParametros(const QString& dataFolder, const ParametrosData& data);
// The same with the built-in rows.
void installParametros(const QString& dataFolder);

} // namespace vorta::installation
