// The Game's picture drawn by the real GL device in an offscreen window and read back: the
// trail target the notes stamp into, and the pads and cursor on the screen.

#include "app/Game.h"

#include "framework/base/IFileReader.h"
#include "framework/draw/IImageFile.h"
#include "framework/input/DxInputManager.h"
#include "framework/input/KeyCode.h"
#include "tests/support/FakeClock.h"
#include "tests/support/GameFrames.h"
#include "tests/support/OffscreenWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <limits>

using namespace Pakemino;
using namespace Qorv::Input;
using namespace TestSupport;

namespace
{

constexpr int TrailSize = 1024;

int Channel(uint32_t colour, int shift)
{
    return static_cast<int>((colour >> shift) & 0xFF);
}

int Brightest(uint32_t colour)
{
    return std::max({Channel(colour, 16), Channel(colour, 8), Channel(colour, 0)});
}

int Peak(const std::vector<uint32_t>& pixels)
{
    int peak = 0;
    for (uint32_t pixel : pixels)
    {
        peak = std::max(peak, Brightest(pixel));
    }
    return peak;
}

// The note picture as the test reads it itself, top row first.
std::vector<uint32_t> NotePicture(int32_t& width, int32_t& height)
{
    auto reader = Qorv::Base::CreateFileReader();
    auto image = Qorv::Draw::CreateBitmapImageFile();
    if (!reader->Open(L"data/zirmonly.bmp") || !image->Open(reader))
    {
        return {};
    }
    width = image->GetWidth();
    height = image->GetHeight();
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    if (image->ReadPixels(pixels.data(), width) == 0)
    {
        return {};
    }
    return pixels;
}

struct Stamp
{
    int x, y;
};

// Where the frame about to run stamps its notes: what the unseeded rand gives after seed.
std::vector<Stamp> StampsAfterSeed(unsigned seed, int notes)
{
    std::srand(seed);
    if (std::rand() % 250 == 0)
    {
        std::rand();
    }
    std::vector<Stamp> stamps;
    for (int i = 0; i < notes; ++i)
    {
        const int x = 256 + std::rand() % 256;
        const int y = 352 + std::rand() % 256;
        stamps.push_back({x, y});
    }
    std::srand(seed);
    return stamps;
}

enum class Pad
{
    Plain,
    Lit,
    Cursor
};

class GamePictureGl : public GameFrames
{
protected:
    void SetUp() override
    {
        GameFrames::SetUp();
        ASSERT_NE(window.Handle(), nullptr);
        script.activeWindow = window.Handle();
        MakeGame();
    }
    void MakeGame()
    {
        game.reset();
        game = std::make_unique<Game>(
            window.Handle(), GameDevices{Qorv::Draw::CreateDrawer(),
                                         std::make_shared<DxInputManager>(script.Platform()),
                                         Qorv::Sound::CreateSoundManager(), FakeClock::Now});
        // The first snapshot finds the keyboard unacquired.
        Frame();
    }

    // The trail target the last frame drew into.
    std::vector<uint32_t> CurrentTrail()
    {
        game->drawer->SetRenderTarget(game->feedbackTargets[game->targetIndex ? 1 : 0]);
        game->drawer->Flush();
        return ReadBoundTarget(TrailSize, TrailSize);
    }

    // Each pad's look at its centre on the screen of the last frame.
    std::vector<Pad> Pads()
    {
        const auto screen = ReadBackBuffer(640, 480);
        std::vector<Pad> pads;
        for (int i = 0; i < 16; ++i)
        {
            const uint32_t centre = screen[48 * 640 + 48 + 36 * i];
            const int red = Channel(centre, 16);
            const int blue = Channel(centre, 0);
            pads.push_back(std::min({red, Channel(centre, 8), blue}) >= 250 ? Pad::Cursor
                           : blue < red / 2                                 ? Pad::Lit
                                                                            : Pad::Plain);
        }
        return pads;
    }
    std::vector<Pad> Expected(std::initializer_list<int> lit)
    {
        std::vector<Pad> pads(16, Pad::Plain);
        for (int i : lit)
        {
            pads[static_cast<size_t>(i)] = Pad::Lit;
        }
        pads[static_cast<size_t>(game->sequencer->step)] = Pad::Cursor;
        return pads;
    }

    OffscreenWindow window{640, 480};
};

} // namespace

TEST_F(GamePictureGl, FiveNotesInAFrameStampFiveCopiesOfTheNotePicture)
{
    int32_t width = 0, height = 0;
    const auto picture = NotePicture(width, height);
    ASSERT_EQ(width, 256);
    ASSERT_EQ(height, 64);

    const auto stamps = StampsAfterSeed(5, 5);
    Hold({KeyZ, KeyS, KeyE, KeyR, Key5});
    Frame();
    const auto trail = CurrentTrail();

    // Black where no stamp is, the picture itself where one is; overlaps show one of them.
    int wrong = 0;
    std::string first;
    for (int y = 0; y < TrailSize; ++y)
    {
        for (int x = 0; x < TrailSize; ++x)
        {
            const uint32_t drawn = trail[static_cast<size_t>(y) * TrailSize + x] & 0xFFFFFF;
            bool covered = false;
            bool matches = false;
            for (const Stamp& stamp : stamps)
            {
                if (x < stamp.x || x >= stamp.x + width || y < stamp.y || y >= stamp.y + height)
                {
                    continue;
                }
                covered = true;
                const uint32_t texel = picture[static_cast<size_t>(y - stamp.y) * width +
                                               static_cast<size_t>(x - stamp.x)];
                bool near = true;
                for (int shift : {16, 8, 0})
                {
                    near = near && std::abs(Channel(drawn, shift) - Channel(texel, shift)) <= 2;
                }
                matches = matches || near;
            }
            if (covered ? !matches : drawn != 0)
            {
                if (wrong++ == 0)
                {
                    first =
                        std::string("(").append(std::to_string(x)) + ", " + std::to_string(y) + ")";
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "first wrong pixel at " << first;
}

TEST_F(GamePictureGl, AFrameWithoutNotesStampsNothing)
{
    Frame();
    const auto untouched = CurrentTrail();
    EXPECT_TRUE(std::all_of(untouched.begin(), untouched.end(),
                            [](uint32_t pixel) { return (pixel & 0xFFFFFF) == 0; }));

    Hold({KeyQ, KeyW});
    Frame();
    const int stampPeak = Peak(CurrentTrail());
    ASSERT_GT(stampPeak, 200);

    // Keys still held: the next frame only carries the stamps on at half strength.
    Frame();
    const int carriedPeak = Peak(CurrentTrail());
    EXPECT_GT(carriedPeak, 0);
    EXPECT_LE(carriedPeak, stampPeak / 2 + 2);
}

TEST_F(GamePictureGl, PadsOfTheSelectedTrackAreLitYellow)
{
    EXPECT_EQ(Pads(), Expected({}));
    Tap({KeyF1});
    Tap({KeyF2});
    EXPECT_EQ(Pads(), Expected({0, 1}));

    // Another track shows its own, empty, steps from the frame it is selected in.
    Hold({KeyNumpad2});
    Frame();
    EXPECT_EQ(Pads(), Expected({}));
    Hold({KeyNumpad2}, false);
    Hold({KeyNumpad1});
    Frame();
    EXPECT_EQ(Pads(), Expected({0, 1}));
}

TEST_F(GamePictureGl, TheCursorSitsOnTheStepTheSequencerReached)
{
    std::vector<int32_t> seen;
    for (int frame = 0; frame < 130; ++frame)
    {
        Frame();
        const auto pads = Pads();
        ASSERT_EQ(std::count(pads.begin(), pads.end(), Pad::Cursor), 1) << "frame " << frame;
        EXPECT_EQ(pads[static_cast<size_t>(game->sequencer->step)], Pad::Cursor)
            << "frame " << frame;
        if (seen.empty() || seen.back() != game->sequencer->step)
        {
            seen.push_back(game->sequencer->step);
        }
    }
    // Over a whole loop and into the next: every step was shown.
    EXPECT_GE(seen.size(), 17u);
}

TEST_F(GamePictureGl, F10LaysTheKeyMapOverThePictureAndF10AgainTakesItAway)
{
    // A cursor that holds still and no notes: frames without the map are alike.
    game->sequencer->interval = std::numeric_limits<int32_t>::max();
    Frame();
    const auto without = ReadBackBuffer(640, 480);

    Tap({KeyF10});
    const auto with = ReadBackBuffer(640, 480);
    size_t changed = 0;
    for (size_t i = 0; i < without.size(); ++i)
    {
        changed += with[i] != without[i] ? 1 : 0;
    }
    EXPECT_GT(changed, without.size() / 4);

    Tap({KeyF10});
    EXPECT_EQ(ReadBackBuffer(640, 480), without);
}

// The trail is redrawn only where it can still reach the window, and the window shows the
// same pixels as with the whole trail redrawn, long after the first frames.
TEST_F(GamePictureGl, TheTrailRedrawnOnlyWhereItCanReachTheWindowLooksTheSame)
{
    std::vector<std::vector<uint32_t>> shots[2];
    std::vector<uint32_t> trails[2];
    for (int whole = 0; whole < 2; ++whole)
    {
        FakeClock::now = 20000;
        trailAngle = 3;
        MakeGame();
        if (whole == 1)
        {
            game->trailReach = {};
        }
        std::srand(1);
        for (int frame = 1; frame <= 1500; ++frame)
        {
            game->player->playedCount = 5;
            Frame();
            if (frame == 300 || frame == 1500)
            {
                shots[whole].push_back(ReadWindow(640, 480));
            }
        }
        trails[whole] = CurrentTrail();
    }
    EXPECT_TRUE(shots[0] == shots[1]);
    // The saving is real: the corners of the targets, out of the window's reach, differ.
    EXPECT_FALSE(trails[0] == trails[1]);
}
