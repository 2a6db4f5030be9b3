// The real program with its data broken or its devices gone. What is checked is what a player
// sees: the window opens, frames run, the keys that still can make sound do, Escape ends it
// with code 0, and one line on stderr names each thing that is missing.

#include "tests/support/BmpBytes.h"
#include "tests/support/Desktop.h"
#include "tests/support/Process.h"
#include "tests/support/RiffBytes.h"
#include "tests/support/Signal.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <thread>

using namespace std::chrono_literals;
using TestSupport::Process;
namespace fs = std::filesystem;

namespace
{

const std::string Title = "pakemino Technical Preview";
const std::vector<std::string> Pictures = {"zirmonly.bmp", "pad.png", "stage.bmp", "glyphs.png"};

std::vector<std::string> Sounds()
{
    std::vector<std::string> names = {"pa.wav", "ke.wav", "ro.wav", "no.wav"};
    for (int k = 1; k <= 9; ++k)
    {
        names.push_back("beat" + std::to_string(k) + ".wav");
    }
    return names;
}

// 8192x8192 at one bit a pixel, stripes: 8 MiB on disk, 256 MiB once decoded to ARGB.
std::string HugeBitmap()
{
    TestSupport::BmpBuilder bmp;
    bmp.width = bmp.height = 8192;
    bmp.bits = 1;
    bmp.palette = {0x00000000, 0x00FFFFFF};
    bmp.pixels.assign(8192 / 8 * 8192, '\x0F');
    return bmp.Build();
}

// 46 bytes whose data chunk claims 0x7FFFFFF0 bytes and holds 2.
std::string ClaimingWave()
{
    using namespace TestSupport;
    return Riff(Chunk("fmt ", FormatBody(1, 1, 22050, 44100, 2, 16)) + "data" + Le32(0x7FFFFFF0) +
                std::string(2, '\x10'));
}

// The picture's signature and header, then a calibration chunk whose length says 1 GiB in a
// file of about 4 KiB.
std::string ClaimingPng(const std::string& png)
{
    std::string out = png.substr(0, 8 + 25);
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        out.push_back(static_cast<char>(0x40000000u >> shift));
    }
    return out + "pCAL" + std::string(4096, 'p');
}

enum class Fault
{
    Empty,
    Truncated,
    RandomBytes,
    Directory,
    Huge,
    Pipe,
    ClaimsGigabytes
};

const char* FaultName(Fault fault)
{
    switch (fault)
    {
    case Fault::Empty:
        return "Empty";
    case Fault::Truncated:
        return "Truncated";
    case Fault::RandomBytes:
        return "RandomBytes";
    case Fault::Directory:
        return "Directory";
    case Fault::Huge:
        return "Huge";
    case Fault::Pipe:
        return "Pipe";
    case Fault::ClaimsGigabytes:
        return "ClaimsGigabytes";
    }
    return "";
}

void Break(const fs::path& file, Fault fault)
{
    const std::string bytes = TestSupport::ReadFile(file);
    switch (fault)
    {
    case Fault::Empty:
        TestSupport::WriteFile(file, "");
        break;
    case Fault::Truncated:
        // Headers intact, the body cut: every reader meets its data ending early.
        TestSupport::WriteFile(file, std::string_view(bytes).substr(0, bytes.size() / 2));
        break;
    case Fault::RandomBytes:
    {
        std::mt19937 random(static_cast<uint32_t>(std::hash<std::string>{}(file.filename())));
        std::string noise(bytes.size(), '\0');
        for (char& c : noise)
        {
            c = static_cast<char>(random());
        }
        TestSupport::WriteFile(file, noise);
        break;
    }
    case Fault::Directory:
        fs::remove(file);
        fs::create_directory(file);
        break;
    case Fault::Huge:
        TestSupport::WriteFile(file, HugeBitmap());
        break;
    case Fault::Pipe:
        // Nothing ever writes to it: opening it for reading would wait for ever.
        fs::remove(file);
        mkfifo(file.c_str(), 0600);
        break;
    case Fault::ClaimsGigabytes:
        TestSupport::WriteFile(file,
                               file.extension() == ".png" ? ClaimingPng(bytes) : ClaimingWave());
        break;
    }
}

// Each key held 40 ms: longer than a frame, so the program's snapshot sees it down.
constexpr int KeyDelayMs = 80;

constexpr float Audible = 0.01f;

struct Outcome
{
    bool windowOpened = false;
    bool pictureMoves = false;
    bool runningAfterKeys = false;
    std::optional<int> exitCode;
    float loudestSample = 0;
    // The resident peak (VmHWM) just before Escape.
    long peakKilobytes = -1;
};

long PeakKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
    {
        if (line.rfind("VmHWM:", 0) == 0)
        {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// The executable and a copy of its data in a private folder, as installed.
class ProgramCopy
{
public:
    ProgramCopy()
    {
        const fs::path built = PAKEMINO_PROGRAM;
        fs::create_directories(Bin());
        fs::copy_file(built, Bin() / "pakemino");
        fs::copy(built.parent_path() / "data", Bin() / "data", fs::copy_options::recursive);
    }

    fs::path Bin() const { return dir.Path() / "bin"; }
    fs::path Data(const std::string& name) const { return Bin() / "data" / name; }

    void BreakAll(const std::vector<std::string>& names, Fault fault) const
    {
        for (const std::string& name : names)
        {
            Break(Data(name), fault);
        }
    }

    // Types note keys until a note shows in the picture or is heard, for up to settle: the
    // window opens before the data loads, and a key typed while it loads is never seen.
    Outcome Run(std::vector<std::string> environment = {"SDL_AUDIODRIVER=disk"},
                std::chrono::milliseconds settle = 3s) const
    {
        const fs::path recording = dir.Path() / "played.raw";
        environment.push_back("SDL_DISKAUDIOFILE=" + recording.string());
        Process program({(Bin() / "pakemino").string()}, environment);
        Outcome outcome;
        const auto window = TestSupport::WaitForWindow(Title, 20s);
        outcome.windowOpened = window.has_value();
        if (!window)
        {
            return outcome;
        }
        const auto deadline = std::chrono::steady_clock::now() + settle;
        while (!outcome.pictureMoves &&
               TestSupport::LoudestOfRaw(TestSupport::ReadFile(recording)) < Audible &&
               std::chrono::steady_clock::now() < deadline)
        {
            const auto before = TestSupport::CaptureScreenAt(*window, 640, 480);
            TestSupport::PressKeys(*window, "z", KeyDelayMs);
            std::this_thread::sleep_for(100ms);
            const auto after = TestSupport::CaptureScreenAt(*window, 640, 480);
            outcome.pictureMoves = before && after && before->pixels != after->pixels;
        }
        TestSupport::PressKeys(*window, "q a 1 F1 KP_2 F1 F12 F11 F9 shift x", KeyDelayMs);
        std::this_thread::sleep_for(200ms);
        outcome.runningAfterKeys = program.Running();
        outcome.peakKilobytes = PeakKilobytes(program.Pid());
        TestSupport::PressKeys(*window, "Escape", KeyDelayMs);
        outcome.exitCode = program.Wait(10s);
        outcome.loudestSample = TestSupport::LoudestOfRaw(TestSupport::ReadFile(recording));
        return outcome;
    }

private:
    TestSupport::TempDir dir;
};

void ExpectItCarriesOn(const Outcome& outcome)
{
    EXPECT_TRUE(outcome.windowOpened) << "no window titled \"" << Title << "\" appeared";
    EXPECT_TRUE(outcome.runningAfterKeys) << "the program ended while keys were typed";
    EXPECT_EQ(outcome.exitCode, 0) << "Escape did not end it cleanly (128 + n is signal n)";
}

} // namespace

TEST(DataFaults, EveryFileMissingStillOpensRunsAndQuits)
{
    ProgramCopy copy;
    fs::remove_all(copy.Bin() / "data");
    // Nothing can show that frames run: no picture to stamp, no sample to sound. A directory
    // in a file's place (below) is the same lookup miss, one half of the data at a time.
    const Outcome outcome = copy.Run();
    ExpectItCarriesOn(outcome);
    EXPECT_LT(outcome.loudestSample, Audible) << "sound with no samples to play";
}

TEST(DataFaults, EachMissingOrUnreadableFileAndAMissingPictureDeviceIsOneLineOnStderr)
{
    ProgramCopy copy;
    fs::remove(copy.Data("pad.png"));
    Break(copy.Data("ke.wav"), Fault::RandomBytes);
    // The lines come as the game is built; SIGTERM ends it as a close would.
    const auto said = [&](const std::string& environment)
    {
        return TestSupport::RunAndCapture({"sh", "-c",
                                           "SDL_AUDIODRIVER=dummy " + environment + " timeout 8 " +
                                               (copy.Bin() / "pakemino").string() +
                                               " 2>&1 >/dev/null"});
    };
    const std::string probe = "; `qorv-probe assets` checks every data file\n";
    const std::string keWav = "pakemino: data file ke.wav cannot be read" + probe;
    EXPECT_EQ(said(""), "pakemino: data file pad.png is missing" + probe + keWav);
    // Without a picture device no picture could load: that is the one line about pictures.
    EXPECT_EQ(said("MESA_GL_VERSION_OVERRIDE=2.1"),
              "pakemino: no picture: OpenGL 3.3 could not start in the window; keys and sound "
              "still work\n" +
                  keWav);
}

class BrokenPictures : public testing::TestWithParam<Fault>
{
};

TEST_P(BrokenPictures, LeaveTheNotesSounding)
{
    ProgramCopy copy;
    copy.BreakAll(Pictures, GetParam());
    // Three 8192x8192 pictures take seconds to decode and upload.
    const Outcome outcome = copy.Run({"SDL_AUDIODRIVER=disk"}, 30s);
    ExpectItCarriesOn(outcome);
    EXPECT_GT(outcome.loudestSample, Audible) << "the note keys made no sound";
}

INSTANTIATE_TEST_SUITE_P(DataFaults, BrokenPictures,
                         testing::Values(Fault::Empty, Fault::Truncated, Fault::RandomBytes,
                                         Fault::Directory, Fault::Huge),
                         [](const auto& info) { return FaultName(info.param); });

class BrokenSounds : public testing::TestWithParam<Fault>
{
};

TEST_P(BrokenSounds, LeaveThePictureMoving)
{
    ProgramCopy copy;
    copy.BreakAll(Sounds(), GetParam());
    const Outcome outcome = copy.Run();
    ExpectItCarriesOn(outcome);
    EXPECT_TRUE(outcome.pictureMoves);
    if (GetParam() != Fault::Truncated)
    {
        EXPECT_LT(outcome.loudestSample, Audible) << "sound from files that hold none";
    }
}

INSTANTIATE_TEST_SUITE_P(DataFaults, BrokenSounds,
                         testing::Values(Fault::Empty, Fault::Truncated, Fault::RandomBytes,
                                         Fault::Directory),
                         [](const auto& info) { return FaultName(info.param); });

class HostileFiles : public testing::TestWithParam<std::pair<std::string, Fault>>
{
protected:
    static long NormalPeakKilobytes()
    {
        static const long peak = ProgramCopy().Run().peakKilobytes;
        return peak;
    }
};

TEST_P(HostileFiles, NeitherHangNorSwellTheProgram)
{
    const auto& [name, fault] = GetParam();
    ASSERT_GT(NormalPeakKilobytes(), 0);
    ProgramCopy copy;
    copy.BreakAll({name}, fault);
    const Outcome outcome = copy.Run();
    ExpectItCarriesOn(outcome);
    EXPECT_GT(outcome.peakKilobytes, 0);
    EXPECT_LT(outcome.peakKilobytes, 3 * NormalPeakKilobytes())
        << "a normal run peaks at " << NormalPeakKilobytes() << " KiB";
}

INSTANTIATE_TEST_SUITE_P(DataFaults, HostileFiles,
                         testing::Values(std::pair{std::string("pa.wav"), Fault::Pipe},
                                         std::pair{std::string("pa.wav"), Fault::ClaimsGigabytes},
                                         std::pair{std::string("pad.png"), Fault::ClaimsGigabytes}),
                         [](const auto& info)
                         {
                             const std::string stem =
                                 info.param.first.substr(0, info.param.first.find('.'));
                             return std::string(FaultName(info.param.second)) +
                                    (stem == "pad" ? "Picture" : "Sound");
                         });

TEST(DeviceFaults, WithoutAnAudioDeviceThePictureRuns)
{
    ProgramCopy copy;
    const Outcome outcome = copy.Run({"SDL_AUDIODRIVER=nonexistent"});
    ExpectItCarriesOn(outcome);
    EXPECT_TRUE(outcome.pictureMoves);
}

TEST(DeviceFaults, WithoutAnOpenGlLibraryTheKeysStillSound)
{
    ProgramCopy copy;
    const Outcome outcome =
        copy.Run({"SDL_AUDIODRIVER=disk", "SDL_OPENGL_LIBRARY=/nonexistent/libGL.so.1"});
    ExpectItCarriesOn(outcome);
    EXPECT_FALSE(outcome.pictureMoves) << "a picture drawn without GL";
    EXPECT_GT(outcome.loudestSample, Audible) << "the note keys made no sound";
}

// The window is GL-capable but no 3.3 core context can be made on it.
TEST(DeviceFaults, WithoutAGlContextTheKeysStillSound)
{
    ProgramCopy copy;
    const Outcome outcome = copy.Run({"SDL_AUDIODRIVER=disk", "MESA_GL_VERSION_OVERRIDE=2.1"});
    ExpectItCarriesOn(outcome);
    EXPECT_FALSE(outcome.pictureMoves) << "a picture drawn without a GL context";
    EXPECT_GT(outcome.loudestSample, Audible) << "the note keys made no sound";
}

// As from an ssh shell: SDL would fall back to a driver that shows nothing, and the program
// would run on unseen with nothing to end it.
TEST(DeviceFaults, WithoutADisplayItSaysWhyAndEndsWithOne)
{
    int exitCode = 0;
    const std::string said = TestSupport::RunAndCapture(
        {"sh", "-c",
         "timeout 30 env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy " PAKEMINO_PROGRAM
         " 2>&1"},
        &exitCode);
    EXPECT_EQ(exitCode, 1) << said;
    const std::string lead = "pakemino: cannot open a window: ";
    const size_t at = said.find(lead);
    ASSERT_NE(at, std::string::npos) << said;
    EXPECT_GT(said.find('\n', at), at + lead.size()) << "no reason given: " << said;
}

// The X server ending under the program, as at logout: on a server of the test's own.
TEST(DeviceFaults, TheDisplayGoingAwayEndsItWithCodeOne)
{
    TestSupport::TempDir dir;
    const fs::path displayFile = dir.Path() / "display";
    Process server({"sh", "-c",
                    "exec Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>" +
                        displayFile.string() + " 2>/dev/null"});
    std::string display;
    for (int i = 0; i < 200 && display.empty() && server.Running(); ++i)
    {
        std::this_thread::sleep_for(50ms);
        std::istringstream(TestSupport::ReadFile(displayFile)) >> display;
    }
    ASSERT_FALSE(display.empty()) << "Xvfb gave no display";
    const char* outerDisplay = std::getenv("DISPLAY");
    const std::string outer = outerDisplay != nullptr ? outerDisplay : "";
    setenv("DISPLAY", (":" + display).c_str(), 1);
    Process program({PAKEMINO_PROGRAM}, {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=/dev/null"});
    const bool opened = TestSupport::WaitForWindow(Title, 20s).has_value();
    setenv("DISPLAY", outer.c_str(), 1);
    ASSERT_TRUE(opened);
    // Frames running, so the connection breaks in the middle of drawing and presenting.
    std::this_thread::sleep_for(1s);
    kill(server.Pid(), SIGTERM);
    EXPECT_EQ(program.Wait(30s), 1) << "still running, or killed by a signal (128 + n)";
}
