#include "framework/draw/DxDrawer.h"

#include "framework/draw/DxTexture.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace Qorv::Draw
{

namespace
{

constexpr DWORD VertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;
static_assert(VertexFormat == 0x1C4);

struct Vertex
{
    float x, y, z, rhw;
    D3DCOLOR diffuse;
    D3DCOLOR specular;
    float u, v;
};
static_assert(sizeof(Vertex) == 32);

constexpr UINT QuadVertexBytes = 4 * sizeof(Vertex);
constexpr UINT QuadIndexBytes = 6 * sizeof(uint16_t);
constexpr size_t ReservedCommands = 1024;
// Transparent magenta: whatever a frame leaves undrawn shows plainly.
constexpr D3DCOLOR ClearColour = 0x00FF00FF;

// Priority, blend mode (signed, so flipped into unsigned order) and texture address as two
// integers, with the command's place in the queue.
struct SortKey
{
    uint64_t order;
    uintptr_t texture;
    uint32_t index;

    bool operator<(const SortKey& other) const
    {
        return order != other.order ? order < other.order : texture < other.texture;
    }
};

bool DrawsBefore(const DrawCommand& a, const DrawCommand& b)
{
    if (a.priority != b.priority)
    {
        return a.priority < b.priority;
    }
    if (a.blendMode != b.blendMode)
    {
        return a.blendMode < b.blendMode;
    }
    return std::less<const ITexture*>()(a.texture, b.texture);
}

D3DFORMAT FullScreenFormat(int32_t bitsPerPixel)
{
    switch (bitsPerPixel)
    {
    case 16:
        return D3DFMT_R5G6B5;
    case 24:
        return D3DFMT_R8G8B8;
    case 32:
        return D3DFMT_X8R8G8B8;
    default:
        return D3DFMT_UNKNOWN;
    }
}

// Pixel centres sit on integers, so an edge half a pixel before one covers it exactly. The sum
// is widened so that no rectangle can overflow it.
float Edge(int32_t origin, int32_t extent)
{
    return static_cast<float>(static_cast<int64_t>(origin) + extent) - 0.5f;
}

float TexCoord(int32_t origin, int32_t extent, float size)
{
    return static_cast<float>(static_cast<int64_t>(origin) + extent) / size;
}

// The allocated size of a batch's texture; zero (no coordinates) without one.
std::pair<float, float> TextureSize(const ITexture* texture)
{
    if (texture == nullptr || texture->GetWidth() <= 0 || texture->GetHeight() <= 0)
    {
        return {0.0f, 0.0f};
    }
    return {static_cast<float>(texture->GetWidth()), static_cast<float>(texture->GetHeight())};
}

void WriteQuad(const DrawCommand& command, std::pair<float, float> textureSize, Vertex* vertices,
               uint16_t* indices, uint16_t base)
{
    float left = 0, top = 0, right = 0, bottom = 0;
    Point corners[4] = {};
    if (command.isRect)
    {
        const Rect& d = command.destination;
        left = Edge(d.x, 0);
        top = Edge(d.y, 0);
        right = Edge(d.x, d.width);
        bottom = Edge(d.y, d.height);
    }
    else
    {
        corners[0] = command.corners.topLeft;
        corners[1] = command.corners.topRight;
        corners[2] = command.corners.bottomLeft;
        corners[3] = command.corners.bottomRight;
    }
    float uLeft = 0, uRight = 0, vTop = 0, vBottom = 0;
    if (textureSize.first > 0)
    {
        const Rect& s = command.source;
        uLeft = TexCoord(s.x, 0, textureSize.first);
        uRight = TexCoord(s.x, s.width, textureSize.first);
        vTop = TexCoord(s.y, 0, textureSize.second);
        vBottom = TexCoord(s.y, s.height, textureSize.second);
    }
    const float xs[4] = {left, right, left, right};
    const float ys[4] = {top, top, bottom, bottom};
    const float us[4] = {uLeft, uRight, uLeft, uRight};
    const float vs[4] = {vTop, vTop, vBottom, vBottom};
    for (int i = 0; i < 4; ++i)
    {
        Vertex& vertex = vertices[i];
        vertex.x = command.isRect ? xs[i] : static_cast<float>(corners[i].x);
        vertex.y = command.isRect ? ys[i] : static_cast<float>(corners[i].y);
        vertex.z = 0.0f;
        vertex.rhw = 1.0f;
        vertex.diffuse = command.colour;
        vertex.specular = 0;
        vertex.u = us[i];
        vertex.v = vs[i];
    }
    const uint16_t order[6] = {0, 1, 2, 1, 3, 2};
    for (int i = 0; i < 6; ++i)
    {
        indices[i] = static_cast<uint16_t>(base + order[i]);
    }
}

} // namespace

DxDrawer::DxDrawer(Direct3DFactory factory) : factory(std::move(factory))
{
    queue.reserve(ReservedCommands);
}

DxDrawer::~DxDrawer()
{
    Close();
}

std::shared_ptr<ITexture> DxDrawer::CreateTexture()
{
    return std::make_shared<DxTexture>(textureDevice);
}

void DxDrawer::SetLinearFilter(bool linear)
{
    if (device == nullptr)
    {
        return;
    }
    const DWORD filter = linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
}

bool DxDrawer::OpenImpl(HWND newWindow, int32_t width, int32_t height, int32_t bitsPerPixel,
                        bool fullScreen, bool waitForVSync)
{
    window = newWindow;
    direct3D = factory ? factory(D3D_SDK_VERSION) : nullptr;
    if (direct3D == nullptr)
    {
        return false;
    }
    // Filled afresh for each attempt: a failed creation may have changed them.
    const auto createDevice = [&](DWORD behaviour)
    {
        presentParameters = {};
        presentParameters.BackBufferWidth = static_cast<UINT>(width);
        presentParameters.BackBufferHeight = static_cast<UINT>(height);
        presentParameters.BackBufferFormat =
            fullScreen ? FullScreenFormat(bitsPerPixel) : D3DFMT_UNKNOWN;
        presentParameters.MultiSampleType = D3DMULTISAMPLE_NONE;
        presentParameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        presentParameters.Windowed = fullScreen ? 0 : 1;
        presentParameters.PresentationInterval =
            waitForVSync ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE;
        device = nullptr;
        return direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, behaviour,
                                      &presentParameters, &device) == D3D_OK &&
               device != nullptr;
    };
    if (!createDevice(D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED) &&
        !createDevice(D3DCREATE_SOFTWARE_VERTEXPROCESSING))
    {
        direct3D->Release();
        direct3D = nullptr;
        device = nullptr;
        return false;
    }
    textureDevice = std::shared_ptr<IDirect3DDevice9>(device, [](IDirect3DDevice9*) {});
    device->SetFVF(VertexFormat);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    return true;
}

void DxDrawer::CloseImpl()
{
    textureDevice.reset();
    ReleaseBuffers();
    direct3D->Release();
    direct3D = nullptr;
    device->Release();
    device = nullptr;
}

bool DxDrawer::BeginSceneImpl()
{
    return device->BeginScene() == D3D_OK;
}

void DxDrawer::EndSceneImpl()
{
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void DxDrawer::ClearImpl()
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, ClearColour, 1.0f, 0);
}

void DxDrawer::AddQuadImpl(DrawCommand command)
{
    queue.push_back(command);
}

void DxDrawer::FlushImpl()
{
    if (queue.empty())
    {
        return;
    }
    // A frame's queue is often in order already; checking is cheaper than sorting.
    if (!std::is_sorted(queue.begin(), queue.end(), DrawsBefore))
    {
        SortQueue();
    }
    void* vertices = nullptr;
    void* indices = nullptr;
    if (!ReserveQuads(std::min(queue.size(), MaxBatchQuads)))
    {
        queue.clear();
        return;
    }
    const DrawCommand& first = queue.front();
    ApplyBatchState(first);
    int32_t blendMode = first.blendMode;
    const ITexture* texture = first.texture;
    std::pair<float, float> textureSize = TextureSize(texture);
    MatchViewport();
    if (!LockBuffers(&vertices, &indices))
    {
        queue.clear();
        return;
    }
    size_t quads = 0;
    for (const DrawCommand& command : queue)
    {
        const bool newKey = command.blendMode != blendMode || command.texture != texture;
        if (newKey || quads == MaxBatchQuads)
        {
            UnlockBuffers();
            DrawQuads(static_cast<UINT>(quads));
            if (!LockBuffers(&vertices, &indices))
            {
                queue.clear();
                return;
            }
            if (newKey)
            {
                ApplyBatchState(command);
                blendMode = command.blendMode;
                texture = command.texture;
                textureSize = TextureSize(texture);
            }
            quads = 0;
        }
        WriteQuad(command, textureSize, static_cast<Vertex*>(vertices) + quads * 4,
                  static_cast<uint16_t*>(indices) + quads * 6, static_cast<uint16_t>(quads * 4));
        ++quads;
    }
    UnlockBuffers();
    DrawQuads(static_cast<UINT>(quads));
    queue.clear();
}

bool DxDrawer::SetRenderTargetImpl(ITexture* texture)
{
    IDirect3DSurface9* surface = nullptr;
    if (texture != nullptr)
    {
        auto* deviceTexture = dynamic_cast<DxTexture*>(texture);
        if (deviceTexture == nullptr || deviceTexture->GetDeviceTexture() == nullptr ||
            deviceTexture->GetDeviceTexture()->GetSurfaceLevel(0, &surface) != D3D_OK)
        {
            return false;
        }
    }
    else if (device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface) != D3D_OK)
    {
        return false;
    }
    device->SetRenderTarget(0, surface);
    surface->Release();
    return true;
}

// Sorting small keys and then moving each command once beats sorting the commands themselves.
void DxDrawer::SortQueue()
{
    std::vector<SortKey> keys(queue.size());
    for (size_t i = 0; i < queue.size(); ++i)
    {
        const DrawCommand& command = queue[i];
        const auto mode = static_cast<uint32_t>(command.blendMode) ^ 0x80000000u;
        keys[i] = {static_cast<uint64_t>(command.priority) << 32 | mode,
                   reinterpret_cast<uintptr_t>(command.texture), static_cast<uint32_t>(i)};
    }
    std::sort(keys.begin(), keys.end());
    sorted.clear();
    for (const SortKey& key : keys)
    {
        sorted.push_back(queue[key.index]);
    }
    queue.swap(sorted);
}

bool DxDrawer::ReserveQuads(size_t count)
{
    if (capacity >= count)
    {
        return true;
    }
    const size_t grown = std::max(count, std::min(capacity * 2, MaxBatchQuads));
    ReleaseBuffers();
    const bool made =
        device->CreateVertexBuffer(static_cast<UINT>(grown * QuadVertexBytes), 0, VertexFormat,
                                   D3DPOOL_MANAGED, &vertexBuffer, nullptr) == D3D_OK &&
        device->CreateIndexBuffer(static_cast<UINT>(grown * QuadIndexBytes), 0, D3DFMT_INDEX16,
                                  D3DPOOL_MANAGED, &indexBuffer, nullptr) == D3D_OK;
    if (!made || vertexBuffer == nullptr || indexBuffer == nullptr)
    {
        // Capacity stays 0, so the next flush tries again.
        ReleaseBuffers();
        return false;
    }
    capacity = grown;
    device->SetStreamSource(0, vertexBuffer, 0, sizeof(Vertex));
    device->SetIndices(indexBuffer);
    return true;
}

void DxDrawer::ReleaseBuffers()
{
    if (vertexBuffer != nullptr)
    {
        vertexBuffer->Release();
        vertexBuffer = nullptr;
    }
    if (indexBuffer != nullptr)
    {
        indexBuffer->Release();
        indexBuffer = nullptr;
    }
    capacity = 0;
}

void DxDrawer::ApplyBatchState(const DrawCommand& command)
{
    const int32_t mode = command.blendMode;
    if (mode == BlendNone)
    {
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    }
    else
    {
        DWORD source = D3DBLEND_SRCALPHA;
        DWORD destination = D3DBLEND_INVSRCALPHA;
        switch (mode)
        {
        case BlendAdd:
            source = D3DBLEND_ONE;
            destination = D3DBLEND_ONE;
            break;
        case BlendPremultiplied:
            source = D3DBLEND_ONE;
            destination = D3DBLEND_INVSRCALPHA;
            break;
        case BlendMultiply:
            source = D3DBLEND_ZERO;
            destination = D3DBLEND_SRCCOLOR;
            break;
        case BlendInvert:
            source = D3DBLEND_INVDESTCOLOR;
            destination = D3DBLEND_ZERO;
            break;
        default:
            break;
        }
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_SRCBLEND, source);
        device->SetRenderState(D3DRS_DESTBLEND, destination);
        switch (mode)
        {
        case BlendVertexAlpha:
            device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
            break;
        case BlendAlpha:
        case BlendPremultiplied:
            device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
            break;
        case BlendAdd:
        case BlendMultiply:
        case BlendInvert:
            device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
            break;
        default:
            // Out-of-table modes keep the previous batch's alpha operation.
            break;
        }
    }
    const auto* deviceTexture = dynamic_cast<const DxTexture*>(command.texture);
    device->SetTexture(0, deviceTexture != nullptr ? deviceTexture->GetDeviceTexture() : nullptr);
}

void DxDrawer::MatchViewport()
{
    const Rect& wanted = GetViewport();
    D3DVIEWPORT9 current{};
    device->GetViewport(&current);
    if (current.X == static_cast<DWORD>(wanted.x) && current.Y == static_cast<DWORD>(wanted.y) &&
        current.Width == static_cast<DWORD>(wanted.width) &&
        current.Height == static_cast<DWORD>(wanted.height))
    {
        return;
    }
    D3DVIEWPORT9 next{0, 0, 0, 0, 0.0f, 1.0f};
    if (wanted.width > 0 && wanted.height > 0)
    {
        next.X = static_cast<DWORD>(wanted.x);
        next.Y = static_cast<DWORD>(wanted.y);
        next.Width = static_cast<DWORD>(wanted.width);
        next.Height = static_cast<DWORD>(wanted.height);
    }
    else
    {
        IDirect3DSurface9* target = nullptr;
        if (device->GetRenderTarget(0, &target) != D3D_OK || target == nullptr)
        {
            return;
        }
        D3DSURFACE_DESC desc{};
        target->GetDesc(&desc);
        target->Release();
        next.Width = desc.Width;
        next.Height = desc.Height;
    }
    device->SetViewport(&next);
}

bool DxDrawer::LockBuffers(void** vertices, void** indices)
{
    if (vertexBuffer->Lock(0, 0, vertices, 0) != D3D_OK)
    {
        return false;
    }
    if (indexBuffer->Lock(0, 0, indices, 0) != D3D_OK)
    {
        vertexBuffer->Unlock();
        return false;
    }
    return true;
}

void DxDrawer::UnlockBuffers()
{
    vertexBuffer->Unlock();
    indexBuffer->Unlock();
}

void DxDrawer::DrawQuads(UINT quads)
{
    if (quads > 0)
    {
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, quads * 4, 0, quads * 2);
    }
}

std::shared_ptr<IDrawer> CreateDrawer()
{
    return std::make_shared<DxDrawer>();
}

} // namespace Qorv::Draw
