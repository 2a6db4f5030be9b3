#pragma once
// A private JACK server on the dummy driver, started and ended by the test, and a MIDI sender
// of the test's own on it. The unique server name keeps it apart from any other server.

#include "tests/support/Process.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

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

// A JACK client "test-sender" with one MIDI output, "test-sender:out". Made as hardware, the
// port is flagged physical, as a keyboard bridged into JACK is.
class MidiSender
{
public:
    explicit MidiSender(bool hardware = false);
    ~MidiSender();

    bool Open() const;
    // Connects the output to that input port, waiting up to timeout for the port to appear.
    bool ConnectTo(const std::string& port, std::chrono::milliseconds timeout);
    // Waits up to timeout for anything to connect to the output.
    bool WaitForListener(std::chrono::milliseconds timeout);
    // One message of up to three bytes, sent in the next period.
    void Send(const std::vector<unsigned char>& message);

private:
    struct Jack;
    std::unique_ptr<Jack> jack;
};

// A JACK client "test-listener" with one MIDI input that keeps the first byte of every message.
class MidiListener
{
public:
    MidiListener();
    ~MidiListener();

    // Connects the first MIDI output whose name matches pattern (a regular expression) to the
    // input, waiting up to timeout for it to appear.
    bool ListenTo(const std::string& pattern, std::chrono::milliseconds timeout);
    // The status bytes received so far, in order, once count of them have come or timeout passed.
    std::vector<unsigned char> Received(size_t count, std::chrono::milliseconds timeout);

private:
    struct Jack;
    std::unique_ptr<Jack> jack;
    std::vector<unsigned char> received;
};

} // namespace TestSupport
