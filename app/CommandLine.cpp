#include "app/CommandLine.h"

#include <charconv>
#include <cstring>

namespace Pakemino
{

namespace
{

enum class Action
{
    Help,
    Version,
    Value,
    Flag
};

struct Option
{
    const char* longName;
    const char* shortName;
    // For an option that takes a value: its name in the help, and where it goes.
    const char* valueName;
    std::string Options::*value;
    const char* help;
    Action action;
    bool Options::*flag = nullptr;
};

constexpr Option Table[] = {
    {"--help", "-h", nullptr, nullptr, "print this help and exit", Action::Help},
    {"--version", "-V", nullptr, nullptr, "print the version and exit", Action::Version},
    {"--record", "-r", "FILE", &Options::recordPath,
     "record everything played into FILE (.wav, .flac or .ogg)", Action::Value},
    {"--record-format", nullptr, "FORMAT", &Options::recordFormat,
     "the take's samples: float, 16 or 24 (.wav: float; .flac: 24)", Action::Value},
    {"--pattern", "-p", "FILE", &Options::patternPath,
     "load the drum pattern from FILE, save it there (Ctrl+S, and at the end)", Action::Value},
    {"--export-midi", nullptr, "OUT.mid", &Options::exportPath,
     "write the --pattern as a MIDI file and exit, without a window", Action::Value},
    {"--bars", nullptr, "N", &Options::barsText, "how many bars the export holds (1)",
     Action::Value},
    {"--kit", nullptr, "DIR", &Options::kitPath,
     "take each sample or picture from DIR first, the rest from the program's own", Action::Value},
    {"--no-midi", nullptr, nullptr, nullptr, "open no MIDI input or clock output", Action::Flag,
     &Options::noMidi},
};

// The export is a file, not a performance: a thousand bars is over half an hour at 100 ms.
constexpr int32_t MostBars = 1000;

void PrintUsage(std::FILE* to)
{
    std::fprintf(to, "usage: pakemino");
    for (const Option& option : Table)
    {
        std::fprintf(to, option.valueName ? " [%s %s]" : " [%s]", option.longName,
                     option.valueName);
    }
    std::fprintf(to, "\n");
}

void PrintHelp(std::FILE* to)
{
    PrintUsage(to);
    std::fprintf(to, "Plays the computer keyboard as a voice instrument over a 16-step drum "
                     "machine.\n\n");
    for (const Option& option : Table)
    {
        std::string names = option.shortName ? std::string(option.shortName) + ", " : "    ";
        names += option.longName;
        if (option.valueName != nullptr)
        {
            names += std::string(" ") + option.valueName;
        }
        std::fprintf(to, "  %-26s %s\n", names.c_str(), option.help);
    }
    std::fprintf(to, "\nKeys: the four rows from Z to 1 sing \"pa\", \"ke\", \"ro\" and \"no\"; "
                     "Shift transposes;\nF1-F9 and the keypad edit the drums, F11/F12 set the "
                     "tempo; Alt+Enter switches\nfullscreen; Escape quits.\n");
    std::fprintf(to, "MIDI: an input and an output named pakemino on the ALSA sequencer and on a "
                     "running JACK\nserver, the input joined to every hardware source. Channels "
                     "1-4 sing the rows,\nnote 60 at the recording's pitch; channel 10 plays the "
                     "drums. MIDI clock in drives\nthe drum machine; its own steps send clock "
                     "out.\n");
    std::fprintf(to, "Environment: PAKEMINO_SCALE=N opens the window at N times 640x480.\n");
    std::fprintf(to, "\nExamples:\n"
                     "  pakemino --pattern ~/beats/funk.pat\n"
                     "  pakemino --pattern ~/beats/funk.pat --export-midi funk.mid --bars 4\n"
                     "  pakemino --kit ~/my-voice      (with your own pa.wav in ~/my-voice)\n");
}

// The option an argument names, and where "--name=value" puts its value.
const Option* Find(const char* argument, const char** inlineValue)
{
    *inlineValue = nullptr;
    for (const Option& option : Table)
    {
        const size_t length = std::strlen(option.longName);
        if (std::strcmp(argument, option.longName) == 0 ||
            (option.shortName != nullptr && std::strcmp(argument, option.shortName) == 0))
        {
            return &option;
        }
        if (option.valueName != nullptr && std::strncmp(argument, option.longName, length) == 0 &&
            argument[length] == '=')
        {
            *inlineValue = argument + length + 1;
            return &option;
        }
    }
    return nullptr;
}

int UsageError(std::FILE* err, const char* what, const char* argument)
{
    std::fprintf(err, "pakemino: %s '%s'\n", what, argument);
    PrintUsage(err);
    return 2;
}

} // namespace

std::optional<int> HandleCommandLine(int argc, const char* const* argv, Options& options,
                                     std::FILE* out, std::FILE* err)
{
    for (int i = 1; i < argc; ++i)
    {
        const char* inlineValue = nullptr;
        const Option* option = Find(argv[i], &inlineValue);
        if (option == nullptr)
        {
            return UsageError(err, "unknown argument", argv[i]);
        }
        switch (option->action)
        {
        case Action::Help:
            PrintHelp(out);
            return 0;
        case Action::Version:
            std::fprintf(out, "pakemino %s\n", PAKEMINO_VERSION);
            return 0;
        case Action::Value:
            if (inlineValue == nullptr && i + 1 == argc)
            {
                return UsageError(err, "a value is missing after", argv[i]);
            }
            options.*option->value = inlineValue != nullptr ? inlineValue : argv[++i];
            break;
        case Action::Flag:
            options.*option->flag = true;
            break;
        }
    }
    if (!options.recordFormat.empty() && options.recordPath.empty())
    {
        return UsageError(err, "nothing to record for", "--record-format");
    }
    if (!options.exportPath.empty() && options.patternPath.empty())
    {
        return UsageError(err, "no --pattern FILE to export for", "--export-midi");
    }
    if (!options.barsText.empty())
    {
        const std::string& text = options.barsText;
        const auto [end, result] =
            std::from_chars(text.data(), text.data() + text.size(), options.bars);
        if (options.exportPath.empty())
        {
            return UsageError(err, "no --export-midi for", "--bars");
        }
        if (result != std::errc() || end != text.data() + text.size() || options.bars < 1 ||
            options.bars > MostBars)
        {
            const std::string what =
                "--bars takes a number from 1 to " + std::to_string(MostBars) + ", not";
            return UsageError(err, what.c_str(), text.c_str());
        }
    }
    return std::nullopt;
}

} // namespace Pakemino
