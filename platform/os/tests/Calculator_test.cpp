#include "platform/os/Calculator.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
QString script(const QDir& dir, const QString& name, bool executable = true)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\nexit 0\n");
    f.close();
    f.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                : QFile::ReadOwner | QFile::WriteOwner);
    return path;
}
} // namespace

TEST(Calculator, TheChosenProgramComesFirstThenTheDesktopsOnPath)
{
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    const QString kcalc = script(dir, QStringLiteral("kcalc"));
    const QString minha = script(dir, QStringLiteral("minha-calc"));
    script(dir, QStringLiteral("xcalc"), false);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tmp.path().toLocal8Bit());
    struct Case {
        const char* chosen;
        QString found;
    } cases[] = {{"", kcalc},
                 {"minha-calc", minha},
                 {"  minha-calc ", minha},
                 {"nenhuma-calc", QString()},
                 {"xcalc", QString()}, // present but not executable
                 {"/nenhuma/pasta/kcalc", QString()}};
    for (const Case& c : cases) {
        qputenv("VORTA_CALCULATOR", c.chosen);
        EXPECT_EQ(vorta::os::systemCalculator(), c.found) << c.chosen;
    }
    qputenv("VORTA_CALCULATOR", minha.toLocal8Bit());
    EXPECT_EQ(vorta::os::systemCalculator(), minha);
    EXPECT_TRUE(vorta::os::startSystemCalculator());
    qputenv("VORTA_CALCULATOR", "nenhuma-calc");
    EXPECT_FALSE(vorta::os::startSystemCalculator());
    qunsetenv("VORTA_CALCULATOR");
    qputenv("PATH", path);
}
