#pragma once
// The one way to put pixels on screen: a queue of quads drawn at each flush into the render
// target in force. Public operations keep the open, scene, blend and target state; Impl hooks
// drive the device.

#include "framework/base/Interface.h"
#include "framework/draw/DrawCommand.h"
#include "framework/draw/ITexture.h"
#include "platform/window/Win32.h"

#include <cstdint>
#include <memory>

namespace Qorv::Draw
{

class IDrawer : public Base::Interface
{
public:
    [[nodiscard]] bool Open(HWND window, int32_t width, int32_t height, int32_t bitsPerPixel,
                            bool fullScreen, bool waitForVSync);
    void Close();
    bool IsOpen() const { return open; }
    void BeginFrame();
    // Presents the frame.
    void EndFrame();
    // Fills the requested target with transparent magenta.
    void Clear();
    // Applies to the commands made afterwards.
    void SetBlendMode(int32_t mode);
    // An empty pointer changes nothing; the target takes effect at the next flush or clear.
    void SetRenderTarget(const std::shared_ptr<ITexture>& texture);
    void ResetRenderTarget();
    // Draws the whole queue into the requested target and empties it.
    void Flush();
    // Limits the flushes made afterwards to this rectangle of their target; a width or height
    // of 0 or less: the whole target.
    void SetViewport(const Rect& rect) { viewport = rect; }

    void FillRect(uint32_t colour, int32_t x, int32_t y, int32_t width, int32_t height);
    // Lower priorities are drawn first. The texture must stay alive until the next flush.
    void DrawImage(const std::shared_ptr<ITexture>& texture, uint32_t colour, uint32_t priority,
                   const Rect& destination, const Rect& source);
    void DrawImageQuad(const std::shared_ptr<ITexture>& texture, uint32_t colour, uint32_t priority,
                       const Rect& source, const Quad& corners);

    // A new, empty texture bound to this drawer's device; the drawer must outlive it.
    [[nodiscard]] virtual std::shared_ptr<ITexture> CreateTexture() = 0;
    virtual void SetLinearFilter(bool linear) = 0;

protected:
    virtual bool OpenImpl(HWND window, int32_t width, int32_t height, int32_t bitsPerPixel,
                          bool fullScreen, bool waitForVSync) = 0;
    virtual void CloseImpl() = 0;
    virtual bool BeginSceneImpl() = 0;
    virtual void EndSceneImpl() = 0;
    virtual void ClearImpl() = 0;
    virtual void AddQuadImpl(DrawCommand command) = 0;
    virtual void FlushImpl() = 0;
    // Null means the back buffer.
    virtual bool SetRenderTargetImpl(ITexture* texture) = 0;

    // Width or height 0 or less: the whole current target.
    const Rect& GetViewport() const { return viewport; }

private:
    void ApplyRequestedTarget();

    bool open = false;
    bool inScene = false;
    int32_t blendMode = BlendNone;
    std::shared_ptr<ITexture> requestedTarget;
    std::shared_ptr<ITexture> appliedTarget;
    Rect viewport;
};

// A new drawer on the platform's Direct3D device, not open.
[[nodiscard]] std::shared_ptr<IDrawer> CreateDrawer();

} // namespace Qorv::Draw
