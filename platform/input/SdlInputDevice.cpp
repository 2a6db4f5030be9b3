// Acquisition, formats and properties shared by every SDL-backed device.

#include "platform/input/SdlInputDevice.h"

#include "platform/input/SdlDirectInput.h"
#include "platform/window/SdlWindow.h"

#include <cstring>

namespace platform::sdl
{

SdlInputDevice::SdlInputDevice(SdlDirectInput& system) : system(system)
{
    // A device keeps its input system alive, as a COM child holds its parent.
    system.AddRef();
    SDL_AddEventWatch(&SdlInputDevice::Watch, this);
}

SdlInputDevice::~SdlInputDevice()
{
    SDL_DelEventWatch(&SdlInputDevice::Watch, this);
    system.Release();
}

int SdlInputDevice::Watch(void* device, SDL_Event* event)
{
    // Window events come only from the pump on the window's thread.
    if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_FOCUS_LOST)
    {
        auto* self = static_cast<SdlInputDevice*>(device);
        if (event->window.windowID == self->windowId)
        {
            self->focusLost = true;
        }
    }
    return 0;
}

HRESULT SdlInputDevice::GetCapabilities(DIDEVCAPS* caps)
{
    if (caps == nullptr || caps->dwSize != sizeof(DIDEVCAPS))
    {
        return DIERR_INVALIDPARAM;
    }
    *caps = DIDEVCAPS{};
    caps->dwSize = sizeof(DIDEVCAPS);
    caps->dwFlags = IsAttached() ? DIDC_ATTACHED : 0;
    CapabilitiesImpl(*caps);
    return DI_OK;
}

HRESULT SdlInputDevice::EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKW callback, void* context,
                                    DWORD flags)
{
    if (callback == nullptr)
    {
        return DIERR_INVALIDPARAM;
    }
    return EnumObjectsImpl(callback, context, flags);
}

HRESULT SdlInputDevice::EnumObjectsImpl(LPDIENUMDEVICEOBJECTSCALLBACKW, void*, DWORD)
{
    return DIERR_UNSUPPORTED;
}

HRESULT SdlInputDevice::SetRangeImpl(const DIPROPRANGE&)
{
    return DIERR_UNSUPPORTED;
}

HRESULT SdlInputDevice::SetProperty(REFGUID property, const DIPROPHEADER* header)
{
    if (header == nullptr || header->dwHeaderSize != sizeof(DIPROPHEADER))
    {
        return DIERR_INVALIDPARAM;
    }
    if (acquired)
    {
        return DIERR_ACQUIRED;
    }
    if (property == DIPROP_BUFFERSIZE)
    {
        // Only immediate snapshots are taken, so the event buffer is accepted and never kept.
        const bool valid = header->dwSize == sizeof(DIPROPDWORD) && header->dwHow == DIPH_DEVICE &&
                           header->dwObj == 0;
        return valid ? DI_OK : DIERR_INVALIDPARAM;
    }
    if (property == DIPROP_RANGE)
    {
        if (header->dwSize != sizeof(DIPROPRANGE))
        {
            return DIERR_INVALIDPARAM;
        }
        const auto& range = *reinterpret_cast<const DIPROPRANGE*>(header);
        if (range.lMin >= range.lMax)
        {
            return DIERR_INVALIDPARAM;
        }
        return SetRangeImpl(range);
    }
    return DIERR_UNSUPPORTED;
}

HRESULT SdlInputDevice::Acquire()
{
    if (format == nullptr)
    {
        return DIERR_INVALIDPARAM;
    }
    if (!IsAttached())
    {
        return DIERR_UNPLUGGED;
    }
    const bool foreground = (cooperation & DISCL_FOREGROUND) != 0;
    if (foreground && GetActiveWindow() != window)
    {
        return DIERR_OTHERAPPHASPRIO;
    }
    if (acquired && SUCCEEDED(CheckAcquired()))
    {
        return DI_NOEFFECT;
    }
    acquired = true;
    focusLost = false;
    AcquireImpl();
    return DI_OK;
}

HRESULT SdlInputDevice::Unacquire()
{
    if (!acquired)
    {
        return DI_NOEFFECT;
    }
    acquired = false;
    return DI_OK;
}

HRESULT SdlInputDevice::CheckAcquired()
{
    if (!acquired)
    {
        return DIERR_NOTACQUIRED;
    }
    const bool foreground = (cooperation & DISCL_FOREGROUND) != 0;
    if (!IsAttached() || (foreground && (focusLost || GetActiveWindow() != window)))
    {
        acquired = false;
        return DIERR_INPUTLOST;
    }
    return DI_OK;
}

HRESULT SdlInputDevice::GetDeviceState(DWORD size, void* data)
{
    if (data == nullptr || format == nullptr || size != format->dwDataSize)
    {
        return DIERR_INVALIDPARAM;
    }
    const HRESULT held = CheckAcquired();
    if (FAILED(held))
    {
        return held;
    }
    ReadImpl(data, size);
    return DI_OK;
}

HRESULT SdlInputDevice::Poll()
{
    const HRESULT held = CheckAcquired();
    if (FAILED(held))
    {
        return held;
    }
    return PollImpl() ? DI_OK : DI_NOEFFECT;
}

HRESULT SdlInputDevice::SetDataFormat(const DIDATAFORMAT* newFormat)
{
    if (newFormat == nullptr || !AcceptsFormat(*newFormat))
    {
        return DIERR_INVALIDPARAM;
    }
    if (acquired)
    {
        return DIERR_ACQUIRED;
    }
    format = newFormat;
    return DI_OK;
}

HRESULT SdlInputDevice::SetCooperativeLevel(HWND newWindow, DWORD flags)
{
    const DWORD access = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
    const DWORD scope = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
    if ((access != DISCL_EXCLUSIVE && access != DISCL_NONEXCLUSIVE) ||
        (scope != DISCL_FOREGROUND && scope != DISCL_BACKGROUND))
    {
        return DIERR_INVALIDPARAM;
    }
    SDL_Window* sdl = SdlWindowOf(newWindow);
    if (sdl == nullptr && (flags & (DISCL_FOREGROUND | DISCL_EXCLUSIVE)) != 0)
    {
        return E_HANDLE;
    }
    if (acquired)
    {
        return DIERR_ACQUIRED;
    }
    window = newWindow;
    windowId = sdl != nullptr ? SDL_GetWindowID(sdl) : 0;
    cooperation = flags;
    return DI_OK;
}

} // namespace platform::sdl
