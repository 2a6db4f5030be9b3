// qorv-probe COMMAND ...: opens data files exactly as the program does and says what it sees.

#include "tools/qorv-probe/Commands.h"

#include <cstdio>

namespace
{

struct Command
{
    const char* name;
    const char* usage;
    int (*run)(const Probe::Arguments&);
};

const Command commands[] = {
    {"sound", "sound FILE [--pcm OUT]", Probe::SoundCommand},
    {"image", "image FILE [--png OUT]", Probe::ImageCommand},
    {"play", "play FILE [--ratio R] [--volume V] [--pan P] [--seconds S] [--loop] [--streaming]",
     Probe::PlayCommand},
    {"assets", "assets [--kit KIT] [DIR]   (DIR: ../lib/pakemino beside the probe's bin/)",
     Probe::AssetsCommand},
};

void PrintUsage(std::FILE* to)
{
    std::fprintf(to, "usage: qorv-probe [--help] [--version] COMMAND ...\n");
    for (const Command& command : commands)
    {
        std::fprintf(to, "  qorv-probe %s\n", command.usage);
    }
}

bool IsHelp(const std::string& argument)
{
    return argument == "--help" || argument == "-h";
}

} // namespace

int main(int argc, char** argv)
{
    const Probe::Arguments arguments(argv + 1, argv + argc);
    if (!arguments.empty() && IsHelp(arguments[0]))
    {
        PrintUsage(stdout);
        return 0;
    }
    if (!arguments.empty() && (arguments[0] == "--version" || arguments[0] == "-V"))
    {
        std::printf("qorv-probe %s\n", PAKEMINO_VERSION);
        return 0;
    }
    for (const Command& command : commands)
    {
        if (!arguments.empty() && arguments[0] == command.name)
        {
            const Probe::Arguments rest(arguments.begin() + 1, arguments.end());
            // COMMAND --help prints that command's own usage line.
            for (const std::string& argument : rest)
            {
                if (IsHelp(argument))
                {
                    std::printf("usage: qorv-probe %s\n", command.usage);
                    return 0;
                }
            }
            return command.run(rest);
        }
    }
    if (!arguments.empty())
    {
        std::fprintf(stderr, "qorv-probe: unknown command '%s'\n", arguments[0].c_str());
    }
    PrintUsage(stderr);
    return 2;
}
