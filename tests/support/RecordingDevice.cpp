#include "tests/support/RecordingDevice.h"

#include <cstring>

namespace TestSupport
{

namespace
{

int64_t Pointer(const void* pointer)
{
    return static_cast<int64_t>(reinterpret_cast<uintptr_t>(pointer));
}

template <typename Object> ULONG Drop(Object& object)
{
    return static_cast<ULONG>(--object.references);
}

class RecordingSurface final : public IDirect3DSurface9, public RecordingObject
{
public:
    RecordingSurface(RecordingTexture* texture, UINT width, UINT height)
        : texture(texture), width(width), height(height)
    {
        if (texture != nullptr)
        {
            ++texture->references;
        }
    }
    ULONG Release() override
    {
        if (references == 1 && texture != nullptr)
        {
            texture->Release();
        }
        return Drop(*this);
    }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override
    {
        *desc = {};
        desc->Format = texture != nullptr ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
        desc->Usage = texture != nullptr ? texture->usage : D3DUSAGE_RENDERTARGET;
        desc->Width = width;
        desc->Height = height;
        return D3D_OK;
    }

    RecordingTexture* texture;
    UINT width, height;
};

template <typename Interface> class RecordingBuffer : public Interface, public RecordingObject
{
public:
    RecordingBuffer(RecordingDevice& device, UINT length) : device(device), bytes(length) {}
    ULONG Release() override { return Drop(*this); }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD) override
    {
        if (device.locksBeforeFailure == 0)
        {
            return D3DERR_INVALIDCALL;
        }
        if (device.locksBeforeFailure > 0)
        {
            --device.locksBeforeFailure;
        }
        if (offset > bytes.size() || size > bytes.size() - offset)
        {
            return D3DERR_INVALIDCALL;
        }
        ++locks;
        *data = bytes.data() + offset;
        return D3D_OK;
    }
    HRESULT Unlock() override
    {
        if (locks == 0)
        {
            return D3DERR_INVALIDCALL;
        }
        --locks;
        return D3D_OK;
    }

    RecordingDevice& device;
    std::vector<uint8_t> bytes;
    int locks = 0;
};

} // namespace

class RecordingVertexBuffer final : public RecordingBuffer<IDirect3DVertexBuffer9>
{
    using RecordingBuffer::RecordingBuffer;
};

class RecordingIndexBuffer final : public RecordingBuffer<IDirect3DIndexBuffer9>
{
    using RecordingBuffer::RecordingBuffer;
};

RecordingTexture::RecordingTexture(RecordingDevice& device, UINT width, UINT height, DWORD usage,
                                   D3DPOOL pool)
    : device(device), width(width), height(height), usage(usage), pool(pool),
      pixels(static_cast<size_t>(width) * height)
{
}

ULONG RecordingTexture::Release()
{
    device.Record("Texture::Release", {Pointer(this)});
    return Drop(*this);
}

HRESULT RecordingTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    device.Record("GetSurfaceLevel", {Pointer(this), level});
    auto made = std::make_unique<RecordingSurface>(this, width, height);
    *surface = made.get();
    device.objects.push_back(std::move(made));
    return D3D_OK;
}

HRESULT RecordingTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                                   DWORD flags)
{
    device.Record("LockRect", {Pointer(this), level, Pointer(rect), flags});
    if (device.failTextureLocks || locked || level != 0)
    {
        return D3DERR_INVALIDCALL;
    }
    locked = true;
    lockedRect->Pitch = static_cast<INT>(width * 4);
    lockedRect->pBits = pixels.data();
    return D3D_OK;
}

HRESULT RecordingTexture::UnlockRect(UINT level)
{
    device.Record("UnlockRect", {Pointer(this), level});
    if (!locked)
    {
        return D3DERR_INVALIDCALL;
    }
    locked = false;
    return D3D_OK;
}

RecordingDevice::RecordingDevice()
{
    auto surface = std::make_unique<RecordingSurface>(nullptr, 640, 480);
    backBuffer = renderTarget = surface.get();
    objects.push_back(std::move(surface));
}

void RecordingDevice::Record(std::string name, std::vector<int64_t> args)
{
    if (recording)
    {
        calls.push_back({std::move(name), std::move(args)});
    }
}

std::vector<const DeviceCall*> RecordingDevice::Named(const std::string& name) const
{
    std::vector<const DeviceCall*> found;
    for (const DeviceCall& call : calls)
    {
        if (call.name == name)
        {
            found.push_back(&call);
        }
    }
    return found;
}

int RecordingDevice::LiveObjects() const
{
    int live = 0;
    for (const auto& object : objects)
    {
        live += object->references > 0 ? 1 : 0;
    }
    // The back buffer belongs to the device itself.
    return live - 1;
}

ULONG RecordingDevice::Release()
{
    Record("Device::Release", {});
    return Drop(*this);
}

HRESULT RecordingDevice::BeginScene()
{
    Record("BeginScene", {});
    return failBeginScene ? D3DERR_INVALIDCALL : D3D_OK;
}

HRESULT RecordingDevice::EndScene()
{
    Record("EndScene", {});
    return D3D_OK;
}

HRESULT RecordingDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND window,
                                 const RGNDATA* dirtyRegion)
{
    Record("Present",
           {Pointer(sourceRect), Pointer(destRect), Pointer(window), Pointer(dirtyRegion)});
    return D3D_OK;
}

HRESULT RecordingDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                               float z, DWORD stencil)
{
    Record("Clear", {count, Pointer(rects), flags, color, static_cast<int64_t>(z), stencil});
    return D3D_OK;
}

template <typename Made, typename Interface, typename... Args>
HRESULT RecordingDevice::Keep(bool fail, Interface** out, Args... args)
{
    if (fail)
    {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    auto made = std::make_unique<Made>(*this, args...);
    *out = made.get();
    objects.push_back(std::move(made));
    return D3D_OK;
}

HRESULT RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                       D3DFORMAT format, D3DPOOL pool,
                                       IDirect3DTexture9** textureOut, HANDLE* sharedHandle)
{
    Record("CreateTexture", {width, height, levels, usage, format, pool, Pointer(sharedHandle)});
    return Keep<RecordingTexture>(failTextures, textureOut, width, height, usage, pool);
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer9** vertexBuffer,
                                            HANDLE* sharedHandle)
{
    Record("CreateVertexBuffer", {length, usage, fvf, pool, Pointer(sharedHandle)});
    return Keep<RecordingVertexBuffer>(failVertexBuffers, vertexBuffer, length);
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer9** indexBuffer,
                                           HANDLE* sharedHandle)
{
    Record("CreateIndexBuffer", {length, usage, format, pool, Pointer(sharedHandle)});
    return Keep<RecordingIndexBuffer>(failIndexBuffers, indexBuffer, length);
}

HRESULT RecordingDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    Record("SetRenderTarget", {index, Pointer(surface)});
    renderTarget = surface;
    auto* recorded = dynamic_cast<RecordingSurface*>(surface);
    viewport = {0, 0, recorded->width, recorded->height, 0.0f, 1.0f};
    return D3D_OK;
}

HRESULT RecordingDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    Record("GetRenderTarget", {index});
    auto* recorded = dynamic_cast<RecordingSurface*>(renderTarget);
    auto made =
        std::make_unique<RecordingSurface>(recorded->texture, recorded->width, recorded->height);
    *surface = made.get();
    objects.push_back(std::move(made));
    return D3D_OK;
}

HRESULT RecordingDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                       IDirect3DSurface9** surface)
{
    Record("GetBackBuffer", {swapChain, index, type});
    ++dynamic_cast<RecordingSurface*>(backBuffer)->references;
    *surface = backBuffer;
    return D3D_OK;
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT9* next)
{
    Record("SetViewport", {next->X, next->Y, next->Width, next->Height,
                           static_cast<int64_t>(next->MinZ), static_cast<int64_t>(next->MaxZ)});
    viewport = *next;
    return D3D_OK;
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT9* current)
{
    Record("GetViewport", {});
    *current = viewport;
    return D3D_OK;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    Record("SetRenderState", {state, value});
    if (state == D3DRS_ALPHABLENDENABLE)
    {
        blendEnabled = value != 0;
    }
    else if (state == D3DRS_SRCBLEND)
    {
        sourceBlend = value;
    }
    else if (state == D3DRS_DESTBLEND)
    {
        destinationBlend = value;
    }
    return D3D_OK;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DTexture9* next)
{
    Record("SetTexture", {stage, Pointer(next)});
    texture = dynamic_cast<RecordingTexture*>(next);
    return D3D_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                              DWORD value)
{
    Record("SetTextureStageState", {stage, type, value});
    if (type == D3DTSS_ALPHAOP)
    {
        alphaOperation = value;
    }
    return D3D_OK;
}

HRESULT RecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    Record("SetSamplerState", {sampler, type, value});
    return D3D_OK;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex,
                                              UINT minVertexIndex, UINT numVertices,
                                              UINT startIndex, UINT primCount)
{
    Record("DrawIndexedPrimitive",
           {type, baseVertexIndex, minVertexIndex, numVertices, startIndex, primCount});
    ++drawCount;
    if (!recording)
    {
        return D3D_OK;
    }
    RecordedDraw draw{blendEnabled,
                      sourceBlend,
                      destinationBlend,
                      alphaOperation,
                      texture,
                      renderTarget,
                      numVertices,
                      primCount,
                      {},
                      {}};
    if (stream != nullptr && stream->bytes.size() >= numVertices * sizeof(RecordedVertex))
    {
        draw.vertices.resize(numVertices);
        std::memcpy(draw.vertices.data(), stream->bytes.data(),
                    numVertices * sizeof(RecordedVertex));
    }
    if (indices != nullptr && indices->bytes.size() >= primCount * 3 * sizeof(uint16_t))
    {
        draw.indices.resize(primCount * 3);
        std::memcpy(draw.indices.data(), indices->bytes.data(), primCount * 3 * sizeof(uint16_t));
    }
    draws.push_back(std::move(draw));
    return D3D_OK;
}

HRESULT RecordingDevice::SetFVF(DWORD fvf)
{
    Record("SetFVF", {fvf});
    return D3D_OK;
}

HRESULT RecordingDevice::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                         UINT offsetInBytes, UINT stride)
{
    Record("SetStreamSource", {streamNumber, Pointer(streamData), offsetInBytes, stride});
    stream = dynamic_cast<RecordingVertexBuffer*>(streamData);
    return D3D_OK;
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer9* indexData)
{
    Record("SetIndices", {Pointer(indexData)});
    indices = dynamic_cast<RecordingIndexBuffer*>(indexData);
    return D3D_OK;
}

ULONG RecordingDirect3D::Release()
{
    device.Record("Direct3D::Release", {});
    return static_cast<ULONG>(--references);
}

HRESULT RecordingDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                                        DWORD behaviorFlags, D3DPRESENT_PARAMETERS* parameters,
                                        IDirect3DDevice9** returned)
{
    device.Record("CreateDevice", {adapter, deviceType, Pointer(focusWindow), behaviorFlags});
    behaviourFlags.push_back(behaviorFlags);
    this->parameters = *parameters;
    if (failuresLeft > 0)
    {
        --failuresLeft;
        return D3DERR_NOTAVAILABLE;
    }
    *returned = &device;
    return D3D_OK;
}

} // namespace TestSupport
