// Key-to-sound latency through the real Game, input manager, player and mixer, the memory the
// loaded samples take, and the start-up time to the first frame with every sample loaded.
//   latency-bench [--trials N]            offline: scripted keyboard, mixer pulled here
//   latency-bench --startup [--runs N]    the real window: run under a display (xvfb-run)
// Like the program it finds data/ beside itself.

#include "app/Game.h"
#include "app/MainWindow.h"
#include "bench/SpawnedStart.h"
#include "framework/base/IFileFinder.h"
#include "framework/draw/IDrawer.h"
#include "framework/input/DxInputManager.h"
#include "framework/input/KeyCode.h"
#include "framework/sound/DxSoundManager.h"
#include "platform/audio/Mixer.h"
#include "tests/platform/audio/OfflineMixer.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScriptedDirectInput.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <string>
#include <vector>

namespace
{

constexpr DWORD OutputRate = 48000;

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
    {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

size_t HeapInUse()
{
    return mallinfo2().uordblks;
}

int Offline(int trials)
{
    TestSupport::OfflineMixer mixer(OutputRate);
    Qorv::Sound::PublishSoundDevice(mixer.Device());

    const size_t before = HeapInUse();
    auto player = std::make_shared<Pakemino::ZirmPlayer>(Qorv::Sound::CreateSoundManager());
    const size_t afterPlayer = HeapInUse();
    Pakemino::RhythmSequencer sequencer(Qorv::Sound::CreateSoundManager());
    auto finder = Qorv::Base::CreateFileFinder(L"");
    for (int32_t k = 1; k <= Pakemino::TrackCount; ++k)
    {
        sequencer.SetSample(finder->Find(L"beat" + std::to_wstring(k) + L".wav"), k - 1);
    }
    const size_t afterBeats = HeapInUse();
    int opened = 0;
    for (const auto& voice : player->voices)
    {
        opened += voice->IsOpen() ? 1 : 0;
    }
    std::printf("voices open            %d of 25\n", opened);
    std::printf("heap for 20 voices     %.1f KiB\n", (afterPlayer - before) / 1024.0);
    std::printf("heap for 9 beats       %.1f KiB\n", (afterBeats - afterPlayer) / 1024.0);
    std::printf("heap for all samples   %.1f KiB\n", (afterBeats - before) / 1024.0);
    player.reset();

    TestSupport::ScriptedDirectInput script;
    Pakemino::Game game(nullptr, {Qorv::Draw::CreateDrawer(),
                                  std::make_shared<Qorv::Input::DxInputManager>(script.Platform()),
                                  Qorv::Sound::CreateSoundManager(), TestSupport::FakeClock::Now});
    game.RunFrame();
    const uint8_t z = Qorv::Input::KeyScanCodeTable[Qorv::Input::KeyZ];
    std::vector<double> frameMs;
    std::vector<double> firstSampleFrames;
    for (int trial = 0; trial < trials; ++trial)
    {
        // The mixer runs dry between notes, so the note is the only sound.
        for (int i = 0; i < 200 && game.player->voices[0]->IsPlaying(); ++i)
        {
            mixer.Render(platform::audio::Mixer::PeriodFrames * 8);
        }
        script.SetKey(z, true);
        TestSupport::FakeClock::now += 16;
        const double start = Bench::NowMs();
        game.RunFrame();
        frameMs.push_back(Bench::NowMs() - start);
        // The next period the callback pulls holds the note from this frame on.
        const auto period = mixer.Render(platform::audio::Mixer::PeriodFrames * 4);
        size_t first = 0;
        while (first < period.size() / 2 && period[2 * first] == 0.0f)
        {
            ++first;
        }
        if (first < period.size() / 2)
        {
            firstSampleFrames.push_back(static_cast<double>(first));
        }
        script.SetKey(z, false);
        TestSupport::FakeClock::now += 16;
        game.RunFrame();
    }
    const double periodMs = platform::audio::Mixer::PeriodFrames * 1000.0 / OutputRate;
    const double firstMs = Percentile(firstSampleFrames, 0.5) * 1000.0 / OutputRate;
    std::printf("frame with the key     median %.1f us, 99%% %.1f us (poll, step, keys, Play)\n",
                Percentile(frameMs, 0.5) * 1e3, Percentile(frameMs, 0.99) * 1e3);
    std::printf("first mixed sample     %.0f frames into the next period (%.3f ms), %zu of %d"
                " notes heard\n",
                Percentile(firstSampleFrames, 0.5), firstMs, firstSampleFrames.size(), trials);
    std::printf("mixer period           %u frames = %.3f ms\n",
                static_cast<unsigned>(platform::audio::Mixer::PeriodFrames), periodMs);
    std::printf("budget, frame to sound worst %.2f ms, mean %.2f ms\n",
                Percentile(frameMs, 0.99) + periodMs + firstMs,
                Percentile(frameMs, 0.5) + periodMs / 2 + firstMs);
    std::printf("  plus the wait for the frame after the key goes down: 16 ms worst (19 with the"
                " loop's 3 ms sleep), 8 ms mean\n");
    Qorv::Sound::PublishSoundDevice(nullptr);
    return 0;
}

// One start: the program's window, Game and first frame; prints the milliseconds since spawn.
int StartupChild(double spawnedAt)
{
    HWND window = Pakemino::CreateMainWindow(GetModuleHandleW(nullptr), SW_SHOWDEFAULT);
    if (window == nullptr)
    {
        std::fprintf(stderr, "latency-bench: no window (run under xvfb-run)\n");
        return 1;
    }
    timeBeginPeriod(1);
    {
        const double constructing = Bench::NowMs();
        Pakemino::Game game(window);
        const double constructed = Bench::NowMs();
        int opened = 0;
        for (const auto& voice : game.player->voices)
        {
            opened += voice->IsOpen() ? 1 : 0;
        }
        for (const auto& entry : game.sequencer->tracks)
        {
            opened += entry.second.sample->IsOpen() ? 1 : 0;
        }
        game.RunFrame();
        std::printf("%.3f %.3f %d\n", Bench::NowMs() - spawnedAt, constructed - constructing,
                    opened);
    }
    timeEndPeriod(1);
    return 0;
}

int Startup(const char* self, int runs)
{
    std::vector<double> firsts;
    std::vector<double> games;
    for (int run = 0; run < runs; ++run)
    {
        double first = 0.0, game = 0.0;
        int opened = 0;
        if (std::sscanf(Bench::RunChild(self, {}).c_str(), "%lf %lf %d", &first, &game, &opened) ==
            3)
        {
            firsts.push_back(first);
            games.push_back(game);
            std::printf("run %d: first frame %.1f ms after spawn, Game %.1f ms, %d samples\n",
                        run + 1, first, game, opened);
        }
    }
    if (firsts.empty())
    {
        std::fprintf(stderr, "latency-bench: no start measured\n");
        return 1;
    }
    std::printf("start-up median of %zu: first frame %.1f ms, Game construction %.1f ms\n",
                firsts.size(), Percentile(firsts, 0.5), Percentile(games, 0.5));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    int trials = 200;
    int runs = 5;
    bool startup = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string flag = argv[i];
        if (flag == "--child" && i + 1 < argc)
        {
            return StartupChild(std::atof(argv[i + 1]));
        }
        if (flag == "--startup")
        {
            startup = true;
        }
        if (flag == "--runs" && i + 1 < argc)
        {
            runs = std::atoi(argv[++i]);
        }
        if (flag == "--trials" && i + 1 < argc)
        {
            trials = std::atoi(argv[++i]);
        }
    }
    return startup ? Startup(argv[0], runs) : Offline(trials);
}
