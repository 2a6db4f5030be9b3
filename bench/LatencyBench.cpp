// Key-to-sound latency through the real Game, input manager, player and mixer, the memory the
// loaded samples take, and the start-up time to the first frame with every sample loaded.
//   latency-bench [--trials N]            offline: scripted keyboard, mixer pulled here
//   latency-bench --startup [--runs N]    the real window: run under a display (xvfb-run)
//   latency-bench --midi [--trials N]     the real window, loop and MIDI input on a private
//                                         JACK server (xvfb-run): MIDI to Play, clock sent out
// Like the program it finds data/ beside itself.

#include "app/Game.h"
#include "app/MainWindow.h"
#include "app/MessageLoop.h"
#include "app/WindowProc.h"
#include "bench/SpawnedStart.h"
#include "framework/base/IFileFinder.h"
#include "framework/draw/IDrawer.h"
#include "framework/input/DxInputManager.h"
#include "framework/input/KeyCode.h"
#include "framework/sound/DxSoundManager.h"
#include "platform/audio/Mixer.h"
#include "tests/support/FakeClock.h"
#include "tests/support/JackServer.h"
#include "tests/support/OfflineMixer.h"
#include "tests/support/ScriptedDirectInput.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <malloc.h>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{

constexpr DWORD OutputRate = 48000;

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
    {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

size_t HeapInUse()
{
    return mallinfo2().uordblks;
}

int Offline(int trials)
{
    TestSupport::OfflineMixer mixer(OutputRate);
    Qorv::Sound::PublishSoundDevice(mixer.Device());

    const size_t before = HeapInUse();
    auto player = std::make_shared<Pakemino::ZirmPlayer>(Qorv::Sound::CreateSoundManager());
    const size_t afterPlayer = HeapInUse();
    Pakemino::RhythmSequencer sequencer(Qorv::Sound::CreateSoundManager());
    auto finder = Qorv::Base::CreateFileFinder(L"");
    for (int32_t k = 1; k <= Pakemino::TrackCount; ++k)
    {
        sequencer.SetSample(finder->Find(L"beat" + std::to_wstring(k) + L".wav"), k - 1);
    }
    const size_t afterBeats = HeapInUse();
    int opened = 0;
    for (const auto& voice : player->voices)
    {
        opened += voice->IsOpen() ? 1 : 0;
    }
    std::printf("voices open            %d of 25\n", opened);
    std::printf("heap for 20 voices     %.1f KiB\n", (afterPlayer - before) / 1024.0);
    std::printf("heap for 9 beats       %.1f KiB\n", (afterBeats - afterPlayer) / 1024.0);
    std::printf("heap for all samples   %.1f KiB\n", (afterBeats - before) / 1024.0);
    player.reset();

    TestSupport::ScriptedDirectInput script;
    Pakemino::Game game(nullptr, {Qorv::Draw::CreateDrawer(),
                                  std::make_shared<Qorv::Input::DxInputManager>(script.Platform()),
                                  Qorv::Sound::CreateSoundManager(), TestSupport::FakeClock::Now});
    game.RunFrame();
    const uint8_t z = Qorv::Input::KeyScanCodeTable[Qorv::Input::KeyZ];
    std::vector<double> frameMs;
    std::vector<double> firstSampleFrames;
    for (int trial = 0; trial < trials; ++trial)
    {
        // The mixer runs dry between notes, so the note is the only sound.
        for (int i = 0; i < 200 && game.player->voices[0]->IsPlaying(); ++i)
        {
            mixer.Render(platform::audio::Mixer::PeriodFrames * 8);
        }
        script.SetKey(z, true);
        TestSupport::FakeClock::now += 16;
        const double start = Bench::NowMs();
        game.RunFrame();
        frameMs.push_back(Bench::NowMs() - start);
        // The next period the callback pulls holds the note from this frame on.
        const auto period = mixer.Render(platform::audio::Mixer::PeriodFrames * 4);
        size_t first = 0;
        while (first < period.size() / 2 && period[2 * first] == 0.0f)
        {
            ++first;
        }
        if (first < period.size() / 2)
        {
            firstSampleFrames.push_back(static_cast<double>(first));
        }
        script.SetKey(z, false);
        TestSupport::FakeClock::now += 16;
        game.RunFrame();
    }
    const double periodMs = platform::audio::Mixer::PeriodFrames * 1000.0 / OutputRate;
    const double firstMs = Percentile(firstSampleFrames, 0.5) * 1000.0 / OutputRate;
    std::printf("frame with the key     median %.1f us, 99%% %.1f us (poll, step, keys, Play)\n",
                Percentile(frameMs, 0.5) * 1e3, Percentile(frameMs, 0.99) * 1e3);
    std::printf("first mixed sample     %.0f frames into the next period (%.3f ms), %zu of %d"
                " notes heard\n",
                Percentile(firstSampleFrames, 0.5), firstMs, firstSampleFrames.size(), trials);
    std::printf("mixer period           %u frames = %.3f ms\n",
                static_cast<unsigned>(platform::audio::Mixer::PeriodFrames), periodMs);
    std::printf("budget, frame to sound worst %.2f ms, mean %.2f ms\n",
                Percentile(frameMs, 0.99) + periodMs + firstMs,
                Percentile(frameMs, 0.5) + periodMs / 2 + firstMs);
    std::printf("  plus the wait for the frame after the key goes down: 16 ms worst (19 with the"
                " loop's 3 ms sleep), 8 ms mean\n");
    Qorv::Sound::PublishSoundDevice(nullptr);
    return 0;
}

// One start: the program's window, Game and first frame; prints the milliseconds since spawn.
int StartupChild(double spawnedAt)
{
    HWND window = Pakemino::CreateMainWindow(GetModuleHandleW(nullptr), SW_SHOWDEFAULT);
    if (window == nullptr)
    {
        std::fprintf(stderr, "latency-bench: no window (run under xvfb-run)\n");
        return 1;
    }
    timeBeginPeriod(1);
    {
        const double constructing = Bench::NowMs();
        Pakemino::Game game(window);
        const double constructed = Bench::NowMs();
        int opened = 0;
        for (const auto& voice : game.player->voices)
        {
            opened += voice->IsOpen() ? 1 : 0;
        }
        for (const auto& entry : game.sequencer->tracks)
        {
            opened += entry.second.sample->IsOpen() ? 1 : 0;
        }
        game.RunFrame();
        std::printf("%.3f %.3f %d\n", Bench::NowMs() - spawnedAt, constructed - constructing,
                    opened);
    }
    timeEndPeriod(1);
    return 0;
}

int Startup(const char* self, int runs)
{
    std::vector<double> firsts;
    std::vector<double> games;
    for (int run = 0; run < runs; ++run)
    {
        double first = 0.0, game = 0.0;
        int opened = 0;
        if (std::sscanf(Bench::RunChild(self, {}).c_str(), "%lf %lf %d", &first, &game, &opened) ==
            3)
        {
            firsts.push_back(first);
            games.push_back(game);
            std::printf("run %d: first frame %.1f ms after spawn, Game %.1f ms, %d samples\n",
                        run + 1, first, game, opened);
        }
    }
    if (firsts.empty())
    {
        std::fprintf(stderr, "latency-bench: no start measured\n");
        return 1;
    }
    std::printf("start-up median of %zu: first frame %.1f ms, Game construction %.1f ms\n",
                firsts.size(), Percentile(firsts, 0.5), Percentile(games, 0.5));
    return 0;
}

// A JACK client that notes the frame time of every clock pulse the program sends, and the
// moment each test note reaches the JACK graph, in the same cycle as the program's input.
class JackListener
{
public:
    // A note's number and velocity carry the trial it belongs to.
    static constexpr int NotesPerVelocity = 24;

    JackListener()
    {
        client = jack_client_open("listener", JackNoStartServer, nullptr);
        if (client == nullptr)
        {
            return;
        }
        clock = jack_port_register(client, "clock", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        notes = jack_port_register(client, "notes", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(client, Process, this);
        jack_activate(client);
    }
    ~JackListener()
    {
        if (client != nullptr)
        {
            jack_client_close(client);
        }
    }

    // The sender's notes, and the clock of the program, which is running by then.
    void ListenTo(const char* sender)
    {
        if (client == nullptr)
        {
            return;
        }
        jack_connect(client, sender, jack_port_name(notes));
        const char** outputs =
            jack_get_ports(client, "^pakemino", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
        if (outputs != nullptr && outputs[0] != nullptr)
        {
            jack_connect(client, outputs[0], jack_port_name(clock));
        }
        jack_free(outputs);
    }
    static int TrialOf(uint8_t note, uint8_t velocity)
    {
        return (velocity - 1) * NotesPerVelocity + (note - 48);
    }
    // When the trial's note reached JACK, in Bench::NowMs's time; 0 if it never did.
    double ArrivalMs(int trial) const
    {
        return trial >= 0 && static_cast<size_t>(trial) < arrivals.size() ? arrivals[trial].load()
                                                                          : 0.0;
    }

    // Milliseconds between pulses, by JACK's frame time.
    std::vector<double> Intervals() const
    {
        std::vector<double> intervals;
        const size_t count = std::min(pulses.load(), frames.size());
        const double rate = client != nullptr ? jack_get_sample_rate(client) : 48000.0;
        for (size_t i = 1; i < count; ++i)
        {
            intervals.push_back(static_cast<double>(frames[i] - frames[i - 1]) * 1e3 / rate);
        }
        return intervals;
    }
    jack_nframes_t Period() const { return client != nullptr ? jack_get_buffer_size(client) : 0; }

private:
    static int Process(jack_nframes_t count, void* self)
    {
        auto* listener = static_cast<JackListener*>(self);
        const double now = Bench::NowMs();
        void* buffer = jack_port_get_buffer(listener->notes, count);
        jack_midi_event_t event;
        for (uint32_t i = 0; i < jack_midi_get_event_count(buffer); ++i)
        {
            if (jack_midi_event_get(&event, buffer, i) == 0 && event.size == 3)
            {
                const int trial = TrialOf(event.buffer[1], event.buffer[2]);
                if (trial >= 0 && static_cast<size_t>(trial) < listener->arrivals.size())
                {
                    listener->arrivals[trial].store(now);
                }
            }
        }
        buffer = jack_port_get_buffer(listener->clock, count);
        const jack_nframes_t start = jack_last_frame_time(listener->client);
        for (uint32_t i = 0; i < jack_midi_get_event_count(buffer); ++i)
        {
            const size_t at = listener->pulses.load();
            if (jack_midi_event_get(&event, buffer, i) == 0 && event.size == 1 &&
                event.buffer[0] == 0xF8 && at < listener->frames.size())
            {
                listener->frames[at] = start + event.time;
                listener->pulses.store(at + 1);
            }
        }
        return 0;
    }

    jack_client_t* client = nullptr;
    jack_port_t* clock = nullptr;
    jack_port_t* notes = nullptr;
    std::vector<jack_nframes_t> frames = std::vector<jack_nframes_t>(100000);
    std::atomic<size_t> pulses{0};
    std::vector<std::atomic<double>> arrivals =
        std::vector<std::atomic<double>>(NotesPerVelocity * 127);
};

// The program's MIDI manager, with a call once the Game has handled each input message (a note's
// voice has started by then), on the input's thread.
class TimedMidi : public Qorv::Midi::IMidiManager
{
public:
    explicit TimedMidi(MessageHandler handled) : afterEach(std::move(handled)) {}
    bool Initialize(MessageHandler handler) override
    {
        return real->Initialize(
            [this, handler = std::move(handler)](LPARAM message)
            {
                handler(message);
                afterEach(message);
            });
    }
    void Finalize() override { real->Finalize(); }
    void SendStart() override { real->SendStart(); }
    void SendStop() override { real->SendStop(); }
    void SendStepClock(DWORD interval) override { real->SendStepClock(interval); }

private:
    std::shared_ptr<IMidiManager> real = Qorv::Midi::CreateMidiManager();
    MessageHandler afterEach;
};

// MIDI notes sent into the running program at random moments against its frames, timed from
// their arrival in JACK (and from their send) to the moment the Game has started the voice; and
// the clock the pattern sends out meanwhile.
int Midi(int trials)
{
    trials = std::min(trials, JackListener::NotesPerVelocity * 127);
    TestSupport::JackServer jack;
    if (!jack.Running())
    {
        std::fprintf(stderr, "latency-bench: no JACK server (jackd) could be started\n");
        return 1;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    HWND window = Pakemino::CreateMainWindow(GetModuleHandleW(nullptr), SW_SHOWDEFAULT);
    if (window == nullptr)
    {
        std::fprintf(stderr, "latency-bench: no window (run under xvfb-run)\n");
        return 1;
    }
    timeBeginPeriod(1);
    std::vector<double> fromArrival;
    std::vector<double> fromSend;
    std::vector<double> intervals;
    // A note that arrives while a frame is drawn waits for it.
    std::vector<double> frames;
    jack_nframes_t jackPeriod = 0;
    int arrived = 0;
    {
        JackListener listener;
        jackPeriod = listener.Period();
        std::vector<std::atomic<double>> sentAt(static_cast<size_t>(trials));
        // Counted on the input's thread, read by the frames'.
        std::atomic<size_t> played{0};
        auto midi = std::make_shared<TimedMidi>(
            [&](LPARAM message)
            {
                const double now = Bench::NowMs();
                const auto note = Qorv::Midi::Unpack(message);
                const int trial = JackListener::TrialOf(note.data1, note.data2);
                if (note.Kind() == Qorv::Midi::NoteOn && trial >= 0 && trial < trials)
                {
                    fromSend.push_back(now - sentAt[static_cast<size_t>(trial)].load());
                    if (const double arrivedAt = listener.ArrivalMs(trial); arrivedAt > 0.0)
                    {
                        fromArrival.push_back(now - arrivedAt);
                    }
                    ++played;
                }
            });
        Pakemino::Game game(window, Pakemino::CreateGameDevices(), midi);
        {
            // A kick on every step, so the pattern's own clock runs all the while.
            const std::lock_guard hold(game.musicLock);
            game.sequencer->tracks[0].steps.fill(true);
        }
        // A loaded machine may hold the last notes up: they get two seconds.
        std::atomic<double> sentAllAt{0.0};
        std::thread sender(
            [&]
            {
                TestSupport::MidiSender midi;
                if (midi.ConnectTo("pakemino:pakemino", std::chrono::seconds(10)))
                {
                    listener.ListenTo("test-sender:out");
                    std::mt19937 random(23);
                    std::uniform_int_distribution<int> pause(20, 60);
                    for (int trial = 0; trial < trials; ++trial)
                    {
                        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
                        sentAt[static_cast<size_t>(trial)] = Bench::NowMs();
                        midi.Send({0x90,
                                   static_cast<unsigned char>(
                                       48 + trial % JackListener::NotesPerVelocity),
                                   static_cast<unsigned char>(
                                       1 + trial / JackListener::NotesPerVelocity)});
                    }
                }
                sentAllAt = Bench::NowMs();
            });
        Pakemino::Win32LoopSystem system;
        Pakemino::RunMessageLoop(system, timeGetTime(),
                                 [&]
                                 {
                                     const double frameStart = Bench::NowMs();
                                     game.RunFrame();
                                     frames.push_back(Bench::NowMs() - frameStart);
                                     const double done = sentAllAt.load();
                                     if (done > 0.0 &&
                                         (played.load() == static_cast<size_t>(trials) ||
                                          Bench::NowMs() > done + 2000.0))
                                     {
                                         PostQuitMessage(0);
                                     }
                                 });
        sender.join();
        // No message is handled from here on.
        midi->Finalize();
        intervals = listener.Intervals();
        for (int trial = 0; trial < trials; ++trial)
        {
            arrived += listener.ArrivalMs(trial) > 0.0 ? 1 : 0;
        }
    }
    timeEndPeriod(1);
    const double mixerMs = platform::audio::Mixer::PeriodFrames * 1000.0 / OutputRate;
    std::printf("MIDI notes played      %zu of %d (%d reached JACK's graph), JACK period %u"
                " frames = %.2f ms\n",
                fromSend.size(), trials, arrived, static_cast<unsigned>(jackPeriod),
                jackPeriod * 1000.0 / OutputRate);
    std::printf("MIDI send to Play      p1 %.2f ms, median %.2f ms, p99 %.2f ms\n",
                Percentile(fromSend, 0.01), Percentile(fromSend, 0.5), Percentile(fromSend, 0.99));
    std::printf("MIDI arrival to Play   p1 %.2f ms, median %.2f ms, p99 %.2f ms\n",
                Percentile(fromArrival, 0.01), Percentile(fromArrival, 0.5),
                Percentile(fromArrival, 0.99));
    std::printf("frames meanwhile       median %.2f ms, p99 %.2f ms\n", Percentile(frames, 0.5),
                Percentile(frames, 0.99));
    std::printf("MIDI to sound worst %.2f ms (arrival p99 + one mixer period %.2f ms), jitter"
                " %.2f ms (p99 - p1)\n",
                Percentile(fromArrival, 0.99) + mixerMs, mixerMs,
                Percentile(fromArrival, 0.99) - Percentile(fromArrival, 0.01));
    std::printf("clock out, %zu pulse intervals by JACK frame time: p1 %.2f ms, median %.2f ms,"
                " p99 %.2f ms, jitter %.2f ms (p99 - p1)\n",
                intervals.size(), Percentile(intervals, 0.01), Percentile(intervals, 0.5),
                Percentile(intervals, 0.99),
                Percentile(intervals, 0.99) - Percentile(intervals, 0.01));
    return fromSend.empty() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    int trials = 200;
    int runs = 5;
    bool startup = false;
    bool midi = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string flag = argv[i];
        if (flag == "--child" && i + 1 < argc)
        {
            return StartupChild(std::atof(argv[i + 1]));
        }
        if (flag == "--startup")
        {
            startup = true;
        }
        if (flag == "--midi")
        {
            midi = true;
        }
        if (flag == "--runs" && i + 1 < argc)
        {
            runs = std::atoi(argv[++i]);
        }
        if (flag == "--trials" && i + 1 < argc)
        {
            trials = std::atoi(argv[++i]);
        }
    }
    if (midi)
    {
        return Midi(trials);
    }
    return startup ? Startup(argv[0], runs) : Offline(trials);
}
