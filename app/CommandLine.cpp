#include "app/CommandLine.h"

#include <cstring>

namespace Pakemino
{

namespace
{

enum class Action
{
    Help,
    Version
};

struct Option
{
    const char* longName;
    const char* shortName;
    const char* help;
    Action action;
};

constexpr Option Options[] = {
    {"--help", "-h", "print this help and exit", Action::Help},
    {"--version", "-V", "print the version and exit", Action::Version},
};

void PrintUsage(std::FILE* to)
{
    std::fprintf(to, "usage: pakemino");
    for (const Option& option : Options)
    {
        std::fprintf(to, " [%s]", option.longName);
    }
    std::fprintf(to, "\n");
}

void PrintHelp(std::FILE* to)
{
    PrintUsage(to);
    std::fprintf(to, "Plays the computer keyboard as a voice instrument over a 16-step drum "
                     "machine.\n\n");
    for (const Option& option : Options)
    {
        std::fprintf(to, "  %s, %-10s %s\n", option.shortName, option.longName, option.help);
    }
    std::fprintf(to, "\nKeys: the four rows from Z to 1 sing \"pa\", \"ke\", \"ro\" and \"no\"; "
                     "Shift transposes;\nF1-F9 and the keypad edit the drums, F11/F12 set the "
                     "tempo; Alt+Enter switches\nfullscreen; Escape quits.\n");
    std::fprintf(to, "Environment: PAKEMINO_SCALE=N opens the window at N times 640x480.\n");
}

const Option* Find(const char* argument)
{
    for (const Option& option : Options)
    {
        if (std::strcmp(argument, option.longName) == 0 ||
            std::strcmp(argument, option.shortName) == 0)
        {
            return &option;
        }
    }
    return nullptr;
}

} // namespace

std::optional<int> HandleCommandLine(int argc, const char* const* argv, std::FILE* out,
                                     std::FILE* err)
{
    for (int i = 1; i < argc; ++i)
    {
        const Option* option = Find(argv[i]);
        if (option == nullptr)
        {
            std::fprintf(err, "pakemino: unknown argument '%s'\n", argv[i]);
            PrintUsage(err);
            return 2;
        }
        switch (option->action)
        {
        case Action::Help:
            PrintHelp(out);
            return 0;
        case Action::Version:
            std::fprintf(out, "pakemino %s\n", PAKEMINO_VERSION);
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace Pakemino
