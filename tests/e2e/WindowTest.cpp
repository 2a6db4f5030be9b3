// The program as a user meets it: its window, and the ways of closing it.

#include "tests/support/Desktop.h"
#include "tests/support/Process.h"
#include "tests/support/WindowCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <thread>

using namespace std::chrono_literals;
using TestSupport::CaptureWindow;
using TestSupport::Picture;
using TestSupport::Process;
using TestSupport::RunAndCapture;

namespace
{

const std::string Title = "pakemino Technical Preview";

// The program, started with no sound output, and its window.
class ProgramWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window) << "no window titled \"" << Title << "\" appeared";
    }

    Process program{{PAKEMINO_PROGRAM}, {"SDL_AUDIODRIVER=dummy"}};
    const std::optional<std::string> window = TestSupport::WaitForWindow(Title, 10s);
};

// The picture sampled between pixel centres, as a linear filter does, edges clamped.
uint32_t Bilinear(const Picture& picture, double x, double y)
{
    const auto clampX = [&](int at)
    {
        return std::clamp(at, 0, picture.width - 1);
    };
    const auto clampY = [&](int at)
    {
        return std::clamp(at, 0, picture.height - 1);
    };
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0;
    const double fy = y - y0;
    uint32_t result = 0;
    for (int shift : {16, 8, 0})
    {
        const auto channel = [&](int px, int py)
        {
            return static_cast<double>((picture.At(clampX(px), clampY(py)) >> shift) & 0xFF);
        };
        const double top = channel(x0, y0) * (1 - fx) + channel(x0 + 1, y0) * fx;
        const double bottom = channel(x0, y0 + 1) * (1 - fx) + channel(x0 + 1, y0 + 1) * fx;
        result |= static_cast<uint32_t>(std::lround(top * (1 - fy) + bottom * fy)) << shift;
    }
    return result;
}

int LargestChannelDifference(uint32_t a, uint32_t b)
{
    int largest = 0;
    for (int shift : {16, 8, 0})
    {
        const int difference =
            static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        largest = std::max(largest, std::abs(difference));
    }
    return largest;
}

struct ScaleCheck
{
    int litInBars = 0;
    int compared = 0;
    int differing = 0;
};

// The 1280x720 capture against a linear-filtered 1.5x scale of the 640x480 frame, centred.
ScaleCheck CompareScaled(const Picture& frame, const Picture& scaled)
{
    ScaleCheck check;
    for (int y = 0; y < 720; ++y)
    {
        // Where a linear-filtered 1.5x scale samples the frame for this pixel.
        const double frameY = (y + 0.5) / 1.5 - 0.5;
        for (int x = 0; x < 1280; ++x)
        {
            if (x < 160 || x >= 1120)
            {
                check.litInBars += scaled.At(x, y) != 0 ? 1 : 0;
                continue;
            }
            // The step cursor moves between the two captures; everything else holds still.
            if (frameY > 28 && frameY < 68)
            {
                continue;
            }
            ++check.compared;
            const uint32_t expected = Bilinear(frame, (x - 160 + 0.5) / 1.5 - 0.5, frameY);
            check.differing += LargestChannelDifference(scaled.At(x, y), expected) > 8 ? 1 : 0;
        }
    }
    return check;
}

bool SizeBecomes(const std::string& window, int width, int height)
{
    for (int i = 0; i < 100; ++i)
    {
        const auto geometry = TestSupport::WindowGeometry(window);
        if (geometry && geometry->width == width && geometry->height == height)
        {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

} // namespace

TEST_F(ProgramWindow, OpensTitledWithA640By480ClientArea)
{
    const auto geometry = TestSupport::WindowGeometry(*window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 640);
    EXPECT_EQ(geometry->height, 480);
    EXPECT_TRUE(program.Running());
}

TEST_F(ProgramWindow, EscapeEndsTheProgramWithCodeZero)
{
    TestSupport::PressKeys(*window, "Escape");
    EXPECT_EQ(program.Wait(2s), 0);
}

TEST_F(ProgramWindow, CloseRequestFromTheWindowSystemEndsItTheSameWay)
{
    ASSERT_TRUE(TestSupport::SendCloseRequest(*window));
    EXPECT_EQ(program.Wait(2s), 0);
}

TEST_F(ProgramWindow, OtherKeysDoNotCloseIt)
{
    TestSupport::PressKeys(*window, "z x Return space F1");
    EXPECT_FALSE(program.Wait(500ms)) << "the program ended on a key that is not Escape";
    TestSupport::PressKeys(*window, "Escape");
    EXPECT_EQ(program.Wait(2s), 0);
}

TEST_F(ProgramWindow, ATerminationSignalEndsItAsClosingTheWindowDoes)
{
    kill(program.Pid(), SIGTERM);
    EXPECT_EQ(program.Wait(5s), 0);
}

// The 640x480 picture scaled to the largest 4:3 size the window holds, on black. With
// PAKEMINO_SCALED_SCREENSHOT=path set, the window at 1280x720 is also written there as PNG.
TEST_F(ProgramWindow, ScalesItsPictureToTheWindowAndTogglesFullscreenOnAltEnter)
{
    // Wholly on screen, so all of it can be read back.
    RunAndCapture({"xdotool", "windowmove", "--sync", *window, "0", "0"});
    std::this_thread::sleep_for(1s);
    const auto frame = CaptureWindow(*window);
    ASSERT_TRUE(frame);
    ASSERT_EQ(frame->width, 640);

    RunAndCapture({"xdotool", "windowsize", "--sync", *window, "1280", "720"});
    // The window takes its new size before the program has drawn into it: wait for the picture.
    std::optional<Picture> scaled;
    ScaleCheck check;
    for (int i = 0; i < 100; ++i)
    {
        scaled = CaptureWindow(*window);
        if (scaled && scaled->width == 1280 && scaled->height == 720)
        {
            check = CompareScaled(*frame, *scaled);
            if (check.litInBars == 0 && check.differing < check.compared / 1000)
            {
                break;
            }
        }
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_TRUE(scaled);
    ASSERT_EQ(scaled->width, 1280);
    ASSERT_EQ(scaled->height, 720);
    EXPECT_EQ(check.litInBars, 0) << "the bars either side are not black";
    EXPECT_LT(check.differing, check.compared / 1000)
        << "of " << check.compared << " pixels compared";
    if (const char* path = std::getenv("PAKEMINO_SCALED_SCREENSHOT"))
    {
        EXPECT_TRUE(TestSupport::WritePng(*scaled, path)) << path;
    }

    // Fullscreen is the window manager's to grant.
    Process windowManager({"openbox", "--sm-disable"});
    // Until openbox has framed the window, it ignores the request to go fullscreen.
    bool managed = false;
    for (int i = 0; i < 100 && !managed; ++i)
    {
        std::this_thread::sleep_for(50ms);
        managed = TestSupport::ManagedByWindowManager(*window);
    }
    ASSERT_TRUE(managed) << "openbox did not take the window over";
    TestSupport::PressKeys(*window, "alt+Return");
    EXPECT_TRUE(SizeBecomes(*window, 1280, 1024)) << "not fullscreen on the 1280x1024 screen";
    TestSupport::PressKeys(*window, "alt+Return");
    EXPECT_TRUE(SizeBecomes(*window, 1280, 720)) << "not back to its size";
    TestSupport::PressKeys(*window, "Escape");
    EXPECT_EQ(program.Wait(5s), 0);
}
