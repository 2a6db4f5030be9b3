// The winmm timer and Sleep on the monotonic clock.

#include "platform/window/Win32.h"

#include <ctime>

MMRESULT timeBeginPeriod(UINT period)
{
    // Linux sleeps and clocks already have sub-millisecond resolution.
    return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT period)
{
    return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

DWORD timeGetTime()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t milliseconds =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(milliseconds);
}

void Sleep(DWORD milliseconds)
{
    timespec wait{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0)
    {
        // Interrupted by a signal: sleep the rest.
    }
}
