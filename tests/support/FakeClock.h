#pragma once
// A millisecond clock that moves only when the test moves it. The code under test takes a plain
// function, so the time is one per test program: pass FakeClock::Now, set FakeClock::now.

#include "platform/window/Win32.h"

namespace TestSupport
{

struct FakeClock
{
    static inline DWORD now = 0;
    static DWORD Now() { return now; }
};

} // namespace TestSupport
