#include "platform/midi/MidiSystems.h"

#include <jack/jack.h>

#include <algorithm>
#include <unistd.h>
#include <vector>

namespace platform::rtmidi
{

namespace
{

void Silent(const char*) {}

void SilentError(RtMidiError::Type, const std::string&, void*) {}

} // namespace

bool SequencerPresent()
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), RtMidi::LINUX_ALSA) != apis.end() &&
           access("/dev/snd/seq", R_OK | W_OK) == 0;
}

void Quiet(RtMidi& port)
{
    port.setErrorCallback(SilentError, nullptr);
}

void QuietJack()
{
    jack_set_error_function(Silent);
    jack_set_info_function(Silent);
}

bool IsSequencerHardware(const std::string& name)
{
    const size_t space = name.rfind(' ');
    if (space == std::string::npos)
    {
        return false;
    }
    const int client = std::atoi(name.c_str() + space + 1);
    return client >= 16 && client < 128;
}

} // namespace platform::rtmidi
