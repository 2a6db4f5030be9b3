#pragma once
// The system mouse: motion and wheel gathered from SDL's events since the previous read, and
// the buttons as they are now.

#include "platform/input/SdlInputDevice.h"

namespace platform::sdl
{

class SdlMouse final : public SdlInputDevice
{
public:
    explicit SdlMouse(SdlDirectInput& system);
    ~SdlMouse() override;

protected:
    bool AcceptsFormat(const DIDATAFORMAT& format) const override;
    void CapabilitiesImpl(DIDEVCAPS& caps) const override;
    void AcquireImpl() override;
    void ReadImpl(void* data, DWORD size) override;

private:
    static int Watch(void* mouse, SDL_Event* event);

    LONG motionX = 0;
    LONG motionY = 0;
    // In wheel units; a fraction of a notch from a fine-grained wheel is carried over.
    float wheel = 0.0f;
};

} // namespace platform::sdl
