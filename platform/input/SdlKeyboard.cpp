// Reads SDL's keyboard state, which the window's message pump keeps current.

#include "platform/input/SdlKeyboard.h"

#include "platform/input/SdlScanCodes.h"

#include <cstring>

namespace platform::sdl
{

namespace
{
constexpr DWORD KeyboardRecordSize = 256;
} // namespace

bool SdlKeyboard::AcceptsFormat(const DIDATAFORMAT& format) const
{
    return format.dwDataSize == KeyboardRecordSize;
}

void SdlKeyboard::CapabilitiesImpl(DIDEVCAPS& caps) const
{
    caps.dwDevType = DI8DEVTYPE_KEYBOARD;
    caps.dwButtons = static_cast<DWORD>(SdlScanCodes().size());
}

void SdlKeyboard::ReadImpl(void* data, DWORD size)
{
    auto* record = static_cast<BYTE*>(data);
    std::memset(record, 0, size);
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    for (const SdlScanCode& entry : SdlScanCodes())
    {
        if (entry.key < count && keys[entry.key] != 0)
        {
            record[entry.scanCode] = 0x80;
        }
    }
}

} // namespace platform::sdl
