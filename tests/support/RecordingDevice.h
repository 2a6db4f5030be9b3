#pragma once
// A Direct3D 9 device that draws nothing and records every call with its arguments, and what
// each draw call would have drawn, for the drawer's queue tests and benchmark.

#include "platform/gpu/D3D9.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace TestSupport
{

struct DeviceCall
{
    std::string name;
    std::vector<int64_t> args;
};

struct RecordedVertex
{
    float x, y, z, rhw;
    D3DCOLOR diffuse, specular;
    float u, v;
};

class RecordingDevice;
class RecordingTexture;
class RecordingVertexBuffer;
class RecordingIndexBuffer;

// The state in force at one DrawIndexedPrimitive and the vertices and indices it read.
struct RecordedDraw
{
    bool blendEnabled;
    DWORD sourceBlend;
    DWORD destinationBlend;
    DWORD alphaOperation;
    RecordingTexture* texture;
    IDirect3DSurface9* renderTarget;
    UINT numVertices;
    UINT primCount;
    std::vector<RecordedVertex> vertices;
    std::vector<uint16_t> indices;
};

class RecordingObject
{
public:
    virtual ~RecordingObject() = default;
    int references = 1;
};

class RecordingTexture final : public IDirect3DTexture9, public RecordingObject
{
public:
    RecordingTexture(RecordingDevice& device, UINT width, UINT height, DWORD usage, D3DPOOL pool);
    ULONG Release() override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                     DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    RecordingDevice& device;
    UINT width, height;
    DWORD usage;
    D3DPOOL pool;
    std::vector<uint32_t> pixels;
    bool locked = false;
};

class RecordingDevice final : public IDirect3DDevice9, public RecordingObject
{
public:
    RecordingDevice();

    ULONG Release() override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const RGNDATA* dirtyRegion) override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** vertexBuffer,
                               HANDLE* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** indexBuffer, HANDLE* sharedHandle) override;
    HRESULT SetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9* renderTarget) override;
    HRESULT GetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9** renderTarget) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface9** surface) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DTexture9* texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                 UINT numVertices, UINT startIndex, UINT primCount) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                            UINT offsetInBytes, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* indexData) override;

    std::vector<const DeviceCall*> Named(const std::string& name) const;
    size_t Count(const std::string& name) const { return Named(name).size(); }
    // Objects made by the device, released or not, so tests can look at them afterwards.
    int LiveObjects() const;

    void Record(std::string name, std::vector<int64_t> args);
    // Makes an object the device keeps and hands it out, or fails as a full device does.
    template <typename Made, typename Interface, typename... Args>
    HRESULT Keep(bool fail, Interface** out, Args... args);

    // Off for the benchmark: the calls and draws are then only counted.
    bool recording = true;
    size_t drawCount = 0;
    std::vector<DeviceCall> calls;
    std::vector<RecordedDraw> draws;

    bool failBeginScene = false;
    bool failVertexBuffers = false;
    bool failIndexBuffers = false;
    // Fails each buffer Lock once this many have succeeded.
    int locksBeforeFailure = -1;
    bool failTextures = false;
    bool failTextureLocks = false;

    std::vector<std::unique_ptr<RecordingObject>> objects;
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DSurface9* renderTarget = nullptr;
    D3DVIEWPORT9 viewport{0, 0, 640, 480, 0.0f, 1.0f};
    bool blendEnabled = false;
    DWORD sourceBlend = D3DBLEND_ONE;
    DWORD destinationBlend = D3DBLEND_ZERO;
    DWORD alphaOperation = D3DTOP_SELECTARG1;
    RecordingTexture* texture = nullptr;
    RecordingVertexBuffer* stream = nullptr;
    RecordingIndexBuffer* indices = nullptr;
};

class RecordingDirect3D final : public IDirect3D9
{
public:
    explicit RecordingDirect3D(RecordingDevice& device) : device(device) {}
    ULONG Release() override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentationParameters,
                         IDirect3DDevice9** returnedDeviceInterface) override;

    RecordingDevice& device;
    int references = 1;
    // CreateDevice fails this many times before it succeeds.
    int failuresLeft = 0;
    std::vector<DWORD> behaviourFlags;
    D3DPRESENT_PARAMETERS parameters{};
};

} // namespace TestSupport
