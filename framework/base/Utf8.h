#pragma once
// Wide strings hold one code point per element; the file system speaks UTF-8.

#include <string>
#include <string_view>

namespace Qorv::Base
{

std::string WideToUtf8(std::wstring_view text);
// Bytes that are not valid UTF-8 become U+FFFD, so a listed name never aborts the walk.
std::wstring Utf8ToWide(std::string_view text);

} // namespace Qorv::Base
