#pragma once
// Wide strings hold one code point per element; the file system speaks bytes, mostly UTF-8.
// A byte that is not part of valid UTF-8 travels as U+DC80 + its value (0x80..0xFF) and turns
// back into that byte, so any name the file system lists opens again.

#include <string>
#include <string_view>

namespace Qorv::Base
{

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

} // namespace Qorv::Base
