// Module and resource calls: the program's own path and the class's stock resources.

#include "platform/window/Utf8.h"
#include "platform/window/Win32.h"

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>
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
    // Bytes that are not UTF-8 are kept, so the path turned back into bytes finds the same
    // directory again.
    const std::wstring units =
        platform::Utf8ToWide(std::string_view(path, static_cast<size_t>(length)));
    // As on Windows: a path that does not fit is truncated to size - 1 and terminated.
    const DWORD count = std::min(static_cast<DWORD>(units.size()), size - 1);
    std::copy_n(units.begin(), count, fileName);
    fileName[count] = L'\0';
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
