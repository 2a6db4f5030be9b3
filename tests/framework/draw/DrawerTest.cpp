#include "framework/draw/DxDrawer.h"
#include "tests/support/DeviceTexture.h"
#include "tests/support/RecordingDevice.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qorv::Draw;
using TestSupport::DeviceTexture;
using TestSupport::RecordedDraw;
using TestSupport::RecordingDevice;
using TestSupport::RecordingDirect3D;

namespace
{

HWND const Window = reinterpret_cast<HWND>(0x1000);

class Drawer : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(drawer->Open(Window, 640, 480, 16, false, false));
        drawer->BeginFrame();
        device.calls.clear();
    }

    std::shared_ptr<ITexture> Texture(int32_t width, int32_t height, bool renderTarget = false)
    {
        auto texture = drawer->CreateTexture();
        EXPECT_TRUE(texture->Create(width, height, renderTarget));
        return texture;
    }

    void Draw(const std::shared_ptr<ITexture>& texture, uint32_t priority = 0)
    {
        drawer->DrawImage(texture, 0xFFFFFFFF, priority, {0, 0, 8, 8}, {0, 0, 8, 8});
    }

    std::vector<int64_t> BufferLengths(const std::string& call) const
    {
        std::vector<int64_t> lengths;
        for (const auto* created : device.Named(call))
        {
            lengths.push_back(created->args[0]);
        }
        return lengths;
    }

    RecordingDevice device;
    RecordingDirect3D direct3D{device};
    std::shared_ptr<DxDrawer> drawer =
        std::make_shared<DxDrawer>([this](UINT) -> IDirect3D9* { return &direct3D; });
};

} // namespace

TEST(DrawerOpening, CreatesAWindowedImmediateDeviceThenFallsBackToSoftware)
{
    RecordingDevice device;
    RecordingDirect3D direct3D{device};
    direct3D.failuresLeft = 1;
    UINT askedVersion = 0;
    DxDrawer drawer(
        [&](UINT version) -> IDirect3D9*
        {
            askedVersion = version;
            return &direct3D;
        });
    ASSERT_TRUE(drawer.Open(Window, 640, 480, 16, false, false));
    EXPECT_EQ(askedVersion, 31u);
    EXPECT_EQ(direct3D.behaviourFlags, (std::vector<DWORD>{0x44, 0x20}));
    const D3DPRESENT_PARAMETERS& p = direct3D.parameters;
    EXPECT_EQ(p.BackBufferWidth, 640u);
    EXPECT_EQ(p.BackBufferHeight, 480u);
    EXPECT_EQ(p.BackBufferFormat, D3DFMT_UNKNOWN);
    EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(p.Windowed, 1);
    EXPECT_EQ(p.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    EXPECT_EQ(device.Named("CreateDevice")[1]->args[2], reinterpret_cast<intptr_t>(Window));

    std::vector<std::vector<int64_t>> fixed;
    for (const auto& call : device.calls)
    {
        if (call.name == "SetFVF" || call.name == "SetRenderState" ||
            call.name == "SetTextureStageState")
        {
            fixed.push_back(call.args);
        }
    }
    EXPECT_EQ(fixed, (std::vector<std::vector<int64_t>>{
                         {0x1C4}, {7, 0}, {14, 0}, {22, 1}, {0, 5, 2}, {0, 6, 0}}));
}

TEST(DrawerOpening, AClosedOrFailedDrawerIgnoresEveryRequest)
{
    RecordingDevice device;
    RecordingDirect3D direct3D{device};
    direct3D.failuresLeft = 2;
    DxDrawer drawer([&](UINT) -> IDirect3D9* { return &direct3D; });
    EXPECT_FALSE(drawer.Open(Window, 640, 480, 16, false, false));
    EXPECT_EQ(direct3D.references, 0) << "a failed open keeps no Direct3D object";
    device.calls.clear();

    drawer.BeginFrame();
    drawer.FillRect(0xFFFFFFFF, 0, 0, 10, 10);
    drawer.Flush();
    drawer.EndFrame();
    drawer.SetLinearFilter(true);
    EXPECT_TRUE(device.calls.empty());
    auto texture = drawer.CreateTexture();
    EXPECT_FALSE(texture->Create(4, 4, false)) << "a texture without a device cannot be made";

    DxDrawer nothing([](UINT) -> IDirect3D9* { return nullptr; });
    EXPECT_FALSE(nothing.Open(Window, 640, 480, 16, false, false));
}

TEST(DrawerOpening, FullScreenPicksTheBackBufferFormatFromTheDepth)
{
    const std::pair<int32_t, D3DFORMAT> depths[] = {
        {16, D3DFMT_R5G6B5}, {24, D3DFMT_R8G8B8}, {32, D3DFMT_X8R8G8B8}, {8, D3DFMT_UNKNOWN}};
    for (const auto& [bits, format] : depths)
    {
        RecordingDevice device;
        RecordingDirect3D direct3D{device};
        DxDrawer drawer([&](UINT) -> IDirect3D9* { return &direct3D; });
        ASSERT_TRUE(drawer.Open(Window, 640, 480, bits, true, true));
        EXPECT_EQ(direct3D.parameters.BackBufferFormat, format) << bits;
        EXPECT_EQ(direct3D.parameters.Windowed, 0);
        EXPECT_EQ(direct3D.parameters.PresentationInterval, D3DPRESENT_INTERVAL_DEFAULT);
    }
}

TEST_F(Drawer, AnEmptyFlushMakesNoDeviceCall)
{
    drawer->Flush();
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(Drawer, BuffersGrowAtLeastTwofoldAndAreKept)
{
    for (int count : {5, 6, 25, 3})
    {
        for (int i = 0; i < count; ++i)
        {
            drawer->FillRect(0xFFFFFFFF, i, 0, 1, 1);
        }
        drawer->Flush();
    }
    EXPECT_EQ(BufferLengths("CreateVertexBuffer"), (std::vector<int64_t>{640, 1280, 3200}));
    EXPECT_EQ(BufferLengths("CreateIndexBuffer"), (std::vector<int64_t>{60, 120, 300}));
    const auto* vertexBuffer = device.Named("CreateVertexBuffer")[0];
    EXPECT_EQ(vertexBuffer->args, (std::vector<int64_t>{640, 0, 0x1C4, D3DPOOL_MANAGED, 0}));
    EXPECT_EQ(device.Named("CreateIndexBuffer")[0]->args[2], D3DFMT_INDEX16);
    EXPECT_EQ(device.Count("SetStreamSource"), 3u) << "bindings change only with growth";
    EXPECT_EQ(device.Named("SetStreamSource")[0]->args[3], 32);
    EXPECT_EQ(device.LiveObjects(), 2) << "replaced buffers are released";
}

TEST_F(Drawer, EqualCommandsAreOneDrawOfTwoTrianglesEach)
{
    auto texture = Texture(8, 8);
    for (int i = 0; i < 3; ++i)
    {
        Draw(texture, 4);
    }
    drawer->Flush();
    ASSERT_EQ(device.Count("DrawIndexedPrimitive"), 1u);
    EXPECT_EQ(device.Named("DrawIndexedPrimitive")[0]->args,
              (std::vector<int64_t>{D3DPT_TRIANGLELIST, 0, 0, 12, 0, 6}));
    EXPECT_EQ(device.draws[0].indices,
              (std::vector<uint16_t>{0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6, 8, 9, 10, 9, 11, 10}));
    EXPECT_EQ(device.Count("SetTexture"), 1u) << "state is set once per batch";
}

TEST_F(Drawer, LowerPrioritiesDrawFirstComparedUnsigned)
{
    auto back = Texture(8, 8);
    auto middle = Texture(8, 8);
    auto front = Texture(8, 8);
    Draw(front, 0xFFFFFFFF);
    Draw(middle, 10);
    Draw(back, 0);
    drawer->Flush();
    ASSERT_EQ(device.draws.size(), 3u);
    EXPECT_EQ(device.draws[0].texture, DeviceTexture(back));
    EXPECT_EQ(device.draws[1].texture, DeviceTexture(middle));
    EXPECT_EQ(device.draws[2].texture, DeviceTexture(front));
}

TEST_F(Drawer, WithinAPriorityBlendModeThenTextureAddressDecideTheOrder)
{
    auto one = Texture(8, 8);
    auto two = Texture(8, 8);
    const auto [low, high] = std::minmax(
        one, two, [](const auto& a, const auto& b) { return std::less<>()(a.get(), b.get()); });
    Draw(high);
    Draw(low);
    drawer->FillRect(0xFF000000, 0, 0, 1, 1);
    drawer->SetBlendMode(BlendAdd);
    Draw(low);
    drawer->Flush();
    ASSERT_EQ(device.draws.size(), 4u);
    EXPECT_EQ(device.draws[0].texture, nullptr) << "no texture sorts before any";
    EXPECT_EQ(device.draws[1].texture, DeviceTexture(low));
    EXPECT_EQ(device.draws[2].texture, DeviceTexture(high));
    EXPECT_EQ(device.draws[3].sourceBlend, D3DBLEND_ONE) << "mode 3 after mode 0";
}

TEST_F(Drawer, BlendModesSetTheTableFactorsAndAlphaOperation)
{
    struct Row
    {
        int32_t mode;
        bool enabled;
        DWORD source, destination, alphaOperation;
    };
    // Each mode drawn after mode 1, so a mode that keeps the alpha operation shows SELECTARG2.
    const Row table[] = {
        {0, false, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_SELECTARG2},
        {2, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE},
        {3, true, D3DBLEND_ONE, D3DBLEND_ONE, D3DTOP_SELECTARG1},
        {4, true, D3DBLEND_ONE, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE},
        {5, true, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DTOP_SELECTARG1},
        {6, true, D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO, D3DTOP_SELECTARG1},
        {7, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_SELECTARG2},
        {-1, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_SELECTARG2},
    };
    auto texture = Texture(8, 8);
    for (const Row& row : table)
    {
        device.draws.clear();
        drawer->SetBlendMode(BlendVertexAlpha);
        Draw(texture, 0);
        drawer->SetBlendMode(row.mode);
        Draw(texture, 1);
        drawer->Flush();
        ASSERT_EQ(device.draws.size(), 2u);
        EXPECT_EQ(device.draws[0].alphaOperation, D3DTOP_SELECTARG2);
        const RecordedDraw& drawn = device.draws[1];
        EXPECT_EQ(drawn.blendEnabled, row.enabled) << row.mode;
        EXPECT_EQ(drawn.sourceBlend, row.source) << row.mode;
        EXPECT_EQ(drawn.destinationBlend, row.destination) << row.mode;
        EXPECT_EQ(drawn.alphaOperation, row.alphaOperation) << row.mode;
    }
}

TEST_F(Drawer, FillsHaveNoTextureAlphaToMultiply)
{
    drawer->SetBlendMode(BlendAlpha);
    drawer->FillRect(0x80FF0000, 0, 0, 4, 4);
    drawer->Flush();
    drawer->SetBlendMode(BlendAdd);
    drawer->FillRect(0x80FF0000, 0, 0, 4, 4);
    drawer->Flush();
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.draws[0].alphaOperation, D3DTOP_SELECTARG2) << "mode 2 became mode 1";
    EXPECT_EQ(device.draws[1].sourceBlend, D3DBLEND_ONE) << "mode 3 stays mode 3";
    EXPECT_EQ(device.draws[0].texture, nullptr);
    EXPECT_EQ(device.draws[0].vertices[3].u, 0.0f);
}

TEST_F(Drawer, RectanglesSitOnPixelEdgesAndSourcesBecomeTextureCoordinates)
{
    auto texture = Texture(1024, 1024);
    drawer->DrawImage(texture, 0x80402010, 0, {0, 0, 640, 480}, {192, 272, 640, 480});
    drawer->Flush();
    ASSERT_EQ(device.draws.size(), 1u);
    const auto& v = device.draws[0].vertices;
    ASSERT_EQ(v.size(), 4u);
    const float xs[] = {-0.5f, 639.5f, -0.5f, 639.5f};
    const float ys[] = {-0.5f, -0.5f, 479.5f, 479.5f};
    const float us[] = {0.1875f, 0.8125f, 0.1875f, 0.8125f};
    const float vs[] = {0.265625f, 0.265625f, 0.734375f, 0.734375f};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(v[i].x, xs[i]) << i;
        EXPECT_EQ(v[i].y, ys[i]) << i;
        EXPECT_EQ(v[i].u, us[i]) << i;
        EXPECT_EQ(v[i].v, vs[i]) << i;
        EXPECT_EQ(v[i].z, 0.0f);
        EXPECT_EQ(v[i].rhw, 1.0f);
        EXPECT_EQ(v[i].diffuse, 0x80402010u);
        EXPECT_EQ(v[i].specular, 0u);
    }
}

TEST_F(Drawer, FreeQuadsKeepTheirCornersAsGiven)
{
    auto texture = Texture(256, 64);
    const Quad corners{{10, 20}, {300, -5}, {-7, 90}, {280, 100}};
    drawer->DrawImageQuad(texture, 0xFFFFFFFF, 0, {0, 0, 256, 64}, corners);
    drawer->Flush();
    const auto& v = device.draws.at(0).vertices;
    EXPECT_EQ(v[0].x, 10.0f);
    EXPECT_EQ(v[1].y, -5.0f);
    EXPECT_EQ(v[2].x, -7.0f);
    EXPECT_EQ(v[3].y, 100.0f);
    EXPECT_EQ(v[3].u, 1.0f);
    EXPECT_EQ(v[3].v, 1.0f);
}

TEST_F(Drawer, ExtremeRectanglesDoNotOverflow)
{
    drawer->FillRect(0xFFFFFFFF, INT32_MAX, INT32_MAX, INT32_MAX, 1);
    drawer->Flush();
    const auto& v = device.draws.at(0).vertices;
    EXPECT_FLOAT_EQ(v[1].x, 2.0f * static_cast<float>(INT32_MAX));
}

TEST_F(Drawer, RenderTargetChangesReachTheDeviceOnlyAtAFlushThatNeedsThem)
{
    auto target = Texture(1024, 1024, true);
    drawer->SetRenderTarget(target);
    drawer->SetRenderTarget(nullptr);
    drawer->FillRect(0xFFFFFFFF, 0, 0, 1, 1);
    drawer->Flush();
    drawer->FillRect(0xFFFFFFFF, 0, 0, 1, 1);
    drawer->Flush();
    ASSERT_EQ(device.Count("SetRenderTarget"), 1u) << "same target, one change";
    EXPECT_EQ(device.Count("GetSurfaceLevel"), 1u);
    EXPECT_EQ(device.draws[1].renderTarget, device.renderTarget);
    EXPECT_EQ(device.Named("SetViewport")[0]->args, (std::vector<int64_t>{0, 0, 1024, 1024, 0, 1}));

    drawer->ResetRenderTarget();
    drawer->Flush();
    EXPECT_EQ(device.Count("SetRenderTarget"), 2u) << "an empty queue still takes the target";
    EXPECT_EQ(device.renderTarget, device.backBuffer);
    EXPECT_EQ(device.Count("GetBackBuffer"), 1u);
    EXPECT_EQ(device.LiveObjects(), 3) << "surfaces released: buffers and the target remain";

    drawer->SetRenderTarget(target);
    drawer->Clear();
    EXPECT_EQ(device.Count("SetRenderTarget"), 3u) << "a clear clears the requested target";
    EXPECT_NE(device.renderTarget, device.backBuffer);
}

TEST_F(Drawer, ATargetTheDeviceCannotTakeIsRecordedAsAppliedAnyway)
{
    auto empty = drawer->CreateTexture();
    drawer->SetRenderTarget(empty);
    drawer->Flush();
    drawer->Flush();
    EXPECT_EQ(device.Count("SetRenderTarget"), 0u);
    drawer->ResetRenderTarget();
    drawer->Flush();
    EXPECT_EQ(device.Count("SetRenderTarget"), 1u);
}

TEST_F(Drawer, CommandsAfterTheLastFlushGoToTheNextFramesFirstTarget)
{
    auto target = Texture(1024, 1024, true);
    drawer->FillRect(0xFFFFFFFF, 0, 0, 1, 1);
    drawer->Flush();
    drawer->FillRect(0xFF00FF00, 0, 0, 1, 1);
    drawer->EndFrame();
    EXPECT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.Count("Present"), 1u);

    drawer->BeginFrame();
    drawer->SetRenderTarget(target);
    drawer->Flush();
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.draws[1].vertices[0].diffuse, 0xFF00FF00u);
    EXPECT_NE(device.draws[1].renderTarget, device.backBuffer);
}

TEST_F(Drawer, AFailedSceneIsNotEnded)
{
    drawer->EndFrame();
    device.failBeginScene = true;
    device.calls.clear();
    drawer->BeginFrame();
    drawer->EndFrame();
    EXPECT_EQ(device.Count("EndScene"), 0u);
    EXPECT_EQ(device.Count("Present"), 0u);
}

TEST_F(Drawer, RunsLongerThanSixteenBitIndicesAreSplit)
{
    const size_t count = DxDrawer::MaxBatchQuads + 3;
    for (size_t i = 0; i < count; ++i)
    {
        drawer->FillRect(static_cast<uint32_t>(i), 0, 0, 1, 1);
    }
    drawer->Flush();
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.draws[0].numVertices, 65536u);
    EXPECT_EQ(device.draws[1].numVertices, 12u);
    EXPECT_EQ(device.draws[1].indices[0], 0) << "each call starts from the buffers' start";
    EXPECT_EQ(device.Count("SetTexture"), 1u) << "a split keeps the batch's state";
    EXPECT_EQ(BufferLengths("CreateVertexBuffer"),
              (std::vector<int64_t>{static_cast<int64_t>(DxDrawer::MaxBatchQuads) * 128}))
        << "no more room than one call can address";
}

TEST_F(Drawer, BuffersThatCannotBeMadeOrLockedSkipOneFlush)
{
    device.failIndexBuffers = true;
    drawer->FillRect(0xFFFFFFFF, 0, 0, 1, 1);
    drawer->Flush();
    EXPECT_EQ(device.Count("DrawIndexedPrimitive"), 0u);
    EXPECT_EQ(device.LiveObjects(), 0) << "the half-made pair is released";

    device.failIndexBuffers = false;
    drawer->FillRect(0xFF00FF00, 0, 0, 1, 1);
    drawer->Flush();
    ASSERT_EQ(device.draws.size(), 1u) << "the failed flush's commands are gone";
    EXPECT_EQ(device.draws[0].numVertices, 4u);
    EXPECT_EQ(device.Count("CreateVertexBuffer"), 2u) << "creation is retried";

    drawer->SetBlendMode(BlendAdd);
    drawer->FillRect(0xFFFFFFFF, 0, 0, 1, 1);
    drawer->SetBlendMode(BlendNone);
    drawer->FillRect(0xFFFFFFFF, 0, 0, 1, 1);
    device.locksBeforeFailure = 2;
    drawer->Flush();
    EXPECT_EQ(device.draws.size(), 2u) << "the first batch drew, then relocking failed";
    device.locksBeforeFailure = -1;
    drawer->Flush();
    EXPECT_EQ(device.draws.size(), 2u);
}

TEST_F(Drawer, ClosingReleasesBuffersDeviceAndDirect3D)
{
    auto picture = Texture(4, 4);
    auto unmade = drawer->CreateTexture();
    drawer->FillRect(0xFFFFFFFF, 0, 0, 1, 1);
    drawer->Flush();
    picture->Destroy();
    drawer->Close();
    device.calls.clear();
    EXPECT_FALSE(unmade->Create(4, 4, false));
    EXPECT_TRUE(device.calls.empty()) << "textures ask nothing of a released device";
    EXPECT_EQ(device.LiveObjects(), 0);
    EXPECT_EQ(device.references, 0);
    EXPECT_EQ(direct3D.references, 0);
    drawer->Close();
    EXPECT_EQ(device.references, 0) << "a second close does nothing";
}

TEST_F(Drawer, FilterAndClearUseTheDesignedStates)
{
    drawer->SetLinearFilter(true);
    drawer->SetLinearFilter(false);
    drawer->Clear();
    std::vector<std::vector<int64_t>> samplers;
    for (const auto* call : device.Named("SetSamplerState"))
    {
        samplers.push_back(call->args);
    }
    EXPECT_EQ(samplers,
              (std::vector<std::vector<int64_t>>{{0, 5, 2}, {0, 6, 2}, {0, 5, 1}, {0, 6, 1}}));
    EXPECT_EQ(device.Named("Clear").at(0)->args, (std::vector<int64_t>{0, 0, 1, 0x00FF00FF, 1, 0}));
}
