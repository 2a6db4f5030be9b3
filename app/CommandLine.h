#pragma once
// The program's command line, read before any window is made: a table of options, each with
// its help line. Without options the game runs as designed; these print and end, record a
// take, keep the pattern in a file or export it, or take samples from a kit folder first.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace Pakemino
{

struct Options
{
    // Where to record everything the program plays; empty for no take.
    std::string recordPath;
    // The take's sample format ("float", "16", "24"), empty for the file type's best.
    std::string recordFormat;
    // The file the drum pattern is loaded from and saved to; empty for none.
    std::string patternPath;
    // Where to write the pattern as a MIDI file, instead of playing; empty for no export.
    std::string exportPath;
    // How many bars the export holds: the text given, and its value.
    std::string barsText;
    int32_t bars = 1;
    // A folder whose files are used before the program's own; empty for none.
    std::string kitPath;
    // No MIDI ports: no input, no clock out.
    bool noMidi = false;
};

// Reads argv into options. Returns the exit code when the program should end now (after
// --help or --version: 0; after anything it does not know: the usage on err, 2).
std::optional<int> HandleCommandLine(int argc, const char* const* argv, Options& options,
                                     std::FILE* out, std::FILE* err);

} // namespace Pakemino
