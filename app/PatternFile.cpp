#include "app/PatternFile.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Pakemino
{

namespace
{

constexpr std::array<std::string_view, TrackCount> TrackNames = {
    "kick", "snare", "closed-hat", "open-hat", "clap", "low-tom", "high-tom", "cowbell", "crash"};
// The names are padded to this width so the grids line up.
constexpr size_t NameWidth = 11;
constexpr std::string_view Magic = "pakemino pattern ";
// Far more than nine lines of grid need: anything longer is not a pattern.
constexpr size_t LargestFile = 64 * 1024;

std::string_view Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
    {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The first word of a line and what follows it, trimmed.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view line)
{
    const size_t end = std::min(line.find_first_of(" \t"), line.size());
    return {line.substr(0, end), Trim(line.substr(end))};
}

std::optional<int32_t> ParseNumber(std::string_view text)
{
    int32_t value = 0;
    const auto [end, result] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result != std::errc() || end != text.data() + text.size())
    {
        return std::nullopt;
    }
    return value;
}

std::string Quoted(std::string_view text)
{
    return std::string("'").append(text.substr(0, 40)) + (text.size() > 40 ? "...'" : "'");
}

std::string AllTrackNames()
{
    std::string names;
    for (std::string_view name : TrackNames)
    {
        names += (names.empty() ? "" : ", ") + std::string(name);
    }
    return names;
}

// One track's grid into steps, or what is wrong with it.
std::optional<std::string> ParseGrid(std::string_view name, std::string_view grid,
                                     std::array<bool, StepCount>& steps)
{
    if (grid.size() != static_cast<size_t>(StepCount))
    {
        return std::string(name) + " has " + std::to_string(grid.size()) + " steps; a track has " +
               std::to_string(StepCount) + ", each 'x' (on) or '.' (off)";
    }
    for (size_t i = 0; i < grid.size(); ++i)
    {
        if (grid[i] != 'x' && grid[i] != '.')
        {
            return std::string(name) + " step " + std::to_string(i + 1) + " is " +
                   Quoted(grid.substr(i, 1)) + "; a step is 'x' (on) or '.' (off)";
        }
        steps[i] = grid[i] == 'x';
    }
    return std::nullopt;
}

} // namespace

std::string FormatPattern(const Pattern& pattern)
{
    std::string text = std::string(Magic) + std::to_string(PatternVersion) + "\n";
    text += "interval " + std::to_string(pattern.interval) + "\n";
    for (size_t t = 0; t < TrackNames.size(); ++t)
    {
        std::string line(TrackNames[t]);
        line.resize(NameWidth, ' ');
        for (bool on : pattern.steps[t])
        {
            line += on ? 'x' : '.';
        }
        text += line + "\n";
    }
    return text;
}

std::optional<Pattern> ParsePattern(std::string_view text, PatternError& error)
{
    Pattern pattern;
    bool versionSeen = false;
    int intervalLine = 0;
    std::array<int, TrackCount> trackLines{};
    int number = 0;
    auto fail = [&](std::string what)
    {
        error = {number, std::move(what)};
        return std::nullopt;
    };
    while (!text.empty())
    {
        ++number;
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        // Lines ended by CR LF, as some editors save them, read the same.
        if (!line.empty() && line.back() == '\r')
        {
            line.remove_suffix(1);
        }
        line = Trim(line);
        if (line.empty() || line.front() == '#')
        {
            continue;
        }
        if (!versionSeen)
        {
            const auto version = line.substr(0, Magic.size()) == Magic
                                     ? ParseNumber(line.substr(Magic.size()))
                                     : std::nullopt;
            if (!version || *version < 1)
            {
                return fail("not a pattern file: it should start with 'pakemino pattern " +
                            std::to_string(PatternVersion) + "'");
            }
            if (*version > PatternVersion)
            {
                return fail("a pattern of version " + std::to_string(*version) +
                            ", newer than this program reads (" + std::to_string(PatternVersion) +
                            ")");
            }
            versionSeen = true;
            continue;
        }
        const auto [word, rest] = SplitWord(line);
        if (word == "interval")
        {
            if (intervalLine != 0)
            {
                return fail("a second interval (the first is on line " +
                            std::to_string(intervalLine) + ")");
            }
            const auto interval = ParseNumber(rest);
            if (!interval || *interval < 0)
            {
                return fail("the interval is " + Quoted(rest) +
                            "; it is a whole number of milliseconds a step, 0 or more");
            }
            pattern.interval = *interval;
            intervalLine = number;
            continue;
        }
        size_t t = 0;
        while (t < TrackNames.size() && TrackNames[t] != word)
        {
            ++t;
        }
        if (t == TrackNames.size())
        {
            return fail("unknown line " + Quoted(line) + "; a line is 'interval' or a track (" +
                        AllTrackNames() + ")");
        }
        if (trackLines[t] != 0)
        {
            return fail("a second " + std::string(word) + " (the first is on line " +
                        std::to_string(trackLines[t]) + ")");
        }
        if (auto wrong = ParseGrid(word, rest, pattern.steps[t]))
        {
            return fail(std::move(*wrong));
        }
        trackLines[t] = number;
    }
    ++number;
    if (!versionSeen)
    {
        return fail("empty: a pattern file starts with 'pakemino pattern " +
                    std::to_string(PatternVersion) + "'");
    }
    if (intervalLine == 0)
    {
        return fail("the interval is missing (a line such as 'interval 100')");
    }
    for (size_t t = 0; t < TrackNames.size(); ++t)
    {
        if (trackLines[t] == 0)
        {
            return fail("the " + std::string(TrackNames[t]) + " track is missing");
        }
    }
    return pattern;
}

PatternRead ReadPatternFile(const std::string& path, Pattern& pattern, std::string& message)
{
    auto refuse = [&](const PatternError& error)
    {
        message = path + (error.line > 0 ? std::string(":") + std::to_string(error.line) : "") +
                  ": " + error.what;
        return PatternRead::Refused;
    };
    struct stat info
    {
    };
    if (stat(path.c_str(), &info) != 0)
    {
        return errno == ENOENT ? PatternRead::Missing : refuse({0, std::strerror(errno)});
    }
    // A pipe or a device would never end, or never start.
    if (!S_ISREG(info.st_mode))
    {
        return refuse(
            {0, S_ISDIR(info.st_mode) ? "a folder, not a pattern file" : "not a regular file"});
    }
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        return refuse({0, std::string("cannot be read: ") + std::strerror(errno)});
    }
    // Read to the end, whatever size the file claims, and no further than a pattern can be.
    std::string text(LargestFile + 1, '\0');
    size_t length = 0;
    ssize_t got = 0;
    while (length < text.size() &&
           ((got = read(fd, text.data() + length, text.size() - length)) > 0 ||
            (got < 0 && errno == EINTR)))
    {
        length += static_cast<size_t>(std::max<ssize_t>(got, 0));
    }
    const int readError = errno;
    close(fd);
    if (got < 0)
    {
        return refuse({0, std::string("cannot be read: ") + std::strerror(readError)});
    }
    if (length > LargestFile)
    {
        return refuse({0, "larger than any pattern (" + std::to_string(LargestFile / 1024) +
                              " KiB at most)"});
    }
    text.resize(length);
    PatternError error;
    const auto parsed = ParsePattern(text, error);
    if (!parsed)
    {
        return refuse(error);
    }
    pattern = *parsed;
    return PatternRead::Loaded;
}

} // namespace Pakemino
