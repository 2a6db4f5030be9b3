#pragma once
// The reference count behind Release for every object of the GL device.

#include "platform/gpu/D3D9.h"

namespace platform::gl
{

template <typename Interface> class RefCounted : public Interface
{
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    void AddRef() { ++references; }

    ULONG Release() override
    {
        const ULONG left = --references;
        if (left == 0)
        {
            delete this;
        }
        return left;
    }

private:
    ULONG references = 1;
};

} // namespace platform::gl
