// The Game with no data file beside it and no window: it constructs, runs its frames and takes
// its keys, and every note and step is silent.

#include "app/Game.h"

#include "framework/draw/IDrawer.h"
#include "framework/input/DxInputManager.h"
#include "framework/input/KeyCode.h"
#include "framework/sound/DxSoundManager.h"
#include "tests/support/FakeClock.h"
#include "tests/support/OfflineMixer.h"
#include "tests/support/ScriptedDirectInput.h"
#include "tests/support/Signal.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Pakemino;
using namespace Qorv::Input;
using namespace TestSupport;

TEST(GameWithoutData, RunsItsFramesAndKeysInSilence)
{
    selectedTrack = 0;
    stepPage = 0;
    ScriptedDirectInput script;
    OfflineMixer mixer;
    Qorv::Sound::PublishSoundDevice(mixer.Device());
    {
        Game game(nullptr,
                  {Qorv::Draw::CreateDrawer(), std::make_shared<DxInputManager>(script.Platform()),
                   Qorv::Sound::CreateSoundManager(), FakeClock::Now});
        for (const auto& voice : game.player->voices)
        {
            EXPECT_FALSE(voice->IsOpen());
        }
        ASSERT_EQ(game.sequencer->tracks.size(), 9u);

        // The first snapshot finds the keyboard unacquired.
        game.RunFrame();
        const KeyCode keys[] = {KeyLShift, KeyZ, KeyA, KeyQ, Key1, KeyF1, KeyF2, KeyF12};
        double loudest = 0.0;
        for (int frame = 0; frame < 300; ++frame)
        {
            // Every key goes down on even frames and up on odd ones.
            for (KeyCode key : keys)
            {
                script.SetKey(KeyScanCodeTable[key], frame % 2 == 0);
            }
            FakeClock::now += 16;
            game.RunFrame();
            loudest = std::max(loudest, RmsOf(Channel(mixer.Render(768), 0)));
        }
        EXPECT_EQ(loudest, 0.0);
        EXPECT_EQ(game.transpose, 0);
        EXPECT_TRUE(std::any_of(game.player->slots.begin(), game.player->slots.begin() + 5,
                                [](const VoiceSlot& slot) { return slot.note == 0; }));
        EXPECT_EQ(game.sequencer->interval, 0);
        // 150 presses of each: an even number of toggles.
        EXPECT_FALSE(game.sequencer->tracks[0].steps[0]);
    }
    Qorv::Sound::PublishSoundDevice(nullptr);
}
