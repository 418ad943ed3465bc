#include "testing/TempInstallation.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
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

// Without an installation each module shows one message naming what is missing, and ends
// before any database work, with or without the shell's handle.
TEST(ModuleStartUp, WithoutAnInstallationOneMessageNamesWhatIsMissing)
{
    struct Case {
        const char* what;
        bool path;     // the registry names the folder
        const char* named;
    };
    const Case cases[] = {
        {"no Path value", false, "não tem o valor \"Path\""},
        {"no database", true, "vorta.db"},
    };
    for (const Case& c : cases) {
        vorta::testing::TempInstallation inst;
        if (!c.path) {
            QFile::remove(inst.registryFile());
        }
        for (const char* name : {"ZIR", "Vorta_Mod"}) {
            for (const QStringList& args : {QStringList{}, QStringList{"3", "80"}}) {
                SCOPED_TRACE(std::string(c.what) + " " + name + " " + args.join(' ').toStdString());
                QProcess p;
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                env.insert("VORTA_DIALOGS", "stderr");
                env.insert("QT_QPA_PLATFORM", "offscreen");
                env.insert("VORTA_IPC_TIMEOUT_MS", "200");
                p.setProcessEnvironment(env);
                p.start(program(name), args);
                ASSERT_TRUE(p.waitForFinished(30000));
                EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
                EXPECT_EQ(p.exitCode(), 1);
                const QString err = QString::fromLocal8Bit(p.readAllStandardError());
                EXPECT_EQ(err.count("[message]"), 1) << err.toStdString();
                EXPECT_TRUE(err.contains(QString::fromUtf8(c.named))) << err.toStdString();
                EXPECT_FALSE(err.contains("does not exist")) << "no engine text: " << err.toStdString();
            }
        }
    }
}
