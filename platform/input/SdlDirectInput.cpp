// Devices and their enumeration on SDL2.

#include "platform/input/SdlDirectInput.h"

#include "platform/input/SdlJoystick.h"
#include "platform/input/SdlKeyboard.h"
#include "platform/input/SdlMouse.h"
#include "platform/window/Utf8.h"

#include <SDL.h>
#include <algorithm>
#include <string>

namespace platform::sdl
{

namespace
{

void CopyName(wchar_t (&name)[MAX_PATH], const char* utf8)
{
    const std::wstring shown = ShownText(Utf8ToWide(utf8 != nullptr ? utf8 : ""));
    const size_t count = std::min<size_t>(shown.size(), MAX_PATH - 1);
    std::copy_n(shown.begin(), count, name);
    name[count] = L'\0';
}

DIDEVICEINSTANCEW SystemDevice(const GUID& guid, DWORD type, const char* name)
{
    DIDEVICEINSTANCEW instance{};
    instance.dwSize = sizeof instance;
    instance.guidInstance = guid;
    instance.guidProduct = guid;
    instance.dwDevType = type;
    CopyName(instance.tszInstanceName, name);
    CopyName(instance.tszProductName, name);
    return instance;
}

} // namespace

SdlDirectInput* SdlDirectInput::Create()
{
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0)
    {
        return nullptr;
    }
    // A controller's state stays true while the window is in the background, so the first
    // read after it comes back to the front sees sticks held meanwhile.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    return new SdlDirectInput(SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0);
}

SdlDirectInput::SdlDirectInput(bool joysticksStarted) : joysticksStarted(joysticksStarted) {}

SdlDirectInput::~SdlDirectInput()
{
    if (joysticksStarted)
    {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

HRESULT SdlDirectInput::CreateDevice(REFGUID instance, IDirectInputDevice8W** device, void* outer)
{
    if (device == nullptr)
    {
        return E_POINTER;
    }
    *device = nullptr;
    if (outer != nullptr)
    {
        return CLASS_E_NOAGGREGATION;
    }
    if (instance == GUID_SysKeyboard)
    {
        *device = new SdlKeyboard(*this);
        return DI_OK;
    }
    if (instance == GUID_SysMouse)
    {
        *device = new SdlMouse(*this);
        return DI_OK;
    }
    SDL_JoystickID id = 0;
    if (!joysticksStarted || !SdlJoystick::IsInstanceGuid(instance, &id))
    {
        return DIERR_DEVICENOTREG;
    }
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
    {
        if (SDL_JoystickGetDeviceInstanceID(i) == id)
        {
            SDL_Joystick* joystick = SDL_JoystickOpen(i);
            if (joystick == nullptr)
            {
                return DIERR_DEVICENOTREG;
            }
            *device = new SdlJoystick(*this, joystick);
            return DI_OK;
        }
    }
    return DIERR_DEVICENOTREG;
}

HRESULT SdlDirectInput::EnumDevices(DWORD deviceClass, LPDIENUMDEVICESCALLBACKW callback,
                                    void* context, DWORD)
{
    if (callback == nullptr)
    {
        return DIERR_INVALIDPARAM;
    }
    // Every device listed is attached, so DIEDFL_ATTACHEDONLY changes nothing.
    const DIDEVICEINSTANCEW keyboard =
        SystemDevice(GUID_SysKeyboard, DI8DEVTYPE_KEYBOARD, "Keyboard");
    const DIDEVICEINSTANCEW mouse = SystemDevice(GUID_SysMouse, DI8DEVTYPE_MOUSE, "Mouse");
    switch (deviceClass)
    {
    case DI8DEVCLASS_ALL:
        if (callback(&keyboard, context) == DIENUM_STOP || callback(&mouse, context) == DIENUM_STOP)
        {
            return DI_OK;
        }
        ListControllers(callback, context);
        return DI_OK;
    case DI8DEVCLASS_KEYBOARD:
        callback(&keyboard, context);
        return DI_OK;
    case DI8DEVCLASS_POINTER:
        callback(&mouse, context);
        return DI_OK;
    case DI8DEVCLASS_GAMECTRL:
        ListControllers(callback, context);
        return DI_OK;
    default:
        return DIERR_INVALIDPARAM;
    }
}

void SdlDirectInput::ListControllers(LPDIENUMDEVICESCALLBACKW callback, void* context)
{
    if (!joysticksStarted)
    {
        return;
    }
    const int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i)
    {
        DIDEVICEINSTANCEW instance{};
        instance.dwSize = sizeof instance;
        instance.guidInstance = SdlJoystick::InstanceGuid(SDL_JoystickGetDeviceInstanceID(i));
        const SDL_JoystickGUID product = SDL_JoystickGetDeviceGUID(i);
        static_assert(sizeof product == sizeof instance.guidProduct);
        SDL_memcpy(&instance.guidProduct, &product, sizeof product);
        instance.dwDevType = DI8DEVTYPE_JOYSTICK;
        CopyName(instance.tszInstanceName, SDL_JoystickNameForIndex(i));
        CopyName(instance.tszProductName, SDL_JoystickNameForIndex(i));
        if (callback(&instance, context) == DIENUM_STOP)
        {
            return;
        }
    }
}

} // namespace platform::sdl
