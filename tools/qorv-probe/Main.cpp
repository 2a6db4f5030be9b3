// qorv-probe COMMAND ...: opens data files exactly as the program does and says what it sees.

#include "tools/qorv-probe/Commands.h"

#include <cstdio>
#include <cstring>

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
    {"assets", "assets [DIR]   (DIR: ../lib/pakemino beside the probe's bin/)",
     Probe::AssetsCommand},
};

int Usage()
{
    std::fprintf(stderr, "usage:\n");
    for (const Command& command : commands)
    {
        if (command.name != nullptr)
        {
            std::fprintf(stderr, "  qorv-probe %s\n", command.usage);
        }
    }
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        return Usage();
    }
    for (const Command& command : commands)
    {
        if (command.name != nullptr && std::strcmp(argv[1], command.name) == 0)
        {
            return command.run(Probe::Arguments(argv + 2, argv + argc));
        }
    }
    return Usage();
}
