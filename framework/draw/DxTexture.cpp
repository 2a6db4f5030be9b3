#include "framework/draw/DxTexture.h"

namespace Qorv::Draw
{

namespace
{

// Doubling stops once past any int32_t request, so a huge one yields a size the device refuses.
int64_t PowerOfTwoAtLeast(int32_t size)
{
    int64_t side = 1;
    while (side < size)
    {
        side *= 2;
    }
    return side;
}

} // namespace

DxTexture::~DxTexture()
{
    Destroy();
}

bool DxTexture::CreateImpl(int32_t width, int32_t height, bool renderTarget)
{
    const std::shared_ptr<IDirect3DDevice9> live = device.lock();
    if (!live)
    {
        return false;
    }
    const int64_t sideWidth = PowerOfTwoAtLeast(width);
    const int64_t sideHeight = PowerOfTwoAtLeast(height);
    if (sideWidth > INT32_MAX || sideHeight > INT32_MAX)
    {
        return false;
    }
    IDirect3DTexture9* created = nullptr;
    if (live->CreateTexture(static_cast<UINT>(sideWidth), static_cast<UINT>(sideHeight), 0,
                            renderTarget ? D3DUSAGE_RENDERTARGET : 0, D3DFMT_A8R8G8B8,
                            renderTarget ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED, &created,
                            nullptr) != D3D_OK ||
        created == nullptr)
    {
        return false;
    }
    texture = created;
    allocatedWidth = static_cast<int32_t>(sideWidth);
    allocatedHeight = static_cast<int32_t>(sideHeight);
    return true;
}

uint32_t* DxTexture::LockImpl()
{
    D3DLOCKED_RECT locked{};
    if (texture == nullptr || texture->LockRect(0, &locked, nullptr, 0) != D3D_OK)
    {
        return nullptr;
    }
    return static_cast<uint32_t*>(locked.pBits);
}

void DxTexture::UnlockImpl()
{
    texture->UnlockRect(0);
}

void DxTexture::DestroyImpl()
{
    texture->Release();
    texture = nullptr;
}

} // namespace Qorv::Draw
