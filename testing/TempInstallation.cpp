#include "testing/TempInstallation.h"

#include "installation/InstallDatabase.h"
#include "platform/os/Registry.h"

#include <QDir>

namespace vorta::testing {

TempInstallation::TempInstallation()
{
    m_hadRegistry = qEnvironmentVariableIsSet("VORTA_REGISTRY");
    m_previousRegistry = qgetenv("VORTA_REGISTRY");
    qputenv("VORTA_REGISTRY", QFile::encodeName(registryFile()));
    for (const char* name : {"modulos", "dados", "updates", "temp", "arquivos", "backup"})
        QDir().mkpath(folder(QString::fromLatin1(name)));
    os::Registry reg;
    reg.openKey(QStringLiteral("\\Software\\Kalvi\\Vorta\\"), true);
    reg.writeString(QStringLiteral("Path"), path());
}

TempInstallation::~TempInstallation()
{
    if (m_hadRegistry)
        qputenv("VORTA_REGISTRY", m_previousRegistry);
    else
        qunsetenv("VORTA_REGISTRY");
}

QString TempInstallation::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString TempInstallation::folder(const QString& name) const
{
    return path() + name + QLatin1Char('/');
}

QString TempInstallation::registryFile() const
{
    return m_dir.path() + QStringLiteral("/registry");
}

} // namespace vorta::testing

namespace vorta::testing {

void TempInstallation::installDatabase()
{
    vorta::installation::installDatabase(folder(QStringLiteral("dados")));
}

} // namespace vorta::testing
