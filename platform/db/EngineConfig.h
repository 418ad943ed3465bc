#pragma once

#include <QList>
#include <QString>

namespace vorta::db {

// One entry of the engine's persistent configuration.
struct ConfigEntry {
    QString nodeName;
    QString value;
};

// The engine's persistent configuration: named lists of entries under a path such as
// "DRIVERS\SQLITE\INIT", kept in the machine's registry store below
// "\Software\Kalvi\Vorta\Engine\". The entries of one path, in their stored order;
// raises EDBEngineError when the path does not exist.
QList<ConfigEntry> readEngineConfiguration(const QString& path);

} // namespace vorta::db
