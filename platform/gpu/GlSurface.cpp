#include "platform/gpu/GlSurface.h"

namespace platform::gl
{

GlSurface::GlSurface(GlTexture* texture)
    : texture(texture), width(texture->Width()), height(texture->Height())
{
    texture->AddRef();
}

GlSurface::GlSurface(UINT backBufferWidth, UINT backBufferHeight)
    : width(backBufferWidth), height(backBufferHeight)
{
}

GlSurface::~GlSurface()
{
    if (texture != nullptr)
    {
        texture->Release();
    }
}

HRESULT GlSurface::GetDesc(D3DSURFACE_DESC* desc)
{
    if (desc == nullptr)
    {
        return D3DERR_INVALIDCALL;
    }
    *desc = {};
    desc->Type = D3DRTYPE_SURFACE;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->Width = width;
    desc->Height = height;
    if (texture != nullptr)
    {
        desc->Format = D3DFMT_A8R8G8B8;
        desc->Usage = texture->Usage();
        desc->Pool = texture->Pool();
    }
    else
    {
        desc->Format = D3DFMT_X8R8G8B8;
        desc->Usage = D3DUSAGE_RENDERTARGET;
        desc->Pool = D3DPOOL_DEFAULT;
    }
    return D3D_OK;
}

} // namespace platform::gl
