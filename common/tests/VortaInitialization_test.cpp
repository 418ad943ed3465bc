#include "VortaInitialization.h"

#include "platform/ui/Application.h"
#include "platform/core/Exceptions.h"
#include "platform/ipc/ExceptionReporter.h"
#include "testing/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using vorta::testing::ScriptedDialogs;

namespace {
QString readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// What goes to the debug output (the filter's first log line).
QStringList g_debugLines;
void collectDebug(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtDebugMsg)
        g_debugLines << text;
}
} // namespace

TEST(ExceptionReporting, AStrayExceptionIsLoggedWithItsClassAndShownAlone)
{
    QTemporaryDir dir;
    VortaInitializeExceptionReporter(dir.path() + "/ZIR");
    EXPECT_EQ(vorta::ipc::ExceptionReporter::instance().logFile(), dir.path() + "/ZIR.log");
    g_debugLines.clear();
    qInstallMessageHandler(collectDebug);
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(vorta::ui::MessageKind::Custom, "'x' is not a valid integer value", 1);
        vorta::Application::instance()->handleException(vorta::EConvertError("'x' is not a valid integer value"));
        // The silent abort shows and logs nothing.
        vorta::Application::instance()->handleException(vorta::EAbort());
    }
    EXPECT_EQ(g_debugLines, QStringList({"'x' is not a valid integer value (EConvertError, vortacomum20_tests)"}));
    qInstallMessageHandler(nullptr);
    const QString log = readAll(dir.path() + "/ZIR.log");
    EXPECT_TRUE(log.contains("'x' is not a valid integer value (EConvertError, vortacomum20_tests)"))
        << log.toStdString();
    EXPECT_EQ(log.count("EConvertError in"), 1);
}

TEST(ExceptionReporting, AnUnwritableFolderSendsTheLogToTheUsersStateFolder)
{
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    VortaInitializeExceptionReporter("/nonexistent-folder/Vorta_Mod");
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(vorta::ui::MessageKind::Custom, "boom", 1);
        vorta::Application::instance()->handleException(vorta::Exception("boom"));
    }
    qunsetenv("XDG_STATE_HOME");
    EXPECT_TRUE(readAll(state.path() + "/vorta/Vorta_Mod.log").contains("boom (Exception, vortacomum20_tests)"));
}
