// qorv-probe assets on copies of the program's data, some of it broken: each file is found
// where the game's finder finds it, judged as the game's loaders judge it, and any fault
// makes the exit code 1.

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using TestSupport::RunAndCapture;
using TestSupport::TempDir;
namespace fs = std::filesystem;

namespace
{

const fs::path BuiltData = fs::path(PAKEMINO_PROGRAM).parent_path() / "data";

bool HasLine(const std::string& output, const std::string& start)
{
    return ("\n" + output).find("\n" + start) != std::string::npos;
}

// The line about one file, "STATUS NAME [PATH: DETAILS]", with the padding squeezed out.
std::string LineFor(const std::string& output, const std::string& name)
{
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
    {
        std::istringstream words(line);
        std::string status, word, rest;
        words >> status >> word;
        if (word == name)
        {
            std::getline(words >> std::ws, rest);
            return status + " " + word + (rest.empty() ? "" : " " + rest);
        }
    }
    return "";
}

} // namespace

TEST(ProbeAssets, FindsEveryFileBelowTheDirectoryAndPassesIntactData)
{
    TempDir dir;
    // A folder named in Latin-1 (é as the byte E9): names are bytes, not UTF-8.
    const fs::path deep = dir.Path() / "d\xe9"
                                       "ep";
    fs::create_directories(deep);
    fs::copy(BuiltData, deep / "data", fs::copy_options::recursive);
    int code = -1;
    const std::string out = RunAndCapture({QORV_PROBE, "assets", dir.Path().string()}, &code);
    EXPECT_EQ(code, 0) << out;
    const fs::path data = deep / "data";
    EXPECT_EQ(LineFor(out, "stage.bmp"),
              "ok stage.bmp " + (data / "stage.bmp").string() + ": BitmapImageFile 640x480");
    EXPECT_EQ(LineFor(out, "pad.png"),
              "ok pad.png " + (data / "pad.png").string() + ": PngImageFile 32x32");
    EXPECT_EQ(LineFor(out, "pa.wav")
                  .rfind("ok pa.wav " + (data / "pa.wav").string() +
                             ": RiffSoundFile tag=1 44100 Hz 1 ch 16 bit",
                         0),
              0u)
        << out;
    EXPECT_TRUE(HasLine(out, "17 files: 17 ok, 0 missing, 0 unreadable")) << out;
}

TEST(ProbeAssets, NamesWhatIsMissingOrUnreadableAndFails)
{
    TempDir dir;
    fs::copy(BuiltData, dir.Path() / "data", fs::copy_options::recursive);
    const fs::path data = dir.Path() / "data";
    fs::remove(data / "beat3.wav");
    fs::remove(data / "ke.wav");
    fs::create_directory(data / "ke.wav");
    dir.Write("data/pad.png", "");
    dir.Write("data/stage.bmp", std::string(4096, '\x5A'));
    dir.Write("data/beat5.wav", "RIFF\x04\0\0\0WAVE");
    // Names match with ASCII letters folded, as the game's finder matches them.
    fs::rename(data / "no.wav", data / "NO.WAV");
    int code = -1;
    const std::string out = RunAndCapture({QORV_PROBE, "assets", dir.Path().string()}, &code);
    EXPECT_EQ(code, 1) << out;
    EXPECT_EQ(LineFor(out, "beat3.wav"), "missing beat3.wav") << out;
    EXPECT_EQ(LineFor(out, "ke.wav"), "missing ke.wav") << "a directory is not a file: " << out;
    EXPECT_EQ(LineFor(out, "pad.png").rfind("unreadable", 0), 0u) << out;
    EXPECT_EQ(LineFor(out, "stage.bmp").rfind("unreadable", 0), 0u) << out;
    EXPECT_EQ(LineFor(out, "beat5.wav").rfind("unreadable", 0), 0u) << out;
    EXPECT_EQ(LineFor(out, "no.wav").rfind("ok no.wav " + (data / "NO.WAV").string() + ":", 0), 0u)
        << out;
    EXPECT_TRUE(HasLine(out, "17 files: 12 ok, 2 missing, 3 unreadable")) << out;
}

TEST(ProbeAssets, DefaultsToTheProgramInstalledBesideTheProbe)
{
    TempDir dir;
    fs::create_directories(dir.Path() / "bin");
    fs::create_directories(dir.Path() / "lib/pakemino");
    fs::copy_file(QORV_PROBE, dir.Path() / "bin/qorv-probe");
    fs::copy(BuiltData, dir.Path() / "lib/pakemino/data", fs::copy_options::recursive);
    int code = -1;
    const std::string out =
        RunAndCapture({(dir.Path() / "bin/qorv-probe").string(), "assets"}, &code);
    EXPECT_EQ(code, 0) << out;
    EXPECT_TRUE(HasLine(out, "17 files: 17 ok")) << out;

    fs::remove_all(dir.Path() / "lib");
    RunAndCapture({(dir.Path() / "bin/qorv-probe").string(), "assets"}, &code);
    EXPECT_EQ(code, 1) << "nothing installed is a failure, not an empty success";
    RunAndCapture({QORV_PROBE, "assets", "one", "two"}, &code);
    EXPECT_EQ(code, 2);
}

TEST(ProbeAssets, WithAKitSaysWhichFilesComeFromItAndWhichFallBack)
{
    TempDir kit;
    kit.Write("voice/PA.WAV", TestSupport::ReadFile(BuiltData / "ke.wav"));
    kit.Write("beat2.wav", "not a sound");
    const std::string data = BuiltData.parent_path().string();
    int code = -1;
    const std::string out =
        RunAndCapture({QORV_PROBE, "assets", "--kit", kit.Path().string(), data}, &code);
    EXPECT_EQ(code, 1) << "the kit's own beat2.wav is used, and it is unreadable: " << out;
    // "STATUS NAME SOURCE PATH: DETAILS"
    auto says = [&](const std::string& name, const std::string& start, const fs::path& path)
    {
        const std::string line = LineFor(out, name);
        return line.rfind(start, 0) == 0 &&
               line.find(std::string(" ").append(path.string()) + ": ") != std::string::npos;
    };
    EXPECT_TRUE(says("pa.wav", "ok pa.wav kit ", kit.Path() / "voice/PA.WAV")) << out;
    EXPECT_TRUE(says("beat2.wav", "unreadable beat2.wav kit ", kit.Path() / "beat2.wav")) << out;
    EXPECT_TRUE(says("ke.wav", "ok ke.wav fallback ", BuiltData / "ke.wav")) << out;
    EXPECT_TRUE(HasLine(out, "2 from the kit, 15 fall back to " + data)) << out;
}
