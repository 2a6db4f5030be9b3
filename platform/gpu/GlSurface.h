#pragma once
// A surface is either level 0 of a texture, which it keeps alive, or a device's back buffer.

#include "platform/gpu/D3D9.h"
#include "platform/gpu/GlTexture.h"
#include "platform/window/RefCounted.h"

namespace platform::gl
{

class GlSurface final : public RefCounted<IDirect3DSurface9>
{
public:
    explicit GlSurface(GlTexture* texture);
    GlSurface(UINT backBufferWidth, UINT backBufferHeight);
    ~GlSurface() override;

    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;

    // Null for the back buffer.
    GlTexture* Texture() const { return texture; }
    UINT Width() const { return width; }
    UINT Height() const { return height; }

private:
    GlTexture* texture = nullptr;
    UINT width;
    UINT height;
};

} // namespace platform::gl
