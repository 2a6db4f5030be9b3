#pragma once
// The application object: owns the framework objects and runs one frame per RunFrame.

#include "platform/window/Win32.h"

namespace Pakemino
{

class Game
{
public:
    explicit Game(HWND window);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    ~Game();

    void RunFrame();

private:
    [[maybe_unused]] HWND window;
};

} // namespace Pakemino
