#pragma once
// Writing a file the player owns without ever leaving it half-written: the bytes go to a new
// file beside it, are flushed to the disk, and only then take its name.

#include <string>
#include <string_view>

namespace Pakemino
{

// False, with what went wrong in `error`, when the file could not be replaced; the old file
// is then as it was and nothing is left beside it.
bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& error);

} // namespace Pakemino
