#include "platform/midi/JackMidiOutput.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <algorithm>

namespace platform::rtmidi
{

namespace
{

struct Queued
{
    jack_time_t sentAt;
    uint8_t bytes[3];
    uint8_t length;
};

// Room for a few seconds of clock even if the server stalls.
constexpr size_t QueueEvents = 1024;

} // namespace

struct JackMidiOutput::Jack
{
    jack_client_t* client = nullptr;
    jack_port_t* port = nullptr;
    jack_ringbuffer_t* queue = jack_ringbuffer_create(QueueEvents * sizeof(Queued));

    ~Jack()
    {
        if (client != nullptr)
        {
            jack_deactivate(client);
            jack_client_close(client);
        }
        if (queue != nullptr)
        {
            jack_ringbuffer_free(queue);
        }
    }
};

JackMidiOutput::JackMidiOutput() : jack(std::make_unique<Jack>()) {}

JackMidiOutput::~JackMidiOutput() = default;

std::unique_ptr<JackMidiOutput> JackMidiOutput::Open(const char* name)
{
    std::unique_ptr<JackMidiOutput> output(new JackMidiOutput());
    Jack& jack = *output->jack;
    jack.client = jack_client_open(name, JackNoStartServer, nullptr);
    if (jack.client == nullptr || jack.queue == nullptr)
    {
        return nullptr;
    }
    jack.port = jack_port_register(jack.client, name, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (jack.port == nullptr ||
        jack_set_process_callback(jack.client, Process, output.get()) != 0 ||
        jack_activate(jack.client) != 0)
    {
        return nullptr;
    }
    return output;
}

void JackMidiOutput::Send(DWORD message, size_t length)
{
    Queued event{jack_get_time(),
                 {static_cast<uint8_t>(message), static_cast<uint8_t>(message >> 8),
                  static_cast<uint8_t>(message >> 16)},
                 static_cast<uint8_t>(length)};
    // A full queue means the server has stopped: the message is dropped, not waited for.
    if (jack_ringbuffer_write_space(jack->queue) >= sizeof event)
    {
        jack_ringbuffer_write(jack->queue, reinterpret_cast<const char*>(&event), sizeof event);
    }
}

int JackMidiOutput::Process(uint32_t frames, void* self)
{
    const Jack& jack = *static_cast<JackMidiOutput*>(self)->jack;
    void* buffer = jack_port_get_buffer(jack.port, frames);
    jack_midi_clear_buffer(buffer);
    const jack_nframes_t cycleStart = jack_last_frame_time(jack.client);
    uint32_t earliest = 0;
    Queued event{};
    while (jack_ringbuffer_peek(jack.queue, reinterpret_cast<char*>(&event), sizeof event) ==
           sizeof event)
    {
        // A period after it was sent: every event is late by the same amount, never by more.
        const jack_nframes_t due = jack_time_to_frames(jack.client, event.sentAt) + frames;
        const auto offset = static_cast<int32_t>(due - cycleStart);
        if (offset >= static_cast<int32_t>(frames))
        {
            break;
        }
        // Events go out in order; one already late goes at once.
        const uint32_t at = std::max(earliest, static_cast<uint32_t>(std::max(offset, 0)));
        jack_midi_event_write(buffer, at, event.bytes, event.length);
        earliest = at;
        jack_ringbuffer_read_advance(jack.queue, sizeof event);
    }
    return 0;
}

} // namespace platform::rtmidi
