#pragma once

#include <QString>

namespace vorta::installation {

// The table script and the reference rows, as built into the program.
QString schemaSql();
QString referenceRowsSql();

// Creates the database of an installation's data folder with every table and the
// reference rows; raises vorta::Exception when the folder already holds a database or
// the database cannot be made.
void installDatabase(const QString& dataFolder);

} // namespace vorta::installation
