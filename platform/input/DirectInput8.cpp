// The entry points: the input system's creation, the focused window and the record layouts.

#include "platform/input/DInput.h"

#include "platform/input/SdlDirectInput.h"
#include "platform/window/SdlWindow.h"

// Absolute and relative axes, as the platform's format flags tell them apart.
constexpr DWORD DIDF_ABSAXIS = 1;
constexpr DWORD DIDF_RELAXIS = 2;

const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), 0, 0, 256, 256, nullptr};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT), 0, DIDF_RELAXIS,
                                  sizeof(DIMOUSESTATE), 7, nullptr};
const DIDATAFORMAT c_dfDIMouse2 = {sizeof(DIDATAFORMAT),  0,  DIDF_RELAXIS,
                                   sizeof(DIMOUSESTATE2), 11, nullptr};
const DIDATAFORMAT c_dfDIJoystick = {sizeof(DIDATAFORMAT), 0,  DIDF_ABSAXIS,
                                     sizeof(DIJOYSTATE),   44, nullptr};

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID interfaceId, void** object,
                           void* outer)
{
    if (object == nullptr)
    {
        return E_POINTER;
    }
    *object = nullptr;
    if (instance == nullptr)
    {
        return DIERR_INVALIDPARAM;
    }
    if (version < DIRECTINPUT_VERSION)
    {
        return DIERR_OLDDIRECTINPUTVERSION;
    }
    if (version > DIRECTINPUT_VERSION)
    {
        return DIERR_BETADIRECTINPUTVERSION;
    }
    if (interfaceId != IID_IDirectInput8W)
    {
        return E_NOINTERFACE;
    }
    if (outer != nullptr)
    {
        return CLASS_E_NOAGGREGATION;
    }
    IDirectInput8W* input = platform::sdl::SdlDirectInput::Create();
    if (input == nullptr)
    {
        return E_FAIL;
    }
    *object = input;
    return DI_OK;
}

HWND GetActiveWindow()
{
    SDL_Window* focus = SDL_GetKeyboardFocus();
    return focus != nullptr ? platform::sdl::WindowOfSdlId(SDL_GetWindowID(focus)) : nullptr;
}
