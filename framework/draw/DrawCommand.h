#pragma once
// The drawer's value types: rectangles, points, quads, blend modes, and one queued quad.

#include <cstdint>

namespace Qorv::Draw
{

class ITexture;

struct Rect
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct Point
{
    int32_t x = 0;
    int32_t y = 0;
};

// Corner order is also the vertex order of every quad.
struct Quad
{
    Point topLeft;
    Point topRight;
    Point bottomLeft;
    Point bottomRight;
};

// Stored as a plain int32_t: any other value blends by source alpha.
enum BlendMode : int32_t
{
    BlendNone = 0,
    BlendVertexAlpha = 1,
    BlendAlpha = 2,
    BlendAdd = 3,
    BlendPremultiplied = 4,
    BlendMultiply = 5,
    BlendInvert = 6,
};

// Does not keep its texture alive: whoever adds it keeps the texture until the next flush.
struct DrawCommand
{
    ITexture* texture = nullptr;
    uint32_t colour = 0;
    int32_t blendMode = BlendNone;
    Rect destination;
    Rect source;
    Quad corners;
    uint32_t priority = 0;
    bool isRect = false;
};

} // namespace Qorv::Draw
