#pragma once
// The Direct3D 9 objects, records and constants the drawer and its textures use, on OpenGL.
// Names, layouts and results are the Windows ones; only what is called exists.

#include "platform/window/Win32.h"

#include <cstdint>

using INT = int32_t;
using HANDLE = void*;
using D3DCOLOR = DWORD;

constexpr HRESULT D3D_OK = 0;
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086AU);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086CU);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x8876017CU);

constexpr UINT D3D_SDK_VERSION = 31;
constexpr UINT D3DADAPTER_DEFAULT = 0;

enum D3DDEVTYPE : uint32_t
{
    D3DDEVTYPE_HAL = 1,
};

enum D3DFORMAT : uint32_t
{
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_INDEX16 = 101,
};

enum D3DPOOL : uint32_t
{
    D3DPOOL_DEFAULT = 0,
    D3DPOOL_MANAGED = 1,
};

enum D3DRESOURCETYPE : uint32_t
{
    D3DRTYPE_SURFACE = 1,
};

enum D3DMULTISAMPLE_TYPE : uint32_t
{
    D3DMULTISAMPLE_NONE = 0,
};

enum D3DSWAPEFFECT : uint32_t
{
    D3DSWAPEFFECT_DISCARD = 1,
};

enum D3DBACKBUFFER_TYPE : uint32_t
{
    D3DBACKBUFFER_TYPE_MONO = 0,
};

enum D3DPRIMITIVETYPE : uint32_t
{
    D3DPT_TRIANGLELIST = 4,
};

enum D3DRENDERSTATETYPE : uint32_t
{
    D3DRS_ZENABLE = 7,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ALPHABLENDENABLE = 27,
};

enum D3DTEXTURESTAGESTATETYPE : uint32_t
{
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
};

enum D3DSAMPLERSTATETYPE : uint32_t
{
    D3DSAMP_MAGFILTER = 5,
    D3DSAMP_MINFILTER = 6,
};

constexpr DWORD D3DCREATE_MULTITHREADED = 0x00000004;
constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x00000020;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x00000040;

constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0x00000000;
constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000;

constexpr DWORD D3DUSAGE_RENDERTARGET = 0x00000001;
constexpr DWORD D3DCLEAR_TARGET = 0x00000001;

constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEX1 = 0x100;

constexpr DWORD D3DZB_FALSE = 0;
constexpr DWORD D3DCULL_NONE = 1;

constexpr DWORD D3DBLEND_ZERO = 1;
constexpr DWORD D3DBLEND_ONE = 2;
constexpr DWORD D3DBLEND_SRCCOLOR = 3;
constexpr DWORD D3DBLEND_SRCALPHA = 5;
constexpr DWORD D3DBLEND_INVSRCALPHA = 6;
constexpr DWORD D3DBLEND_INVDESTCOLOR = 10;

constexpr DWORD D3DTOP_SELECTARG1 = 2;
constexpr DWORD D3DTOP_SELECTARG2 = 3;
constexpr DWORD D3DTOP_MODULATE = 4;

constexpr DWORD D3DTA_DIFFUSE = 0x00000000;
constexpr DWORD D3DTA_CURRENT = 0x00000001;
constexpr DWORD D3DTA_TEXTURE = 0x00000002;

constexpr DWORD D3DTEXF_POINT = 1;
constexpr DWORD D3DTEXF_LINEAR = 2;

struct D3DPRESENT_PARAMETERS
{
    UINT BackBufferWidth;
    UINT BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    DWORD MultiSampleQuality;
    D3DSWAPEFFECT SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT PresentationInterval;
};

struct D3DVIEWPORT9
{
    DWORD X;
    DWORD Y;
    DWORD Width;
    DWORD Height;
    float MinZ;
    float MaxZ;
};

struct D3DSURFACE_DESC
{
    D3DFORMAT Format;
    D3DRESOURCETYPE Type;
    DWORD Usage;
    D3DPOOL Pool;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    DWORD MultiSampleQuality;
    UINT Width;
    UINT Height;
};

struct D3DLOCKED_RECT
{
    INT Pitch;
    void* pBits;
};

struct D3DRECT
{
    LONG x1, y1, x2, y2;
};

struct RGNDATA;

// Every object is freed by its last Release; the caller of a Create or Get owns one reference.
class IDirect3DSurface9
{
public:
    virtual ULONG Release() = 0;
    virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;

protected:
    virtual ~IDirect3DSurface9() = default;
};

class IDirect3DTexture9
{
public:
    virtual ULONG Release() = 0;
    virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) = 0;
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                             DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;

protected:
    virtual ~IDirect3DTexture9() = default;
};

class IDirect3DVertexBuffer9
{
public:
    virtual ULONG Release() = 0;
    virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;

protected:
    virtual ~IDirect3DVertexBuffer9() = default;
};

class IDirect3DIndexBuffer9
{
public:
    virtual ULONG Release() = 0;
    virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;

protected:
    virtual ~IDirect3DIndexBuffer9() = default;
};

class IDirect3DDevice9
{
public:
    virtual ULONG Release() = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                            const RGNDATA* dirtyRegion) = 0;
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                          DWORD stencil) = 0;
    [[nodiscard]] virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                                D3DFORMAT format, D3DPOOL pool,
                                                IDirect3DTexture9** texture,
                                                HANDLE* sharedHandle) = 0;
    [[nodiscard]] virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf,
                                                     D3DPOOL pool,
                                                     IDirect3DVertexBuffer9** vertexBuffer,
                                                     HANDLE* sharedHandle) = 0;
    [[nodiscard]] virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format,
                                                    D3DPOOL pool,
                                                    IDirect3DIndexBuffer9** indexBuffer,
                                                    HANDLE* sharedHandle) = 0;
    virtual HRESULT SetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9* renderTarget) = 0;
    virtual HRESULT GetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9** renderTarget) = 0;
    virtual HRESULT GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                                  IDirect3DSurface9** surface) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DTexture9* texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                         DWORD value) = 0;
    virtual HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) = 0;
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex,
                                         UINT minVertexIndex, UINT numVertices, UINT startIndex,
                                         UINT primCount) = 0;
    virtual HRESULT SetFVF(DWORD fvf) = 0;
    virtual HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                    UINT offsetInBytes, UINT stride) = 0;
    virtual HRESULT SetIndices(IDirect3DIndexBuffer9* indexData) = 0;

protected:
    virtual ~IDirect3DDevice9() = default;
};

class IDirect3D9
{
public:
    virtual ULONG Release() = 0;
    // Hardware and software vertex processing are the same here; a window without GL, or a
    // system without it, fails with D3DERR_NOTAVAILABLE.
    [[nodiscard]] virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType,
                                               HWND focusWindow, DWORD behaviorFlags,
                                               D3DPRESENT_PARAMETERS* presentationParameters,
                                               IDirect3DDevice9** returnedDeviceInterface) = 0;

protected:
    virtual ~IDirect3D9() = default;
};

// Null unless sdkVersion is D3D_SDK_VERSION.
[[nodiscard]] IDirect3D9* Direct3DCreate9(UINT sdkVersion);
