#pragma once
// What every SDL device shares: data format, cooperative level and acquisition, which a
// foreground device loses with its window's focus. Subclasses fill the records in the Impl hooks.

#include "platform/input/DInput.h"
#include "platform/window/RefCounted.h"

#include <SDL.h>

namespace platform::sdl
{

class SdlDirectInput;

class SdlInputDevice : public RefCounted<IDirectInputDevice8W>
{
public:
    HRESULT GetCapabilities(DIDEVCAPS* caps) final;
    HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKW callback, void* context, DWORD flags) final;
    HRESULT SetProperty(REFGUID property, const DIPROPHEADER* header) final;
    HRESULT Acquire() final;
    HRESULT Unacquire() final;
    HRESULT GetDeviceState(DWORD size, void* data) final;
    HRESULT SetDataFormat(const DIDATAFORMAT* format) final;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) final;
    HRESULT Poll() final;

protected:
    explicit SdlInputDevice(SdlDirectInput& system);
    virtual ~SdlInputDevice();

    virtual bool AcceptsFormat(const DIDATAFORMAT& format) const = 0;
    // Device type and object counts; size, flags and the rest are filled here.
    virtual void CapabilitiesImpl(DIDEVCAPS& caps) const = 0;
    virtual HRESULT EnumObjectsImpl(LPDIENUMDEVICEOBJECTSCALLBACKW callback, void* context,
                                    DWORD flags);
    virtual HRESULT SetRangeImpl(const DIPROPRANGE& range);
    virtual bool IsAttached() const { return true; }
    // Polled devices take a fresh sample here; the others have nothing to poll.
    virtual bool PollImpl() { return false; }
    virtual void AcquireImpl() {}
    // size is the data format's size, already checked against the caller's.
    virtual void ReadImpl(void* data, DWORD size) = 0;

private:
    static int Watch(void* device, SDL_Event* event);
    // Whether an acquisition still stands; drops it when it does not.
    HRESULT CheckAcquired();

    SdlDirectInput& system;
    const DIDATAFORMAT* format = nullptr;
    HWND window = nullptr;
    Uint32 windowId = 0;
    DWORD cooperation = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    bool acquired = false;
    bool focusLost = false;
};

} // namespace platform::sdl
