#include "tests/support/JackServer.h"

#include <RtMidi.h>

#include <csignal>
#include <cstdlib>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace TestSupport
{

JackServer::JackServer() : name("pakemino-test-" + std::to_string(getpid()))
{
    setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
    // Not real-time: the test needs no scheduling rights to run it.
    server = std::make_unique<Process>(std::vector<std::string>{
        "jackd", "-n", name, "--no-realtime", "-d", "dummy", "-r", "48000", "-p", "256"});
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!running && server->Running() && std::chrono::steady_clock::now() < deadline)
    {
        int exitCode = -1;
        RunAndCapture({"jack_lsp"}, &exitCode);
        running = exitCode == 0;
        if (!running)
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

MidiSender::MidiSender() : out(std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "test-sender")) {}

MidiSender::~MidiSender() = default;

bool MidiSender::ConnectTo(const std::string& port, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline)
    {
        for (unsigned int i = 0; i < out->getPortCount(); ++i)
        {
            if (out->getPortName(i) == port)
            {
                out->openPort(i, "out");
                return true;
            }
        }
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

void MidiSender::Send(const std::vector<unsigned char>& message)
{
    out->sendMessage(&message);
}

} // namespace TestSupport
