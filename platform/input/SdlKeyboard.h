#pragma once
// The system keyboard: SDL's key state as the 256-byte record indexed by scan code.

#include "platform/input/SdlInputDevice.h"

namespace platform::sdl
{

class SdlKeyboard final : public SdlInputDevice
{
public:
    explicit SdlKeyboard(SdlDirectInput& system) : SdlInputDevice(system) {}

protected:
    bool AcceptsFormat(const DIDATAFORMAT& format) const override;
    void CapabilitiesImpl(DIDEVCAPS& caps) const override;
    void ReadImpl(void* data, DWORD size) override;
};

} // namespace platform::sdl
