#include "framework/draw/IDrawer.h"

namespace Qorv::Draw
{

bool IDrawer::Open(HWND window, int32_t width, int32_t height, int32_t bitsPerPixel,
                   bool fullScreen, bool waitForVSync)
{
    Close();
    open = OpenImpl(window, width, height, bitsPerPixel, fullScreen, waitForVSync);
    return open;
}

void IDrawer::Close()
{
    if (!open)
    {
        return;
    }
    CloseImpl();
    open = false;
    // A device opened later starts on its back buffer.
    appliedTarget.reset();
}

void IDrawer::BeginFrame()
{
    if (open)
    {
        inScene = BeginSceneImpl();
    }
}

void IDrawer::EndFrame()
{
    if (open && inScene)
    {
        EndSceneImpl();
    }
}

void IDrawer::Clear()
{
    if (open)
    {
        ApplyRequestedTarget();
        ClearImpl();
    }
}

void IDrawer::SetBlendMode(int32_t mode)
{
    blendMode = mode;
}

void IDrawer::SetRenderTarget(const std::shared_ptr<ITexture>& texture)
{
    if (texture)
    {
        requestedTarget = texture;
    }
}

void IDrawer::ResetRenderTarget()
{
    requestedTarget.reset();
}

void IDrawer::Flush()
{
    if (!open)
    {
        return;
    }
    ApplyRequestedTarget();
    FlushImpl();
}

void IDrawer::ApplyRequestedTarget()
{
    if (appliedTarget != requestedTarget)
    {
        // Recorded as applied whatever the device said, so a refused target is not retried
        // at every flush.
        SetRenderTargetImpl(requestedTarget.get());
        appliedTarget = requestedTarget;
    }
}

void IDrawer::FillRect(uint32_t colour, int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (open)
    {
        // A fill has no texture alpha to multiply in.
        AddQuadImpl({.texture = nullptr,
                     .colour = colour,
                     .blendMode = blendMode == BlendAlpha ? BlendVertexAlpha : blendMode,
                     .destination = {x, y, width, height},
                     .source = {},
                     .corners = {},
                     .priority = 0,
                     .isRect = true});
    }
}

void IDrawer::DrawImage(const std::shared_ptr<ITexture>& texture, uint32_t colour,
                        uint32_t priority, const Rect& destination, const Rect& source)
{
    if (open)
    {
        AddQuadImpl({.texture = texture.get(),
                     .colour = colour,
                     .blendMode = blendMode,
                     .destination = destination,
                     .source = source,
                     .corners = {},
                     .priority = priority,
                     .isRect = true});
    }
}

void IDrawer::DrawImageQuad(const std::shared_ptr<ITexture>& texture, uint32_t colour,
                            uint32_t priority, const Rect& source, const Quad& corners)
{
    if (open)
    {
        AddQuadImpl({.texture = texture.get(),
                     .colour = colour,
                     .blendMode = blendMode,
                     .destination = {},
                     .source = source,
                     .corners = corners,
                     .priority = priority,
                     .isRect = false});
    }
}

} // namespace Qorv::Draw
