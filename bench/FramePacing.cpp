// Start-up time to the first frame and the spread of frame intervals while idle, through the
// real window, Game and message loop. Run under a display: xvfb-run build/bench/frame-pacing
//   frame-pacing [--runs N] [--seconds S]

#include "app/Game.h"
#include "app/MainWindow.h"
#include "app/MessageLoop.h"
#include "bench/SpawnedStart.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using Bench::NowMs;

namespace
{

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// One program run: prints the first frame's delay after spawnedAt, then every frame interval.
int Child(double spawnedAt, double seconds)
{
    HWND window = Pakemino::CreateMainWindow(GetModuleHandleW(nullptr), SW_SHOWDEFAULT);
    if (window == nullptr)
    {
        std::fprintf(stderr, "frame-pacing: no window (run under xvfb-run)\n");
        return 1;
    }
    timeBeginPeriod(1);
    const DWORD lastFrameTime = timeGetTime();
    {
        Pakemino::Game game(window);
        Pakemino::Win32LoopSystem system;
        std::vector<double> starts;
        Pakemino::RunMessageLoop(system, lastFrameTime,
                                 [&]
                                 {
                                     starts.push_back(NowMs());
                                     if (starts.size() == 1)
                                     {
                                         std::printf("first %.3f\n", starts[0] - spawnedAt);
                                     }
                                     game.RunFrame();
                                     if (starts.back() - starts.front() >= seconds * 1000 &&
                                         IsWindow(window))
                                     {
                                         PostMessageW(window, WM_CLOSE, 0, 0);
                                     }
                                 });
        for (size_t i = 1; i < starts.size(); ++i)
        {
            std::printf("interval %.3f\n", starts[i] - starts[i - 1]);
        }
    }
    timeEndPeriod(1);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    double seconds = 5;
    const char* child = nullptr;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string flag = argv[i];
        if (flag == "--child")
        {
            child = argv[i + 1];
        }
        if (flag == "--runs")
        {
            runs = std::atoi(argv[i + 1]);
        }
        if (flag == "--seconds")
        {
            seconds = std::atof(argv[i + 1]);
        }
    }
    if (child != nullptr)
    {
        return Child(std::atof(child), seconds);
    }
    std::vector<double> firsts;
    std::vector<double> intervals;
    for (int run = 0; run < runs; ++run)
    {
        std::istringstream printed(
            Bench::RunChild(argv[0], {"--seconds", std::to_string(seconds)}));
        std::string kind;
        double value = 0;
        while (printed >> kind >> value)
        {
            (kind == "first" ? firsts : intervals).push_back(value);
        }
    }
    if (firsts.empty() || intervals.empty())
    {
        std::fprintf(stderr, "frame-pacing: no frames measured\n");
        return 1;
    }
    std::printf("start to first frame: median %.1f ms over %zu runs (min %.1f, max %.1f)\n",
                Median(firsts), firsts.size(), *std::min_element(firsts.begin(), firsts.end()),
                *std::max_element(firsts.begin(), firsts.end()));
    std::printf("frame intervals: %zu, min %.2f ms, median %.2f ms, max %.2f ms\n",
                intervals.size(), *std::min_element(intervals.begin(), intervals.end()),
                Median(intervals), *std::max_element(intervals.begin(), intervals.end()));
    return 0;
}
