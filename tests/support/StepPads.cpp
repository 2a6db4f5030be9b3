#include "tests/support/StepPads.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace TestSupport
{

namespace
{

int Channel(uint32_t pixel, int shift)
{
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// The cursor's pad is drawn white; a lit pad is yellow, with far less blue than red.
bool IsLit(const Picture& picture, int i)
{
    const uint32_t centre = picture.At(PadLeft(i) + 16, 48);
    const int red = Channel(centre, 16);
    const int blue = Channel(centre, 0);
    return std::min({red, Channel(centre, 8), blue}) < 250 && blue < red / 2;
}

} // namespace

int PadLeft(int i)
{
    return 32 + 36 * i;
}

std::set<int> LitPads(const Picture& picture)
{
    std::set<int> lit;
    for (int i = 0; i < 16; ++i)
    {
        if (IsLit(picture, i))
        {
            lit.insert(i);
        }
    }
    return lit;
}

std::optional<std::set<int>> LitPadsOverTime(const std::string& window)
{
    std::set<int> lit;
    for (int i = 0; i < 8; ++i)
    {
        const auto picture = CaptureWindow(window);
        if (!picture)
        {
            return std::nullopt;
        }
        const auto seen = LitPads(*picture);
        lit.insert(seen.begin(), seen.end());
        std::this_thread::sleep_for(std::chrono::milliseconds(70));
    }
    return lit;
}

} // namespace TestSupport
