#pragma once
// After the Game is built, one line on a stream for each thing a player must know before
// playing: the window got no picture device, or a data file is missing or cannot be read.

#include <cstdio>

namespace Pakemino
{

class Game;

void ReportStartProblems(const Game& game, std::FILE* out);

} // namespace Pakemino
