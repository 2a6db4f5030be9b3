#include "framework/draw/IDrawer.h"
#include "framework/draw/LoadTexture.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/OffscreenWindow.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Qorv::Draw;
using TestSupport::Bitmap;
using TestSupport::OffscreenWindow;
using TestSupport::ReadBackBuffer;
using TestSupport::ReadBoundTarget;

namespace
{

constexpr int Size = 64;

int Channel(uint32_t colour, int shift)
{
    return static_cast<int>((colour >> shift) & 0xFF);
}

class DrawerGl : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(window.Handle(), nullptr);
        ASSERT_TRUE(drawer->Open(window.Handle(), Size, Size, 16, false, false));
        drawer->BeginFrame();
    }

    std::shared_ptr<ITexture> Picture(int32_t width, int32_t height,
                                      const std::vector<uint32_t>& texels)
    {
        auto texture = drawer->CreateTexture();
        EXPECT_TRUE(texture->Create(width, height, false));
        uint32_t* pixels = texture->Lock();
        for (int32_t y = 0; y < height; ++y)
        {
            std::copy_n(texels.begin() + y * width, width, pixels + y * texture->GetWidth());
        }
        texture->Unlock();
        return texture;
    }

    uint32_t ScreenAt(int x, int y) const { return screen.at(static_cast<size_t>(y) * Size + x); }
    void ReadScreen() { screen = ReadBackBuffer(Size, Size); }

    OffscreenWindow window{Size, Size};
    std::shared_ptr<IDrawer> drawer = CreateDrawer();
    std::vector<uint32_t> screen;
};

} // namespace

TEST_F(DrawerGl, EachBlendModeCombinesTextureVertexAndTargetAsTabled)
{
    const uint32_t destination = 0xFF204060;
    const uint32_t texel = 0x80C08040;
    const uint32_t vertex = 0xC0FFFFFF;
    const double textureAlpha = 0x80 / 255.0;
    const double vertexAlpha = 0xC0 / 255.0;
    auto texture = Picture(1, 1, {texel});

    // Mode 7 follows mode 6 in the table, so it keeps mode 6's alpha (the texture's).
    const struct
    {
        int32_t mode;
        std::function<double(double source, double target)> blend;
    } table[] = {
        {0,
         [](double s, double)
         {
             return s;
         }},
        {1,
         [&](double s, double d)
         {
             return s * vertexAlpha + d * (1 - vertexAlpha);
         }},
        {2,
         [&](double s, double d)
         {
             const double a = textureAlpha * vertexAlpha;
             return s * a + d * (1 - a);
         }},
        {3,
         [](double s, double d)
         {
             return std::min(1.0, s + d);
         }},
        {4,
         [&](double s, double d)
         {
             return s + d * (1 - textureAlpha * vertexAlpha);
         }},
        {5,
         [](double s, double d)
         {
             return d * s;
         }},
        {6,
         [](double s, double d)
         {
             return (1 - d) * s;
         }},
        {7,
         [&](double s, double d)
         {
             return s * textureAlpha + d * (1 - textureAlpha);
         }},
    };
    for (const auto& row : table)
    {
        const int x = row.mode * 8;
        drawer->SetBlendMode(BlendNone);
        drawer->FillRect(destination, x, 0, 8, 8);
        drawer->SetBlendMode(row.mode);
        drawer->DrawImage(texture, vertex, 1, {x, 0, 8, 8}, {0, 0, 1, 1});
        drawer->Flush();
    }
    ReadScreen();
    for (const auto& row : table)
    {
        const uint32_t drawn = ScreenAt(row.mode * 8 + 4, 4);
        for (int shift : {16, 8, 0})
        {
            const double expected =
                row.blend(Channel(texel, shift) / 255.0, Channel(destination, shift) / 255.0);
            EXPECT_NEAR(Channel(drawn, shift), expected * 255.0, 2.0)
                << "mode " << row.mode << " channel at bit " << shift;
        }
    }
}

TEST_F(DrawerGl, TheAlphaOperationChoosesVertexTextureOrBoth)
{
    auto target = drawer->CreateTexture();
    ASSERT_TRUE(target->Create(Size, Size, true));
    auto texture = Picture(1, 1, {0x80FFFFFF});
    drawer->SetRenderTarget(target);
    // An unblended quad writes the stage's alpha as it is; it keeps the operation the quad
    // before it in the same flush chose.
    const std::pair<int32_t, double> operations[] = {
        {BlendVertexAlpha, 0x40 / 255.0},
        {BlendAlpha, 0x40 / 255.0 * 0x80 / 255.0},
        {BlendAdd, 0x80 / 255.0},
    };
    for (const auto& [mode, alpha] : operations)
    {
        drawer->SetBlendMode(mode);
        drawer->DrawImage(texture, 0x40FFFFFF, 0, {40, 40, 1, 1}, {0, 0, 1, 1});
        drawer->SetBlendMode(BlendNone);
        drawer->DrawImage(texture, 0x40FFFFFF, 1, {0, 0, 8, 8}, {0, 0, 1, 1});
        drawer->Flush();
        const auto stored = ReadBoundTarget(Size, Size);
        EXPECT_NEAR(Channel(stored[4 * Size + 4], 24), alpha * 255.0, 1.5) << "mode " << mode;
    }
}

TEST_F(DrawerGl, AnUntexturedQuadShowsItsVertexColour)
{
    drawer->Clear();
    drawer->FillRect(0xFF336699, 10, 20, 5, 3);
    drawer->Flush();
    ReadScreen();
    EXPECT_EQ(ScreenAt(10, 20) & 0xFFFFFF, 0x336699u);
    EXPECT_EQ(ScreenAt(14, 22) & 0xFFFFFF, 0x336699u);
    EXPECT_EQ(ScreenAt(15, 22) & 0xFFFFFF, 0xFF00FFu) << "right edge exclusive, cleared magenta";
    EXPECT_EQ(ScreenAt(14, 23) & 0xFFFFFF, 0xFF00FFu);
}

TEST_F(DrawerGl, PointFilteringKeepsTexelsAndLinearBlendsThem)
{
    auto texture = Picture(2, 1, {0xFF000000, 0xFFFFFFFF});
    drawer->DrawImage(texture, 0xFFFFFFFF, 0, {0, 0, 16, 1}, {0, 0, 2, 1});
    drawer->Flush();
    drawer->SetLinearFilter(true);
    drawer->DrawImage(texture, 0xFFFFFFFF, 0, {0, 2, 16, 1}, {0, 0, 2, 1});
    drawer->Flush();
    ReadScreen();
    EXPECT_EQ(ScreenAt(7, 0) & 0xFF, 0u);
    EXPECT_EQ(ScreenAt(8, 0) & 0xFF, 0xFFu);
    const int left = Channel(ScreenAt(7, 2), 0);
    const int right = Channel(ScreenAt(8, 2), 0);
    EXPECT_GT(left, 64);
    EXPECT_LT(right, 192);
    EXPECT_LT(Channel(ScreenAt(4, 2), 0), left) << "a ramp between the texel centres";
}

TEST_F(DrawerGl, APictureKeepsItsOrientationThroughARenderTarget)
{
    // Red top-left, blue bottom-right, green elsewhere: any flip or mirror shows.
    std::vector<uint32_t> texels(16, 0xFF00FF00);
    texels.front() = 0xFFFF0000;
    texels.back() = 0xFF0000FF;
    auto picture = Picture(4, 4, texels);
    auto target = drawer->CreateTexture();
    ASSERT_TRUE(target->Create(Size, Size, true));

    drawer->SetRenderTarget(target);
    drawer->DrawImage(picture, 0xFFFFFFFF, 0, {0, 0, 4, 4}, {0, 0, 4, 4});
    drawer->Flush();
    drawer->ResetRenderTarget();
    drawer->DrawImage(target, 0xFFFFFFFF, 0, {10, 20, 4, 4}, {0, 0, 4, 4});
    drawer->Flush();
    ReadScreen();
    EXPECT_EQ(ScreenAt(10, 20) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(ScreenAt(13, 23) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(ScreenAt(13, 20) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(ScreenAt(10, 23) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(DrawerGl, ALoadedPictureSitsInAPowerOfTwoTextureRowsApartByItsWidth)
{
    TestSupport::TempDir dir;
    const auto file = dir.Write("stage.bmp", Bitmap(640, 480,
                                                    [](int32_t x, int32_t y) -> uint32_t
                                                    {
                                                        if (x == 639 && y == 479)
                                                        {
                                                            return 0xFF0000;
                                                        }
                                                        return y == 1 ? 0x00FF00 : 0x000000;
                                                    }));
    auto texture = drawer->CreateTexture();
    ASSERT_TRUE(LoadTextureFromFile(texture, file.wstring()));
    EXPECT_EQ(texture->GetWidth(), 1024);
    EXPECT_EQ(texture->GetHeight(), 512);
    drawer->DrawImage(texture, 0xFFFFFFFF, 0, {0, 0, 4, 4}, {636, 476, 4, 4});
    drawer->DrawImage(texture, 0xFFFFFFFF, 0, {8, 0, 4, 4}, {0, 0, 4, 4});
    drawer->Flush();
    ReadScreen();
    EXPECT_EQ(ScreenAt(3, 3) & 0xFFFFFF, 0xFF0000u) << "the last texel of the picture";
    EXPECT_EQ(ScreenAt(2, 3) & 0xFFFFFF, 0u);
    EXPECT_EQ(ScreenAt(8, 1) & 0xFFFFFF, 0x00FF00u) << "row 1 of the picture";
    EXPECT_EQ(ScreenAt(8, 0) & 0xFFFFFF, 0u);
}
