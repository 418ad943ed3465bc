#include "platform/db/EngineConfig.h"

#include "platform/db/DbTypes.h"
#include "platform/os/Registry.h"

namespace vorta::db {

namespace {
const QString kRoot = QStringLiteral("\\Software\\Kalvi\\Vorta\\Engine\\");
// The engine's code for a configuration path it cannot find.
constexpr int kPathNotFound = 8712;
} // namespace

QList<ConfigEntry> readEngineConfiguration(const QString& path)
{
    os::Registry registry(os::RootKey::LocalMachine);
    QString relative = path;
    while (relative.startsWith(QLatin1Char('\\')))
        relative.remove(0, 1);
    if (relative.isEmpty() || !registry.openKeyReadOnly(kRoot + relative))
        throw EDBEngineError(QStringLiteral("Configuration path not found: %1").arg(path), kPathNotFound);
    QList<ConfigEntry> entries;
    for (const QString& name : registry.getValueNames())
        entries.append({name, registry.readString(name)});
    registry.closeKey();
    return entries;
}

} // namespace vorta::db
