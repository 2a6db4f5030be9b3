// qorv-probe play FILE [--ratio R] [--volume V] [--pan P] [--seconds S] [--loop] [--streaming]:
// plays FILE through the sound manager and a static (or streaming) buffer, as the program
// would, for S seconds or, by default, the sound's length (3 s when it loops).

#include "framework/sound/ISoundManager.h"
#include "platform/window/Utf8.h"
#include "tools/qorv-probe/Commands.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace Probe
{

namespace
{

struct PlayOptions
{
    std::string file;
    float ratio = 1.0f;
    float volume = 100.0f;
    float pan = 0.0f;
    double seconds = -1.0;
    bool loop = false;
    bool streaming = false;
};

bool ParseNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end != nullptr && *end == '\0' && std::isfinite(value);
}

bool Parse(const Arguments& arguments, PlayOptions& options)
{
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        if (argument == "--loop")
        {
            options.loop = true;
            continue;
        }
        if (argument == "--streaming")
        {
            options.streaming = true;
            continue;
        }
        if (argument.rfind("--", 0) != 0)
        {
            if (!options.file.empty())
            {
                return false;
            }
            options.file = argument;
            continue;
        }
        double value = 0;
        if (i + 1 >= arguments.size() || !ParseNumber(arguments[i + 1], value))
        {
            return false;
        }
        ++i;
        if (argument == "--ratio" && value >= 0)
        {
            options.ratio = static_cast<float>(value);
        }
        else if (argument == "--volume")
        {
            options.volume = static_cast<float>(value);
        }
        else if (argument == "--pan")
        {
            options.pan = static_cast<float>(value);
        }
        else if (argument == "--seconds" && value >= 0)
        {
            options.seconds = value;
        }
        else
        {
            return false;
        }
    }
    return !options.file.empty();
}

} // namespace

int PlayCommand(const Arguments& arguments)
{
    using namespace std::chrono_literals;
    PlayOptions options;
    if (!Parse(arguments, options))
    {
        std::fprintf(stderr, "qorv-probe play: usage: play FILE [--ratio R] [--volume V] "
                             "[--pan P] [--seconds S] [--loop] [--streaming]\n");
        return 2;
    }
    auto manager = Qorv::Sound::CreateSoundManager();
    if (!manager->Initialize(nullptr))
    {
        std::fprintf(stderr, "qorv-probe play: no audio device could be opened\n");
        return 1;
    }
    auto buffer = options.streaming ? manager->CreateStreamingBuffer() : manager->CreateBuffer();
    if (!buffer->Open(platform::Utf8ToWide(options.file)))
    {
        std::fprintf(stderr, "qorv-probe play: %s cannot be opened as a sound\n",
                     options.file.c_str());
        return 1;
    }
    buffer->SetFrequencyRatio(options.ratio);
    buffer->SetVolume(options.volume);
    buffer->SetPan(options.pan);
    buffer->Play(options.loop);

    if (options.seconds < 0 && (options.loop || options.streaming))
    {
        options.seconds = 3.0;
    }
    if (options.seconds >= 0)
    {
        std::this_thread::sleep_for(std::chrono::duration<double>(options.seconds));
    }
    else
    {
        // A sound played once stops by itself at its end, whatever its rate.
        while (buffer->IsPlaying())
        {
            std::this_thread::sleep_for(5ms);
        }
    }
    buffer->Stop();
    // The last mixed periods are still on their way to the device.
    std::this_thread::sleep_for(50ms);
    buffer->Close();
    manager->Finalize();
    return 0;
}

} // namespace Probe
