#include "platform/gpu/ViewportClear.h"

#include <gtest/gtest.h>

using platform::gl::FixedVertex;
using platform::gl::ViewportFill;

namespace
{

constexpr D3DCOLOR Colour = 0x80402010;
const D3DVIEWPORT9 Viewport{2, 1, 8, 4, 0.0f, 1.0f};

// The corners of a quad over pixels [2, 10) x [1, 5), as the drawer lays out its two triangles.
struct Quad
{
    FixedVertex corner[4] = {{1.5f, 0.5f, 0, 1, Colour, 0, 0, 0},
                             {9.5f, 0.5f, 0, 1, Colour, 0, 1, 0},
                             {1.5f, 4.5f, 0, 1, Colour, 0, 0, 1},
                             {9.5f, 4.5f, 0, 1, Colour, 0, 1, 1}};

    std::optional<D3DCOLOR> Fill(std::array<int, 6> order = {0, 1, 2, 1, 3, 2}) const
    {
        std::array<const FixedVertex*, 6> corners{};
        for (size_t i = 0; i < corners.size(); ++i)
        {
            corners[i] = &corner[order[i]];
        }
        return ViewportFill(corners, Viewport);
    }
};

} // namespace

TEST(ViewportFill, IsTheColourOfOneUprightQuadOverEveryPixelCentre)
{
    Quad quad;
    EXPECT_EQ(quad.Fill(), Colour);
    EXPECT_EQ(quad.Fill({3, 2, 1, 0, 1, 2}), Colour) << "either diagonal, either winding";
    EXPECT_EQ(quad.Fill({0, 1, 2, 0, 1, 2}), std::nullopt) << "one half twice";
    EXPECT_EQ(quad.Fill({0, 1, 1, 1, 3, 2}), std::nullopt) << "a triangle with no area";

    quad.corner[3].diffuse = 0xFF402010;
    EXPECT_EQ(quad.Fill(), std::nullopt) << "two colours";
    quad = {};
    quad.corner[1].x = quad.corner[3].x = 9.0f;
    EXPECT_EQ(quad.Fill(), std::nullopt) << "the last column's centres left out";
    quad = {};
    quad.corner[3].x = 9.0f;
    EXPECT_EQ(quad.Fill(), std::nullopt) << "not upright";
    quad = {};
    quad.corner[2].z = 1.5f;
    EXPECT_EQ(quad.Fill(), std::nullopt) << "clipped in depth";
    quad = {};
    quad.corner[0].rhw = 0.0f;
    EXPECT_EQ(quad.Fill(), std::nullopt) << "no perspective weight";
}
