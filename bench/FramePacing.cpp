// Start-up time to the first frame and the spread of frame intervals while idle, through the
// real window, Game and message loop. Run under a display: xvfb-run build/bench/frame-pacing
//   frame-pacing [--runs N] [--seconds S]

#include "app/Game.h"
#include "app/MainWindow.h"
#include "app/MessageLoop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{

double NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

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
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string flag = argv[i];
        if (flag == "--child")
        {
            return Child(std::atof(argv[i + 1]), seconds);
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
    std::vector<double> firsts;
    std::vector<double> intervals;
    for (int run = 0; run < runs; ++run)
    {
        const std::string start = std::to_string(NowMs());
        const std::string secondsText = std::to_string(seconds);
        std::vector<char*> args{argv[0],
                                const_cast<char*>("--seconds"),
                                const_cast<char*>(secondsText.c_str()),
                                const_cast<char*>("--child"),
                                const_cast<char*>(start.c_str()),
                                nullptr};
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
        {
            return 1;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, args.data(), environ) != 0)
        {
            return 1;
        }
        close(pipeFds[1]);
        FILE* out = fdopen(pipeFds[0], "r");
        char kind[32];
        double value = 0;
        while (std::fscanf(out, "%31s %lf", kind, &value) == 2)
        {
            (std::string(kind) == "first" ? firsts : intervals).push_back(value);
        }
        fclose(out);
        int status = 0;
        waitpid(pid, &status, 0);
        posix_spawn_file_actions_destroy(&actions);
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
