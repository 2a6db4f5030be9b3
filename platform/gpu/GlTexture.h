#pragma once
// An A8R8G8B8 texture of one level. Managed textures keep their pixels in memory for
// LockRect and upload them on UnlockRect; render targets are drawn into through a framebuffer.

#include "platform/gpu/D3D9.h"
#include "platform/gpu/GlContext.h"
#include "platform/window/RefCounted.h"

#include <epoxy/gl.h>

#include <memory>
#include <vector>

namespace platform::gl
{

class GlTexture final : public RefCounted<IDirect3DTexture9>
{
public:
    // Null when the driver has no room for it.
    [[nodiscard]] static GlTexture* Create(const std::shared_ptr<GlContext>& context, UINT width,
                                           UINT height, DWORD usage, D3DPOOL pool);
    ~GlTexture() override;

    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                     DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    GLuint Name() const { return name; }
    // Zero unless the texture is a render target.
    GLuint Framebuffer() const { return framebuffer; }
    UINT Width() const { return width; }
    UINT Height() const { return height; }
    DWORD Usage() const { return usage; }
    D3DPOOL Pool() const { return pool; }

private:
    GlTexture(const std::shared_ptr<GlContext>& context, UINT width, UINT height, DWORD usage,
              D3DPOOL pool);

    std::weak_ptr<GlContext> context;
    UINT width;
    UINT height;
    DWORD usage;
    D3DPOOL pool;
    GLuint name = 0;
    GLuint framebuffer = 0;
    std::vector<uint32_t> pixels;
    bool locked = false;
    RECT lockedRect{};
};

} // namespace platform::gl
