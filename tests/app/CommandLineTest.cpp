// The program and the probe answer --help, --version and unknown options as other command-line
// programs do: without a display, so they can never have tried to open a window.

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using TestSupport::RunAndCapture;

namespace
{

std::string RunWithoutDisplay(std::vector<std::string> argv, int* exitCode)
{
    argv.insert(argv.begin(), {"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"});
    return RunAndCapture(argv, exitCode);
}

// What the program printed on stdout and stderr together.
std::string RunForMessages(std::vector<std::string> argv, int* exitCode)
{
    argv.insert(argv.begin(), {"sh", "-c", "exec \"$@\" 2>&1", "sh"});
    return RunWithoutDisplay(argv, exitCode);
}

} // namespace

TEST(CommandLine, HelpAndVersionPrintAndEndUnknownArgumentsAreUsageErrors)
{
    for (const std::string program : {PAKEMINO_PROGRAM, QORV_PROBE})
    {
        SCOPED_TRACE(program);
        const std::string name = program.substr(program.rfind('/') + 1);
        int code = -1;
        const std::string help = RunWithoutDisplay({program, "--help"}, &code);
        EXPECT_EQ(code, 0);
        EXPECT_EQ(help.rfind("usage: " + name, 0), 0u) << help;

        EXPECT_EQ(RunWithoutDisplay({program, "--version"}, &code),
                  name + " " PAKEMINO_VERSION "\n");
        EXPECT_EQ(code, 0);

        EXPECT_EQ(RunWithoutDisplay({program, "--no-such-option"}, &code), "")
            << "the usage goes to stderr";
        EXPECT_EQ(code, 2);
    }
    int code = -1;
    EXPECT_EQ(RunWithoutDisplay({QORV_PROBE, "image", "--help"}, &code),
              "usage: qorv-probe image FILE [--png OUT]\n");
    EXPECT_EQ(code, 0);
}

TEST(CommandLine, PatternsAndKitsThatCannotBeUsedAreRefusedBeforeAnyWindowAndLeftAsTheyWere)
{
    TestSupport::TempDir dir;
    const std::string broken = dir.Write("broken.pat", "pakemino pattern 1\ninterval fast\n");
    const std::string newer = dir.Write("newer.pat", "pakemino pattern 7\nswing 60\n");
    const std::string notAFolder = dir.Write("kit.txt", "");
    const struct
    {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"-p", broken},
         "pakemino: " + broken +
             ":2: the interval is 'fast'; it is a whole number of milliseconds a step, 0 or "
             "more\n"},
        {{"--pattern", newer},
         "pakemino: " + newer + ":1: a pattern of version 7, newer than this program reads (1)\n"},
        {{"--pattern", newer, "--export-midi", dir.Path() / "out.mid"},
         "pakemino: " + newer + ":1: a pattern of version 7, newer than this program reads (1)\n"},
        {{"--kit", notAFolder}, "pakemino: " + notAFolder + ": not a folder\n"},
        {{"--kit", dir.Path() / "none"},
         "pakemino: " + (dir.Path() / "none").string() + ": no such folder\n"},
        {{"--pattern", dir.Path() / "no-folder" / "beat.pat"},
         "pakemino: " + (dir.Path() / "no-folder" / "beat.pat").string() + ": cannot be saved in " +
             (dir.Path() / "no-folder").string() + ": No such file or directory\n"},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> argv = {PAKEMINO_PROGRAM};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        int code = -1;
        EXPECT_EQ(RunForMessages(argv, &code), c.message);
        EXPECT_EQ(code, 2) << c.message;
    }
    EXPECT_EQ(TestSupport::ReadFile(broken), "pakemino pattern 1\ninterval fast\n");
    EXPECT_EQ(TestSupport::ReadFile(newer), "pakemino pattern 7\nswing 60\n");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "out.mid"));
}

TEST(CommandLine, ExportMidiWritesTheBeatAnotherProgramReadsBackAsTheSameBeat)
{
    TestSupport::TempDir dir;
    const std::string pattern = dir.Write("beat.pat", "pakemino pattern 1\n"
                                                      "interval 125\n"
                                                      "kick       x.......x.......\n"
                                                      "snare      ....x.......x...\n"
                                                      "closed-hat ..x.............\n"
                                                      "open-hat   ................\n"
                                                      "clap       ................\n"
                                                      "low-tom    ................\n"
                                                      "high-tom   ................\n"
                                                      "cowbell    ................\n"
                                                      "crash      ...x............\n");
    const std::string midi = dir.Path() / "beat.mid";
    int code = -1;
    EXPECT_EQ(RunForMessages(
                  {PAKEMINO_PROGRAM, "-p", pattern, "--export-midi", midi, "--bars", "2"}, &code),
              "pakemino: wrote 2 bars at 125 ms a step to " + midi + "\n");
    EXPECT_EQ(code, 0);

    // Debian's own Python, where python3-mido is installed. Each note: when it starts in
    // sixteenths, channel, note, velocity, and how long it lasts in sixteenths.
    const std::string read = R"(
import sys, mido
f = mido.MidiFile(sys.argv[1])
print(f.ticks_per_beat, len(f.tracks), round(f.length, 3))
now, started = 0, {}
for m in f.tracks[0]:
    now += m.time
    if m.type == "set_tempo":
        print("tempo", m.tempo)
    elif m.type == "note_on" and m.velocity > 0:
        started[m.note] = (now, m)
    elif m.type in ("note_on", "note_off"):
        at, on = started.pop(m.note)
        print(at * 4 // f.ticks_per_beat, on.channel + 1, on.note, on.velocity,
              (now - at) * 4 // f.ticks_per_beat)
)";
    std::string expected = "480 1 4.0\ntempo 500000\n";
    for (int bar = 0; bar < 2; ++bar)
    {
        const std::string at[] = {std::to_string(bar * 16),     std::to_string(bar * 16 + 2),
                                  std::to_string(bar * 16 + 3), std::to_string(bar * 16 + 4),
                                  std::to_string(bar * 16 + 8), std::to_string(bar * 16 + 12)};
        expected += at[0] + " 10 36 127 1\n" + at[1] + " 10 42 102 1\n" + at[2] + " 10 49 76 1\n" +
                    at[3] + " 10 38 127 1\n" + at[4] + " 10 36 127 1\n" + at[5] + " 10 38 127 1\n";
    }
    EXPECT_EQ(RunAndCapture({"/usr/bin/python3", "-c", read, midi}), expected);
}
