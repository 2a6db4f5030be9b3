#include "tests/support/JackServer.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace TestSupport
{

namespace
{

// Asks ready every 50 ms until it answers true or timeout passes.
template <typename Ready> bool Poll(std::chrono::milliseconds timeout, Ready ready)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (ready())
        {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

// A client of the test's own with one MIDI port, and a queue between the test's thread and
// JACK's, which the client's Process reads or fills.
struct QueuedClient
{
    QueuedClient(const char* name, size_t queueBytes)
        : client(jack_client_open(name, JackNoStartServer, nullptr)),
          queue(jack_ringbuffer_create(queueBytes))
    {
    }
    QueuedClient(const QueuedClient&) = delete;
    QueuedClient& operator=(const QueuedClient&) = delete;
    ~QueuedClient()
    {
        if (client != nullptr)
        {
            jack_client_close(client);
        }
        jack_ringbuffer_free(queue);
    }

    // Registers the port and starts Process, which is called with this client.
    void Start(const char* portName, unsigned long flags, JackProcessCallback process)
    {
        if (client == nullptr)
        {
            return;
        }
        port = jack_port_register(client, portName, JACK_DEFAULT_MIDI_TYPE, flags, 0);
        jack_set_process_callback(client, process, this);
        jack_activate(client);
    }

    jack_client_t* client;
    jack_port_t* port = nullptr;
    jack_ringbuffer_t* queue;
};

} // namespace

JackServer::JackServer() : name("pakemino-test-" + std::to_string(getpid()))
{
    setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
    // Not real-time: the test needs no scheduling rights to run it. Long periods leave a loaded
    // machine room to finish every client in time, so no event is dropped with a late cycle.
    server = std::make_unique<Process>(std::vector<std::string>{
        "jackd", "-n", name, "--no-realtime", "-d", "dummy", "-r", "48000", "-p", "1024"});
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!running && server->Running() && std::chrono::steady_clock::now() < deadline)
    {
        // A client that opens is a server that answers; no example tool is needed for it.
        if (jack_client_t* probe = jack_client_open("test-probe", JackNoStartServer, nullptr))
        {
            jack_client_close(probe);
            running = true;
        }
        else
        {
            std::this_thread::sleep_for(50ms);
        }
    }
}

JackServer::~JackServer()
{
    if (server->Running())
    {
        kill(server->Pid(), SIGTERM);
        server->Wait(5s);
    }
}

struct MidiSender::Jack : QueuedClient
{
    // A length byte and up to three message bytes.
    using Message = std::array<unsigned char, 4>;

    Jack() : QueuedClient("test-sender", 256 * sizeof(Message)) {}

    static int Process(jack_nframes_t frames, void* self)
    {
        auto* jack = static_cast<QueuedClient*>(self);
        void* buffer = jack_port_get_buffer(jack->port, frames);
        jack_midi_clear_buffer(buffer);
        Message message{};
        while (jack_ringbuffer_read(jack->queue, reinterpret_cast<char*>(message.data()),
                                    message.size()) == message.size())
        {
            jack_midi_event_write(buffer, 0, message.data() + 1, message[0]);
        }
        return 0;
    }
};

MidiSender::MidiSender(bool hardware) : jack(std::make_unique<Jack>())
{
    jack->Start("out", JackPortIsOutput | (hardware ? JackPortIsPhysical : 0), Jack::Process);
}

MidiSender::~MidiSender() = default;

bool MidiSender::Open() const
{
    return jack->client != nullptr && jack->port != nullptr;
}

bool MidiSender::ConnectTo(const std::string& port, std::chrono::milliseconds timeout)
{
    const auto connect = [&]
    {
        return jack_connect(jack->client, jack_port_name(jack->port), port.c_str()) == 0;
    };
    return Open() && Poll(timeout, connect);
}

bool MidiSender::WaitForListener(std::chrono::milliseconds timeout)
{
    return Open() && Poll(timeout, [&] { return jack_port_connected(jack->port) > 0; });
}

void MidiSender::Send(const std::vector<unsigned char>& message)
{
    Jack::Message queued{static_cast<unsigned char>(std::min<size_t>(message.size(), 3))};
    std::copy_n(message.begin(), queued[0], queued.begin() + 1);
    jack_ringbuffer_write(jack->queue, reinterpret_cast<const char*>(queued.data()), queued.size());
}

struct MidiListener::Jack : QueuedClient
{
    Jack() : QueuedClient("test-listener", 4096) {}

    static int Process(jack_nframes_t frames, void* self)
    {
        auto* jack = static_cast<QueuedClient*>(self);
        void* buffer = jack_port_get_buffer(jack->port, frames);
        jack_midi_event_t event;
        for (uint32_t i = 0; jack_midi_event_get(&event, buffer, i) == 0; ++i)
        {
            if (event.size > 0)
            {
                jack_ringbuffer_write(jack->queue, reinterpret_cast<const char*>(event.buffer), 1);
            }
        }
        return 0;
    }
};

MidiListener::MidiListener() : jack(std::make_unique<Jack>())
{
    jack->Start("in", JackPortIsInput, Jack::Process);
}

MidiListener::~MidiListener() = default;

bool MidiListener::ListenTo(const std::string& pattern, std::chrono::milliseconds timeout)
{
    const auto connect = [&]
    {
        const char** outputs =
            jack_get_ports(jack->client, pattern.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
        const bool connected =
            outputs != nullptr && outputs[0] != nullptr &&
            jack_connect(jack->client, outputs[0], jack_port_name(jack->port)) == 0;
        jack_free(outputs);
        return connected;
    };
    return jack->port != nullptr && Poll(timeout, connect);
}

std::vector<unsigned char> MidiListener::Received(size_t count, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;)
    {
        unsigned char byte = 0;
        while (jack_ringbuffer_read(jack->queue, reinterpret_cast<char*>(&byte), 1) == 1)
        {
            received.push_back(byte);
        }
        if (received.size() >= count || std::chrono::steady_clock::now() >= deadline)
        {
            return received;
        }
        std::this_thread::sleep_for(10ms);
    }
}

} // namespace TestSupport
