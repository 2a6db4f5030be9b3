#pragma once
// A texture on the drawer's Direct3D device, A8R8G8B8 with power-of-two sides. The device is
// borrowed from the drawer, which must outlive the texture; once the drawer closes, Create
// fails and the device texture already made is only released.

#include "framework/draw/ITexture.h"
#include "platform/gpu/D3D9.h"

#include <memory>
#include <utility>

namespace Qorv::Draw
{

class DxTexture final : public ITexture
{
public:
    // An empty device makes a texture whose Create always fails.
    explicit DxTexture(std::weak_ptr<IDirect3DDevice9> device) : device(std::move(device)) {}
    ~DxTexture() override;

    int32_t GetWidth() const override { return allocatedWidth; }
    int32_t GetHeight() const override { return allocatedHeight; }
    // Null until created.
    IDirect3DTexture9* GetDeviceTexture() const { return texture; }

protected:
    bool CreateImpl(int32_t width, int32_t height, bool renderTarget) override;
    uint32_t* LockImpl() override;
    void UnlockImpl() override;
    void DestroyImpl() override;

private:
    int32_t allocatedWidth = 0;
    int32_t allocatedHeight = 0;
    IDirect3DTexture9* texture = nullptr;
    std::weak_ptr<IDirect3DDevice9> device;
};

} // namespace Qorv::Draw
