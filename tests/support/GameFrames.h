#pragma once
// A fixture for the Game's tests: the Game's globals and the fake clock as a fresh program
// starts, keys held on a scripted keyboard, and frames run one after another.

#include "app/Game.h"
#include "framework/input/KeyCode.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScriptedDirectInput.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <memory>

namespace TestSupport
{

class GameFrames : public testing::Test
{
protected:
    // Each frame comes this many milliseconds after the last on the fake clock.
    static constexpr DWORD FrameMs = 16;

    void SetUp() override
    {
        // A sound manager that opens SDL's output gets one that needs no sound server.
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        Pakemino::selectedTrack = 0;
        Pakemino::stepPage = 0;
        Pakemino::trailAngle = 3;
        FakeClock::now = 20000;
    }
    // The game goes before whatever the fixture made it on.
    void TearDown() override { game.reset(); }

    virtual void Frame()
    {
        FakeClock::now += FrameMs;
        game->RunFrame();
    }
    void Hold(std::initializer_list<Qorv::Input::KeyCode> keys, bool down = true)
    {
        for (Qorv::Input::KeyCode key : keys)
        {
            script.SetKey(Qorv::Input::KeyScanCodeTable[key], down);
        }
    }
    // The keys go down for one frame and come up in the next.
    void Tap(std::initializer_list<Qorv::Input::KeyCode> keys)
    {
        Hold(keys);
        Frame();
        Hold(keys, false);
        Frame();
    }

    ScriptedDirectInput script;
    std::unique_ptr<Pakemino::Game> game;
};

} // namespace TestSupport
