// The program's entry: one window, the 1 ms timer, the Game, and the message loop.

#include "app/CommandLine.h"
#include "app/Game.h"
#include "app/MainWindow.h"
#include "app/MessageLoop.h"
#include "app/StartReport.h"
#include "platform/audio/TakeRecorder.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace
{

int WinMain(HINSTANCE instance, HINSTANCE, const char*, int showCommand, bool recording)
{
    HWND window = Pakemino::CreateMainWindow(instance, showCommand, recording);
    if (window == nullptr)
    {
        // Without a window nothing could ever end the loop.
        std::fprintf(stderr, "pakemino: cannot open a window: %s\n", WindowSystemError());
        return 1;
    }
    timeBeginPeriod(1);
    // Taken before the Game is built, so the first frame runs as soon as construction returns.
    const DWORD lastFrameTime = timeGetTime();
    int exitCode = 0;
    {
        Pakemino::Game game(window);
        Pakemino::ReportStartProblems(game, stderr);
        Pakemino::Win32LoopSystem system;
        exitCode = Pakemino::RunMessageLoop(system, lastFrameTime, [&game] { game.RunFrame(); });
    }
    timeEndPeriod(1);
    return exitCode;
}

} // namespace

int main(int argc, char** argv)
{
    Pakemino::Options options;
    if (const auto exitCode = Pakemino::HandleCommandLine(argc, argv, options, stdout, stderr))
    {
        return *exitCode;
    }
    // A take that cannot be written is refused before any window opens.
    std::unique_ptr<platform::audio::TakeRecorder> take;
    if (!options.recordPath.empty())
    {
        std::string error;
        take =
            platform::audio::TakeRecorder::Create(options.recordPath, options.recordFormat, error);
        if (take == nullptr)
        {
            std::fprintf(stderr, "pakemino: %s\n", error.c_str());
            return 2;
        }
        platform::audio::TakeRecorder::Attach(take.get());
    }
    const int exitCode =
        WinMain(GetModuleHandleW(nullptr), nullptr, "", SW_SHOWDEFAULT, take != nullptr);
    if (take != nullptr)
    {
        // The Game and its sound device are gone: nothing feeds the take any more.
        std::printf("pakemino: %s\n", take->Finish().c_str());
        if (std::getenv("PAKEMINO_AUDIO_STATS") != nullptr)
        {
            std::fprintf(stderr, "record: worst writer lag %.1f periods\n",
                         take->WorstLagPeriods());
        }
    }
    return exitCode;
}
