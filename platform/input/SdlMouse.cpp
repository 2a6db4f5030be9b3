// Relative mouse axes and buttons in the layout of the mouse records.

#include "platform/input/SdlMouse.h"

#include <cmath>
#include <cstring>

namespace platform::sdl
{

namespace
{

constexpr DWORD MouseButtonCount = 8;

// Record button order: left, right, middle, then the extra buttons; SDL numbers middle second.
constexpr int SdlButtonOfRecord[MouseButtonCount] = {
    SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1, SDL_BUTTON_X2, 6, 7, 8};

} // namespace

SdlMouse::SdlMouse(SdlDirectInput& system) : SdlInputDevice(system)
{
    SDL_AddEventWatch(&SdlMouse::Watch, this);
}

SdlMouse::~SdlMouse()
{
    SDL_DelEventWatch(&SdlMouse::Watch, this);
}

int SdlMouse::Watch(void* mouse, SDL_Event* event)
{
    // Mouse events come only from the pump on the window's thread.
    auto* self = static_cast<SdlMouse*>(mouse);
    if (event->type == SDL_MOUSEMOTION)
    {
        self->motionX += event->motion.xrel;
        self->motionY += event->motion.yrel;
    }
    else if (event->type == SDL_MOUSEWHEEL)
    {
        const float notches = event->wheel.direction == SDL_MOUSEWHEEL_FLIPPED
                                  ? -event->wheel.preciseY
                                  : event->wheel.preciseY;
        self->wheel += notches * WHEEL_DELTA;
    }
    return 0;
}

bool SdlMouse::AcceptsFormat(const DIDATAFORMAT& format) const
{
    return format.dwDataSize == sizeof(DIMOUSESTATE) || format.dwDataSize == sizeof(DIMOUSESTATE2);
}

void SdlMouse::CapabilitiesImpl(DIDEVCAPS& caps) const
{
    caps.dwDevType = DI8DEVTYPE_MOUSE;
    caps.dwAxes = 3;
    caps.dwButtons = MouseButtonCount;
}

void SdlMouse::AcquireImpl()
{
    // Motion made while the device was not acquired is not reported.
    motionX = 0;
    motionY = 0;
    wheel = 0.0f;
}

void SdlMouse::ReadImpl(void* data, DWORD size)
{
    DIMOUSESTATE2 state{};
    state.lX = motionX;
    state.lY = motionY;
    state.lZ = static_cast<LONG>(std::lround(wheel));
    motionX = 0;
    motionY = 0;
    wheel -= static_cast<float>(state.lZ);
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    for (DWORD i = 0; i < MouseButtonCount; ++i)
    {
        state.rgbButtons[i] = (buttons & SDL_BUTTON(SdlButtonOfRecord[i])) != 0 ? 0x80 : 0;
    }
    std::memcpy(data, &state, size);
}

} // namespace platform::sdl
