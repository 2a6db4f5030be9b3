#pragma once
// The test that lets the device carry out a quad over the whole viewport as a clear: pure, so
// it is checked without GL.

#include "platform/gpu/D3D9.h"

#include <array>
#include <optional>

namespace platform::gl
{

// The one vertex layout the device draws: pre-transformed, two colours, one texture coordinate.
struct FixedVertex
{
    float x, y, z, rhw;
    D3DCOLOR diffuse, specular;
    float u, v;
};

// The colour of two triangles, given by their six corners, that together make one upright
// rectangle of one colour over every pixel centre of the viewport, with nothing clipped away in
// depth; none for anything else.
std::optional<D3DCOLOR> ViewportFill(const std::array<const FixedVertex*, 6>& corners,
                                     const D3DVIEWPORT9& viewport);

} // namespace platform::gl
