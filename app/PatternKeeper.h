#pragma once
// Keeps the drum machine's pattern in a file for a whole run: loaded before the first frame,
// saved on request and at the end when it changed, the file never lost. A save asked for while
// playing runs on its own thread: flushing to a busy disk can take longer than several frames,
// and the beat and the keys must not wait for it.

#include "music/Pattern.h"

#include <cstdio>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace Pakemino
{

class PatternKeeper
{
public:
    // The keeper of path: its pattern when it exists, an empty one when it does not. Null, with
    // "PATH:LINE: what" in message, for a file that cannot be read or is not a pattern, or
    // when it could not be saved where it is; the file is left as it was.
    [[nodiscard]] static std::unique_ptr<PatternKeeper> Open(const std::string& path,
                                                             std::string& message);

    // The file's own name, for the title.
    std::string Name() const;
    // Whether the pattern differs from the file, as the title last showed it.
    bool ShownUnsaved() const { return shownUnsaved; }

    // Puts the file's pattern into the sequencer, before the first frame.
    void Start(RhythmSequencer& sequencer) const { ApplyPattern(saved, sequencer); }
    // After each frame: starts a save when asked to, and takes in one that has ended. True when
    // the pattern has just become unsaved or saved, and the title should say so.
    bool AfterFrame(RhythmSequencer& sequencer, bool saveRequested, std::FILE* err);
    // At the end: waits for a save under way, then saves what changed. False when it could not
    // be saved.
    bool Finish(RhythmSequencer& sequencer, std::FILE* err);

private:
    explicit PatternKeeper(std::string path) : path(std::move(path)) {}
    void StartSave(RhythmSequencer& sequencer);
    // Waits for the save under way; a failure is told on err and leaves the file as it was.
    void EndSave(std::FILE* err);

    std::string path;
    // What the file holds, or would hold: an empty pattern for a file not yet written.
    Pattern saved;
    bool shownUnsaved = false;
    // Ctrl+S while a save was under way: another follows it.
    bool saveAgain = false;
    struct Saving
    {
        Pattern pattern;
        std::future<std::string> error; // empty when the file was replaced
    };
    std::optional<Saving> saving;
};

} // namespace Pakemino
