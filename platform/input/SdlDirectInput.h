#pragma once
// The input system on SDL2: makes the keyboard, mouse and controller devices and lists them.
// It holds SDL's event and joystick subsystems for as long as it or any of its devices lives.

#include "platform/input/DInput.h"

namespace platform::sdl
{

class SdlDirectInput final : public IDirectInput8W
{
public:
    // Null when SDL's event loop cannot be started; controllers are simply absent when the
    // joystick subsystem cannot be.
    [[nodiscard]] static SdlDirectInput* Create();

    SdlDirectInput(const SdlDirectInput&) = delete;
    SdlDirectInput& operator=(const SdlDirectInput&) = delete;

    ULONG Release() override;
    [[nodiscard]] HRESULT CreateDevice(REFGUID instance, IDirectInputDevice8W** device,
                                       void* outer) override;
    HRESULT EnumDevices(DWORD deviceClass, LPDIENUMDEVICESCALLBACKW callback, void* context,
                        DWORD flags) override;

    // Devices keep their input system alive, as COM children hold their parent.
    void AddRef() { ++references; }

private:
    explicit SdlDirectInput(bool joysticksStarted);
    ~SdlDirectInput();

    void ListControllers(LPDIENUMDEVICESCALLBACKW callback, void* context);

    ULONG references = 1;
    bool joysticksStarted;
};

} // namespace platform::sdl
