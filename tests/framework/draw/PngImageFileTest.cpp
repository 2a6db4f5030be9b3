#include "framework/draw/PngImageFile.h"
#include "framework/draw/BitmapImageFile.h"
#include "tests/framework/draw/DecodedImage.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/MemoryFileReader.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using DrawTests::DecodedImage;
using Qorv::Draw::PngImageFile;
using TestSupport::MemoryFileReader;
using TestSupport::ReaderOver;
using TestSupport::ReadFile;
using TestSupport::TestDataPath;

namespace
{

namespace fs = std::filesystem;

// The suite's decodings: one JSON array of r, g, b, a values.
std::vector<int> ReadJsonValues(const fs::path& file)
{
    std::string text = ReadFile(file);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '[' || c == ']' || c == ','; }, ' ');
    std::istringstream values(text);
    std::vector<int> out{std::istream_iterator<int>(values), {}};
    return out;
}

// libpng reads a chunk it keeps in one call, into a buffer of the chunk's stated size, so the
// largest read asked for bounds what a chunk made it allocate.
class LargestReadReader : public MemoryFileReader
{
public:
    explicit LargestReadReader(const std::vector<uint8_t>& bytes)
        : MemoryFileReader(bytes.data(), bytes.size())
    {
        OpenMemory();
    }
    int32_t largest = 0;

protected:
    int32_t ReadImpl(void* buffer, int32_t count) override
    {
        largest = std::max(largest, count);
        return MemoryFileReader::ReadImpl(buffer, count);
    }
};

} // namespace

TEST(PngSuite, EveryValidImageEqualsItsDecoding)
{
    SKIP_WITHOUT_TESTDATA();
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(TestDataPath("pngsuite/png")))
    {
        const std::string stem = entry.path().stem().string();
        if (entry.path().extension() != ".png" || stem.starts_with("x"))
        {
            continue;
        }
        // Sixteen-bit samples come out as their high byte; the suite rounds them, or keeps all 16.
        fs::path expected = TestDataPath("pngsuite/json") / (stem + "_to8.json");
        int tolerance = fs::exists(expected) ? 1 : 0;
        if (tolerance == 0)
        {
            expected = TestDataPath("pngsuite/json") / (stem + ".json");
        }
        std::vector<int> rgba = ReadJsonValues(expected);
        if (std::any_of(rgba.begin(), rgba.end(), [](int v) { return v > 255; }))
        {
            for (int& v : rgba)
            {
                v = (v + 128) / 257;
            }
            tolerance = 1;
        }
        PngImageFile png;
        const DecodedImage decoded = DecodedImage::FromFile(png, entry.path());
        ASSERT_TRUE(decoded.opened) << stem;
        ASSERT_EQ(rgba.size(), decoded.pixels.size() * 4) << stem;
        for (size_t i = 0; i < decoded.pixels.size(); ++i)
        {
            const uint32_t p = decoded.pixels[i];
            const int got[4] = {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF),
                                static_cast<int>(p & 0xFF), static_cast<int>(p >> 24)};
            for (int c = 0; c < 4; ++c)
            {
                ASSERT_LE(std::abs(got[c] - rgba[i * 4 + c]), tolerance)
                    << stem << " pixel " << i << " channel " << c;
            }
        }
        ++checked;
    }
    EXPECT_EQ(checked, 161);
}

TEST(PngSuite, EveryCorruptImageIsRefused)
{
    SKIP_WITHOUT_TESTDATA();
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(TestDataPath("pngsuite/png")))
    {
        if (!entry.path().filename().string().starts_with("x"))
        {
            continue;
        }
        PngImageFile png;
        const DecodedImage decoded = DecodedImage::FromFile(png, entry.path());
        EXPECT_TRUE(!decoded.opened || decoded.result == 0) << entry.path();
        ++checked;
    }
    EXPECT_EQ(checked, 14);
}

TEST(PngImageFile, InterlacedImagesCountEveryPassAndMatchTheirPlainTwin)
{
    SKIP_WITHOUT_TESTDATA();
    PngImageFile png;
    const DecodedImage interlaced =
        DecodedImage::FromFile(png, TestDataPath("pngsuite/png/basi2c08.png"));
    const DecodedImage plain =
        DecodedImage::FromFile(png, TestDataPath("pngsuite/png/basn2c08.png"));
    ASSERT_TRUE(interlaced.opened);
    EXPECT_EQ(interlaced.result, 32 * 32 * 7 * 4);
    EXPECT_EQ(plain.result, 32 * 32 * 4);
    EXPECT_EQ(interlaced.pixels, plain.pixels);
}

TEST(PngImageFile, ForeignContentFailsAtTheSignature)
{
    const std::string made = TestSupport::Bitmap(8, 8, [](int32_t, int32_t) { return 0x123456u; });
    std::vector<uint8_t> bmp(made.begin(), made.end());
    std::mt19937 random(7);
    std::vector<uint8_t> noise(4096);
    std::generate(noise.begin(), noise.end(), [&] { return static_cast<uint8_t>(random()); });
    for (const auto* bytes : {&bmp, &noise})
    {
        auto reader = ReaderOver(*bytes);
        PngImageFile png;
        EXPECT_FALSE(png.Open(reader));
        EXPECT_EQ(reader->Tell(), 8) << "nothing past the signature was read";
    }
}

TEST(PngImageFile, TruncatedDataIsAFailureNotAPicture)
{
    SKIP_WITHOUT_TESTDATA();
    std::string bytes = ReadFile(TestDataPath("pngsuite/png/basn6a08.png"));
    bytes.resize(bytes.size() / 2);
    auto reader = ReaderOver(bytes);
    PngImageFile png;
    ASSERT_TRUE(png.Open(reader));
    std::vector<uint32_t> pixels(32 * 32);
    EXPECT_EQ(png.ReadPixels(pixels.data(), 32), 0);
    png.Close();
    EXPECT_FALSE(png.IsOpen());

    bytes.resize(40);
    PngImageFile header;
    EXPECT_FALSE(header.Open(ReaderOver(bytes))) << "the header itself is cut";
}

TEST(PngImageFile, AncillaryChunksClaimingAGigabyteAreSkippedNotAllocated)
{
    SKIP_WITHOUT_TESTDATA();
    const std::string suite = ReadFile(TestDataPath("pngsuite/png/basn0g08.png"));
    constexpr size_t AfterHeader = 8 + 25;
    for (const char* type : {"pCAL", "sCAL", "sPLT", "iCCP", "vpAg"})
    {
        std::vector<uint8_t> bytes(suite.begin(), suite.begin() + AfterHeader);
        bytes.insert(bytes.end(), {0x3F, 0xFF, 0xFF, 0xF0});
        bytes.insert(bytes.end(), type, type + 4);
        bytes.resize(4096, 'x');
        auto reader = std::make_shared<LargestReadReader>(bytes);
        PngImageFile png;
        EXPECT_FALSE(png.Open(reader)) << type << " runs past the end of the file";
        EXPECT_LE(reader->largest, 4096) << type;
    }
}

TEST(PngImageFile, ClosingAnUnreadOrADecodedImageIsQuiet)
{
    SKIP_WITHOUT_TESTDATA();
    auto reader = Qorv::Base::CreateFileReader();
    ASSERT_TRUE(reader->Open(TestDataPath("pngsuite/png/basn3p08.png").wstring()));
    PngImageFile png;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(png.Open(reader));
    EXPECT_EQ(png.GetWidth(), 32);
    png.Close();
    EXPECT_EQ(png.GetWidth(), 0);
    ASSERT_TRUE(png.Open(reader)) << "a closed decoder opens again on the same reader";
    std::vector<uint32_t> pixels(32 * 32);
    EXPECT_EQ(png.ReadPixels(pixels.data(), 32), 32 * 32 * 4);
    png.Close();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "libpng warns of nothing";
}
