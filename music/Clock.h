#pragma once
// The millisecond clock the music engine times notes and steps by; tests pass a fake one.

#include "platform/window/Win32.h"

namespace Pakemino
{

using Clock = DWORD (*)();

} // namespace Pakemino
