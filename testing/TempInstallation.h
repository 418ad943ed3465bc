#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace vorta::testing {

// A temporary installation folder with its six folders and a registry file of its
// own (VORTA_REGISTRY points at it while this lives), "Path" set to the folder.
class TempInstallation {
public:
    TempInstallation();
    ~TempInstallation();
    TempInstallation(const TempInstallation&) = delete;
    TempInstallation& operator=(const TempInstallation&) = delete;

    QString path() const;           // ends with "/"
    QString folder(const QString& name) const; // path() + name + "/"
    QString registryFile() const;
    // Creates the installed database (tables and reference rows) in folder("dados").
    void installDatabase();

private:
    QTemporaryDir m_dir;
    QByteArray m_previousRegistry;
    bool m_hadRegistry = false;
};

} // namespace vorta::testing
