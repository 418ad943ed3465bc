#include <gtest/gtest.h>

#include "platform/core/Application.h"

// Every test program runs inside one Application, headless.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    vorta::Application app(argc, argv);
    return RUN_ALL_TESTS();
}
