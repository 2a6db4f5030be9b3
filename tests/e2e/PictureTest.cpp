// The real program's window as a player sees it: the step pads, a pad lit by its key, and the
// stamps notes leave in the trail. With PAKEMINO_SCREENSHOT=path set, the last picture of the
// session is also written there as PNG.

#include "tests/support/GameSession.h"
#include "tests/support/StepPads.h"
#include "tests/support/WindowCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <thread>

using namespace std::chrono_literals;
using namespace TestSupport;

namespace
{

int Channel(uint32_t pixel, int shift)
{
    return static_cast<int>((pixel >> shift) & 0xFF);
}

int Brightest(uint32_t pixel)
{
    return std::max({Channel(pixel, 16), Channel(pixel, 8), Channel(pixel, 0)});
}

// Bright pixels where the notes land on screen: the trail's x 256..767, y 352..671 shown
// from its (192, 272), below the status line under the pads.
int BrightInStampArea(const Picture& picture)
{
    int bright = 0;
    for (int y = 100; y < 400; ++y)
    {
        for (int x = 64; x < 576; ++x)
        {
            bright += Brightest(picture.At(x, y)) > 100 ? 1 : 0;
        }
    }
    return bright;
}

class Session : public GameSession
{
public:
    Session() : GameSession(PAKEMINO_PROGRAM, {"SDL_AUDIODRIVER=dummy"})
    {
        if (!window)
        {
            return;
        }
        // The whole client area on screen, so all of it can be read back.
        RunAndCapture({"xdotool", "windowmove", "--sync", *window, "0", "0"});
        Focus(std::chrono::steady_clock::now() + 10s);
    }

    void Press(const std::string& key) { GameSession::Press({key}, 60ms, 30ms); }
    void Chord(const std::vector<std::string>& keys) { GameSession::Press(keys, 60ms, 0ms); }

    Picture Capture()
    {
        auto picture = CaptureWindow(*window);
        EXPECT_TRUE(picture.has_value());
        return picture.value_or(Picture{640, 480, std::vector<uint32_t>(640 * 480)});
    }

    std::set<int> LitPadsOverTime()
    {
        const auto lit = TestSupport::LitPadsOverTime(*window);
        EXPECT_TRUE(lit.has_value());
        return lit.value_or(std::set<int>{});
    }
};

} // namespace

TEST(Picture, ShowsThePadsALitPadAfterItsKeyAndStampsAfterNotes)
{
    Session session;
    ASSERT_TRUE(session.window.has_value());

    const Picture start = session.Capture();
    ASSERT_EQ(start.width, 640);
    ASSERT_EQ(start.height, 480);
    // Sixteen pads from x 32 to 604 at y 32..63, with dark space around each.
    for (int i = 0; i < 16; ++i)
    {
        const int left = PadLeft(i);
        for (const auto& [x, y] :
             {std::pair{left + 16, 33}, {left + 16, 62}, {left + 1, 48}, {left + 30, 48}})
        {
            EXPECT_GE(Brightest(start.At(x, y)), 90) << "pad " << i << " at " << x << ", " << y;
        }
        for (const auto& [x, y] :
             {std::pair{left + 16, 29}, {left + 16, 66}, {left - 2, 48}, {left + 33, 48}})
        {
            EXPECT_LT(Brightest(start.At(x, y)), 60) << "pad " << i << " at " << x << ", " << y;
        }
    }
    EXPECT_TRUE(LitPads(start).empty());
    EXPECT_LT(BrightInStampArea(start), 50);

    session.Press("F1");
    EXPECT_EQ(session.LitPadsOverTime(), (std::set<int>{0}));

    session.Chord({"z", "d", "t", "8"});
    session.Press("m");
    // One stamp alone lights some thousands of pixels.
    EXPECT_GT(BrightInStampArea(session.Capture()), 2000);

    // More of the pattern, then a phrase to fill the trail for the picture.
    for (const char* key : {"F3", "F5", "F7", "F9", "F1", "F4", "F9"})
    {
        session.Press(key);
    }
    EXPECT_EQ(session.LitPadsOverTime(), (std::set<int>{0, 2, 4, 6, 8, 11}));
    for (const auto& chord : std::vector<std::vector<std::string>>{
             {"z", "g"}, {"x"}, {"c", "5"}, {"r"}, {"b", "j"}, {"9"}, {"q", "l"}, {"v"}})
    {
        session.Chord(chord);
        std::this_thread::sleep_for(120ms);
    }
    const Picture played = session.Capture();
    EXPECT_GT(BrightInStampArea(played), 2000);
    if (const char* path = std::getenv("PAKEMINO_SCREENSHOT"))
    {
        EXPECT_TRUE(WritePng(played, path)) << path;
    }

    session.Press("Escape");
    EXPECT_EQ(session.program.Wait(10s), 0);
}
