// The pattern file's text: what the program writes reads back the same, byte for byte, and
// every file it cannot take is refused with the line and the reason.

#include "app/PatternFile.h"
#include "app/FileReplace.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Pakemino;
using TestSupport::TempDir;

namespace
{

const std::string Written = "pakemino pattern 1\n"
                            "interval 85\n"
                            "kick       x...x...x...x...\n"
                            "snare      ....x.......x...\n"
                            "closed-hat ................\n"
                            "open-hat   ................\n"
                            "clap       ................\n"
                            "low-tom    ................\n"
                            "high-tom   ................\n"
                            "cowbell    ................\n"
                            "crash      ...............x\n";

} // namespace

TEST(PatternFile, ReadsBackWhatItWritesByteForByteAndReadsAnEditedFileAlike)
{
    PatternError error;
    const auto pattern = ParsePattern(Written, error);
    ASSERT_TRUE(pattern) << error.line << ": " << error.what;
    EXPECT_EQ(pattern->interval, 85);
    EXPECT_TRUE(pattern->steps[1][12]);
    EXPECT_TRUE(pattern->steps[8][15]);
    EXPECT_FALSE(pattern->steps[8][14]);
    EXPECT_EQ(FormatPattern(*pattern), Written);

    // Comments, blank lines, CR LF, other spacing and another order of lines.
    std::string edited = "# my beat\r\n\r\n  pakemino pattern 1\r\n";
    for (size_t at = Written.find("kick"); at < Written.size();)
    {
        const size_t end = Written.find('\n', at);
        edited += Written.substr(at, end - at) + "\t \r\n";
        at = end + 1;
    }
    edited += "interval   85\n";
    const auto same = ParsePattern(edited, error);
    ASSERT_TRUE(same) << error.line << ": " << error.what;
    EXPECT_EQ(*same, *pattern);
}

TEST(PatternFile, RefusesWhatIsNotAPatternWithTheLineAndWhy)
{
    auto replaced = [](const std::string& from, const std::string& to)
    {
        std::string text = Written;
        return text.replace(text.find(from), from.size(), to);
    };
    const struct
    {
        std::string text;
        int line;
        std::string what;
    } cases[] = {
        {"", 1, "empty: a pattern file starts with 'pakemino pattern 1'"},
        {"\x89PNG\r\n", 1, "not a pattern file: it should start with 'pakemino pattern 1'"},
        {replaced("pattern 1", "pattern 2"), 1,
         "a pattern of version 2, newer than this program reads (1)"},
        {replaced("interval 85", "interval -5"), 2,
         "the interval is '-5'; it is a whole number of milliseconds a step, 0 or more"},
        {replaced("interval 85\n", ""), 11,
         "the interval is missing (a line such as 'interval 100')"},
        {replaced("x...x...x...x...", "x...x...x...x.."), 3,
         "kick has 15 steps; a track has 16, each 'x' (on) or '.' (off)"},
        {replaced("....x.......x...", "....X.......x..."), 4,
         "snare step 5 is 'X'; a step is 'x' (on) or '.' (off)"},
        {replaced("clap ", "kick "), 7, "a second kick (the first is on line 3)"},
        {replaced("cowbell    ................\n", ""), 11, "the cowbell track is missing"},
        {replaced("clap ", "claps"), 7,
         "unknown line 'claps      ................'; a line is 'interval' or a track (kick, "
         "snare, "
         "closed-hat, open-hat, clap, low-tom, high-tom, cowbell, crash)"},
    };
    for (const auto& c : cases)
    {
        PatternError error;
        EXPECT_FALSE(ParsePattern(c.text, error)) << c.what;
        EXPECT_EQ(error.line, c.line) << c.what;
        EXPECT_EQ(error.what, c.what);
    }

    TempDir dir;
    Pattern pattern;
    std::string message;
    EXPECT_EQ(ReadPatternFile((dir.Path() / "none.pat").string(), pattern, message),
              PatternRead::Missing);
    const auto newer = dir.Write("newer.pat", replaced("pattern 1", "pattern 3"));
    EXPECT_EQ(ReadPatternFile(newer.string(), pattern, message), PatternRead::Refused);
    EXPECT_EQ(message,
              newer.string() + ":1: a pattern of version 3, newer than this program reads (1)");
    EXPECT_EQ(ReadPatternFile(dir.Path().string(), pattern, message), PatternRead::Refused);
    EXPECT_EQ(message, dir.Path().string() + ": a folder, not a pattern file");
    const auto huge = dir.Write("huge.pat", Written + std::string(70000, '#'));
    EXPECT_EQ(ReadPatternFile(huge.string(), pattern, message), PatternRead::Refused);
    EXPECT_EQ(message, huge.string() + ": larger than any pattern (64 KiB at most)");
    EXPECT_EQ(pattern, Pattern{}) << "a refused file leaves the pattern as it was";
}

TEST(PatternFile, AReplaceLeavesNoHalfFileOnAFullDiskAndPutsNoFileInPlaceOfAPipe)
{
    TempDir dir;
    const auto pipe = dir.Path() / "pipe.mid";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(ReplaceFile(pipe.string(), "bytes", error));
    EXPECT_EQ(error, "not a regular file");
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));

    const auto full = dir.MakeDirectory("full");
    if (mount("tmpfs", full.c_str(), "tmpfs", 0, "size=16k") != 0)
    {
        GTEST_SKIP() << "a small file system cannot be mounted here (it needs root with "
                        "CAP_SYS_ADMIN)";
    }
    const auto file = dir.Write("full/beat.pat", Written);
    EXPECT_FALSE(ReplaceFile(file.string(), std::string(64 * 1024, 'x'), error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_EQ(TestSupport::ReadFile(file), Written);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(full), {}), 1);
    EXPECT_TRUE(ReplaceFile(file.string(), "new", error)) << error;
    EXPECT_EQ(TestSupport::ReadFile(file), "new");
    umount(full.c_str());
}
