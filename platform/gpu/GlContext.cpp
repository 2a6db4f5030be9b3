#include "platform/gpu/GlContext.h"

namespace platform::gl
{

GlContext::~GlContext()
{
    if (SDL_GL_GetCurrentContext() == context)
    {
        SDL_GL_MakeCurrent(window, nullptr);
    }
    SDL_GL_DeleteContext(context);
}

void GlContext::MakeCurrent() const
{
    if (SDL_GL_GetCurrentContext() != context)
    {
        SDL_GL_MakeCurrent(window, context);
    }
}

} // namespace platform::gl
