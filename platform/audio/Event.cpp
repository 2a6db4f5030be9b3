#include "platform/audio/Event.h"

#include <new>

namespace platform::audio
{

Event::Event(bool manualReset, bool initialState) : manualReset(manualReset), state(initialState) {}

void Event::Set()
{
    {
        std::lock_guard<std::mutex> hold(mutex);
        state = true;
    }
    signalled.notify_all();
}

void Event::Reset()
{
    std::lock_guard<std::mutex> hold(mutex);
    state = false;
}

bool Event::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> hold(mutex);
    if (!signalled.wait_for(hold, timeout, [this] { return state; }))
    {
        return false;
    }
    if (!manualReset)
    {
        state = false;
    }
    return true;
}

bool Event::WaitForever()
{
    std::unique_lock<std::mutex> hold(mutex);
    signalled.wait(hold, [this] { return state; });
    if (!manualReset)
    {
        state = false;
    }
    return true;
}

} // namespace platform::audio

HANDLE CreateEventW(void* attributes, BOOL manualReset, BOOL initialState, const wchar_t* name)
{
    if (attributes != nullptr || name != nullptr)
    {
        return nullptr;
    }
    return new (std::nothrow) platform::audio::Event(manualReset != 0, initialState != 0);
}

BOOL SetEvent(HANDLE event)
{
    if (event == nullptr)
    {
        return 0;
    }
    event->Set();
    return 1;
}

BOOL ResetEvent(HANDLE event)
{
    if (event == nullptr)
    {
        return 0;
    }
    event->Reset();
    return 1;
}

DWORD WaitForSingleObject(HANDLE event, DWORD milliseconds)
{
    if (event == nullptr)
    {
        return WAIT_FAILED;
    }
    if (milliseconds == INFINITE)
    {
        return event->WaitForever() ? WAIT_OBJECT_0 : WAIT_FAILED;
    }
    return event->Wait(std::chrono::milliseconds(milliseconds)) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL CloseHandle(HANDLE event)
{
    if (event == nullptr)
    {
        return 0;
    }
    delete event;
    return 1;
}
