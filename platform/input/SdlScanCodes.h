#pragma once
// For this folder and its tests: SDL's key positions as keyboard scan codes (set 1, keys sent
// with the E0 prefix plus 0x80), the numbering the keyboard record is indexed by.

#include <SDL.h>

#include <cstdint>
#include <span>

namespace platform::sdl
{

struct SdlScanCode
{
    SDL_Scancode key;
    uint8_t scanCode;
};

// Every SDL key with a scan code; several keys may share one, as Previous Track and the key
// right of minus do.
std::span<const SdlScanCode> SdlScanCodes();

// 0 for a key that has no scan code.
uint8_t ScanCodeOfSdl(SDL_Scancode key);

} // namespace platform::sdl
