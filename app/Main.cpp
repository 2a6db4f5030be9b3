// The program's entry: one window, the 1 ms timer, the Game, and the message loop.

#include "app/CommandLine.h"
#include "app/FileReplace.h"
#include "app/Game.h"
#include "app/MainWindow.h"
#include "app/MessageLoop.h"
#include "app/PatternFile.h"
#include "app/PatternKeeper.h"
#include "app/StartReport.h"
#include "app/WindowProc.h"
#include "framework/base/IFileFinder.h"
#include "music/MidiFile.h"
#include "platform/audio/TakeRecorder.h"
#include "platform/window/Utf8.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <utility>

namespace
{

int WinMain(HINSTANCE instance, HINSTANCE, const char*, int showCommand, bool recording,
            Pakemino::PatternKeeper* pattern, bool midi)
{
    Pakemino::TitleState title;
    title.recording = recording;
    title.patternName = pattern != nullptr ? pattern->Name() : "";
    HWND window = Pakemino::CreateMainWindow(instance, showCommand, title);
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
        Pakemino::Game game(window, Pakemino::CreateGameDevices(),
                            midi ? Qorv::Midi::CreateMidiManager() : nullptr);
        Pakemino::ReportStartProblems(game, stderr);
        Pakemino::Win32LoopSystem system;
        if (pattern != nullptr)
        {
            // Clock from other gear may already be playing the steps.
            const std::lock_guard hold(game.musicLock);
            pattern->Start(*game.sequencer);
        }
        exitCode = Pakemino::RunMessageLoop(
            system, lastFrameTime,
            [&]
            {
                game.RunFrame();
                if (pattern != nullptr &&
                    pattern->AfterFrame(*game.sequencer, std::exchange(game.saveRequested, false),
                                        stderr))
                {
                    Pakemino::ShowPatternUnsaved(window, pattern->ShownUnsaved());
                }
            });
        // However the game ended; a beat that could not be kept is not a clean exit.
        if (pattern != nullptr && !pattern->Finish(*game.sequencer, stderr))
        {
            exitCode = 1;
        }
    }
    timeEndPeriod(1);
    return exitCode;
}

// The pattern file as a MIDI file, with no window: 0 when written, 2 when there is no pattern
// to read, 1 when the MIDI file could not be written.
int ExportMidi(const Pakemino::Options& options)
{
    Pakemino::Pattern pattern;
    std::string message;
    const auto read = Pakemino::ReadPatternFile(options.patternPath, pattern, message);
    if (read != Pakemino::PatternRead::Loaded)
    {
        std::fprintf(stderr, "pakemino: %s\n",
                     read == Pakemino::PatternRead::Missing
                         ? (options.patternPath + ": no such pattern file").c_str()
                         : message.c_str());
        return 2;
    }
    std::string error;
    const auto bytes =
        Pakemino::MidiFileOf(pattern, options.bars, static_cast<int32_t>(Pakemino::FrameInterval));
    if (!Pakemino::ReplaceFile(options.exportPath, bytes, error))
    {
        std::fprintf(stderr, "pakemino: cannot write %s: %s\n", options.exportPath.c_str(),
                     error.c_str());
        return 1;
    }
    std::printf("pakemino: wrote %d bar%s at %d ms a step to %s\n", options.bars,
                options.bars == 1 ? "" : "s", pattern.interval, options.exportPath.c_str());
    return 0;
}

// A kit folder that cannot be looked in is refused, not silently ignored.
bool UseKit(const std::string& kit)
{
    std::error_code error;
    if (!std::filesystem::is_directory(kit, error))
    {
        std::fprintf(stderr, "pakemino: %s: %s\n", kit.c_str(),
                     std::filesystem::exists(kit, error) ? "not a folder" : "no such folder");
        return false;
    }
    if (access(kit.c_str(), R_OK | X_OK) != 0)
    {
        std::fprintf(stderr, "pakemino: %s: the folder cannot be read\n", kit.c_str());
        return false;
    }
    Qorv::Base::SetKitFolder(platform::Utf8ToWide(kit));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Pakemino::Options options;
    if (const auto exitCode = Pakemino::HandleCommandLine(argc, argv, options, stdout, stderr))
    {
        return *exitCode;
    }
    if (!options.exportPath.empty())
    {
        return ExportMidi(options);
    }
    if (!options.kitPath.empty() && !UseKit(options.kitPath))
    {
        return 2;
    }
    // A pattern that cannot be read, or kept, is refused before any window opens.
    std::unique_ptr<Pakemino::PatternKeeper> pattern;
    if (!options.patternPath.empty())
    {
        std::string message;
        pattern = Pakemino::PatternKeeper::Open(options.patternPath, message);
        if (pattern == nullptr)
        {
            std::fprintf(stderr, "pakemino: %s\n", message.c_str());
            return 2;
        }
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
    const int exitCode = WinMain(GetModuleHandleW(nullptr), nullptr, "", SW_SHOWDEFAULT,
                                 take != nullptr, pattern.get(), !options.noMidi);
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
