#pragma once
// What the window says over the designed picture: the drum machine's state under the pads, a
// hint for the first seconds of a run, and on F10 a map of what every key does. It is drawn in
// a flush of its own after the picture's, so the picture underneath is untouched.

#include "app/Lettering.h"
#include "music/Clock.h"

#include <cstdint>
#include <string>

namespace Pakemino
{

class Game;

// A note's name and octave: note 12, the recordings' own pitch, is "C4".
std::string PitchName(int32_t note);
// The line under the pads: the selected track, the steps F1..F8 edit, the tempo and how far
// the keyboard is transposed from where it starts.
std::string DrumMachineStatus(const Game& game);

class Overlay
{
public:
    void Load(Qorv::Draw::IDrawer& drawer, const std::wstring& glyphsPath, Clock clock);
    void ToggleKeyMap() { keyMapShown = !keyMapShown; }
    void Draw(Qorv::Draw::IDrawer& drawer, const Game& game) const;

    Lettering lettering;

private:
    void DrawKeyMap(Qorv::Draw::IDrawer& drawer, int32_t transpose) const;

    Clock clock = nullptr;
    uint32_t startTime = 0;
    bool keyMapShown = false;
};

} // namespace Pakemino
