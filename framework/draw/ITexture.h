#pragma once
// A picture held by the device: loaded from a file or drawn into as a render target. Public
// operations keep the created and locked state and the picture's size; Impl hooks do the work.

#include "framework/base/Interface.h"

#include <cstdint>

namespace Qorv::Draw
{

class ITexture : public Base::Interface
{
public:
    // Destroys an existing device texture first; false on a negative height.
    [[nodiscard]] bool Create(int32_t width, int32_t height, bool renderTarget);
    // The first of the allocated-width-spaced rows of A8R8G8B8 pixels, or null.
    uint32_t* Lock();
    void Unlock();
    void Destroy();
    bool IsCreated() const { return created; }
    // The size asked for in the last successful Create: the picture inside the texture.
    int32_t GetImageWidth() const { return width; }
    int32_t GetImageHeight() const { return height; }

    // The allocated size, powers of two.
    virtual int32_t GetWidth() const = 0;
    virtual int32_t GetHeight() const = 0;

protected:
    virtual bool CreateImpl(int32_t width, int32_t height, bool renderTarget) = 0;
    virtual uint32_t* LockImpl() = 0;
    virtual void UnlockImpl() = 0;
    virtual void DestroyImpl() = 0;

private:
    bool created = false;
    bool locked = false;
    int32_t width = 0;
    int32_t height = 0;
};

} // namespace Qorv::Draw
