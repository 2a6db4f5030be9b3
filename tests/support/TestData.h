#pragma once
// The public conformance suites kept beside the checkout, for the decoder tests: where they are,
// and a skip that says so when they are missing.

#include <gtest/gtest.h>

#include <filesystem>

namespace TestSupport
{

// The folder PAKEMINO_TESTDATA names in the build, ../shared/testdata beside the checkout unless
// set otherwise.
std::filesystem::path TestDataPath(const std::filesystem::path& relative = {});
bool HaveTestData();

} // namespace TestSupport

// Ends the calling test as skipped, with where the suites were looked for, when they are missing.
#define SKIP_WITHOUT_TESTDATA()                                                                    \
    do                                                                                             \
    {                                                                                              \
        if (!TestSupport::HaveTestData())                                                          \
        {                                                                                          \
            GTEST_SKIP() << "the conformance suites are missing: no folder "                       \
                         << TestSupport::TestDataPath();                                           \
        }                                                                                          \
    } while (false)
