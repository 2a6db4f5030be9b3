// Module and resource calls: the program's own path and the class's stock resources.

#include "platform/window/Win32.h"

#include <SDL.h>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace
{
// Any non-null value: the program has one module and never looks inside it.
HINSTANCE__* const programModule = reinterpret_cast<HINSTANCE__*>(0x400000);
} // namespace

HINSTANCE GetModuleHandleW(const wchar_t* moduleName)
{
    return moduleName == nullptr ? programModule : nullptr;
}

DWORD GetModuleFileNameW(HMODULE module, wchar_t* fileName, DWORD size)
{
    if (module != nullptr && module != programModule)
    {
        return 0;
    }
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0 || fileName == nullptr || size == 0)
    {
        return 0;
    }
    path[length] = '\0';
    const char* wide = SDL_BYTEORDER == SDL_LIL_ENDIAN ? "UTF-32LE" : "UTF-32BE";
    char* converted = SDL_iconv_string(wide, "UTF-8", path, static_cast<size_t>(length) + 1);
    if (converted == nullptr)
    {
        return 0;
    }
    DWORD count = 0;
    const auto* units = reinterpret_cast<const wchar_t*>(converted);
    // As on Windows: a path that does not fit is truncated to size - 1 and terminated.
    while (units[count] != L'\0' && count + 1 < size)
    {
        fileName[count] = units[count];
        ++count;
    }
    fileName[count] = L'\0';
    SDL_free(converted);
    return count;
}

HICON LoadIconW(HINSTANCE, const wchar_t*)
{
    return nullptr;
}

HCURSOR LoadCursorW(HINSTANCE, const wchar_t*)
{
    return nullptr;
}

HBRUSH GetSysColorBrush(int)
{
    return nullptr;
}
