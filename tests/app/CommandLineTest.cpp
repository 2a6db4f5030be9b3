// The program and the probe answer --help, --version and unknown options as other command-line
// programs do: without a display, so they can never have tried to open a window.

#include "tests/support/Process.h"

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
