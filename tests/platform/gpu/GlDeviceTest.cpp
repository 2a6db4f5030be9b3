#include "platform/gpu/D3D9.h"
#include "tests/support/OffscreenWindow.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

using TestSupport::OffscreenWindow;
using TestSupport::ReadBackBuffer;
using TestSupport::ReadBoundTarget;

namespace
{

constexpr int Width = 64;
constexpr int Height = 32;
constexpr DWORD VertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

struct Vertex
{
    float x, y, z, rhw;
    D3DCOLOR diffuse, specular;
    float u, v;
};

template <typename T> struct Released
{
    T* object = nullptr;
    ~Released()
    {
        if (object != nullptr)
        {
            object->Release();
        }
    }
    T* operator->() const { return object; }
};

class GlDevice : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(window.Handle(), nullptr);
        direct3D.object = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(direct3D.object, nullptr);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.Windowed = 1;
        parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        ASSERT_EQ(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window.Handle(),
                                         D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters,
                                         &device.object),
                  D3D_OK);
        EXPECT_EQ(parameters.BackBufferWidth, static_cast<UINT>(Width));
        EXPECT_EQ(parameters.BackBufferHeight, static_cast<UINT>(Height));
        device->SetFVF(VertexFormat);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        ASSERT_EQ(device->CreateVertexBuffer(4 * sizeof(Vertex), 0, VertexFormat, D3DPOOL_MANAGED,
                                             &vertices.object, nullptr),
                  D3D_OK);
        ASSERT_EQ(device->CreateIndexBuffer(6 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                            &indices.object, nullptr),
                  D3D_OK);
        device->SetStreamSource(0, vertices.object, 0, sizeof(Vertex));
        device->SetIndices(indices.object);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
    }

    // One quad over pixels [x0, x1) x [y0, y1), showing the whole texture.
    void DrawQuad(int x0, int y0, int x1, int y1, D3DCOLOR colour)
    {
        const auto left = static_cast<float>(x0) - 0.5f;
        const auto right = static_cast<float>(x1) - 0.5f;
        const auto top = static_cast<float>(y0) - 0.5f;
        const auto bottom = static_cast<float>(y1) - 0.5f;
        const Vertex quad[4] = {{left, top, 0, 1, colour, 0, 0, 0},
                                {right, top, 0, 1, colour, 0, 1, 0},
                                {left, bottom, 0, 1, colour, 0, 0, 1},
                                {right, bottom, 0, 1, colour, 0, 1, 1}};
        const uint16_t order[6] = {0, 1, 2, 1, 3, 2};
        void* data = nullptr;
        ASSERT_EQ(vertices->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, quad, sizeof(quad));
        vertices->Unlock();
        ASSERT_EQ(indices->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, order, sizeof(order));
        indices->Unlock();
        ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    }

    // A fresh render target of the given size, made the one drawn into.
    void DrawIntoNewTarget(UINT width, UINT height)
    {
        ASSERT_EQ(device->CreateTexture(width, height, 0, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                        D3DPOOL_DEFAULT, &newTarget.object, nullptr),
                  D3D_OK);
        ASSERT_EQ(newTarget->GetSurfaceLevel(0, &newTargetSurface.object), D3D_OK);
        ASSERT_EQ(device->SetRenderTarget(0, newTargetSurface.object), D3D_OK);
    }

    // A managed texture holding the given rows, top row first.
    IDirect3DTexture9* MakeTexture(UINT width, UINT height, const std::vector<uint32_t>& texels)
    {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(width, height, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                        &texture, nullptr),
                  D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        EXPECT_EQ(locked.Pitch, static_cast<INT>(width * 4));
        std::memcpy(locked.pBits, texels.data(), texels.size() * 4);
        texture->UnlockRect(0);
        return texture;
    }

    OffscreenWindow window{Width, Height};
    Released<IDirect3D9> direct3D;
    Released<IDirect3DDevice9> device;
    Released<IDirect3DVertexBuffer9> vertices;
    Released<IDirect3DIndexBuffer9> indices;
    Released<IDirect3DTexture9> newTarget;
    Released<IDirect3DSurface9> newTargetSurface;
};

uint32_t At(const std::vector<uint32_t>& pixels, int width, int x, int y)
{
    return pixels[static_cast<size_t>(y) * width + x];
}

} // namespace

TEST(GlDeviceCreation, FailsWithAStatusWithoutAUsableWindow)
{
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION + 1), nullptr);
    Released<IDirect3D9> direct3D{Direct3DCreate9(D3D_SDK_VERSION)};
    ASSERT_NE(direct3D.object, nullptr);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = 1;
    IDirect3DDevice9* device = reinterpret_cast<IDirect3DDevice9*>(&parameters);
    EXPECT_LT(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device),
              0);
    EXPECT_EQ(device, nullptr);
}

TEST_F(GlDevice, ClearFillsTheTargetWithTheColourInsideTheViewport)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FF00FF, 1.0f, 0), D3D_OK);
    auto pixels = ReadBackBuffer(Width, Height);
    EXPECT_EQ(At(pixels, Width, 0, 0) & 0xFFFFFF, 0xFF00FFu);
    EXPECT_EQ(At(pixels, Width, Width - 1, Height - 1) & 0xFFFFFF, 0xFF00FFu);

    D3DVIEWPORT9 small{1, 1, 4, 4, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&small), D3D_OK);
    Released<IDirect3DTexture9> target;
    ASSERT_EQ(device->CreateTexture(4, 4, 0, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                    D3DPOOL_DEFAULT, &target.object, nullptr),
              D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    pixels = ReadBackBuffer(Width, Height);
    EXPECT_EQ(At(pixels, Width, 1, 1) & 0xFFFFFF, 0u);
    EXPECT_EQ(At(pixels, Width, 0, 0) & 0xFFFFFF, 0xFF00FFu)
        << "making a render target keeps the viewport's clipping";
}

TEST_F(GlDevice, TexelsLandOnPixelsTopRowFirstInBackBufferAndRenderTarget)
{
    // Every texel distinct, so a flip, a shift or a half-texel blur shows.
    std::vector<uint32_t> texels(4 * 2);
    for (size_t i = 0; i < texels.size(); ++i)
    {
        texels[i] = 0xFF000000u | static_cast<uint32_t>(0x20 * (i + 1)) << 16 |
                    static_cast<uint32_t>(i * 0x11);
    }
    Released<IDirect3DTexture9> texture{MakeTexture(4, 2, texels)};
    device->SetTexture(0, texture.object);

    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    DrawQuad(10, 5, 14, 7, 0xFFFFFFFF);
    const auto screen = ReadBackBuffer(Width, Height);
    for (int y = 0; y < 2; ++y)
    {
        for (int x = 0; x < 4; ++x)
        {
            EXPECT_EQ(At(screen, Width, 10 + x, 5 + y) & 0xFFFFFF,
                      texels[static_cast<size_t>(y) * 4 + x] & 0xFFFFFF)
                << x << "," << y;
        }
    }
    EXPECT_EQ(At(screen, Width, 9, 5) & 0xFFFFFF, 0u);
    EXPECT_EQ(At(screen, Width, 14, 5) & 0xFFFFFF, 0u);
    EXPECT_EQ(At(screen, Width, 10, 7) & 0xFFFFFF, 0u);

    ASSERT_NO_FATAL_FAILURE(DrawIntoNewTarget(8, 8));
    DrawQuad(0, 0, 4, 2, 0xFFFFFFFF);
    const auto stored = ReadBoundTarget(8, 8);
    EXPECT_EQ(At(stored, 8, 0, 0), texels[0]) << "row 0 of a target is its top row";
    EXPECT_EQ(At(stored, 8, 3, 1), texels[7]);
    EXPECT_EQ(At(stored, 8, 0, 2), 0u) << "a fresh target is transparent black";
}

// An untextured quad over the whole viewport may be carried out as a clear: it must still keep
// to the viewport and give the alpha the stage gives, like a quad the shader draws.
TEST_F(GlDevice, AQuadOverTheViewportWritesWhatTheShaderWrites)
{
    ASSERT_NO_FATAL_FAILURE(DrawIntoNewTarget(8, 8));
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    constexpr D3DCOLOR colour = 0x80402010;
    const D3DVIEWPORT9 top{0, 0, 8, 4, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&top), D3D_OK);
    DrawQuad(-2, 0, 8, 9, colour);
    const D3DVIEWPORT9 whole{0, 0, 8, 8, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&whole), D3D_OK);
    DrawQuad(0, 4, 7, 8, colour);
    const auto stored = ReadBoundTarget(8, 8);
    EXPECT_EQ(At(stored, 8, 0, 5), 0x40402010u) << "alpha 0x80 times itself";
    EXPECT_EQ(At(stored, 8, 7, 0), At(stored, 8, 0, 5));
    EXPECT_EQ(At(stored, 8, 7, 4), 0u) << "outside the viewport of the first quad";
}

TEST_F(GlDevice, RenderTargetsResetTheViewportAndDescribeThemselves)
{
    Released<IDirect3DTexture9> target;
    ASSERT_EQ(device->CreateTexture(16, 8, 0, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                    D3DPOOL_DEFAULT, &target.object, nullptr),
              D3D_OK);
    Released<IDirect3DSurface9> surface;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface.object), D3D_OK);
    D3DVIEWPORT9 small{1, 1, 4, 4, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&small), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, surface.object), D3D_OK);

    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 16u);
    EXPECT_EQ(viewport.Height, 8u);
    Released<IDirect3DSurface9> current;
    ASSERT_EQ(device->GetRenderTarget(0, &current.object), D3D_OK);
    D3DSURFACE_DESC desc{};
    current->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 16u);
    EXPECT_EQ(desc.Usage, D3DUSAGE_RENDERTARGET);

    D3DVIEWPORT9 outside{10, 0, 8, 8, 0.0f, 1.0f};
    EXPECT_EQ(device->SetViewport(&outside), D3DERR_INVALIDCALL);
    Released<IDirect3DSurface9> back;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back.object), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, back.object), D3D_OK);
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, static_cast<DWORD>(Width));
}

TEST_F(GlDevice, RefusesWhatTheDeviceCannotHold)
{
    IDirect3DTexture9* texture = nullptr;
    EXPECT_LT(device->CreateTexture(1u << 20, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                    nullptr),
              0)
        << "wider than the device's largest texture";
    EXPECT_LT(
        device->CreateTexture(0, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), 0);
    EXPECT_LT(device->CreateTexture(4, 4, 0, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                    D3DPOOL_MANAGED, &texture, nullptr),
              0)
        << "render targets live in the default pool";

    Released<IDirect3DTexture9> target;
    ASSERT_EQ(device->CreateTexture(4, 4, 0, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                    D3DPOOL_DEFAULT, &target.object, nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL)
        << "a render target has no memory to lock";

    Released<IDirect3DTexture9> picture{MakeTexture(4, 4, std::vector<uint32_t>(16))};
    Released<IDirect3DSurface9> surface;
    ASSERT_EQ(picture->GetSurfaceLevel(0, &surface.object), D3D_OK);
    EXPECT_EQ(device->SetRenderTarget(0, surface.object), D3DERR_INVALIDCALL);

    void* data = nullptr;
    EXPECT_EQ(vertices->Lock(0, 4 * sizeof(Vertex) + 1, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 3), D3DERR_INVALIDCALL)
        << "more indices than the buffer holds";
    device->EndScene();
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3DERR_INVALIDCALL)
        << "drawing needs a scene";
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
}

TEST_F(GlDevice, ResourcesMayOutliveTheirDevice)
{
    Released<IDirect3DTexture9> texture{MakeTexture(2, 2, std::vector<uint32_t>(4))};
    device->SetTexture(0, texture.object);
    device->EndScene();
    device->Release();
    device.object = nullptr;
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
}

TEST_F(GlDevice, SoftwareRasterThreadsRunOneACore)
{
    cpu_set_t cores;
    ASSERT_EQ(sched_getaffinity(0, sizeof cores, &cores), 0);
    std::set<int> used;
    int threads = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
    {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        if (!name.starts_with("llvmpipe-"))
        {
            continue;
        }
        ++threads;
        cpu_set_t bound;
        ASSERT_EQ(sched_getaffinity(std::stoi(task.path().filename()), sizeof bound, &bound), 0);
        EXPECT_EQ(CPU_COUNT(&bound), 1) << name;
        for (int core = 0; core < CPU_SETSIZE; ++core)
        {
            if (CPU_ISSET(core, &bound))
            {
                used.insert(core);
            }
        }
    }
    if (threads == 0 || CPU_COUNT(&cores) < 2)
    {
        GTEST_SKIP() << "no software raster threads, or one core";
    }
    EXPECT_EQ(static_cast<int>(used.size()), std::min(threads, CPU_COUNT(&cores)));
}
