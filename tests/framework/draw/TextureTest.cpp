#include "framework/draw/DxDrawer.h"
#include "framework/draw/LoadTexture.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/DeviceTexture.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Qorv::Draw;
using TestSupport::Bitmap;
using TestSupport::DeviceTexture;
using TestSupport::RecordingDevice;
using TestSupport::RecordingDirect3D;
using TestSupport::RecordingTexture;
using TestSupport::TempDir;

namespace
{

class Texture : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(drawer.Open(reinterpret_cast<HWND>(0x1000), 640, 480, 16, false, false));
        device.calls.clear();
    }

    RecordingDevice device;
    RecordingDirect3D direct3D{device};
    DxDrawer drawer{[this](UINT) -> IDirect3D9*
                    {
                        return &direct3D;
                    }};
    TempDir dir;
};

} // namespace

TEST_F(Texture, SidesAreRoundedUpToPowersOfTwo)
{
    const struct
    {
        int32_t width, height, allocatedWidth, allocatedHeight;
    } sizes[] = {{640, 480, 1024, 512},
                 {1024, 1024, 1024, 1024},
                 {1, 1, 1, 1},
                 {0, -0, 1, 1},
                 {-5, 3, 1, 4}};
    for (const auto& size : sizes)
    {
        auto texture = drawer.CreateTexture();
        ASSERT_TRUE(texture->Create(size.width, size.height, false)) << size.width;
        EXPECT_EQ(texture->GetWidth(), size.allocatedWidth);
        EXPECT_EQ(texture->GetHeight(), size.allocatedHeight);
        EXPECT_EQ(texture->GetImageWidth(), size.width);
        EXPECT_EQ(texture->GetImageHeight(), size.height);
    }
    EXPECT_EQ(device.Named("CreateTexture").at(0)->args,
              (std::vector<int64_t>{1024, 512, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, 0}));

    auto target = drawer.CreateTexture();
    ASSERT_TRUE(target->Create(1024, 1024, true));
    EXPECT_EQ(device.Named("CreateTexture").back()->args,
              (std::vector<int64_t>{1024, 1024, 0, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                    D3DPOOL_DEFAULT, 0}));
}

TEST_F(Texture, RefusedRequestsLeaveTheExistingTextureAlone)
{
    auto texture = drawer.CreateTexture();
    ASSERT_TRUE(texture->Create(64, 32, false));
    RecordingTexture* original = DeviceTexture(texture);
    EXPECT_FALSE(texture->Create(64, -1, false));
    EXPECT_EQ(DeviceTexture(texture), original);
    EXPECT_EQ(texture->GetImageHeight(), 32);

    device.failTextures = true;
    EXPECT_FALSE(texture->Create(128, 128, false));
    EXPECT_FALSE(texture->IsCreated()) << "the old texture went before the new one failed";
    EXPECT_EQ(texture->GetWidth(), 64) << "allocated sizes stay as they were";
    EXPECT_EQ(texture->Lock(), nullptr);
}

TEST_F(Texture, RecreatingALockedTextureUnlocksAndReleasesItFirst)
{
    auto texture = drawer.CreateTexture();
    ASSERT_TRUE(texture->Create(4, 4, false));
    ASSERT_NE(texture->Lock(), nullptr);
    device.calls.clear();
    ASSERT_TRUE(texture->Create(8, 8, false));
    std::vector<std::string> order;
    for (const auto& call : device.calls)
    {
        order.push_back(call.name);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"UnlockRect", "Texture::Release", "CreateTexture"}));

    ASSERT_NE(texture->Lock(), nullptr);
    RecordingTexture* last = DeviceTexture(texture);
    texture.reset();
    EXPECT_FALSE(last->locked) << "destruction unlocks";
    EXPECT_EQ(last->references, 0) << "and releases";
}

TEST_F(Texture, APictureFillsTheTopLeftWithRowsOneAllocatedWidthApart)
{
    const auto path = dir.Write("wide.bmp", Bitmap(640, 480,
                                                   [](int32_t x, int32_t y) {
                                                       return (x == 0 && y == 1) ? 0xFF0000u
                                                              : (x == 639)       ? 0x00FF00u
                                                                                 : 0x000010u;
                                                   }));
    auto texture = drawer.CreateTexture();
    ASSERT_TRUE(LoadTextureFromFile(texture, path.wstring()));
    EXPECT_EQ(texture->GetWidth(), 1024);
    EXPECT_EQ(texture->GetHeight(), 512);
    EXPECT_EQ(texture->GetImageWidth(), 640);
    EXPECT_EQ(texture->GetImageHeight(), 480);
    const RecordingTexture* stored = DeviceTexture(texture);
    EXPECT_FALSE(stored->locked);
    EXPECT_EQ(stored->pixels[1024], 0xFFFF0000u) << "row 1 starts 1024 pixels in";
    EXPECT_EQ(stored->pixels[639], 0xFF00FF00u);
    EXPECT_EQ(stored->pixels[640], 0u) << "texels right of the picture are not written";
    EXPECT_EQ(stored->pixels[480 * 1024], 0u) << "nor those below it";
}

TEST_F(Texture, OnlyTheContentChoosesTheDecoder)
{
    const auto disguisedBmp =
        dir.Write("picture.png", Bitmap(3, 2, [](int32_t, int32_t) { return 0x123456u; }));
    auto fromBmp = drawer.CreateTexture();
    ASSERT_TRUE(LoadTextureFromFile(fromBmp, disguisedBmp.wstring()));
    EXPECT_EQ(fromBmp->GetImageWidth(), 3);
    EXPECT_EQ(DeviceTexture(fromBmp)->pixels[4 + 2], 0xFF123456u);

    SKIP_WITHOUT_TESTDATA();
    const auto disguisedPng = dir.Path() / "picture.bmp";
    std::filesystem::copy_file(TestSupport::TestDataPath("pngsuite/png/basn6a08.png"),
                               disguisedPng);
    auto fromPng = drawer.CreateTexture();
    ASSERT_TRUE(LoadTextureFromFile(fromPng, disguisedPng.wstring()));
    EXPECT_EQ(fromPng->GetImageWidth(), 32);
    EXPECT_EQ(DeviceTexture(fromPng)->pixels[0], 0x00FF0008u);
}

TEST_F(Texture, LoadingFailsWithoutTouchingTheTextureWhenNothingCanBeRead)
{
    auto texture = drawer.CreateTexture();
    EXPECT_FALSE(LoadTextureFromFile(texture, L""));
    EXPECT_FALSE(LoadTextureFromFile(texture, dir.Wide("missing.png")));
    EXPECT_FALSE(LoadTextureFromFile(texture, dir.Write("noise.png", "not a picture").wstring()));
    EXPECT_FALSE(LoadTextureFromFile(
        nullptr, dir.Write("ok.bmp", Bitmap(1, 1, [](int32_t, int32_t) { return 0u; })).wstring()));
    EXPECT_FALSE(texture->IsCreated());
    EXPECT_EQ(device.Count("CreateTexture"), 0u);
}

TEST_F(Texture, ALockThatFailsFailsTheLoad)
{
    device.failTextureLocks = true;
    auto texture = drawer.CreateTexture();
    EXPECT_FALSE(LoadTextureFromFile(
        texture,
        dir.Write("one.bmp", Bitmap(1, 1, [](int32_t, int32_t) { return 0u; })).wstring()));
    EXPECT_TRUE(texture->IsCreated()) << "created, with its pixels unwritten";
}
