// qorv-probe play through the real sound manager and SDL's disk driver: what it records is
// what a listener would have heard.

#include "tests/support/Process.h"
#include "tests/support/RiffBytes.h"
#include "tests/support/Signal.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace std::chrono_literals;
using namespace TestSupport;

namespace
{

struct Recording
{
    std::optional<int> exitCode;
    std::vector<float> stereo;
};

Recording Play(const TempDir& dir, std::vector<std::string> arguments,
               const std::string& driver = "disk")
{
    const std::string raw = (dir.Path() / "played.raw").string();
    arguments.insert(arguments.begin(), {QORV_PROBE, "play"});
    Process probe(arguments, {"SDL_AUDIODRIVER=" + driver, "SDL_DISKAUDIOFILE=" + raw});
    Recording recording;
    recording.exitCode = probe.Wait(20s);
    recording.stereo = RawFloats(ReadFile(raw));
    return recording;
}

// The frames from the first to the last that is not silent.
std::vector<double> Sounding(const std::vector<double>& samples)
{
    size_t first = 0, last = samples.size();
    while (first < last && std::fabs(samples[first]) < 1e-3)
    {
        ++first;
    }
    while (last > first && std::fabs(samples[last - 1]) < 1e-3)
    {
        --last;
    }
    return {samples.begin() + static_cast<long>(first), samples.begin() + static_cast<long>(last)};
}

} // namespace

TEST(ProbePlay, RecordsTheFixtureAtItsPitchLengthAndLevel)
{
    TempDir dir;
    const auto wave =
        dir.Write("tone.wav", PcmWave(1, 44100, SinePcm(1000, 44100, 22050, 0.5))).string();
    const Recording recording = Play(dir, {wave});
    ASSERT_EQ(recording.exitCode, 0);
    const auto left = Sounding(Channel(recording.stereo, 0));
    EXPECT_NEAR(left.size() / 48000.0, 0.5, 0.01);
    EXPECT_NEAR(MeasureFrequency(left) * 48000.0, 1000.0, 5.0);
    EXPECT_NEAR(RmsOf(left), 0.5 / std::sqrt(2.0), 0.01);
    EXPECT_NEAR(RmsOf(Sounding(Channel(recording.stereo, 1))), 0.5 / std::sqrt(2.0), 0.01);
}

TEST(ProbePlay, RatioVolumeAndPanShapeWhatIsRecorded)
{
    TempDir dir;
    const auto wave =
        dir.Write("tone.wav", PcmWave(1, 44100, SinePcm(1000, 44100, 22050, 0.5))).string();
    const Recording recording = Play(dir, {wave, "--ratio", "2", "--volume", "50", "--pan", "100"});
    ASSERT_EQ(recording.exitCode, 0);
    const auto right = Sounding(Channel(recording.stereo, 1));
    EXPECT_NEAR(right.size() / 48000.0, 0.25, 0.01);
    EXPECT_NEAR(MeasureFrequency(right) * 48000.0, 2000.0, 10.0);
    EXPECT_NEAR(Decibels(RmsOf(right) / (0.5 / std::sqrt(2.0))), -6.02, 0.2);
    EXPECT_LT(RmsOf(Channel(recording.stereo, 0)), 1e-4);
}

TEST(ProbePlay, StreamingLoopsForTheSecondsAsked)
{
    TempDir dir;
    const auto wave =
        dir.Write("tone.wav", PcmWave(1, 44100, SinePcm(1000, 44100, 22050, 0.5))).string();
    const Recording recording = Play(dir, {wave, "--streaming", "--seconds", "2"});
    ASSERT_EQ(recording.exitCode, 0);
    const auto left = Sounding(Channel(recording.stereo, 0));
    EXPECT_NEAR(left.size() / 48000.0, 2.0, 0.15);
    EXPECT_NEAR(MeasureFrequency(left) * 48000.0, 1000.0, 5.0);
}

TEST(ProbePlay, FailsWithCodeOneWithoutAFileOrADevice)
{
    TempDir dir;
    EXPECT_EQ(Play(dir, {(dir.Path() / "missing.wav").string()}).exitCode, 1);
    const auto wave = dir.Write("tone.wav", PcmWave(1, 44100, SinePcm(1000, 44100, 441, 0.5)));
    EXPECT_EQ(Play(dir, {wave.string()}, "no-such-driver").exitCode, 1);
}
