#pragma once
// Text drawn from the glyph atlas "glyphs.png": printable ASCII in 6x10 cells, 16 to a row from
// character 32, one textured quad a character, queued on the same drawer as the picture. The
// atlas's last cell is solid, for boxes that sort with the text by priority.

#include "framework/draw/IDrawer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace Pakemino
{

class Lettering
{
public:
    static constexpr int32_t Advance = 6;
    static constexpr int32_t LineHeight = 10;

    // Without the atlas, or with a picture of another size, Draw and Fill queue nothing: no
    // text rather than plain quads or the wrong glyphs.
    void Load(Qorv::Draw::IDrawer& drawer, const std::wstring& path);
    bool IsLoaded() const { return atlas != nullptr && atlas->IsCreated(); }

    // Queues text with its first cell's top-left corner at (x, y), tinted by colour, in the blend
    // mode in force. Characters outside printable ASCII show as '?'.
    void Draw(Qorv::Draw::IDrawer& drawer, std::string_view text, int32_t x, int32_t y,
              uint32_t colour, uint32_t priority) const;
    // Queues a box of colour over rect.
    void Fill(Qorv::Draw::IDrawer& drawer, const Qorv::Draw::Rect& rect, uint32_t colour,
              uint32_t priority) const;
    static int32_t Width(std::string_view text)
    {
        return static_cast<int32_t>(text.size()) * Advance;
    }

    std::shared_ptr<Qorv::Draw::ITexture> atlas;
};

} // namespace Pakemino
