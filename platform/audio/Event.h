#pragma once
// A Win32 event on a mutex and condition variable: what the streaming worker waits on and the
// mixer sets at a notification position. The handle functions below are the kernel32 ones.

#include "platform/window/Win32.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform::audio
{

class Event
{
public:
    Event(bool manualReset, bool initialState);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // True when signalled within the timeout; an auto-reset event is then cleared again.
    bool Wait(std::chrono::milliseconds timeout);
    bool WaitForever();

private:
    std::mutex mutex;
    std::condition_variable signalled;
    const bool manualReset;
    bool state;
};

} // namespace platform::audio

using HANDLE = platform::audio::Event*;

constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 0x102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD INFINITE = 0xFFFFFFFF;

// Unnamed events only: attributes and name must be null. Null on failure.
[[nodiscard]] HANDLE CreateEventW(void* attributes, BOOL manualReset, BOOL initialState,
                                  const wchar_t* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
DWORD WaitForSingleObject(HANDLE event, DWORD milliseconds);
BOOL CloseHandle(HANDLE event);
