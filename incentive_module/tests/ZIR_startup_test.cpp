#include "testing/TempInstallation.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {
QString program(const char* name)
{
    // The programs are built beside the test programs.
    const QString dir = qEnvironmentVariable("VORTA_BIN_DIR", QCoreApplication::applicationDirPath());
    return dir + "/" + name;
}
} // namespace

// Started by hand, without the shell's handle, each module says so and ends by itself.
TEST(ModuleStartUp, WithoutTheShellsHandleTheProgramSaysSoAndEnds)
{
    vorta::testing::TempInstallation inst;
    inst.installDatabase();
    for (const char* name : {"ZIR", "Vorta_Mod"}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VORTA_DIALOGS", "stderr");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(program(name), {});
        ASSERT_TRUE(p.waitForFinished(30000)) << name;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << name;
        EXPECT_EQ(p.exitCode(), 0) << name;
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_TRUE(err.contains("Esta aplicação não deve ser inicializada fora do Vorta.")) << err.toStdString();
    }
}
