#include "platform/gpu/GlTexture.h"

#include "platform/gpu/GlSurface.h"

namespace platform::gl
{

GlTexture::GlTexture(const std::shared_ptr<GlContext>& context, UINT width, UINT height,
                     DWORD usage, D3DPOOL pool)
    : context(context), width(width), height(height), usage(usage), pool(pool)
{
}

GlTexture* GlTexture::Create(const std::shared_ptr<GlContext>& context, UINT width, UINT height,
                             DWORD usage, D3DPOOL pool)
{
    context->MakeCurrent();
    while (glGetError() != GL_NO_ERROR)
    {
    }
    auto* texture = new GlTexture(context, width, height, usage, pool);
    if (pool == D3DPOOL_MANAGED)
    {
        texture->pixels.assign(static_cast<size_t>(width) * height, 0);
    }
    glGenTextures(1, &texture->name);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    // Only level 0 is ever drawn, so the texture is complete without a chain.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 texture->pixels.empty() ? nullptr : texture->pixels.data());
    if ((usage & D3DUSAGE_RENDERTARGET) != 0)
    {
        GLint previous = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
        glGenFramebuffers(1, &texture->framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, texture->framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture->name,
                               0);
        const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        // A fresh target starts transparent black rather than whatever the driver left. The
        // scissor carries the device's viewport clipping, so it is restored.
        const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        if (scissor == GL_TRUE)
        {
            glEnable(GL_SCISSOR_TEST);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
        if (!complete)
        {
            texture->Release();
            return nullptr;
        }
    }
    if (glGetError() != GL_NO_ERROR)
    {
        texture->Release();
        return nullptr;
    }
    return texture;
}

GlTexture::~GlTexture()
{
    if (auto live = context.lock())
    {
        live->MakeCurrent();
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &name);
    }
}

HRESULT GlTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    if (level != 0 || surface == nullptr)
    {
        return D3DERR_INVALIDCALL;
    }
    *surface = new GlSurface(this);
    return D3D_OK;
}

HRESULT GlTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRectOut, const RECT* rect, DWORD)
{
    // Only managed textures have memory to lock; render targets live on the device alone.
    if (level != 0 || lockedRectOut == nullptr || pool != D3DPOOL_MANAGED || locked)
    {
        return D3DERR_INVALIDCALL;
    }
    RECT area{0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
    if (rect != nullptr)
    {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
            rect->top >= rect->bottom || rect->right > area.right || rect->bottom > area.bottom)
        {
            return D3DERR_INVALIDCALL;
        }
        area = *rect;
    }
    locked = true;
    lockedRect = area;
    lockedRectOut->Pitch = static_cast<INT>(width * 4);
    lockedRectOut->pBits =
        pixels.data() + static_cast<size_t>(area.top) * width + static_cast<size_t>(area.left);
    return D3D_OK;
}

HRESULT GlTexture::UnlockRect(UINT level)
{
    if (level != 0 || !locked)
    {
        return D3DERR_INVALIDCALL;
    }
    locked = false;
    auto live = context.lock();
    if (!live)
    {
        return D3D_OK;
    }
    live->MakeCurrent();
    const auto top = static_cast<size_t>(lockedRect.top);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, lockedRect.top, static_cast<GLsizei>(width),
                    lockedRect.bottom - lockedRect.top, GL_BGRA, GL_UNSIGNED_BYTE,
                    pixels.data() + top * width);
    return D3D_OK;
}

} // namespace platform::gl
