// MIDI into the Game: notes sing the rows and strike the drums the moment they arrive, clock
// from other gear drives the pattern, and the pattern's own steps send clock out.

#include "app/MidiPlay.h"

#include "app/Game.h"
#include "app/MainWindow.h"
#include "music/MidiMapping.h"

namespace Pakemino
{

namespace
{
constexpr uint8_t FirstRealTime = 0xF8;
} // namespace

void HandleMidi(Game& game, LPARAM packed)
{
    const Qorv::Midi::MidiMessage message = Qorv::Midi::Unpack(packed);
    if (message.status >= FirstRealTime)
    {
        game.clockFollower->Receive(message.status);
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
            game.sequencer->Strike(*track, volume);
        }
        return;
    }
    if (const auto voice = VoiceFor(message.Channel(), message.data1))
    {
        game.player->PlayNote(voice->row, voice->note, volume);
    }
}

void StepSequencer(Game& game)
{
    const bool following = game.clockFollower->Following();
    if (following != game.followingClock)
    {
        game.followingClock = following;
        ShowFollowingClock(game.window, following);
    }
    if (following)
    {
        return;
    }
    const int32_t step = game.sequencer->step;
    game.sequencer->Update();
    if (game.midi != nullptr && game.sequencer->step != step)
    {
        game.midi->SendStepClock(static_cast<DWORD>(game.sequencer->interval));
    }
}

} // namespace Pakemino
