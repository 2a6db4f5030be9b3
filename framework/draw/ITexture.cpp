#include "framework/draw/ITexture.h"

namespace Qorv::Draw
{

bool ITexture::Create(int32_t newWidth, int32_t newHeight, bool renderTarget)
{
    if (newHeight < 0)
    {
        return false;
    }
    Destroy();
    if (!CreateImpl(newWidth, newHeight, renderTarget))
    {
        return false;
    }
    width = newWidth;
    height = newHeight;
    created = true;
    return true;
}

uint32_t* ITexture::Lock()
{
    uint32_t* pixels = LockImpl();
    if (pixels != nullptr)
    {
        locked = true;
    }
    return pixels;
}

void ITexture::Unlock()
{
    if (locked)
    {
        UnlockImpl();
        locked = false;
    }
}

void ITexture::Destroy()
{
    if (created)
    {
        Unlock();
        DestroyImpl();
        created = false;
    }
}

} // namespace Qorv::Draw
