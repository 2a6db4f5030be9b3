// The real program played as a user would, on its window under Xvfb, and listened to through
// SDL's disk driver: the notes and the drum pattern, recognised in what was recorded.

#include "tests/support/Desktop.h"
#include "tests/support/GameSession.h"
#include "tests/support/JackServer.h"
#include "tests/support/Signal.h"
#include "tests/support/StepPads.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <thread>

using namespace std::chrono_literals;
using namespace TestSupport;

namespace
{

// What the program's device opens: float32 stereo at 48000 Hz.
constexpr double OutputRate = 48000.0;

struct Mono
{
    double rate = 0.0;
    std::vector<double> samples;
};

// One of the program's own mono samples, through libsndfile, scaled as the mixer scales it.
Mono ReadSample(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    Mono mono;
    if (file == nullptr)
    {
        return mono;
    }
    mono.rate = info.samplerate;
    mono.samples.resize(static_cast<size_t>(info.frames));
    mono.samples.resize(
        static_cast<size_t>(sf_readf_double(file, mono.samples.data(), info.frames)));
    sf_close(file);
    return mono;
}

// The sample as the mixer plays it at a frequency ratio, by linear interpolation.
std::vector<double> AsPlayed(const Mono& sample, double ratio)
{
    std::vector<double> out;
    const double step = sample.rate * ratio / OutputRate;
    for (double at = 0.0; at + 1.0 < static_cast<double>(sample.samples.size()); at += step)
    {
        const auto i = static_cast<size_t>(at);
        const double f = at - static_cast<double>(i);
        out.push_back(sample.samples[i] * (1.0 - f) + sample.samples[i + 1] * f);
    }
    return out;
}

// The best normalised cross-correlation of the reference with the signal from near start.
double Match(const std::vector<double>& signal, size_t start, const std::vector<double>& reference)
{
    const long slack = static_cast<long>(OutputRate / 100);
    double best = 0.0;
    for (long lag = -slack; lag <= slack; ++lag)
    {
        const long first = static_cast<long>(start) + lag;
        if (first < 0 || static_cast<size_t>(first) + reference.size() > signal.size())
        {
            continue;
        }
        double dot = 0.0, energy = 0.0, referenceEnergy = 0.0;
        for (size_t i = 0; i < reference.size(); ++i)
        {
            const double x = signal[static_cast<size_t>(first) + i];
            dot += x * reference[i];
            energy += x * x;
            referenceEnergy += reference[i] * reference[i];
        }
        if (energy > 0.0)
        {
            best = std::max(best, dot / std::sqrt(energy * referenceEnergy));
        }
    }
    return best;
}

size_t FirstSounding(const std::vector<double>& samples, size_t from = 0, double level = 1e-3)
{
    while (from < samples.size() && std::fabs(samples[from]) < level)
    {
        ++from;
    }
    return from;
}

// Where a sample that sounds from onset on began: its first sounding frame landed on the onset.
size_t StartOf(size_t onset, const std::vector<double>& reference)
{
    const size_t lead = FirstSounding(reference);
    return onset > lead ? onset - lead : 0;
}

// Where sound starts after at least a tenth of a second of silence and grows loud within 50 ms,
// judged in 5 ms windows.
std::vector<size_t> Onsets(const std::vector<double>& samples)
{
    const size_t window = static_cast<size_t>(OutputRate / 200);
    std::vector<double> levels;
    for (size_t at = 0; at + window <= samples.size(); at += window)
    {
        levels.push_back(RmsOf({samples.begin() + static_cast<long>(at),
                                samples.begin() + static_cast<long>(at + window)}));
    }
    std::vector<size_t> onsets;
    size_t quietWindows = 20;
    for (size_t w = 0; w < levels.size(); ++w)
    {
        if (levels[w] >= 0.005 && quietWindows >= 20 &&
            *std::max_element(levels.begin() + static_cast<long>(w),
                              levels.begin() + static_cast<long>(std::min(w + 10, levels.size()))) >
                0.02)
        {
            onsets.push_back(FirstSounding(samples, w > 0 ? (w - 1) * window : 0));
        }
        quietWindows = levels[w] < 0.005 ? quietWindows + 1 : 0;
    }
    return onsets;
}

// Each onset is the kick as it is in data/, played at its own pitch.
void ExpectTheKickAt(const std::vector<double>& left, const std::vector<size_t>& onsets)
{
    const auto kick = AsPlayed(ReadSample(PAKEMINO_DATA "/beat1.wav"), 1.0);
    const size_t lead = FirstSounding(kick);
    for (size_t onset : onsets)
    {
        // The last kick may be cut short by Escape.
        if (onset + kick.size() < left.size())
        {
            EXPECT_GT(Match(left, onset > lead ? onset - lead : 0, kick), 0.95) << onset;
        }
    }
}

// Where the disk driver writes what the program plays: made before the program starts.
struct Recording
{
    TempDir dir;
    std::string raw = (dir.Path() / "played.raw").string();
};

// The program, its window focused and its frames running, recording what it plays.
class Session : private Recording, public GameSession
{
public:
    explicit Session(const std::vector<std::string>& arguments = {},
                     const std::string& title = "pakemino Technical Preview",
                     std::vector<std::string> environment = {})
        : GameSession(PAKEMINO_PROGRAM, Disk(std::move(environment), raw), arguments, title)
    {
        if (!window)
        {
            return;
        }
        // The device opens in the middle of the Game's construction.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!std::filesystem::exists(raw) && std::chrono::steady_clock::now() < deadline)
        {
            std::this_thread::sleep_for(5ms);
        }
        opened = std::chrono::steady_clock::now();
        Focus(deadline);
    }

    static std::vector<std::string> Disk(std::vector<std::string> environment,
                                         const std::string& raw)
    {
        environment.insert(environment.end(), {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + raw});
        return environment;
    }

    // Down for several frames, then up as long: even on a loaded machine whose frames come late.
    void Press(const std::string& key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
        {
            GameSession::Press({key}, 100ms, 100ms);
        }
    }

    // Ends the program with Escape; its exit code, and the left channel it played.
    std::optional<int> Quit()
    {
        Press("Escape");
        const auto code = program.Wait(10s);
        const std::chrono::duration<double> recorded = std::chrono::steady_clock::now() - opened;
        left = Channel(RawFloats(ReadFile(raw)), 0);
        framesPerSecond = static_cast<double>(left.size()) / recorded.count();
        return code;
    }

    // The disk driver paces itself by sleeps, not by a clock: its stream runs near, not at,
    // real time, so intervals in the recording are turned into seconds by its own pace.
    double Seconds(size_t frames) const { return static_cast<double>(frames) / framesPerSecond; }

    std::chrono::steady_clock::time_point opened;
    std::vector<double> left;
    double framesPerSecond = OutputRate;
};

} // namespace

TEST(PlayByEar, SilentUntilZThenPaAtItsOwnPitchAndAnOctaveDownAfterTwelveShifts)
{
    Session session;
    ASSERT_TRUE(session.window);
    session.Press("z");
    std::this_thread::sleep_for(1s);
    session.Press("Shift_L", 12);
    session.Press("z");
    std::this_thread::sleep_for(1500ms);
    ASSERT_EQ(session.Quit(), 0);

    const auto& left = session.left;
    const auto onsets = Onsets(left);
    ASSERT_EQ(onsets.size(), 2u);
    // A second of waiting before z, all of it silent to the last bit.
    EXPECT_GT(session.Seconds(onsets[0]), 0.9);
    EXPECT_GT(FirstSounding(left, 0, 1e-6) + 480, onsets[0]);

    const Mono pa = ReadSample(PAKEMINO_DATA "/pa.wav");
    const auto own = AsPlayed(pa, 1.0);
    const auto octaveDown = AsPlayed(pa, 0.5);
    const size_t start0 = StartOf(onsets[0], own);
    const size_t start1 = StartOf(onsets[1], octaveDown);
    EXPECT_GT(Match(left, start0, own), 0.95);
    EXPECT_LT(Match(left, start0, octaveDown), 0.5);
    EXPECT_GT(Match(left, start1, octaveDown), 0.95);
    EXPECT_LT(Match(left, start1, own), 0.5);

    // Twice as long: from its onset to the end of its sound.
    auto soundingLength = [&](size_t from, size_t to)
    {
        size_t last = to;
        while (last > from && std::fabs(left[last - 1]) < 1e-3)
        {
            --last;
        }
        return static_cast<double>(last - from);
    };
    const double first = soundingLength(onsets[0], onsets[1]);
    const double second = soundingLength(onsets[1], left.size());
    EXPECT_NEAR(second / first, 2.0, 0.05);
}

TEST(PlayByEar, F1RepeatsTheKickOncePerLoopAndF11SlowsTheLoop)
{
    Session session;
    ASSERT_TRUE(session.window);
    // Two loops at 100 ms a step, then two at 200 ms, with room for late frames.
    session.Press("F1");
    std::this_thread::sleep_for(5s);
    session.Press("F11", 20);
    std::this_thread::sleep_for(9s);
    ASSERT_EQ(session.Quit(), 0);

    const auto& left = session.left;
    const auto onsets = Onsets(left);
    ASSERT_GE(onsets.size(), 4u);
    // Steps begin on frames 16 ms or more apart: seven frames a step at 100 ms, 13 at 200 ms.
    // Measured in recorded samples the loops come out shorter than on the wall clock: SDL's
    // disk driver sleeps whole milliseconds after each write, so its samples run slower than
    // real time, the more so on a loaded machine. The bounds still tell one loop of 16 steps
    // from half a loop or two.
    const double early = session.Seconds(onsets[1] - onsets[0]);
    const double late = session.Seconds(onsets.back() - onsets[onsets.size() - 2]);
    EXPECT_GT(early, 16 * 7 * 0.016 * 0.75);
    EXPECT_LT(early, 16 * 7 * 0.030);
    EXPECT_GT(late, 16 * 13 * 0.016 * 0.75);
    EXPECT_LT(late, 16 * 13 * 0.030);
    // 13 frames a step against 7 on time; a frame late in the first loop can cost a third of
    // that, so the ratio only has to show that F11 slowed the loop.
    EXPECT_GT(late / early, 1.3);

    // Step 0 plays at full volume: the kick as it is in data/.
    ExpectTheKickAt(left, onsets);
}

TEST(PlayByEar, APatternFileKeepsTheStepsSetByKeysAndTheNextStartShowsAndPlaysThem)
{
    TempDir files;
    const std::string file = (files.Path() / "beat.pat").string();
    {
        Session first({"--pattern", file}, "pakemino Technical Preview - beat\\.pat");
        ASSERT_TRUE(first.window);
        // Held long enough for a frame to see them however late frames come on a busy machine.
        auto press = [&](const std::vector<std::string>& keys)
        {
            first.GameSession::Press(keys, 300ms, 200ms);
        };
        // Steps 1 and 9 of the kick: half a loop apart, with quiet between them to hear each.
        press({"F1"});
        EXPECT_TRUE(WaitForWindow("pakemino Technical Preview - \\*beat\\.pat", 10s));
        press({"Control_L", "s"});
        EXPECT_TRUE(WaitForWindow("pakemino Technical Preview - beat\\.pat", 10s));
        EXPECT_NE(ReadFile(file).find("\nkick       x...............\n"), std::string::npos);
        press({"F9"});
        press({"F1"});
        ASSERT_EQ(first.Quit(), 0);
    }
    const std::string saved = ReadFile(file);
    EXPECT_NE(saved.find("\ninterval 100\nkick       x.......x.......\n"), std::string::npos)
        << saved;

    Session second({"-p", file}, "pakemino Technical Preview - beat\\.pat");
    ASSERT_TRUE(second.window);
    RunAndCapture({"xdotool", "windowmove", "--sync", *second.window, "0", "0"});
    EXPECT_EQ(LitPadsOverTime(*second.window), (std::set<int>{0, 8}));
    std::this_thread::sleep_for(3s);
    ASSERT_EQ(second.Quit(), 0);
    EXPECT_EQ(ReadFile(file), saved) << "nothing changed, nothing written";

    // The pads showed which steps came back; what is heard is the kick, loop after loop.
    const auto onsets = Onsets(second.left);
    ASSERT_GE(onsets.size(), 2u);
    ExpectTheKickAt(second.left, onsets);
}

TEST(PlayByEar, AKitsOwnPaIsTheOneZSings)
{
    TempDir kit;
    // Any name case, in any folder below the kit: ke.wav stands in as the player's own "pa".
    std::filesystem::create_directories(kit.Path() / "voice");
    std::filesystem::copy_file(PAKEMINO_DATA "/ke.wav", kit.Path() / "voice" / "PA.WAV");
    Session session({"--kit", kit.Path().string()});
    ASSERT_TRUE(session.window);
    session.Press("z");
    std::this_thread::sleep_for(1500ms);
    ASSERT_EQ(session.Quit(), 0);

    const auto onsets = Onsets(session.left);
    ASSERT_EQ(onsets.size(), 1u);
    const auto own = AsPlayed(ReadSample(PAKEMINO_DATA "/ke.wav"), 1.0);
    const auto shipped = AsPlayed(ReadSample(PAKEMINO_DATA "/pa.wav"), 1.0);
    const size_t start = onsets[0] > FirstSounding(own) ? onsets[0] - FirstSounding(own) : 0;
    EXPECT_GT(Match(session.left, start, own), 0.95);
    EXPECT_LT(Match(session.left, start, shipped), 0.5);
}

TEST(PlayByEar, AKeyboardPluggedInLaterSingsPaAtItsPitchOnChannelOneAndKicksOnTen)
{
    JackServer jack;
    ASSERT_TRUE(jack.Running());
    Session session({}, "pakemino Technical Preview", {jack.Environment()});
    ASSERT_TRUE(session.window);
    // A hardware port that appears while the program runs: it connects itself to it.
    MidiSender keyboard(true);
    ASSERT_TRUE(keyboard.Open());
    ASSERT_TRUE(keyboard.WaitForListener(10s));
    std::this_thread::sleep_for(500ms);
    // Note 72 is an octave above the recording; the note-off changes nothing.
    keyboard.Send({0x90, 72, 127});
    keyboard.Send({0x80, 72, 0});
    std::this_thread::sleep_for(1500ms);
    keyboard.Send({0x99, 36, 127});
    std::this_thread::sleep_for(1500ms);
    ASSERT_EQ(session.Quit(), 0);

    const auto& left = session.left;
    const auto onsets = Onsets(left);
    ASSERT_EQ(onsets.size(), 2u);
    const Mono pa = ReadSample(PAKEMINO_DATA "/pa.wav");
    const auto octaveUp = AsPlayed(pa, 2.0);
    const auto kick = AsPlayed(ReadSample(PAKEMINO_DATA "/beat1.wav"), 1.0);
    EXPECT_GT(Match(left, StartOf(onsets[0], octaveUp), octaveUp), 0.95);
    EXPECT_LT(Match(left, StartOf(onsets[0], octaveUp), AsPlayed(pa, 1.0)), 0.5);
    EXPECT_GT(Match(left, StartOf(onsets[1], kick), kick), 0.95);
}
