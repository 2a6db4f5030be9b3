#pragma once
// The program's command line, read before any window is made: a table of options, each with
// its help line. The game itself takes no options; these print and end, or record a take.

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
    // No MIDI ports: no input, no clock out.
    bool noMidi = false;
};

// Reads argv into options. Returns the exit code when the program should end now (after
// --help or --version: 0; after anything it does not know: the usage on err, 2).
std::optional<int> HandleCommandLine(int argc, const char* const* argv, Options& options,
                                     std::FILE* out, std::FILE* err);

} // namespace Pakemino
