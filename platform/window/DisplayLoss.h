#pragma once
namespace platform::sdl
{

// What the program does when the X server it shows on goes away under it.

// Installs the handler for a lost X connection; once per process is enough.
void EndWhenDisplayIsLost();

} // namespace platform::sdl
