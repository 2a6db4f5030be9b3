#pragma once
// The program's MIDI input: a port named "pakemino" on the ALSA sequencer and on JACK, each
// joined to every hardware source, checked for every second so a keyboard plugged in later
// plays too. Each message is handed from the system's thread (JACK's is real-time, and must not
// wait on the program) to a thread of the input's, which calls the program at once.

#include "platform/midi/JackMidiInput.h"
#include "platform/midi/MidiSystems.h"
#include "platform/midi/MmSystem.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace platform::rtmidi
{

class MidiInput
{
public:
    // Null when neither system runs or lets a port open.
    [[nodiscard]] static std::unique_ptr<MidiInput> Open(MIDIINPROC callback, DWORD_PTR instance);
    MidiInput(const MidiInput&) = delete;
    MidiInput& operator=(const MidiInput&) = delete;
    ~MidiInput();

    // Messages are passed on from here on, with the handle the caller knows this input by.
    void Start(HMIDIIN handle);

private:
    MidiInput(MIDIINPROC callback, DWORD_PTR instance);
    // The sequencer port: our own when source is null, else one joined to that source.
    std::unique_ptr<RtMidiIn> OpenSequencerPort(const std::string* source);
    void ConnectHardware();
    void Watch();
    static void Received(double, std::vector<unsigned char>* message, void* self);
    static void Deliver(const uint8_t* bytes, size_t length, void* self);
    void PassOn();

    MIDIINPROC callback;
    DWORD_PTR instance;
    std::atomic<HMIDIIN> handle{nullptr};
    std::chrono::steady_clock::time_point started;
    // Declared before the ports, so that it outlives every call they make to Deliver.
    std::mutex queueLock;
    std::condition_variable queued;
    std::deque<DWORD_PTR> queue;
    bool closing = false;
    std::thread passer;
    std::unique_ptr<RtMidiIn> sequencer;
    // RtMidi joins a sequencer source through a port of its own, by the source's name.
    std::map<std::string, std::unique_ptr<RtMidiIn>> sequencerSources;
    std::unique_ptr<JackMidiInput> jack;
    std::mutex lock;
    std::condition_variable wake;
    bool stopping = false;
    std::thread watcher;
};

} // namespace platform::rtmidi
