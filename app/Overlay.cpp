#include "app/Overlay.h"

#include "app/Game.h"
#include "app/KeyLayout.h"

#include <array>
#include <cstdio>

namespace Pakemino
{

using Qorv::Draw::IDrawer;

namespace
{
// The hint stands in the bottom-left corner for this long after the start.
constexpr uint32_t HintMilliseconds = 8000;
// Where the keyboard starts, in semitones; the status shows the distance from here.
constexpr int32_t StartTranspose = 12;
// A step is a sixteenth note: four steps to a beat.
constexpr double StepMillisecondsPerMinute = 60000.0 / 4.0;

constexpr std::array<const char*, TrackCount> TrackNames = {
    "kick", "snare", "closed hat", "open hat", "clap", "low tom", "high tom", "cowbell", "crash"};
// Row r of NoteRows sings syllable r; its keys wear that syllable's colour.
constexpr std::array<const char*, 4> Syllables = {"pa", "ke", "ro", "no"};
constexpr std::array<uint32_t, 4> SyllableColours = {0xFFFF5AB4, 0xFFFFA53C, 0xFF78DC50,
                                                     0xFF3CC8FF};

constexpr uint32_t Backing = 0xB0000000;
constexpr uint32_t Panel = 0xE0080818;
constexpr uint32_t Text = 0xFFE0E0F0;
constexpr uint32_t KeyName = 0xFFFFE060;
constexpr uint32_t KeyLabel = 0xFF101018;
// Fills and glyphs share the atlas and the blend mode, so priority alone orders them.
constexpr uint32_t PanelPriority = 0;
constexpr uint32_t CapPriority = 1;
constexpr uint32_t TextPriority = 2;

constexpr int32_t StatusX = 32;
constexpr int32_t StatusY = 88;
constexpr int32_t HintX = 24;
constexpr int32_t HintY = 448;

// The key map: a panel under the status; key caps drawn where the keys sit, each row shifted
// right of the one above as on a keyboard, so the map is right whatever the keys are labelled.
constexpr int32_t PanelLeft = 16;
constexpr int32_t PanelWidth = 640 - 2 * PanelLeft;
constexpr int32_t PanelTop = 104;
constexpr int32_t PanelBottom = 376;
constexpr int32_t MapLeft = 32;
constexpr int32_t CapsLeft = 64;
constexpr int32_t CapsTop = 126;
constexpr int32_t CapPitch = 34;
constexpr int32_t CapWidth = 32;
constexpr int32_t CapHeight = 20;
constexpr int32_t RowPitch = 24;
// How far right of the number row each row starts, in NoteRows order from the bottom row up.
constexpr std::array<int32_t, 4> RowShifts = {42, 25, 17, 0};

struct ControlLine
{
    const char* keys;
    const char* does;
};
constexpr std::array<ControlLine, 10> Controls = {{
    {"F1-F8", "switch eight steps of the selected track on or off"},
    {"F9", "flip F1-F8 between steps 1-8 and 9-16"},
    {"keypad 1-9", "select the track: kick, snare, closed hat, open hat,"},
    {"", "clap, low tom, high tom, cowbell, crash"},
    {"F11 / F12", "slower / faster, by 5 ms a step"},
    {"Left Shift", "keyboard down a semitone, to an octave below the start"},
    {"Right Shift", "keyboard up a semitone, back to the start"},
    {"Alt+Enter", "fullscreen and back"},
    {"Escape", "quit"},
    {"F10", "show or hide this map"},
}};
constexpr int32_t ControlsTop = 248;
constexpr int32_t ControlsIndent = MapLeft + 13 * Lettering::Advance;
constexpr int32_t ControlPitch = 12;

// A dark box one pixel wider than the text each side, so the text reads over the trail.
void DrawBacked(IDrawer& drawer, const Lettering& lettering, const std::string& text, int32_t x,
                int32_t y)
{
    lettering.Fill(drawer, {x - 2, y - 2, Lettering::Width(text) + 3, Lettering::LineHeight + 2},
                   Backing, PanelPriority);
    lettering.Draw(drawer, text, x, y, Text, TextPriority);
}
} // namespace

std::string PitchName(int32_t note)
{
    static constexpr std::array<const char*, 12> Names = {"C",  "C#", "D",  "D#", "E",  "F",
                                                          "F#", "G",  "G#", "A",  "A#", "B"};
    return std::string(Names[static_cast<size_t>(note % 12)]) + std::to_string(3 + note / 12);
}

std::string DrumMachineStatus(const Game& game)
{
    const int32_t interval = game.sequencer->interval;
    char tempo[32];
    if (interval > 0)
    {
        std::snprintf(tempo, sizeof tempo, "%.0f BPM", StepMillisecondsPerMinute / interval);
    }
    else
    {
        std::snprintf(tempo, sizeof tempo, "a step a frame");
    }
    const bool firstHalf = stepPage == 0;
    return std::string("track: ") + TrackNames[static_cast<size_t>(selectedTrack)] +
           "   F1-F8: steps " + (firstHalf ? "1-8" : "9-16") + "   " + tempo + "   transpose " +
           std::to_string(game.transpose - StartTranspose);
}

void Overlay::Load(IDrawer& drawer, const std::wstring& glyphsPath, Clock clockSource)
{
    lettering.Load(drawer, glyphsPath);
    clock = clockSource;
    startTime = clock();
}

void Overlay::Draw(IDrawer& drawer, const Game& game) const
{
    if (!lettering.IsLoaded())
    {
        return;
    }
    drawer.SetBlendMode(Qorv::Draw::BlendAlpha);
    DrawBacked(drawer, lettering, DrumMachineStatus(game), StatusX, StatusY);
    // Unsigned difference: a clock that wraps during the hint only shortens it.
    if (clock() - startTime < HintMilliseconds)
    {
        DrawBacked(drawer, lettering, "F10: keys", HintX, HintY);
    }
    if (keyMapShown)
    {
        DrawKeyMap(drawer, game.transpose);
    }
    drawer.Flush();
    drawer.SetBlendMode(Qorv::Draw::BlendNone);
}

void Overlay::DrawKeyMap(IDrawer& drawer, int32_t transpose) const
{
    lettering.Fill(drawer, {PanelLeft, PanelTop, PanelWidth, PanelBottom - PanelTop}, Panel,
                   PanelPriority);
    lettering.Draw(drawer, "The keys by where they sit (F10 hides this map)", MapLeft, PanelTop + 8,
                   Text, TextPriority);

    for (size_t row = 0; row < NoteRows.size(); ++row)
    {
        const int32_t top = CapsTop + static_cast<int32_t>(NoteRows.size() - 1 - row) * RowPitch;
        const uint32_t colour = SyllableColours[row];
        lettering.Draw(drawer, Syllables[row], MapLeft, top + 5, colour, TextPriority);
        for (size_t column = 0; column < NoteRows[row].size(); ++column)
        {
            const int32_t left =
                CapsLeft + RowShifts[row] + static_cast<int32_t>(column) * CapPitch;
            lettering.Fill(drawer, {left, top, CapWidth, CapHeight}, colour, CapPriority);
            const std::string pitch = PitchName(transpose + static_cast<int32_t>(column));
            lettering.Draw(drawer, pitch, left + (CapWidth - Lettering::Width(pitch) + 1) / 2,
                           top + 5, KeyLabel, TextPriority);
        }
    }

    const int32_t below = CapsTop + 4 * RowPitch + 2;
    lettering.Draw(drawer,
                   "Each row sings its syllable; the leftmost keys sing " + PitchName(transpose) +
                       ", each key right a semitone higher.",
                   MapLeft, below, Text, TextPriority);
    int32_t top = ControlsTop;
    for (const ControlLine& line : Controls)
    {
        lettering.Draw(drawer, line.keys, MapLeft, top, KeyName, TextPriority);
        lettering.Draw(drawer, line.does, ControlsIndent, top, Text, TextPriority);
        top += ControlPitch;
    }
}

} // namespace Pakemino
