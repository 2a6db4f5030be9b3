#include "tests/support/GameFrames.h"

#include "tests/support/FakeClock.h"

#include <cstdlib>

namespace TestSupport
{

void GameFrames::SetUp()
{
    // A sound manager that opens SDL's output gets one that needs no sound server.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    Pakemino::selectedTrack = 0;
    Pakemino::stepPage = 0;
    Pakemino::trailAngle = 3;
    FakeClock::now = 20000;
}

void GameFrames::Frame()
{
    FakeClock::now += FrameMs;
    game->RunFrame();
}

void GameFrames::Hold(std::initializer_list<Qorv::Input::KeyCode> keys, bool down)
{
    for (Qorv::Input::KeyCode key : keys)
    {
        script.SetKey(Qorv::Input::KeyScanCodeTable[key], down);
    }
}

void GameFrames::Tap(std::initializer_list<Qorv::Input::KeyCode> keys)
{
    Hold(keys);
    Frame();
    Hold(keys, false);
    Frame();
}

} // namespace TestSupport
