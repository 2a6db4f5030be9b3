#include "app/Game.h"

namespace Pakemino
{

// Construction, frames and destruction grow with the input, sound and picture subsystems.
Game::Game(HWND window) : window(window) {}

Game::~Game() = default;

void Game::RunFrame() {}

} // namespace Pakemino
