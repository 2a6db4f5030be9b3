#pragma once
// The program's MIDI input: a port named "pakemino" on the ALSA sequencer and on JACK, each
// joined to every hardware source, checked for every second so a keyboard plugged in later
// plays too. Each message is posted to the window from the system's thread as it arrives.

#include "platform/midi/JackMidiInput.h"
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
    // Null when neither system runs or lets a port open.
    [[nodiscard]] static std::unique_ptr<MidiInput> Open(HWND window);
    MidiInput(const MidiInput&) = delete;
    MidiInput& operator=(const MidiInput&) = delete;
    ~MidiInput();

    // Messages are posted from here on, with the handle the caller knows this input by.
    void Start(HMIDIIN handle);

private:
    explicit MidiInput(HWND window);
    // The sequencer port: our own when source is null, else one joined to that source.
    std::unique_ptr<RtMidiIn> OpenSequencerPort(const std::string* source);
    void ConnectHardware();
    void Watch();
    static void Received(double, std::vector<unsigned char>* message, void* self);
    static void Deliver(const uint8_t* bytes, size_t length, void* self);

    HWND window;
    std::atomic<HMIDIIN> handle{nullptr};
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
