// pakemino --record as a musician uses it: typed on under a private X server with SDL's disk
// driver standing in for the sound card, the take holds exactly what the card was given; on a
// full disk the take ends cleanly and the game plays on.

#include "tests/support/Desktop.h"
#include "tests/support/Process.h"
#include "tests/support/Signal.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

using namespace std::chrono_literals;
using TestSupport::ReadFile;
using TestSupport::TempDir;

namespace
{

const char* const RecordingTitle = "pakemino Technical Preview \\(recording\\)";
constexpr size_t PeriodSamples = 256 * 2;

// The take as float stereo, through libsndfile as any player would read it.
std::vector<float> ReadTake(const std::filesystem::path& path, SF_INFO& info)
{
    info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
    {
        return {};
    }
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    samples.resize(static_cast<size_t>(sf_readf_float(file, samples.data(), info.frames)) * 2);
    sf_close(file);
    return samples;
}

// Starts the program recording into take, types a few notes and a drum step, and ends it
// with Escape; stdout and stderr go to files in dir.
std::optional<int> PlayATake(const TempDir& dir, const std::filesystem::path& take,
                             const std::string& keys)
{
    TestSupport::Process program(
        {"sh", "-c", "exec \"$0\" --record \"$1\" >\"$2\" 2>\"$3\"", PAKEMINO_PROGRAM,
         take.string(), (dir.Path() / "out").string(), (dir.Path() / "err").string()},
        {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + (dir.Path() / "disk.raw").string()});
    const auto window = TestSupport::WaitForWindow(RecordingTitle, 20s);
    if (!window)
    {
        return std::nullopt;
    }
    // The device opens in the middle of the Game's construction; keys typed before its frames
    // run would be lost on a loaded machine.
    for (auto end = std::chrono::steady_clock::now() + 20s;
         !std::filesystem::exists(dir.Path() / "disk.raw") &&
         std::chrono::steady_clock::now() < end;)
    {
        usleep(10000);
    }
    usleep(1000000);
    TestSupport::PressKeys(*window, keys);
    usleep(1500000);
    TestSupport::PressKeys(*window, "Escape");
    return program.Wait(20s);
}

} // namespace

TEST(Take, HoldsExactlyWhatTheSoundCardWasGiven)
{
    TempDir dir;
    ASSERT_EQ(PlayATake(dir, dir.Path() / "take.wav", "z x c KP_1 F1 a s q 1"), 0);

    SF_INFO info;
    const std::vector<float> take = ReadTake(dir.Path() / "take.wav", info);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(info.samplerate, 48000);
    const std::vector<float> card = TestSupport::RawFloats(ReadFile(dir.Path() / "disk.raw"));

    // The card also got the silent periods SDL plays while the device opens, before the mixer
    // runs: the take starts at the first mixed period.
    size_t start = 0;
    while (start + PeriodSamples <= card.size() && card.size() - start > take.size() &&
           std::all_of(card.begin() + start, card.begin() + start + PeriodSamples,
                       [](float s) { return s == 0.0f; }))
    {
        start += PeriodSamples;
    }
    ASSERT_GT(take.size(), 48000u * 2) << "at least a second was recorded";
    ASSERT_LE(card.size() - start, take.size() + PeriodSamples);
    const size_t common = std::min(take.size(), card.size() - start);
    EXPECT_TRUE(std::equal(take.begin(), take.begin() + common, card.begin() + start))
        << "the take differs from what the card played";
    EXPECT_GT(*std::max_element(take.begin(), take.end()), 0.05f) << "the notes are in the take";

    std::ostringstream line;
    line.precision(1);
    line << std::fixed << "pakemino: recorded " << info.frames / 48000.0 << " s into "
         << (dir.Path() / "take.wav").string() << "\n";
    EXPECT_EQ(ReadFile(dir.Path() / "out"), line.str());
}

TEST(Take, EndsCleanlyOnAFullDiskWhileTheGamePlaysOn)
{
    if (geteuid() != 0)
    {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    TempDir dir;
    const auto full = dir.MakeDirectory("full");
    // Room for about half a second of float stereo after the header.
    ASSERT_EQ(mount("tmpfs", full.c_str(), "tmpfs", 0, "size=192k"), 0);
    const auto code = PlayATake(dir, full / "take.wav", "z x c v b n m");
    const std::vector<float> take = [&]
    {
        SF_INFO info;
        return ReadTake(full / "take.wav", info);
    }();
    umount(full.c_str());

    EXPECT_EQ(code, 0) << "the game went on and ended on Escape";
    const std::string err = ReadFile(dir.Path() / "err");
    EXPECT_NE(
        err.find("pakemino: recording into '" + (full / "take.wav").string() + "' stopped after "),
        std::string::npos)
        << err;
    EXPECT_GT(take.size(), 48000u / 4) << "what fitted is kept, readable";
}
