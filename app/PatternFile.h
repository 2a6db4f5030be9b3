#pragma once
// The pattern file: the drum machine's steps and interval as text a person can read and edit.
//
//   pakemino pattern 1
//   interval 100
//   kick       x...x...x...x...
//   snare      ....x.......x...
//   ... one line for each of the nine tracks, 'x' a step on and '.' a step off
//
// Blank lines and lines starting with '#' are skipped. A file this program wrote reads back
// and writes out again byte for byte.

#include "music/Pattern.h"

#include <optional>
#include <string>
#include <string_view>

namespace Pakemino
{

inline constexpr int32_t PatternVersion = 1;

std::string FormatPattern(const Pattern& pattern);

struct PatternError
{
    int line = 0; // 0 when the trouble is with the file as a whole
    std::string what;
};

// The pattern the text holds, or why it holds none.
std::optional<Pattern> ParsePattern(std::string_view text, PatternError& error);

enum class PatternRead
{
    Loaded,
    Missing,
    Refused
};

// Loads path into pattern. Refused sets `message` to "PATH:LINE: what" (or "PATH: what").
PatternRead ReadPatternFile(const std::string& path, Pattern& pattern, std::string& message);

} // namespace Pakemino
