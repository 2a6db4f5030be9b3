#include "platform/midi/MidiSystems.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <unistd.h>

namespace platform::rtmidi
{

namespace
{

void Silent(const char*) {}

void SilentError(RtMidiError::Type, const std::string&, void*) {}

jack_client_t* OpenJackClient()
{
    // The library prints every failed connection otherwise.
    jack_set_error_function(Silent);
    jack_set_info_function(Silent);
    return jack_client_open("pakemino-probe", JackNoStartServer, nullptr);
}

bool Compiled(RtMidi::Api api)
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}

} // namespace

struct HardwareSources::JackClient
{
    jack_client_t* client = OpenJackClient();
    ~JackClient()
    {
        if (client != nullptr)
        {
            jack_client_close(client);
        }
    }
};

std::vector<RtMidi::Api> RunningSystems()
{
    std::vector<RtMidi::Api> running;
    if (Compiled(RtMidi::LINUX_ALSA) && access("/dev/snd/seq", R_OK | W_OK) == 0)
    {
        running.push_back(RtMidi::LINUX_ALSA);
    }
    if (Compiled(RtMidi::UNIX_JACK))
    {
        if (jack_client_t* client = OpenJackClient())
        {
            jack_client_close(client);
            running.push_back(RtMidi::UNIX_JACK);
        }
    }
    return running;
}

void Quiet(RtMidi& port)
{
    port.setErrorCallback(SilentError, nullptr);
}

HardwareSources::HardwareSources(RtMidi::Api system) : api(system)
{
    if (api == RtMidi::UNIX_JACK)
    {
        jack = std::make_unique<JackClient>();
    }
}

HardwareSources::~HardwareSources() = default;

bool HardwareSources::IsHardware(const std::string& name) const
{
    if (api == RtMidi::UNIX_JACK)
    {
        if (jack == nullptr || jack->client == nullptr)
        {
            return false;
        }
        const jack_port_t* port = jack_port_by_name(jack->client, name.c_str());
        return port != nullptr && (jack_port_flags(port) & JackPortIsPhysical) != 0;
    }
    // ALSA names end in "client:port".
    const size_t space = name.rfind(' ');
    if (space == std::string::npos)
    {
        return false;
    }
    const int client = std::atoi(name.c_str() + space + 1);
    return client >= 16 && client < 128;
}

} // namespace platform::rtmidi
