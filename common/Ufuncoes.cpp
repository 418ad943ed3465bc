#include "Ufuncoes.h"

#include "platform/os/ExeVersion.h"

#include <QFileInfo>

vorta::os::Rect GetWindowsWorkArea()
{
    return vorta::os::workArea();
}

QString GetVersionExe(const QString& name)
{
    // Linux programs carry no extension: "ZIR.exe" and "ZIR" name the same file.
    QString base = name;
    if (base.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        base.chop(4);
    QString file = base;
    if (!QFileInfo(file).isFile() && QFileInfo(base + QStringLiteral(".exe")).isFile())
        file = base + QStringLiteral(".exe");
    const auto version = vorta::os::readFileVersion(file);
    if (!version)
        return QString();
    // Plain decimal parts: the old two-character cut showed 1.3.0.15 as 1.3.0.5.
    return QStringLiteral("%1.%2.%3.%4").arg(version->major).arg(version->minor).arg(version->release).arg(version->build);
}
