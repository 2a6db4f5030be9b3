// Game controllers in the layout of the joystick record.

#include "platform/input/SdlJoystick.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace platform::sdl
{

namespace
{

constexpr DWORD PovCentred = 0xFFFFFFFFU;
constexpr DWORD NoOffset = 0xFFFFFFFFU;
constexpr int RecordAxes = 8;
constexpr int RecordPovs = 4;
constexpr int RecordButtons = 32;

// Joystick instance GUIDs carry SDL's instance id in Data1 under this tag.
constexpr GUID InstanceTag = {0, 0x5D1A, 0x4A0B, {'S', 'D', 'L', 'J', 'O', 'Y', 'I', 'D'}};

constexpr DWORD AxisOffset(int axis)
{
    return axis < 6 ? static_cast<DWORD>(offsetof(DIJOYSTATE, lX) + 4 * axis)
                    : static_cast<DWORD>(offsetof(DIJOYSTATE, rglSlider) + 4 * (axis - 6));
}

DWORD PovOfHat(Uint8 hat)
{
    switch (hat)
    {
    case SDL_HAT_UP:
        return 0;
    case SDL_HAT_RIGHTUP:
        return 4500;
    case SDL_HAT_RIGHT:
        return 9000;
    case SDL_HAT_RIGHTDOWN:
        return 13500;
    case SDL_HAT_DOWN:
        return 18000;
    case SDL_HAT_LEFTDOWN:
        return 22500;
    case SDL_HAT_LEFT:
        return 27000;
    case SDL_HAT_LEFTUP:
        return 31500;
    default:
        return PovCentred;
    }
}

DWORD Count(int sdlCount)
{
    return sdlCount > 0 ? static_cast<DWORD>(sdlCount) : 0;
}

} // namespace

SdlJoystick::SdlJoystick(SdlDirectInput& system, SDL_Joystick* joystick)
    : SdlInputDevice(system), joystick(joystick),
      // Every axis starts with the platform's default range.
      ranges(Count(SDL_JoystickNumAxes(joystick)), Range{0, 65535})
{
}

SdlJoystick::~SdlJoystick()
{
    SDL_JoystickClose(joystick);
}

GUID SdlJoystick::InstanceGuid(SDL_JoystickID id)
{
    GUID guid = InstanceTag;
    guid.Data1 = static_cast<uint32_t>(id);
    return guid;
}

bool SdlJoystick::IsInstanceGuid(const GUID& guid, SDL_JoystickID* id)
{
    GUID tag = guid;
    tag.Data1 = 0;
    if (tag != InstanceTag)
    {
        return false;
    }
    *id = static_cast<SDL_JoystickID>(guid.Data1);
    return true;
}

bool SdlJoystick::AcceptsFormat(const DIDATAFORMAT& format) const
{
    return format.dwDataSize == sizeof(DIJOYSTATE);
}

void SdlJoystick::CapabilitiesImpl(DIDEVCAPS& caps) const
{
    caps.dwDevType = DI8DEVTYPE_JOYSTICK;
    caps.dwAxes = static_cast<DWORD>(ranges.size());
    caps.dwButtons = Count(SDL_JoystickNumButtons(joystick));
    caps.dwPOVs = Count(SDL_JoystickNumHats(joystick));
}

HRESULT SdlJoystick::EnumObjectsImpl(LPDIENUMDEVICEOBJECTSCALLBACKW callback, void* context,
                                     DWORD flags)
{
    const auto wanted = [flags](DWORD kind)
    {
        return flags == DIDFT_ALL || (flags & kind) != 0;
    };
    struct Group
    {
        DWORD kind;
        int count;
        DWORD (*offset)(int);
        int inRecord;
    };
    const Group groups[] = {
        {DIDFT_ABSAXIS, static_cast<int>(ranges.size()), [](int i) { return AxisOffset(i); },
         RecordAxes},
        {DIDFT_PSHBUTTON, SDL_JoystickNumButtons(joystick),
         [](int i) { return static_cast<DWORD>(offsetof(DIJOYSTATE, rgbButtons) + i); },
         RecordButtons},
        {DIDFT_POV, SDL_JoystickNumHats(joystick),
         [](int i) { return static_cast<DWORD>(offsetof(DIJOYSTATE, rgdwPOV) + 4 * i); },
         RecordPovs},
    };
    for (const Group& group : groups)
    {
        if (!wanted(group.kind))
        {
            continue;
        }
        for (int i = 0; i < group.count; ++i)
        {
            DIDEVICEOBJECTINSTANCEW object{};
            object.dwSize = sizeof object;
            object.dwType = group.kind | DIDFT_MAKEINSTANCE(static_cast<DWORD>(i));
            // Objects the record has no room for are listed but never read.
            object.dwOfs = i < group.inRecord ? group.offset(i) : NoOffset;
            if (callback(&object, context) == DIENUM_STOP)
            {
                return DI_OK;
            }
        }
    }
    return DI_OK;
}

HRESULT SdlJoystick::SetRangeImpl(const DIPROPRANGE& range)
{
    const Range wanted{range.lMin, range.lMax};
    const DIPROPHEADER& header = range.diph;
    if (header.dwHow == DIPH_DEVICE)
    {
        if (header.dwObj != 0)
        {
            return DIERR_INVALIDPARAM;
        }
        std::fill(ranges.begin(), ranges.end(), wanted);
        return DI_OK;
    }
    int axis = -1;
    if (header.dwHow == DIPH_BYID && (header.dwObj & DIDFT_AXIS) != 0)
    {
        axis = static_cast<int>(DIDFT_GETINSTANCE(header.dwObj));
    }
    else if (header.dwHow == DIPH_BYOFFSET)
    {
        for (int i = 0; i < RecordAxes; ++i)
        {
            if (AxisOffset(i) == header.dwObj)
            {
                axis = i;
            }
        }
    }
    else if (header.dwHow != DIPH_BYID)
    {
        return DIERR_INVALIDPARAM;
    }
    if (axis < 0 || axis >= static_cast<int>(ranges.size()))
    {
        return DIERR_NOTFOUND;
    }
    ranges[static_cast<size_t>(axis)] = wanted;
    return DI_OK;
}

bool SdlJoystick::IsAttached() const
{
    return SDL_JoystickGetAttached(joystick) == SDL_TRUE;
}

bool SdlJoystick::PollImpl()
{
    SDL_JoystickUpdate();
    return true;
}

LONG SdlJoystick::AxisValue(int axis) const
{
    if (axis >= static_cast<int>(ranges.size()))
    {
        return 0;
    }
    const Range& range = ranges[static_cast<size_t>(axis)];
    const int64_t raw = int64_t{SDL_JoystickGetAxis(joystick, axis)} + 32768;
    const int64_t span = int64_t{range.maximum} - range.minimum;
    return static_cast<LONG>(range.minimum + (raw * span + 32767) / 65535);
}

void SdlJoystick::ReadImpl(void* data, DWORD)
{
    DIJOYSTATE state{};
    LONG* axes[RecordAxes] = {&state.lX,  &state.lY,  &state.lZ,           &state.lRx,
                              &state.lRy, &state.lRz, &state.rglSlider[0], &state.rglSlider[1]};
    for (int i = 0; i < RecordAxes; ++i)
    {
        *axes[i] = AxisValue(i);
    }
    const int hats = SDL_JoystickNumHats(joystick);
    for (int i = 0; i < RecordPovs; ++i)
    {
        state.rgdwPOV[i] = i < hats ? PovOfHat(SDL_JoystickGetHat(joystick, i)) : PovCentred;
    }
    const int buttons = std::min(SDL_JoystickNumButtons(joystick), RecordButtons);
    for (int i = 0; i < buttons; ++i)
    {
        state.rgbButtons[i] = SDL_JoystickGetButton(joystick, i) != 0 ? 0x80 : 0;
    }
    std::memcpy(data, &state, sizeof state);
}

} // namespace platform::sdl
