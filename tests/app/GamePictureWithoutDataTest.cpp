// The Game's picture with no picture file beside it: the trail still runs through its targets,
// and every picture is drawn as what an uncreated texture gives, a plain quad.

#include "framework/input/KeyCode.h"
#include "tests/support/RecordedGame.h"

#include <gtest/gtest.h>

using namespace Qorv::Input;
using namespace TestSupport;

namespace
{

using GamePictureWithoutData = RecordedGame;

} // namespace

TEST_F(GamePictureWithoutData, FramesRunAndEveryPictureIsAPlainQuad)
{
    for (const auto* picture : {&game->noteTexture, &game->padTexture, &game->stageTexture})
    {
        EXPECT_EQ((*picture)->GetWidth(), 0);
    }
    const RecordingTexture* targets[] = {DeviceTexture(game->feedbackTargets[0]),
                                         DeviceTexture(game->feedbackTargets[1])};
    ASSERT_NE(targets[0], nullptr);
    ASSERT_NE(targets[1], nullptr);

    for (int frame = 0; frame < 20; ++frame)
    {
        Hold({KeyZ}, frame % 2 == 1);
        Hold({KeyF1}, frame == 3);
        device.calls.clear();
        device.draws.clear();
        Frame();
        EXPECT_EQ(device.Count("Present"), 1u) << "frame " << frame;
        EXPECT_EQ(game->player->playedCount, 0) << "frame " << frame;
        // Two draws read a trail target (into the other target, onto the screen); every other
        // draw, the pads, stage, cursor and any stamps included, has no texture.
        int trailReads = 0;
        for (const auto& draw : device.draws)
        {
            if (draw.texture == targets[0] || draw.texture == targets[1])
            {
                ++trailReads;
            }
            else
            {
                EXPECT_EQ(draw.texture, nullptr) << "frame " << frame;
            }
        }
        EXPECT_EQ(trailReads, 2) << "frame " << frame;
    }
    EXPECT_TRUE(game->sequencer->tracks[0].steps[0]);
}
