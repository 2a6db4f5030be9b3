// The take's ring between the audio callback and the writer thread.

#include "platform/audio/SampleRing.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

TEST(SampleRing, KeepsOrderAcrossTheWrapAndDropsWholeRunsThatDoNotFit)
{
    platform::audio::SampleRing ring(10);
    std::vector<float> in(7);
    std::iota(in.begin(), in.end(), 1.0f);
    std::vector<float> out(10);

    ASSERT_TRUE(ring.Push(in.data(), 7));
    ASSERT_EQ(ring.Pop(out.data(), 5), 5u);
    // 2 held, 8 free: the next 7 wrap past the end of the storage.
    ASSERT_TRUE(ring.Push(in.data(), 7));
    EXPECT_FALSE(ring.Push(in.data(), 2)) << "9 do not fit in 10";
    EXPECT_TRUE(ring.Push(in.data(), 1));
    EXPECT_EQ(ring.Overruns(), 1u);
    EXPECT_EQ(ring.Filled(), 10u);

    ASSERT_EQ(ring.Pop(out.data(), out.size()), 10u);
    EXPECT_EQ(out, (std::vector<float>{6, 7, 1, 2, 3, 4, 5, 6, 7, 1}));
    EXPECT_EQ(ring.Pop(out.data(), out.size()), 0u);
}
