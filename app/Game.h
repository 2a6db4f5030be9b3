#pragma once
// The application object: owns the framework objects, the voice player and the sequencer, and
// runs one frame per RunFrame: input, sequencer, keys, picture.

#include "app/Overlay.h"
#include "framework/draw/DrawCommand.h"
#include "framework/draw/IDrawer.h"
#include "framework/draw/ITexture.h"
#include "framework/input/IInputManager.h"
#include "framework/midi/IMidiManager.h"
#include "framework/sound/ISoundManager.h"
#include "music/ClockFollower.h"
#include "music/RhythmSequencer.h"
#include "music/ZirmPlayer.h"
#include "platform/window/Win32.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

namespace Pakemino
{

// The rhythm track shown on the pads and edited by F1..F8, and the first step F1 edits (0 or 8).
extern int32_t selectedTrack;
extern int32_t stepPage;
// Rotation of the feedback trail in whole degrees: 3, -3 or 0.
extern int32_t trailAngle;

// The framework objects a Game runs on; the program makes the real ones, tests their own.
struct GameDevices
{
    std::shared_ptr<Qorv::Draw::IDrawer> drawer;
    std::shared_ptr<Qorv::Input::IInputManager> input;
    std::shared_ptr<Qorv::Sound::ISoundManager> sound;
    Clock clock = timeGetTime;
};

[[nodiscard]] GameDevices CreateGameDevices();

class Game
{
public:
    // Without midi (--no-midi, tests) no MIDI port opens.
    explicit Game(HWND window, GameDevices devices = CreateGameDevices(),
                  std::shared_ptr<Qorv::Midi::IMidiManager> midi = nullptr);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    ~Game();

    // The frame's steps: StepSequencer (MidiPlay.h), HandleKeys (KeyLayout.h) and DrawFrame
    // (FramePicture.h).
    void RunFrame();

    // Held by whoever plays or changes the music (player, sequencer, clockFollower): the frame
    // outside its drawing, and the MIDI input's thread for each message.
    std::mutex musicLock;

    // Declaration order is construction order; destruction runs in reverse.
    std::shared_ptr<Qorv::Draw::IDrawer> drawer;
    std::shared_ptr<Qorv::Input::IInputManager> input;
    std::shared_ptr<Qorv::Sound::ISoundManager> sound;
    std::shared_ptr<ZirmPlayer> player;
    int32_t transpose = 12;
    std::shared_ptr<Qorv::Draw::ITexture> noteTexture;
    std::array<std::shared_ptr<Qorv::Draw::ITexture>, 2> feedbackTargets;
    std::shared_ptr<Qorv::Draw::ITexture> stageTexture;
    std::shared_ptr<Qorv::Draw::ITexture> padTexture;
    bool targetIndex = false;
    // The square of each trail target that the trail redraws: what can still reach the window
    // (an empty rectangle: the whole target).
    Qorv::Draw::Rect trailReach;
    HWND window;
    std::shared_ptr<RhythmSequencer> sequencer;
    // Ctrl+S went down in a frame; whoever keeps the pattern acts on it and clears it.
    bool saveRequested = false;
    std::shared_ptr<Qorv::Midi::IMidiManager> midi;
    std::unique_ptr<ClockFollower> clockFollower;
    bool followingClock = false;
    // Text over the picture; released first, before the drawer its atlas needs.
    Overlay overlay;
};

} // namespace Pakemino
