#pragma once
// The Direct3D 9 device of one window on an OpenGL 3.3 core context: the fixed vertex format,
// the states the drawer sets, scenes, buffers, textures and render targets.

#include "platform/gpu/D3D9.h"
#include "platform/gpu/GlBuffer.h"
#include "platform/gpu/GlContext.h"
#include "platform/gpu/GlProgram.h"
#include "platform/gpu/GlSurface.h"
#include "platform/gpu/GlTexture.h"
#include "platform/window/RefCounted.h"

#include <memory>
#include <optional>

namespace platform::gl
{

class GlDevice final : public RefCounted<IDirect3DDevice9>
{
public:
    // Fills in a zero back-buffer size from the window. Null with the reason in result.
    [[nodiscard]] static GlDevice* Create(HWND window, D3DPRESENT_PARAMETERS& parameters,
                                          HRESULT& result);
    ~GlDevice() override;

    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const RGNDATA* dirtyRegion) override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    [[nodiscard]] HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                        D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture,
                                        HANDLE* sharedHandle) override;
    [[nodiscard]] HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                             IDirect3DVertexBuffer9** vertexBuffer,
                                             HANDLE* sharedHandle) override;
    [[nodiscard]] HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, IDirect3DIndexBuffer9** indexBuffer,
                                            HANDLE* sharedHandle) override;
    HRESULT SetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9* renderTarget) override;
    HRESULT GetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9** renderTarget) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface9** surface) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DTexture9* texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                 UINT numVertices, UINT startIndex, UINT primCount) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                            UINT offsetInBytes, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* indexData) override;

private:
    explicit GlDevice(std::shared_ptr<GlContext> context);
    bool Prepare(UINT width, UINT height);
    void BindTarget();
    GLuint TargetFramebuffer() const;
    void FollowWindowSize();
    void ApplyViewport() const;
    void ApplyDrawState();
    std::optional<D3DCOLOR> ViewportFillOf(INT baseVertexIndex, UINT minVertexIndex,
                                           UINT numVertices, UINT startIndex, UINT primCount) const;

    std::shared_ptr<GlContext> context;
    GlProgram program;
    GLuint vertexArray = 0;
    GLuint sampler = 0;
    GLuint whiteTexture = 0;
    GLint maxTextureSize = 0;

    // The back buffer is drawn straight into the window while the window is its size;
    // otherwise at its own size off screen, and scaled into the window when presented.
    GLuint backBufferFramebuffer = 0;
    GLuint backBufferColour = 0;
    bool drawsToWindow = false;
    GlSurface* backBuffer = nullptr;
    GlSurface* renderTarget = nullptr;
    GlTexture* texture = nullptr;
    GlVertexBuffer* stream = nullptr;
    UINT streamOffset = 0;
    UINT streamStride = 0;
    GlIndexBuffer* indices = nullptr;
    DWORD vertexFormat = 0;
    D3DVIEWPORT9 viewport{};
    bool inScene = false;

    // The states the drawer sets, at the device defaults.
    struct DrawState
    {
        bool blendEnabled = false;
        DWORD sourceBlend = D3DBLEND_ONE;
        DWORD destinationBlend = D3DBLEND_ZERO;
        DWORD alphaOperation = D3DTOP_SELECTARG1;
        DWORD alphaArgument1 = D3DTA_TEXTURE;
        DWORD alphaArgument2 = D3DTA_CURRENT;
        DWORD magFilter = D3DTEXF_POINT;
        DWORD minFilter = D3DTEXF_POINT;
    };
    DrawState requested;
    // What GL was last given: its own defaults, and the filters Prepare sets, until the first
    // draw. No alpha stage yet, so the first draw sets the program's.
    DrawState applied{.alphaOperation = 0, .alphaArgument1 = 0, .alphaArgument2 = 0};
    GLuint appliedIndices = 0;
    GLuint appliedStream = 0;
    UINT appliedStreamOffset = 0;
};

} // namespace platform::gl
