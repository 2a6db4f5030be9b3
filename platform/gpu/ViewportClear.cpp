#include "platform/gpu/ViewportClear.h"

#include <algorithm>
#include <cmath>

namespace platform::gl
{

std::optional<D3DCOLOR> ViewportFill(const std::array<const FixedVertex*, 6>& corners,
                                     const D3DVIEWPORT9& viewport)
{
    float left = corners[0]->x, right = left, top = corners[0]->y, bottom = top;
    for (const FixedVertex* vertex : corners)
    {
        if (vertex->diffuse != corners[0]->diffuse || !std::isfinite(vertex->x) ||
            !std::isfinite(vertex->y) || !(vertex->z >= 0.0f && vertex->z <= 1.0f) ||
            !(vertex->rhw > 0.0f && std::isfinite(vertex->rhw)))
        {
            return std::nullopt;
        }
        left = std::min(left, vertex->x);
        right = std::max(right, vertex->x);
        top = std::min(top, vertex->y);
        bottom = std::max(bottom, vertex->y);
    }
    // Corners numbered 0 top left, 1 top right, 2 bottom left, 3 bottom right: the triangles
    // cover the rectangle when each has three of them and they leave out opposite ones.
    int missing[2] = {6, 6};
    for (int i = 0; i < 6; ++i)
    {
        const FixedVertex* vertex = corners[i];
        if ((vertex->x != left && vertex->x != right) || (vertex->y != top && vertex->y != bottom))
        {
            return std::nullopt;
        }
        missing[i / 3] -= (vertex->x == right ? 1 : 0) + (vertex->y == bottom ? 2 : 0);
    }
    for (int t = 0; t < 2; ++t)
    {
        const FixedVertex* const* triangle = corners.data() + 3 * t;
        if ((triangle[0]->x == triangle[1]->x && triangle[0]->y == triangle[1]->y) ||
            (triangle[0]->x == triangle[2]->x && triangle[0]->y == triangle[2]->y) ||
            (triangle[1]->x == triangle[2]->x && triangle[1]->y == triangle[2]->y))
        {
            return std::nullopt;
        }
    }
    // Pixel centres sit on integers; a quarter pixel of margin keeps rounding from deciding.
    const auto x0 = static_cast<float>(viewport.X);
    const auto y0 = static_cast<float>(viewport.Y);
    if ((missing[0] ^ missing[1]) != 3 || left > x0 - 0.25f ||
        right < x0 + static_cast<float>(viewport.Width) - 0.75f || top > y0 - 0.25f ||
        bottom < y0 + static_cast<float>(viewport.Height) - 0.75f)
    {
        return std::nullopt;
    }
    return corners[0]->diffuse;
}

} // namespace platform::gl
