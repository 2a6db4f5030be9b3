#pragma once
// The reference count behind Release for the COM-style objects of every platform folder.

#include "platform/window/Win32.h"

namespace platform
{

template <typename Interface> class RefCounted : public Interface
{
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;
    // Virtual, for the interfaces whose own destructor is not.
    virtual ~RefCounted() = default;

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

} // namespace platform
