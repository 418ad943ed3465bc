#include "Calculator.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace vorta::os {

namespace {
QString executable(const QString& name)
{
    if (name.contains(QLatin1Char('/'))) {
        const QFileInfo f(name);
        return f.isFile() && f.isExecutable() ? f.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(name);
}
} // namespace

QString systemCalculator()
{
    const QString chosen = qEnvironmentVariable("VORTA_CALCULATOR").trimmed();
    if (!chosen.isEmpty())
        return executable(chosen);
    for (const char* name : {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "xcalc"})
        if (const QString found = executable(QString::fromLatin1(name)); !found.isEmpty())
            return found;
    return QString();
}

bool startSystemCalculator()
{
    const QString program = systemCalculator();
    return !program.isEmpty() && QProcess::startDetached(program, {});
}

} // namespace vorta::os
