// The Game's picture with no picture file beside it: the trail still runs through its targets,
// and every picture is drawn as what an uncreated texture gives, a plain quad.

#include "app/Game.h"

#include "framework/draw/DxDrawer.h"
#include "framework/draw/DxTexture.h"
#include "framework/input/DxInputManager.h"
#include "framework/input/KeyCode.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/ScriptedDirectInput.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Pakemino;
using namespace Qorv::Draw;
using namespace Qorv::Input;
using namespace TestSupport;

namespace
{

HWND const Window = reinterpret_cast<HWND>(0x1000);

} // namespace

TEST(GamePictureWithoutData, FramesRunAndEveryPictureIsAPlainQuad)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    selectedTrack = 0;
    stepPage = 0;
    FakeClock::now = 20000;
    RecordingDevice device;
    RecordingDirect3D direct3D{device};
    ScriptedDirectInput script;
    script.activeWindow = Window;
    Game game(Window, {std::make_shared<DxDrawer>([&](UINT) -> IDirect3D9* { return &direct3D; }),
                       std::make_shared<DxInputManager>(script.Platform()),
                       Qorv::Sound::CreateSoundManager(), FakeClock::Now});
    for (const auto* picture : {&game.noteTexture, &game.padTexture, &game.stageTexture})
    {
        EXPECT_EQ((*picture)->GetWidth(), 0);
    }
    auto deviceTexture = [](const std::shared_ptr<ITexture>& texture)
    {
        return dynamic_cast<RecordingTexture*>(
            dynamic_cast<DxTexture&>(*texture).GetDeviceTexture());
    };
    const RecordingTexture* targets[] = {deviceTexture(game.feedbackTargets[0]),
                                         deviceTexture(game.feedbackTargets[1])};
    ASSERT_NE(targets[0], nullptr);
    ASSERT_NE(targets[1], nullptr);

    for (int frame = 0; frame < 20; ++frame)
    {
        script.SetKey(KeyScanCodeTable[KeyZ], frame % 2 == 1);
        script.SetKey(KeyScanCodeTable[KeyF1], frame == 3);
        device.calls.clear();
        device.draws.clear();
        FakeClock::now += 16;
        game.RunFrame();
        EXPECT_EQ(device.Count("Present"), 1u) << "frame " << frame;
        EXPECT_EQ(game.player->playedCount, 0) << "frame " << frame;
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
    EXPECT_TRUE(game.sequencer->tracks[0].steps[0]);
}
