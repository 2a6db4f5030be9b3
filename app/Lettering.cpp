#include "app/Lettering.h"

#include "framework/draw/LoadTexture.h"

namespace Pakemino
{

namespace
{
constexpr int32_t FirstCharacter = 32;
constexpr int32_t LastCharacter = 126;
constexpr int32_t AtlasColumns = 16;
constexpr int32_t AtlasRows = 6;
constexpr int32_t SolidCell = 127 - FirstCharacter;

Qorv::Draw::Rect Cell(int32_t cell)
{
    return {cell % AtlasColumns * Lettering::Advance, cell / AtlasColumns * Lettering::LineHeight,
            Lettering::Advance, Lettering::LineHeight};
}
} // namespace

void Lettering::Load(Qorv::Draw::IDrawer& drawer, const std::wstring& path)
{
    atlas = drawer.CreateTexture();
    Qorv::Draw::LoadTextureFromFile(atlas, path);
    // A picture of another size is not this atlas: its cells would draw the wrong glyphs.
    if (atlas->GetImageWidth() != AtlasColumns * Advance ||
        atlas->GetImageHeight() != AtlasRows * LineHeight)
    {
        atlas->Destroy();
    }
}

void Lettering::Draw(Qorv::Draw::IDrawer& drawer, std::string_view text, int32_t x, int32_t y,
                     uint32_t colour, uint32_t priority) const
{
    if (!IsLoaded())
    {
        return;
    }
    int32_t left = x;
    for (const char c : text)
    {
        int32_t code = static_cast<unsigned char>(c);
        if (code < FirstCharacter || code > LastCharacter)
        {
            code = '?';
        }
        if (code != ' ')
        {
            drawer.DrawImage(atlas, colour, priority, {left, y, Advance, LineHeight},
                             Cell(code - FirstCharacter));
        }
        left += Advance;
    }
}

void Lettering::Fill(Qorv::Draw::IDrawer& drawer, const Qorv::Draw::Rect& rect, uint32_t colour,
                     uint32_t priority) const
{
    if (!IsLoaded())
    {
        return;
    }
    // The cell's inside, away from its edges: filtering sees nothing but solid texels.
    Qorv::Draw::Rect inside = Cell(SolidCell);
    inside = {inside.x + 2, inside.y + 2, inside.width - 4, inside.height - 4};
    drawer.DrawImage(atlas, colour, priority, rect, inside);
}

} // namespace Pakemino
