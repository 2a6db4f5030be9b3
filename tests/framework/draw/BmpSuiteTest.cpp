#include "framework/draw/BitmapImageFile.h"
#include "framework/draw/PngImageFile.h"
#include "tests/framework/draw/DecodedImage.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using DrawTests::DecodedImage;
using Qorv::Draw::BitmapImageFile;
using Qorv::Draw::PngImageFile;
using TestSupport::ReadFile;
using TestSupport::TestDataPath;

namespace
{

namespace fs = std::filesystem;

// The suite's page shows each picture after the renderings it should look like.
std::map<std::string, std::vector<std::string>> ReferencesByPicture()
{
    const std::string text = ReadFile(TestDataPath("bmpsuite/html/bmpsuite.html"));
    const std::regex source(R"re(src="([^"]+)")re");
    std::map<std::string, std::vector<std::string>> references;
    std::vector<std::string> pending;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), source);
         it != std::sregex_iterator(); ++it)
    {
        const std::string name = (*it)[1];
        if (name.ends_with(".png"))
        {
            pending.push_back(name);
        }
        else if (name.ends_with(".bmp"))
        {
            references[fs::path(name).filename().string()] = pending;
            pending.clear();
        }
    }
    return references;
}

std::vector<fs::path> Pictures(const std::string& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(TestDataPath("bmpsuite") / folder))
    {
        if (entry.path().extension() == ".bmp")
        {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool Near(uint32_t a, uint32_t b, int shift, int tolerance)
{
    const int x = static_cast<int>((a >> shift) & 0xFF);
    const int y = static_cast<int>((b >> shift) & 0xFF);
    return std::abs(x - y) <= tolerance;
}

// Alpha must agree everywhere; colour only where the rendering is opaque, since it shows a
// background through transparent pixels.
std::string Difference(const DecodedImage& decoded, const DecodedImage& reference, int tolerance)
{
    if (decoded.width != reference.width || decoded.height != reference.height)
    {
        return "size differs";
    }
    for (int32_t y = 0; y < decoded.height; ++y)
    {
        for (int32_t x = 0; x < decoded.width; ++x)
        {
            const uint32_t got = decoded.At(x, y);
            const uint32_t want = reference.At(x, y);
            const bool opaque = (want >> 24) == 0xFF;
            if (!Near(got, want, 24, tolerance) ||
                (opaque && !(Near(got, want, 16, tolerance) && Near(got, want, 8, tolerance) &&
                             Near(got, want, 0, tolerance))))
            {
                std::ostringstream text;
                text << "pixel " << x << "," << y << " is " << std::hex << got << ", expected "
                     << want;
                return text.str();
            }
        }
    }
    return {};
}

// Empty when one of the picture's renderings matches; else why the first one did not.
std::string DifferenceFromReferences(const fs::path& file, const DecodedImage& decoded,
                                     int tolerance)
{
    static const auto references = ReferencesByPicture();
    const auto found = references.find(file.filename().string());
    if (found == references.end() || found->second.empty())
    {
        return "no reference rendering";
    }
    std::string first;
    for (const std::string& name : found->second)
    {
        PngImageFile png;
        const DecodedImage reference =
            DecodedImage::FromFile(png, TestDataPath("bmpsuite/html") / name);
        const std::string difference = Difference(decoded, reference, tolerance);
        if (difference.empty())
        {
            return {};
        }
        if (first.empty())
        {
            first = name + ": " + difference;
        }
    }
    return first;
}

} // namespace

TEST(BmpSuite, EveryGoodPictureEqualsItsReferenceRendering)
{
    SKIP_WITHOUT_TESTDATA();
    const auto files = Pictures("g");
    ASSERT_EQ(files.size(), 27u);
    for (const fs::path& file : files)
    {
        BitmapImageFile bmp;
        const DecodedImage decoded = DecodedImage::FromFile(bmp, file);
        ASSERT_TRUE(decoded.opened) << file;
        EXPECT_GT(decoded.result, 0) << file;
        EXPECT_EQ(DifferenceFromReferences(file, decoded, 0), "") << file;
    }
}

TEST(BmpSuite, QuestionablePicturesDecodeOrAreRefusedAsListed)
{
    SKIP_WITHOUT_TESTDATA();
    // Bit counts, compressions and their combinations that the decoder does not offer.
    const std::set<std::string> refused = {"pal1huffmsb.bmp", "pal2.bmp",     "pal2color.bmp",
                                           "rgb24jpeg.bmp",   "rgb24png.bmp", "rgb24rle24.bmp",
                                           "rgba32abf.bmp",   "rgba64.bmp"};
    // Decoded, but its rendering shows the colours after the embedded profile is applied.
    const std::set<std::string> unlikeRendering = {"rgb24prof2.bmp"};
    for (const fs::path& file : Pictures("q"))
    {
        const std::string name = file.filename().string();
        BitmapImageFile bmp;
        const DecodedImage decoded = DecodedImage::FromFile(bmp, file);
        EXPECT_EQ(decoded.opened, !refused.contains(name)) << name;
        if (!decoded.opened)
        {
            continue;
        }
        EXPECT_GT(decoded.result, 0) << name;
        const std::string difference = DifferenceFromReferences(file, decoded, 1);
        if (unlikeRendering.contains(name))
        {
            EXPECT_NE(difference, "") << name;
        }
        else
        {
            EXPECT_EQ(difference, "") << name;
        }
    }
}

TEST(BmpSuite, BadPicturesAreRefusedOrDecodedInsideTheirBounds)
{
    SKIP_WITHOUT_TESTDATA();
    constexpr uint32_t Guard = 0xDEADBEEF;
    for (const fs::path& file : Pictures("b"))
    {
        auto reader = Qorv::Base::CreateFileReader();
        ASSERT_TRUE(reader->Open(file.wstring()));
        BitmapImageFile bmp;
        if (!bmp.Open(reader))
        {
            continue;
        }
        const int32_t width = bmp.GetWidth();
        const int32_t height = bmp.GetHeight();
        ASSERT_LE(static_cast<int64_t>(width) * height, 1 << 20) << file;
        // One guard column right of every row, one guard row below.
        const int32_t stride = width + 1;
        std::vector<uint32_t> pixels(static_cast<size_t>(stride) * (height + 1), Guard);
        // A bad picture may yield any rows; only the guards are checked.
        (void)bmp.ReadPixels(pixels.data(), stride);
        for (int32_t y = 0; y <= height; ++y)
        {
            for (int32_t x = 0; x < stride; ++x)
            {
                if (y == height || x == width)
                {
                    ASSERT_EQ(pixels[static_cast<size_t>(y) * stride + x], Guard) << file;
                }
            }
        }
    }
}
