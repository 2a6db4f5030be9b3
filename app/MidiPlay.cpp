// MIDI into the Game: notes sing the rows and strike the drums the moment they arrive, clock
// from other gear drives the pattern, and the pattern's own steps send clock out.

#include "app/Game.h"
#include "app/MainWindow.h"
#include "music/MidiMapping.h"

namespace Pakemino
{

namespace
{
constexpr uint8_t FirstRealTime = 0xF8;
} // namespace

void Game::HandleMidi(LPARAM packed)
{
    const Qorv::Midi::MidiMessage message = Qorv::Midi::Unpack(packed);
    if (message.status >= FirstRealTime)
    {
        clockFollower->Receive(message.status);
        return;
    }
    // A syllable plays to its end: note-off, and note-on at velocity 0 which means it, do nothing.
    if (message.Kind() != Qorv::Midi::NoteOn || message.data2 == 0)
    {
        return;
    }
    const float volume = VolumeFor(message.data2);
    if (message.Channel() == DrumChannel)
    {
        if (const auto track = DrumTrackFor(message.data1))
        {
            sequencer->Strike(*track, volume);
        }
        return;
    }
    if (const auto voice = VoiceFor(message.Channel(), message.data1))
    {
        player->PlayNote(voice->row, voice->note, volume);
    }
}

void Game::StepSequencer()
{
    const bool following = clockFollower->Following();
    if (following != followingClock)
    {
        followingClock = following;
        ShowFollowingClock(window, following);
    }
    if (following)
    {
        return;
    }
    const int32_t step = sequencer->step;
    sequencer->Update();
    if (midi != nullptr && sequencer->step != step)
    {
        midi->SendStepClock(static_cast<DWORD>(sequencer->interval));
    }
}

} // namespace Pakemino
