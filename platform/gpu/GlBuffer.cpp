#include "platform/gpu/GlBuffer.h"

namespace platform::gl
{

template <typename Interface>
GlBuffer<Interface>::GlBuffer(const std::shared_ptr<GlContext>& context, UINT length)
    : context(context), bytes(length, 0)
{
}

template <typename Interface>
GlBuffer<Interface>* GlBuffer<Interface>::Create(const std::shared_ptr<GlContext>& context,
                                                 UINT length)
{
    context->MakeCurrent();
    while (glGetError() != GL_NO_ERROR)
    {
    }
    auto* buffer = new GlBuffer(context, length);
    glGenBuffers(1, &buffer->name);
    glBindBuffer(GL_ARRAY_BUFFER, buffer->name);
    glBufferData(GL_ARRAY_BUFFER, length, nullptr, GL_DYNAMIC_DRAW);
    if (glGetError() != GL_NO_ERROR)
    {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

template <typename Interface> GlBuffer<Interface>::~GlBuffer()
{
    if (auto live = context.lock())
    {
        live->MakeCurrent();
        glDeleteBuffers(1, &name);
    }
}

template <typename Interface>
HRESULT GlBuffer<Interface>::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD)
{
    const UINT length = Length();
    if (data == nullptr || offsetToLock > length || sizeToLock > length - offsetToLock)
    {
        return D3DERR_INVALIDCALL;
    }
    ++lockCount;
    uploadedFrom = uploadedTo = 0;
    *data = bytes.data() + offsetToLock;
    return D3D_OK;
}

template <typename Interface> HRESULT GlBuffer<Interface>::Unlock()
{
    if (lockCount == 0)
    {
        return D3DERR_INVALIDCALL;
    }
    --lockCount;
    return D3D_OK;
}

template <typename Interface> void GlBuffer<Interface>::Upload(UINT from, UINT to)
{
    glBindBuffer(GL_ARRAY_BUFFER, name);
    if (from >= uploadedFrom && to <= uploadedTo)
    {
        return;
    }
    glBufferSubData(GL_ARRAY_BUFFER, from, to - from, bytes.data() + from);
    uploadedFrom = from;
    uploadedTo = to;
}

template class GlBuffer<IDirect3DVertexBuffer9>;
template class GlBuffer<IDirect3DIndexBuffer9>;

} // namespace platform::gl
