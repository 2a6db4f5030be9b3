#pragma once
// A fixture for the Game's picture as draw calls: the Game on the real drawer over a device that
// records them, and the real input manager over a scripted keyboard.

#include "framework/draw/DxDrawer.h"
#include "framework/input/DxInputManager.h"
#include "tests/support/DeviceTexture.h"
#include "tests/support/GameFrames.h"
#include "tests/support/RecordingDevice.h"

#include <memory>

namespace TestSupport
{

// The window the Game is made for; the scripted keyboard makes it the active one.
inline HWND const GameWindow = reinterpret_cast<HWND>(0x1000);

class RecordedGame : public GameFrames
{
protected:
    void SetUp() override
    {
        GameFrames::SetUp();
        script.activeWindow = GameWindow;
        game = std::make_unique<Pakemino::Game>(
            GameWindow,
            Pakemino::GameDevices{std::make_shared<Qorv::Draw::DxDrawer>([this](UINT) -> IDirect3D9*
                                                                         { return &direct3D; }),
                                  std::make_shared<Qorv::Input::DxInputManager>(script.Platform()),
                                  Qorv::Sound::CreateSoundManager(), FakeClock::Now});
    }

    RecordingDevice device;
    RecordingDirect3D direct3D{device};
};

} // namespace TestSupport
