#pragma once
// One device's OpenGL context: resources keep a weak reference, so one released after its
// device frees nothing that is already gone.

#include <SDL.h>

namespace platform::gl
{

class GlContext
{
public:
    GlContext(SDL_Window* window, SDL_GLContext context) : window(window), context(context) {}
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;
    ~GlContext();

    // Several devices may live at once (tests make one per window); each call makes its own
    // context current first.
    void MakeCurrent() const;
    SDL_Window* Window() const { return window; }

private:
    SDL_Window* window;
    SDL_GLContext context;
};

} // namespace platform::gl
