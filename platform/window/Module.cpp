// Module and resource calls: the program's own path and the class's stock resources.

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

// The path's bytes as the framework's wide strings hold them: UTF-8 decoded, and each byte
// that is not part of valid UTF-8 kept as U+DC80 + its value, so turning the path back into
// bytes where a file is opened finds the same directory again.
std::wstring WidenPath(std::string_view bytes)
{
    std::wstring out;
    size_t i = 0;
    while (i < bytes.size())
    {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const size_t length = lead < 0x80             ? 1
                              : (lead & 0xE0) == 0xC0 ? 2
                              : (lead & 0xF0) == 0xE0 ? 3
                              : (lead & 0xF8) == 0xF0 ? 4
                                                      : 0;
        const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = length != 0 && i + length <= bytes.size();
        for (size_t k = 1; valid && k < length; ++k)
        {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        valid = valid && code >= minimum[length] && code <= 0x10FFFF &&
                !(code >= 0xD800 && code <= 0xDFFF);
        out += static_cast<wchar_t>(valid ? code : 0xDC00 + lead);
        i += valid ? length : 1;
    }
    return out;
}

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
    const std::wstring units = WidenPath(std::string_view(path, static_cast<size_t>(length)));
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
