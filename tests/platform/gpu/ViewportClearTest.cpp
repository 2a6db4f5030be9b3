#include "platform/gpu/ViewportClear.h"

#include <gtest/gtest.h>

#include <algorithm>

using platform::gl::FixedVertex;
using platform::gl::ViewportFill;

TEST(ViewportFill, IsTheColourOfOneUprightQuadOverEveryPixelCentre)
{
    // Pixels [2, 10) x [1, 5): corners top left, top right, bottom left, bottom right.
    D3DVIEWPORT9 viewport{2, 1, 8, 4, 0.0f, 1.0f};
    const FixedVertex quad[4] = {{1.5f, 0.5f, 0, 1, 7, 0, 0, 0},
                                 {9.5f, 0.5f, 0, 1, 7, 0, 0, 0},
                                 {1.5f, 4.5f, 0, 1, 7, 0, 0, 0},
                                 {9.5f, 4.5f, 0, 1, 7, 0, 0, 0}};
    const auto fill = [&](std::array<int, 6> order, int moved = 0,
                          float FixedVertex::*field = &FixedVertex::x, float to = 1.5f)
    {
        FixedVertex corner[4] = {quad[0], quad[1], quad[2], quad[3]};
        corner[moved].*field = to;
        std::array<const FixedVertex*, 6> corners{};
        std::transform(order.begin(), order.end(), corners.begin(),
                       [&](int k) { return &corner[k]; });
        return ViewportFill(corners, viewport);
    };
    const std::array<int, 6> halves = {0, 1, 2, 1, 3, 2};
    EXPECT_EQ(fill(halves), 7u);
    EXPECT_EQ(fill({3, 2, 1, 0, 1, 2}), 7u) << "either diagonal, either winding";
    EXPECT_EQ(fill({0, 1, 2, 0, 1, 2}), std::nullopt) << "one half twice";
    EXPECT_EQ(fill({0, 1, 1, 1, 3, 2}), std::nullopt) << "a triangle with no area";
    EXPECT_EQ(fill(halves, 3, &FixedVertex::x, 9.0f), std::nullopt) << "not upright";
    EXPECT_EQ(fill(halves, 2, &FixedVertex::z, 1.5f), std::nullopt) << "clipped in depth";
    EXPECT_EQ(fill(halves, 0, &FixedVertex::rhw, 0.0f), std::nullopt);
    viewport.Width = 9;
    EXPECT_EQ(fill(halves), std::nullopt) << "the viewport's last column left out";
}
