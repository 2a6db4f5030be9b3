// The frame's key handling: every key the game knows is asked once, in a fixed order, whether it
// went down in this frame; each action is immediate, so later keys see earlier effects.

#include "app/KeyLayout.h"
#include "app/Game.h"

#include <algorithm>

namespace Pakemino
{

namespace
{
// Semitones added to a note key's column stay within 0..HighestTranspose.
constexpr int32_t HighestTranspose = 12;
// F9 switches F1..F8 between steps 0..7 and the steps from here on.
constexpr int32_t SecondStepPage = static_cast<int32_t>(StepKeys.size());
// Milliseconds F11 adds to the step interval and F12 takes from it.
constexpr int32_t IntervalChange = 5;
} // namespace

void HandleKeys(Game& game)
{
    if (game.input->IsKeyPressed(Keys::KeyLShift))
    {
        game.transpose -= 1;
    }
    if (game.input->IsKeyPressed(Keys::KeyRShift))
    {
        game.transpose += 1;
    }
    game.transpose = std::clamp(game.transpose, 0, HighestTranspose);

    // With Ctrl held a letter is a command, not a note.
    const bool control =
        game.input->IsKeyDown(Keys::KeyLControl) || game.input->IsKeyDown(Keys::KeyRControl);
    if (control && game.input->IsKeyPressed(Keys::KeyS))
    {
        game.saveRequested = true;
    }
    for (size_t row = 0; row < NoteRows.size() && !control; ++row)
    {
        for (size_t column = 0; column < NoteRows[row].size(); ++column)
        {
            if (game.input->IsKeyPressed(NoteRows[row][column]))
            {
                game.player->PlayNote(static_cast<int32_t>(row),
                                      game.transpose + static_cast<int32_t>(column));
            }
        }
    }

    for (size_t k = 0; k < StepKeys.size(); ++k)
    {
        if (game.input->IsKeyPressed(StepKeys[k]))
        {
            bool& stepOn =
                game.sequencer->tracks[selectedTrack].steps[static_cast<size_t>(stepPage) + k];
            stepOn = !stepOn;
        }
    }
    if (game.input->IsKeyPressed(Keys::KeyF9))
    {
        stepPage = stepPage == 0 ? SecondStepPage : 0;
    }

    // While an outside clock sets the tempo, the keys would change nothing audible.
    if (game.input->IsKeyPressed(Keys::KeyF11) && !game.followingClock)
    {
        game.sequencer->interval += IntervalChange;
    }
    if (game.input->IsKeyPressed(Keys::KeyF12) && !game.followingClock)
    {
        // Below zero the sequencer would stop, not speed up: every frame is as fast as it goes.
        game.sequencer->interval = std::max(game.sequencer->interval - IntervalChange, 0);
    }

    for (size_t t = 0; t < TrackKeys.size(); ++t)
    {
        if (game.input->IsKeyPressed(TrackKeys[t]))
        {
            selectedTrack = static_cast<int32_t>(t);
        }
    }

    if (game.input->IsKeyPressed(Keys::KeyF10))
    {
        game.overlay.ToggleKeyMap();
    }
}

} // namespace Pakemino
