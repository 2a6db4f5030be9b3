#pragma once
// MIDI into the Game, and the Game's steps out as MIDI clock.

#include "platform/window/Win32.h"

namespace Pakemino
{

class Game;

// A message from the input: notes play at once, clock from other gear drives the steps.
void HandleMidi(Game& game, LPARAM packed);
// The first step of a frame's music: the sequencer's own steps, which send clock out, unless a
// clock from outside is driving them.
void StepSequencer(Game& game);

} // namespace Pakemino
