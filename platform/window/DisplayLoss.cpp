#include "platform/window/DisplayLoss.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <unistd.h>

namespace platform::sdl
{

namespace
{

// Xlib's own handler calls exit() from inside the call that failed (often the GL swap), so
// static destructors and library teardown run with the audio and llvmpipe threads still going
// and go back to the dead connection. Nothing can be shown or typed any more: release the
// sound device and end at once.
int EndOnLostConnection(Display* display)
{
    std::fprintf(stderr, "X connection to %s lost; ending\n", DisplayString(display));
    SDL_AudioQuit();
    _exit(1);
}

} // namespace

void EndWhenDisplayIsLost()
{
    XSetIOErrorHandler(EndOnLostConnection);
}

} // namespace platform::sdl
