// The frame's time on the GL device in an offscreen window (Mesa llvmpipe without a GPU): the
// Game's RunFrame, almost all of it the picture, at 640×480 with its two 1024² trail targets,
// five notes stamped every frame. Each frame is timed up to a one-pixel read-back, which waits
// for the drawing to finish; the same frames without it show whether the present waits itself.
// Beside the waited frames it prints how many cores the program kept busy (its CPU time over the
// wall time) in the median frames and in the slowest 1 %. Alike, the slow frames did the same
// work more slowly; fewer, the frame waited or the host took the cores away for a while, which a
// guest's CPU time leaves out.
// With --screenshot it instead runs N frames (300 unless given) on a fixed clock and writes the
// A8R8G8B8 pixels of the back buffer and then of the window, top row first, to FILE: two builds
// draw alike when the files do. --key-map times the frames with the key map shown over them.
//   frame-draw-bench [--frames N] [--screenshot FILE] [--key-map]

#include "app/Game.h"
#include "tests/support/OffscreenWindow.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

namespace
{

struct Spread
{
    double median, p99, max;
};

struct Timed
{
    std::vector<double> ms, busy;
};

double ProcessMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The mean of busy over the frames whose time ranks in [from, to) of all, as fractions.
double BusyOf(const Timed& timed, double from, double to)
{
    std::vector<size_t> order(timed.ms.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return timed.ms[a] < timed.ms[b]; });
    const auto first = static_cast<size_t>(from * static_cast<double>(order.size()));
    const auto last =
        std::max(first + 1, static_cast<size_t>(to * static_cast<double>(order.size())));
    double sum = 0;
    for (size_t i = first; i < last; ++i)
    {
        sum += timed.busy[order[i]];
    }
    return sum / static_cast<double>(last - first);
}

Spread SpreadOf(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q)
    {
        return ms[static_cast<size_t>(q * (ms.size() - 1))];
    };
    return {at(0.5), at(0.99), ms.back()};
}

Timed TimeFrames(Pakemino::Game& game, int frames, bool waitForPicture)
{
    Timed timed;
    for (int i = 0; i < frames; ++i)
    {
        game.player->playedCount = 5;
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessMs();
        game.RunFrame();
        if (waitForPicture)
        {
            TestSupport::ReadBackBuffer(1, 1);
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        timed.ms.push_back(ms);
        timed.busy.push_back((ProcessMs() - cpuStart) / ms);
    }
    return timed;
}

DWORD fixedNow = 20000;
DWORD FixedClock()
{
    return fixedNow;
}

// Steps lit on the shown track, notes stamped every frame, the trail turning as rand says.
bool WriteScreenshot(HWND window, int frames, const char* path)
{
    std::srand(1);
    Pakemino::GameDevices devices = Pakemino::CreateGameDevices();
    devices.clock = FixedClock;
    Pakemino::Game game(window, std::move(devices));
    for (int step : {0, 3, 4, 9, 15})
    {
        game.sequencer->tracks[Pakemino::selectedTrack].steps[static_cast<size_t>(step)] = true;
    }
    for (int i = 0; i < frames; ++i)
    {
        fixedNow += 16;
        game.player->playedCount = 5;
        game.RunFrame();
    }
    std::ofstream file(path, std::ios::binary);
    for (const auto& pixels :
         {TestSupport::ReadBackBuffer(640, 480), TestSupport::ReadWindow(640, 480)})
    {
        file.write(reinterpret_cast<const char*>(pixels.data()),
                   static_cast<std::streamsize>(pixels.size() * sizeof(uint32_t)));
    }
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv)
{
    int frames = 0;
    const char* screenshot = nullptr;
    bool keyMap = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string option = argv[i];
        if (option == "--key-map")
        {
            keyMap = true;
        }
        else if (option == "--frames" && i + 1 < argc)
        {
            frames = std::max(1, std::atoi(argv[++i]));
        }
        else if (option == "--screenshot" && i + 1 < argc)
        {
            screenshot = argv[++i];
        }
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    TestSupport::OffscreenWindow window(640, 480);
    if (window.Handle() == nullptr)
    {
        std::fprintf(stderr, "frame-draw-bench: no offscreen window\n");
        return 1;
    }
    if (screenshot != nullptr)
    {
        return WriteScreenshot(window.Handle(), frames > 0 ? frames : 300, screenshot) ? 0 : 1;
    }
    frames = frames > 0 ? frames : 600;
    Pakemino::Game game(window.Handle());
    if (game.feedbackTargets[0]->GetWidth() != 1024)
    {
        std::fprintf(stderr, "frame-draw-bench: the drawer did not open\n");
        return 1;
    }
    if (keyMap)
    {
        game.overlay.ToggleKeyMap();
    }
    // Warm-up: first uses of the shader, textures and buffers.
    TimeFrames(game, 30, true);
    const Timed waited = TimeFrames(game, frames, true);
    const Spread finished = SpreadOf(waited.ms);
    const Spread submitted = SpreadOf(TimeFrames(game, frames, false).ms);
    std::printf(
        "frame, drawn to the end: median %.2f ms, p99 %.2f ms, max %.2f ms over %d frames\n",
        finished.median, finished.p99, finished.max, frames);
    std::printf("frame, cores busy: median frames %.2f, slowest 1 %% %.2f\n",
                BusyOf(waited, 0.45, 0.55), BusyOf(waited, 0.99, 1.0));
    std::printf("frame, present only:     median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                submitted.median, submitted.p99, submitted.max);
    return 0;
}
