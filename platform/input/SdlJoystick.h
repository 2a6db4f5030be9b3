#pragma once
// One game controller through SDL's joystick API: axes scaled into each axis's range, hats as
// point-of-view angles, and the first 32 buttons, in the layout of the joystick record.

#include "platform/input/SdlInputDevice.h"

#include <vector>

namespace platform::sdl
{

class SdlJoystick final : public SdlInputDevice
{
public:
    // Takes ownership of an opened joystick.
    SdlJoystick(SdlDirectInput& system, SDL_Joystick* joystick);
    ~SdlJoystick() override;

    // The instance GUID that names a connected joystick, and back.
    static GUID InstanceGuid(SDL_JoystickID id);
    static bool IsInstanceGuid(const GUID& guid, SDL_JoystickID* id);

protected:
    bool AcceptsFormat(const DIDATAFORMAT& format) const override;
    void CapabilitiesImpl(DIDEVCAPS& caps) const override;
    HRESULT EnumObjectsImpl(LPDIENUMDEVICEOBJECTSCALLBACKW callback, void* context,
                            DWORD flags) override;
    HRESULT SetRangeImpl(const DIPROPRANGE& range) override;
    bool IsAttached() const override;
    bool PollImpl() override;
    void ReadImpl(void* data, DWORD size) override;

private:
    struct Range
    {
        LONG minimum;
        LONG maximum;
    };

    LONG AxisValue(int axis) const;

    SDL_Joystick* joystick;
    std::vector<Range> ranges;
};

} // namespace platform::sdl
