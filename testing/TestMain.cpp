#include <gtest/gtest.h>

#include "platform/ui/Application.h"
#include "testing/ScriptedDialogs.h"
#include "testing/ShellProcess.h"

// Every test program runs inside one Application, headless.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    // Window handles, locks and sockets of this test program stay in a folder of its own.
    vorta::testing::TemporaryRuntimeFolder runtime;
    vorta::Application app(argc, argv);
    // A dialog no test expected fails that test instead of waiting for a person.
    vorta::testing::UnexpectedDialogs unexpected;
    vorta::ui::setDialogService(&unexpected);
    const int rc = RUN_ALL_TESTS();
    vorta::ui::setDialogService(nullptr);
    return rc;
}
