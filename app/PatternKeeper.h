#pragma once
// Keeps the drum machine's pattern in a file for a whole run: loaded before the first frame,
// saved on request and at the end when it changed, the file never lost.

#include "music/Pattern.h"

#include <cstdio>
#include <memory>
#include <string>

namespace Pakemino
{

class PatternKeeper
{
public:
    // The keeper of path: its pattern when it exists, an empty one when it does not. Null, with
    // "PATH:LINE: what" in message, for a file that cannot be read or is not a pattern, or
    // when it could not be saved where it is; the file is left as it was.
    static std::unique_ptr<PatternKeeper> Open(const std::string& path, std::string& message);

    const Pattern& Loaded() const { return saved; }
    // The file's own name, for the title.
    std::string Name() const;
    bool Unsaved(RhythmSequencer& sequencer) { return PatternOf(sequencer) != saved; }

    // Writes the pattern to the file; a failure is told on err and leaves the file as it was.
    bool Save(RhythmSequencer& sequencer, std::FILE* err);

private:
    explicit PatternKeeper(std::string path) : path(std::move(path)) {}

    std::string path;
    // What the file holds, or would hold: an empty pattern for a file not yet written.
    Pattern saved;
};

} // namespace Pakemino
