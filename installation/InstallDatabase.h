#pragma once

#include <QDate>
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

// The demo's sample records, as built into the program.
QString demoRowsSql();
// Adds the sample records to an installed database, with the reference values per arroba
// and the slaughterhouse's movement for the month of `today`, in one transaction.
void installDemoRows(const QString& dataFolder, const QDate& today);

} // namespace vorta::installation
