#include "platform/midi/JackMidiInput.h"

#include <jack/jack.h>
#include <jack/midiport.h>

namespace platform::rtmidi
{

struct JackMidiInput::Jack
{
    jack_client_t* client = nullptr;
    jack_port_t* port = nullptr;
    Receiver receiver = nullptr;
    void* context = nullptr;

    ~Jack()
    {
        if (client != nullptr)
        {
            jack_deactivate(client);
            jack_client_close(client);
        }
    }
};

JackMidiInput::JackMidiInput() : jack(std::make_unique<Jack>()) {}

JackMidiInput::~JackMidiInput() = default;

std::unique_ptr<JackMidiInput> JackMidiInput::Open(const char* name, Receiver receiver,
                                                   void* context)
{
    std::unique_ptr<JackMidiInput> input(new JackMidiInput());
    Jack& jack = *input->jack;
    jack.receiver = receiver;
    jack.context = context;
    jack.client = jack_client_open(name, JackNoStartServer, nullptr);
    if (jack.client == nullptr)
    {
        return nullptr;
    }
    jack.port = jack_port_register(jack.client, name, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (jack.port == nullptr || jack_set_process_callback(jack.client, Process, input.get()) != 0 ||
        jack_activate(jack.client) != 0)
    {
        return nullptr;
    }
    return input;
}

bool JackMidiInput::ConnectHardware()
{
    const char** sources = jack_get_ports(jack->client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                          JackPortIsOutput | JackPortIsPhysical);
    if (sources == nullptr)
    {
        return false;
    }
    for (const char** source = sources; *source != nullptr; ++source)
    {
        if (!jack_port_connected_to(jack->port, *source))
        {
            jack_connect(jack->client, *source, jack_port_name(jack->port));
        }
    }
    jack_free(sources);
    return true;
}

int JackMidiInput::Process(uint32_t frames, void* self)
{
    const Jack& jack = *static_cast<JackMidiInput*>(self)->jack;
    void* buffer = jack_port_get_buffer(jack.port, frames);
    const uint32_t count = jack_midi_get_event_count(buffer);
    for (uint32_t i = 0; i < count; ++i)
    {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) == 0)
        {
            jack.receiver(event.buffer, event.size, jack.context);
        }
    }
    return 0;
}

} // namespace platform::rtmidi
