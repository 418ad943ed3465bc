// The shell tests talk in a messenger folder of their own.
#include "testing/ShellProcess.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ShellTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_folder = std::make_unique<vorta::testing::TemporaryRuntimeFolder>(); }
    void TearDown() override { m_folder.reset(); }

private:
    std::unique_ptr<vorta::testing::TemporaryRuntimeFolder> m_folder;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ShellTestEnvironment);

} // namespace
