#pragma once
// A private JACK server on the dummy driver, started and ended by the test, and a MIDI sender
// of the test's own on it. The unique server name keeps it apart from any other server.

#include "tests/support/Process.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

class RtMidiOut;

namespace TestSupport
{

class JackServer
{
public:
    // Starts `jackd -n NAME -d dummy` and waits up to 10 s for it to take clients; this process's
    // JACK_DEFAULT_SERVER names it from then on.
    JackServer();
    ~JackServer();

    bool Running() const { return running; }
    // "JACK_DEFAULT_SERVER=NAME", for the environment of a program that should use it.
    std::string Environment() const { return "JACK_DEFAULT_SERVER=" + name; }

private:
    std::string name;
    std::unique_ptr<Process> server;
    bool running = false;
};

class MidiSender
{
public:
    MidiSender();
    ~MidiSender();

    // Connects to the input port of that full JACK name, waiting up to timeout for it to appear.
    bool ConnectTo(const std::string& port, std::chrono::milliseconds timeout);
    void Send(const std::vector<unsigned char>& message);

private:
    std::unique_ptr<RtMidiOut> out;
};

} // namespace TestSupport
