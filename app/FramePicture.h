#pragma once
// The frame picture: the Game's share of construction that opens the drawer and makes its
// pictures and trail targets, and what every frame draws.

#include "framework/base/IFileFinder.h"
#include "framework/draw/DrawCommand.h"

namespace Pakemino
{

class Game;

// The construction steps, in the order the Game runs them: the drawer opened, the note and pad
// pictures loaded, then the trail's targets made opaque black and the stage loaded.
void OpenPicture(Game& game);
void LoadPictures(Game& game, Qorv::Base::IFileFinder& finder);
void PrepareTrailAndStage(Game& game, Qorv::Base::IFileFinder& finder);

// The last step of every frame: the trail with a picture for each of the notes played since the
// last frame, the stage, the pads with the step playing, and the overlay.
void DrawFrame(Game& game, int32_t notesPlayed, int32_t step);
// The corners of rect turned by trailAngle about its centre.
Qorv::Draw::Quad MakeTrailQuad(const Qorv::Draw::Rect& rect);

} // namespace Pakemino
