#pragma once
// The input system on SDL2: makes the keyboard, mouse and controller devices and lists them.
// It holds SDL's event and joystick subsystems for as long as it or any of its devices lives.

#include "platform/input/DInput.h"
#include "platform/window/RefCounted.h"

namespace platform::sdl
{

class SdlDirectInput final : public RefCounted<IDirectInput8W>
{
public:
    // Null when SDL's event loop cannot be started; controllers are simply absent when the
    // joystick subsystem cannot be.
    [[nodiscard]] static SdlDirectInput* Create();

    [[nodiscard]] HRESULT CreateDevice(REFGUID instance, IDirectInputDevice8W** device,
                                       void* outer) override;
    HRESULT EnumDevices(DWORD deviceClass, LPDIENUMDEVICESCALLBACKW callback, void* context,
                        DWORD flags) override;

private:
    explicit SdlDirectInput(bool joysticksStarted);
    ~SdlDirectInput();

    void ListControllers(LPDIENUMDEVICESCALLBACKW callback, void* context);

    bool joysticksStarted;
};

} // namespace platform::sdl
