// The kernels the build links in are, bit for bit, the ones the program would compute, and the
// table finds each level's kernel whether it was linked in or computed at start.

#include "platform/audio/SincTable.h"
#include "platform/audio/SincLevel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace platform::audio;

TEST(SincTable, LinkedAndComputedLevelsAreTheKernelsOfTheirScales)
{
    const auto scaleOf = [](int level)
    {
        return std::exp2(static_cast<double>(level) / SincTable::ScaleStepsPerOctave);
    };
    const int levels = PrebuiltSincLevelCount + 2;
    const SincTable table(scaleOf(levels - 1));
    for (int level = 0; level < levels; ++level)
    {
        const SincTable::Kernel& kernel = table.ForStep(scaleOf(level));
        const std::vector<float> computed = BuildSincLevel(level);
        ASSERT_EQ(computed.size(), 2u * SincTable::Phases * static_cast<size_t>(kernel.taps));
        EXPECT_EQ(std::memcmp(kernel.rows, computed.data(), computed.size() * sizeof(float)), 0)
            << "level " << level;
    }
}
