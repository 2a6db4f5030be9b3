#include "framework/draw/BitmapImageFile.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/LittleEndian.h"
#include "tests/support/MemoryFileReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using Qorv::Draw::BitmapImageFile;
using TestSupport::BmpBuilder;
using TestSupport::Le16;
using TestSupport::Le32;
using TestSupport::ReaderOver;

namespace
{

constexpr uint32_t Unwritten = 0x12345678;

struct Decoded
{
    bool opened = false;
    int32_t width = 0;
    int32_t height = 0;
    int32_t result = 0;
    std::vector<uint32_t> pixels;
    int32_t stride = 0;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * stride + x)]; }
};

// Decodes into a destination wider than the picture, pre-filled, so stray writes show.
Decoded Decode(const std::string& bytes, int32_t extraColumns = 2)
{
    Decoded out;
    BitmapImageFile image;
    out.opened = image.Open(ReaderOver(bytes));
    if (!out.opened)
    {
        return out;
    }
    out.width = image.GetWidth();
    out.height = image.GetHeight();
    out.stride = out.width + extraColumns;
    out.pixels.assign(static_cast<size_t>(out.stride) * out.height, Unwritten);
    out.result = image.ReadPixels(out.pixels.data(), out.stride);
    return out;
}

std::string Bytes(std::initializer_list<uint8_t> values)
{
    return std::string(values.begin(), values.end());
}

} // namespace

TEST(BitmapImageFile, BottomUpRowsLandTopRowFirstAndTopDownKeepStoredOrder)
{
    BmpBuilder bmp;
    bmp.width = 2;
    bmp.height = 2;
    // Stored rows: (blue, green), (red, white), each padded to 8 bytes.
    bmp.pixels = Bytes({0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0});

    const Decoded bottomUp = Decode(bmp.Build());
    ASSERT_TRUE(bottomUp.opened);
    EXPECT_EQ(bottomUp.result, 16);
    EXPECT_EQ(bottomUp.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(bottomUp.At(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(bottomUp.At(0, 1), 0xFF0000FFu);
    EXPECT_EQ(bottomUp.At(1, 1), 0xFF00FF00u);
    EXPECT_EQ(bottomUp.At(2, 0), Unwritten) << "nothing right of the picture is written";

    bmp.height = -2;
    const Decoded topDown = Decode(bmp.Build());
    ASSERT_TRUE(topDown.opened);
    EXPECT_EQ(topDown.height, 2);
    EXPECT_EQ(topDown.At(0, 0), 0xFF0000FFu);
    EXPECT_EQ(topDown.At(1, 0), 0xFF00FF00u);
    EXPECT_EQ(topDown.At(0, 1), 0xFFFF0000u);
    EXPECT_EQ(topDown.At(1, 1), 0xFFFFFFFFu);
}

TEST(BitmapImageFile, RowsAreStoredOnFourByteBoundaries)
{
    BmpBuilder rgb;
    rgb.width = 3;
    rgb.height = -2;
    // 9 bytes of pixels, 3 of padding, then the second row.
    rgb.pixels = Bytes({1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,
                        10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE});
    const Decoded wide = Decode(rgb.Build());
    ASSERT_TRUE(wide.opened);
    EXPECT_EQ(wide.At(2, 0), 0xFF090807u);
    EXPECT_EQ(wide.At(0, 1), 0xFF0C0B0Au);

    BmpBuilder mono;
    mono.width = 33;
    mono.height = -2;
    mono.bits = 1;
    mono.palette = {0x00000000, 0x00FFFFFF};
    // Row 0: only pixel 32 set (the fifth byte); row 1 starts 8 bytes in with pixel 0 set.
    mono.pixels = Bytes({0, 0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF});
    const Decoded narrow = Decode(mono.Build());
    ASSERT_TRUE(narrow.opened);
    EXPECT_EQ(narrow.At(31, 0), 0xFF000000u);
    EXPECT_EQ(narrow.At(32, 0), 0xFFFFFFFFu);
    EXPECT_EQ(narrow.At(0, 1), 0xFFFFFFFFu);
    EXPECT_EQ(narrow.At(1, 1), 0xFF000000u);
    EXPECT_EQ(narrow.At(32, 1), 0xFF000000u);
}

TEST(BitmapImageFile, IndexesPastTheColoursReadAreTransparentBlack)
{
    BmpBuilder bmp;
    bmp.width = 3;
    bmp.bits = 8;
    bmp.coloursUsed = 2;
    bmp.palette = {0x00102030, 0x00405060};
    bmp.pixels = Bytes({1, 2, 255, 0});
    const Decoded out = Decode(bmp.Build());
    ASSERT_TRUE(out.opened);
    EXPECT_EQ(out.At(0, 0), 0xFF405060u);
    EXPECT_EQ(out.At(1, 0), 0x00000000u);
    EXPECT_EQ(out.At(2, 0), 0x00000000u);
}

TEST(BitmapImageFile, SixteenBitPixelsScaleEachChannelToEightBits)
{
    BmpBuilder bmp;
    bmp.width = 3;
    bmp.bits = 16;
    bmp.pixels = Bytes({0xFF, 0x7F, 0x1F, 0x00, 0x10, 0x00, 0, 0});
    const Decoded out = Decode(bmp.Build());
    ASSERT_TRUE(out.opened);
    EXPECT_EQ(out.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(out.At(1, 0), 0xFF0000FFu);
    EXPECT_EQ(out.At(2, 0), 0xFF000084u) << "blue 16 of 31 rounds to 132";
}

TEST(BitmapImageFile, MasksAfterAFortyByteHeaderAreHonoured)
{
    BmpBuilder bmp;
    bmp.width = 2;
    bmp.bits = 16;
    bmp.compression = 3;
    bmp.masks = {0xF800, 0x07E0, 0x001F};
    bmp.pixels = Bytes({0xE0, 0x07, 0x00, 0xF8});
    const Decoded out = Decode(bmp.Build());
    ASSERT_TRUE(out.opened);
    EXPECT_EQ(out.At(0, 0), 0xFF00FF00u) << "six green bits, read as 5-6-5";
    EXPECT_EQ(out.At(1, 0), 0xFFFF0000u);

    bmp.zeroOffset = true;
    const Decoded computed = Decode(bmp.Build());
    ASSERT_TRUE(computed.opened);
    EXPECT_EQ(computed.At(0, 0), 0xFF00FF00u) << "a computed data offset skips the masks";
}

TEST(BitmapImageFile, AlphaComesFromTheAlphaMaskOnly)
{
    BmpBuilder plain;
    plain.width = 1;
    plain.bits = 32;
    plain.pixels = Bytes({0x30, 0x20, 0x10, 0x40});
    const Decoded opaque = Decode(plain.Build());
    ASSERT_TRUE(opaque.opened);
    EXPECT_EQ(opaque.At(0, 0), 0xFF102030u);

    BmpBuilder fields = plain;
    fields.headerSize = 108;
    fields.compression = 3;
    fields.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    const Decoded translucent = Decode(fields.Build());
    ASSERT_TRUE(translucent.opened);
    EXPECT_EQ(translucent.At(0, 0), 0x40102030u);

    // Ten-bit channels, and a 18-bit one whose top bits decide.
    fields.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
    fields.pixels = Bytes({0xFF, 0x03, 0x00, 0xC0});
    const Decoded wide = Decode(fields.Build());
    ASSERT_TRUE(wide.opened);
    EXPECT_EQ(wide.At(0, 0), 0xFF0000FFu);
    fields.masks = {0xFE000000, 0x01FFFF80, 0x0000007F, 0};
    fields.pixels = Bytes({0x00, 0x00, 0x00, 0x01});
    const Decoded eighteen = Decode(fields.Build());
    ASSERT_TRUE(eighteen.opened);
    EXPECT_EQ(eighteen.At(0, 0), 0xFF008000u) << "only the top green bit is set";
}

TEST(BitmapImageFile, Rle8FillsOnlyWhatTheStreamReaches)
{
    BmpBuilder bmp;
    bmp.width = 4;
    bmp.height = 2;
    bmp.bits = 8;
    bmp.compression = 1;
    bmp.palette.assign(256, 0);
    bmp.palette[5] = 0x00AABBCC;
    bmp.pixels = Bytes({0x03, 0x05, 0x00, 0x00, 0x00, 0x01});
    const Decoded out = Decode(bmp.Build());
    ASSERT_TRUE(out.opened);
    EXPECT_EQ(out.result, 12);
    for (int x = 0; x < 3; ++x)
    {
        EXPECT_EQ(out.At(x, 1), 0xFFAABBCCu);
    }
    EXPECT_EQ(out.At(3, 1), Unwritten);
    for (int x = 0; x < 4; ++x)
    {
        EXPECT_EQ(out.At(x, 0), Unwritten);
    }
}

TEST(BitmapImageFile, Rle8RunsStopAtTheRightEdgeAndDeltasSkip)
{
    BmpBuilder bmp;
    bmp.width = 4;
    bmp.height = 2;
    bmp.bits = 8;
    bmp.compression = 1;
    bmp.palette.assign(256, 0);
    bmp.palette[7] = 0x00070707;
    bmp.palette[9] = 0x00090909;
    // A run of 6 on the bottom row, end of line, a delta of (2, 0), an absolute run of 3 with
    // its padding byte, then the end of the picture.
    bmp.pixels = Bytes({0x06, 0x07, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00, 0x00, 0x03, 0x09, 0x09,
                        0x09, 0x00, 0x00, 0x01});
    const Decoded out = Decode(bmp.Build());
    ASSERT_TRUE(out.opened);
    EXPECT_EQ(out.result, (4 + 2) * 4);
    for (int x = 0; x < 4; ++x)
    {
        EXPECT_EQ(out.At(x, 1), 0xFF070707u);
    }
    EXPECT_EQ(out.At(4, 1), Unwritten) << "the run is cut at the picture's edge";
    EXPECT_EQ(out.At(0, 0), Unwritten);
    EXPECT_EQ(out.At(1, 0), Unwritten);
    EXPECT_EQ(out.At(2, 0), 0xFF090909u);
    EXPECT_EQ(out.At(3, 0), 0xFF090909u);
}

TEST(BitmapImageFile, Rle4AbsoluteRunGivesExactlyItsPixelsWithoutPadding)
{
    BmpBuilder bmp;
    bmp.width = 5;
    bmp.height = 1;
    bmp.bits = 4;
    bmp.compression = 2;
    for (uint32_t i = 0; i < 16; ++i)
    {
        bmp.palette.push_back(i * 0x00111111);
    }
    bmp.pixels = Bytes({0x00, 0x03, 0x12, 0x30, 0x00, 0x01});
    const Decoded alone = Decode(bmp.Build());
    ASSERT_TRUE(alone.opened);
    EXPECT_EQ(alone.result, 12);
    EXPECT_EQ(alone.At(0, 0), 0xFF111111u);
    EXPECT_EQ(alone.At(1, 0), 0xFF222222u);
    EXPECT_EQ(alone.At(2, 0), 0xFF333333u);
    EXPECT_EQ(alone.At(3, 0), Unwritten);

    // The next record starts right after the byte 30: a run alternating nibbles 4 and 5.
    bmp.pixels = Bytes({0x00, 0x03, 0x12, 0x30, 0x02, 0x45, 0x00, 0x01});
    const Decoded followed = Decode(bmp.Build());
    ASSERT_TRUE(followed.opened);
    EXPECT_EQ(followed.At(3, 0), 0xFF444444u);
    EXPECT_EQ(followed.At(4, 0), 0xFF555555u);
}

TEST(BitmapImageFile, TruncatedRunLengthDataEndsThePictureWhereItStands)
{
    BmpBuilder bmp;
    bmp.width = 4;
    bmp.height = 1;
    bmp.bits = 8;
    bmp.compression = 1;
    bmp.palette.assign(256, 0x00010203);
    bmp.pixels = Bytes({0x00, 0x04, 0x01, 0x01});
    const Decoded out = Decode(bmp.Build());
    ASSERT_TRUE(out.opened);
    EXPECT_EQ(out.result, 8);
    EXPECT_EQ(out.At(1, 0), 0xFF010203u);
    EXPECT_EQ(out.At(2, 0), Unwritten);
}

TEST(BitmapImageFile, RefusesWhatItCannotDecode)
{
    BmpBuilder good;
    good.pixels = Bytes({0, 0, 0, 0});
    ASSERT_TRUE(Decode(good.Build()).opened);

    const auto refused = [](BmpBuilder bmp)
    {
        return !Decode(bmp.Build()).opened;
    };
    BmpBuilder jpeg = good;
    jpeg.headerSize = 64;
    jpeg.compression = 4;
    EXPECT_TRUE(refused(jpeg)) << "compression 4";
    BmpBuilder rleTopDown = good;
    rleTopDown.bits = 8;
    rleTopDown.compression = 1;
    rleTopDown.height = -1;
    rleTopDown.palette.assign(256, 0);
    EXPECT_TRUE(refused(rleTopDown));
    BmpBuilder twoBits = good;
    twoBits.bits = 2;
    twoBits.palette.assign(4, 0);
    EXPECT_TRUE(refused(twoBits));
    BmpBuilder overlapping = good;
    overlapping.bits = 32;
    overlapping.compression = 3;
    overlapping.masks = {0x00FF0000, 0x0001FF00, 0x000000FF};
    EXPECT_TRUE(refused(overlapping));
    overlapping.masks = {0xFFFFFF00, 0x0000FF00, 0x000000FF};
    EXPECT_TRUE(refused(overlapping)) << "the overlap lies in bits a 24-bit channel drops";
    BmpBuilder noWidth = good;
    noWidth.width = 0;
    EXPECT_TRUE(refused(noWidth));
    BmpBuilder shortTable = good;
    shortTable.bits = 8;
    shortTable.palette.assign(10, 0);
    shortTable.pixels.clear();
    EXPECT_TRUE(refused(shortTable)) << "256 colours expected, 10 present";

    for (uint32_t offset : {0xFFFFFFF0u, 58u})
    {
        std::string farOffset = good.Build();
        farOffset.replace(10, 4, Le32(offset));
        EXPECT_FALSE(Decode(farOffset).opened) << "pixels at " << offset << " of 58 bytes";
    }
    BmpBuilder noPixels = good;
    noPixels.pixels.clear();
    noPixels.zeroOffset = true;
    EXPECT_TRUE(refused(noPixels)) << "pixels computed to start at the end of the file";

    std::string smallHeader = good.Build();
    smallHeader[14] = 11;
    EXPECT_FALSE(Decode(smallHeader).opened);
    EXPECT_FALSE(Decode("BM").opened);
    EXPECT_FALSE(Decode(std::string(64, 'B')).opened);
}

TEST(BitmapImageFile, HeadersCannotAskForUnboundedWork)
{
    BmpBuilder huge;
    huge.bits = 32;
    huge.width = std::numeric_limits<int32_t>::max();
    EXPECT_FALSE(Decode(huge.Build()).opened) << "2^31 pixels of 4 bytes do not fit the result";
    huge.width = 1 << 16;
    huge.height = 1 << 15;
    EXPECT_FALSE(Decode(huge.Build()).opened);
    huge.height = std::numeric_limits<int32_t>::min();
    huge.width = 1;
    EXPECT_FALSE(Decode(huge.Build()).opened);

    BmpBuilder manyColours;
    manyColours.bits = 8;
    manyColours.coloursUsed = 0xFFFFFFFF;
    manyColours.palette.assign(256, 0x00FFFFFF);
    manyColours.pixels = Bytes({3, 0, 0, 0});
    const Decoded out = Decode(manyColours.Build());
    ASSERT_TRUE(out.opened) << "only the 256 reachable entries are read";
    EXPECT_EQ(out.At(0, 0), 0xFFFFFFFFu);
}

TEST(BitmapImageFile, CoreHeaderUsesThreeByteColours)
{
    std::string file = "BM" + Le32(0) + Le32(0) + Le32(14 + 12 + 6) + Le32(12) + Le16(2) + Le16(1) +
                       Le16(1) + Le16(1);
    file += Bytes({0x01, 0x02, 0x03, 0x04, 0x05, 0x06});
    file += Bytes({0x40, 0, 0, 0});
    const Decoded out = Decode(file);
    ASSERT_TRUE(out.opened);
    EXPECT_EQ(out.At(0, 0), 0xFF030201u);
    EXPECT_EQ(out.At(1, 0), 0xFF060504u);
}

// The 16-byte OS/2 2.x header ends after the bit count: what follows is the colour table.
TEST(BitmapImageFile, ShortHeaderTakesNoFieldsFromTheColourTable)
{
    std::string file = "BM" + Le32(0) + Le32(0) + Le32(14 + 16 + 8) + Le32(16) + Le32(1) + Le32(1) +
                       Le16(1) + Le16(1);
    file += Le32(0x00112233) + Le32(0x00445566);
    file += Bytes({0x80, 0, 0, 0});
    const Decoded out = Decode(file);
    ASSERT_TRUE(out.opened) << "the first colour was taken for the compression";
    EXPECT_EQ(out.At(0, 0), 0xFF445566u);
}

TEST(BitmapImageFile, ClosedOrMisusedImageAnswersNothing)
{
    BmpBuilder bmp;
    bmp.pixels = Bytes({1, 2, 3, 0});
    const std::string bytes = bmp.Build();
    BitmapImageFile image;
    uint32_t pixel = Unwritten;
    EXPECT_EQ(image.ReadPixels(&pixel, 1), 0);
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_FALSE(image.Open(nullptr));

    ASSERT_TRUE(image.Open(ReaderOver(bytes)));
    EXPECT_FALSE(image.Open(nullptr)) << "an empty reader leaves the open image alone";
    EXPECT_TRUE(image.IsOpen());
    EXPECT_EQ(image.ReadPixels(&pixel, 0), 0);
    EXPECT_EQ(pixel, Unwritten);
    EXPECT_EQ(image.ReadPixels(&pixel, 1), 4);
    pixel = 0;
    EXPECT_EQ(image.ReadPixels(&pixel, 1), 4) << "reading again seeks back by itself";
    EXPECT_EQ(pixel, 0xFF030201u);

    EXPECT_FALSE(image.Open(ReaderOver("not a picture")));
    EXPECT_FALSE(image.IsOpen());
    EXPECT_EQ(image.GetHeight(), 0);
}
