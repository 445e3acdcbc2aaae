// Linked into every test executable that runs jar32: the build puts it beside them, so a missing
// jar32 is a broken build and fails the whole run once, loudly, instead of skipping case by case.
#include <gtest/gtest.h>

#include "tests/support/jar_runner.h"

namespace {
class JarBuiltBesideTheTests : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::JarAvailable()) << testsupport::JarPath() << " is missing: build the jar32 target";
    }
};

[[maybe_unused]] const ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new JarBuiltBesideTheTests);
} // namespace
