#pragma once
// A vertex or index buffer: its bytes live in memory for Lock, and a draw uploads the range it
// reads when that range changed since it was last uploaded.

#include "platform/gpu/D3D9.h"
#include "platform/gpu/GlContext.h"
#include "platform/window/RefCounted.h"

#include <epoxy/gl.h>

#include <memory>
#include <vector>

namespace platform::gl
{

template <typename Interface> class GlBuffer final : public RefCounted<Interface>
{
public:
    // Null when the driver has no room for it.
    [[nodiscard]] static GlBuffer* Create(const std::shared_ptr<GlContext>& context, UINT length);
    ~GlBuffer() override;

    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT Unlock() override;

    UINT Length() const { return static_cast<UINT>(bytes.size()); }
    bool IsLocked() const { return lockCount > 0; }
    // Makes bytes [from, to) current in the GL buffer, which stays bound to GL_ARRAY_BUFFER.
    void Upload(UINT from, UINT to);
    GLuint Name() const { return name; }
    const uint8_t* Bytes() const { return bytes.data(); }

private:
    GlBuffer(const std::shared_ptr<GlContext>& context, UINT length);

    std::weak_ptr<GlContext> context;
    std::vector<uint8_t> bytes;
    GLuint name = 0;
    UINT lockCount = 0;
    // The range known to match the GL buffer; empty after any lock.
    UINT uploadedFrom = 0;
    UINT uploadedTo = 0;
};

using GlVertexBuffer = GlBuffer<IDirect3DVertexBuffer9>;
using GlIndexBuffer = GlBuffer<IDirect3DIndexBuffer9>;

} // namespace platform::gl
