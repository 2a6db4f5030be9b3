#pragma once
// The program's MIDI input: a port named "pakemino" on every running MIDI system, and one more
// connected to each hardware source, checked for every second so a keyboard plugged in later
// plays too. Each message is posted to the window from RtMidi's thread as it arrives.

#include "platform/midi/MidiSystems.h"
#include "platform/midi/MmSystem.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace platform::rtmidi
{

class MidiInput
{
public:
    // Null when no MIDI system runs or none lets a port open.
    static std::unique_ptr<MidiInput> Open(HWND window);
    MidiInput(const MidiInput&) = delete;
    MidiInput& operator=(const MidiInput&) = delete;
    ~MidiInput();

    // Messages are posted from here on, with the handle the caller knows this input by.
    void Start(HMIDIIN handle);

private:
    struct System
    {
        std::unique_ptr<RtMidiIn> port;
        std::unique_ptr<HardwareSources> hardware;
        // By the source's name as RtMidi lists it.
        std::map<std::string, std::unique_ptr<RtMidiIn>> sources;
    };

    explicit MidiInput(HWND window);
    std::unique_ptr<RtMidiIn> OpenPort(RtMidi::Api api, const std::string* source);
    void ConnectAllHardware();
    // Connects the new hardware sources when wanted, lets go of the gone (or all unwanted);
    // true when the system has any.
    bool ConnectHardware(System& system, bool wanted);
    void Watch();
    static void Received(double, std::vector<unsigned char>* message, void* self);

    HWND window;
    std::atomic<HMIDIIN> handle{nullptr};
    std::vector<System> systems;
    std::mutex lock;
    std::condition_variable wake;
    bool stopping = false;
    std::thread watcher;
};

} // namespace platform::rtmidi
