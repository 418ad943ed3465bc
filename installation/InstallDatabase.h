#pragma once

#include <QString>
#include <QStringList>

namespace vorta::installation {

// The table script and the reference rows, as built into the program.
QString schemaSql();
QString referenceRowsSql();

// Creates the database of an installation's data folder with every table and the
// reference rows; raises vorta::Exception when the folder already holds a database or
// the database cannot be made.
void installDatabase(const QString& dataFolder);

// The index script of the data folder ("Indices.Conf"): one statement a line that
// creates each index of the schema when it is missing, run by the database repair.
QStringList indexScriptLines();
void installIndexScript(const QString& dataFolder);

} // namespace vorta::installation
