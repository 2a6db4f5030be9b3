#pragma once
// The drawer on Direct3D 9: sorts the queue by priority, blend mode and texture and draws each
// run of equal blend mode and texture with one indexed call from one shared pair of buffers.

#include "framework/draw/IDrawer.h"
#include "platform/gpu/D3D9.h"

#include <functional>
#include <memory>
#include <vector>

namespace Qorv::Draw
{

// Where the drawer gets its Direct3D object; tests hand in one that records the calls.
using Direct3DFactory = std::function<IDirect3D9*(UINT sdkVersion)>;

class DxDrawer final : public IDrawer
{
public:
    explicit DxDrawer(Direct3DFactory factory = Direct3DCreate9);
    ~DxDrawer() override;

    [[nodiscard]] std::shared_ptr<ITexture> CreateTexture() override;
    void SetLinearFilter(bool linear) override;

    // 16-bit indices address 65536 vertices: a longer run is drawn in several calls.
    static constexpr size_t MaxBatchQuads = 16384;

protected:
    bool OpenImpl(HWND window, int32_t width, int32_t height, int32_t bitsPerPixel, bool fullScreen,
                  bool waitForVSync) override;
    void CloseImpl() override;
    bool BeginSceneImpl() override;
    void EndSceneImpl() override;
    void ClearImpl() override;
    void AddQuadImpl(DrawCommand command) override;
    void FlushImpl() override;
    bool SetRenderTargetImpl(ITexture* texture) override;

private:
    void SortQueue();
    bool ReserveQuads(size_t count);
    void ReleaseBuffers();
    void ApplyBatchState(const DrawCommand& command);
    void MatchViewport();
    bool LockBuffers(void** vertices, void** indices);
    void UnlockBuffers();
    void DrawQuads(UINT quads);

    Direct3DFactory factory;
    IDirect3D9* direct3D = nullptr;
    IDirect3DDevice9* device = nullptr;
    // Holds the device for the textures only while the drawer is open; owns no reference.
    std::shared_ptr<IDirect3DDevice9> textureDevice;
    D3DPRESENT_PARAMETERS presentParameters{};
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    size_t capacity = 0;
    HWND window = nullptr;
    std::vector<DrawCommand> queue;
    // The queue's storage swaps with this at each sort, so both keep their room.
    std::vector<DrawCommand> sorted;
};

} // namespace Qorv::Draw
