#pragma once
// The one converter between wide strings and UTF-8, for every layer. Wide strings hold one code
// point per element; the file system speaks bytes, mostly UTF-8. A byte that is not part of
// valid UTF-8 travels as U+DC80 + its value (0x80..0xFF) and turns back into that byte, so any
// name the file system lists opens again.

#include <string>
#include <string_view>

namespace platform
{

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
// For text a person reads (a title, a device name): each byte that was not UTF-8 becomes
// U+FFFD, so WideToUtf8 of the result is always valid UTF-8.
std::wstring ShownText(std::wstring_view text);

} // namespace platform
