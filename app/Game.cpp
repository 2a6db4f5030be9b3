#include "app/Game.h"

#include "app/FramePicture.h"
#include "app/KeyLayout.h"
#include "app/MidiPlay.h"
#include "framework/base/IFileFinder.h"

#include <string>
#include <utility>

namespace Pakemino
{

int32_t selectedTrack = 0;
int32_t stepPage = 0;

namespace
{
constexpr uint32_t InputDevices = Qorv::Input::InputDeviceKeyboard | Qorv::Input::InputDeviceMouse |
                                  Qorv::Input::InputDeviceJoystick;
static_assert(InputDevices == 0x111);
} // namespace

GameDevices CreateGameDevices()
{
    return {Qorv::Draw::CreateDrawer(), Qorv::Input::CreateInputManager(),
            Qorv::Sound::CreateSoundManager(), timeGetTime};
}

Game::Game(HWND window, GameDevices devices, std::shared_ptr<Qorv::Midi::IMidiManager> midiPorts)
    : drawer(std::move(devices.drawer)), input(std::move(devices.input)),
      sound(std::move(devices.sound)), window(window), midi(std::move(midiPorts))
{
    OpenPicture(*this);
    // A manager that failed to start stays closed and reports no keys: the game runs on.
    (void)input->Initialize(window, InputDevices);
    if (window != nullptr)
    {
        // Without a sound device the buffers stay closed and ignore play requests.
        (void)sound->Initialize(window);
    }
    player = std::make_shared<ZirmPlayer>(sound, devices.clock);
    sequencer = std::make_shared<RhythmSequencer>(sound, devices.clock);

    auto finder = Qorv::Base::CreateFileFinder(L"");
    LoadPictures(*this, *finder);
    for (int32_t k = 1; k <= TrackCount; ++k)
    {
        sequencer->SetSample(finder->Find(L"beat" + std::to_wstring(k) + L".wav"), k - 1);
    }
    PrepareTrailAndStage(*this, *finder);
    clockFollower = std::make_unique<ClockFollower>(sequencer, devices.clock);
    if (midi != nullptr && window != nullptr)
    {
        // Closed MIDI ports ignore the start, stop and clock messages sent to them.
        (void)midi->Initialize(
            [this](LPARAM message)
            {
                const std::lock_guard hold(musicLock);
                HandleMidi(*this, message);
            });
        midi->SendStart();
    }
    overlay.Load(*drawer, finder->Find(L"glyphs.png"), devices.clock);
}

Game::~Game()
{
    if (midi != nullptr)
    {
        midi->SendStop();
        // No note may reach the members as they go.
        midi->Finalize();
    }
}

void Game::RunFrame()
{
    int32_t notesPlayed = 0;
    int32_t step = 0;
    {
        const std::lock_guard hold(musicLock);
        // A failed update keeps the last snapshot, and with it the last frame's edges: acting on
        // them again would repeat a key pressed just before focus went for as long as it stays
        // away.
        const bool inputUpdated = input->Update();
        // Before the keys: a step reached in this frame sounds the pattern as it was.
        StepSequencer(*this);
        if (inputUpdated)
        {
            HandleKeys(*this);
        }
        notesPlayed = std::exchange(player->playedCount, 0);
        step = sequencer->step;
    }
    // Drawn without the lock: a MIDI note never waits for the picture.
    DrawFrame(*this, notesPlayed, step);
}

} // namespace Pakemino
