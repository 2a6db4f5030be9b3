// The Game in a real window with its real devices and no data file beside it: it opens, runs
// its frames and is destroyed as usual.

#include "app/Game.h"

#include "tests/support/OffscreenWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Pakemino;

TEST(GameWithoutDataInAWindow, ConstructsRunsFramesAndEnds)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    TestSupport::OffscreenWindow window(640, 480);
    ASSERT_NE(window.Handle(), nullptr);
    Game game(window.Handle());
    for (int frame = 0; frame < 20; ++frame)
    {
        game.RunFrame();
    }
    for (const auto& voice : game.player->voices)
    {
        EXPECT_FALSE(voice->IsOpen());
    }
    for (const auto& [number, track] : game.sequencer->tracks)
    {
        EXPECT_FALSE(track.sample->IsOpen()) << number;
    }
}
