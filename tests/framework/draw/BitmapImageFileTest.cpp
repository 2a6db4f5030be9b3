#include "framework/draw/BitmapImageFile.h"
#include "tests/framework/draw/DecodedImage.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/LittleEndian.h"
#include "tests/support/MemoryFileReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using DrawTests::DecodedImage;
using Qorv::Draw::BitmapImageFile;
using TestSupport::BmpBuilder;
using TestSupport::Le16;
using TestSupport::Le32;
using TestSupport::ReaderOver;

namespace
{

constexpr uint32_t Unwritten = 0x12345678;

// Decodes into rows wider than the picture, filled beforehand, so stray writes show.
DecodedImage Decode(const std::string& bytes)
{
    BitmapImageFile image;
    return DecodedImage::FromReader(image, ReaderOver(bytes), 2, Unwritten);
}

std::string Bytes(std::initializer_list<uint8_t> values)
{
    return std::string(values.begin(), values.end());
}

// An 8-bit run-length picture, every palette entry the given colour.
BmpBuilder Rle8(int32_t width, int32_t height, uint32_t colour = 0)
{
    BmpBuilder bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.bits = 8;
    bmp.compression = 1;
    bmp.palette.assign(256, colour);
    return bmp;
}

} // namespace

TEST(BitmapImageFile, BottomUpRowsLandTopRowFirstAndTopDownKeepStoredOrder)
{
    BmpBuilder bmp;
    bmp.width = 2;
    bmp.height = 2;
    // Stored rows: (blue, green), (red, white), each padded to 8 bytes.
    bmp.pixels = Bytes({0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0});

    const DecodedImage bottomUp = Decode(bmp.Build());
    EXPECT_EQ(bottomUp.result, 16);
    bottomUp.Expect({{0, 0, 0xFFFF0000},
                     {1, 0, 0xFFFFFFFF},
                     {0, 1, 0xFF0000FF},
                     {1, 1, 0xFF00FF00},
                     {2, 0, Unwritten, "nothing right of the picture is written"}});

    bmp.height = -2;
    const DecodedImage topDown = Decode(bmp.Build());
    EXPECT_EQ(topDown.height, 2);
    topDown.Expect(
        {{0, 0, 0xFF0000FF}, {1, 0, 0xFF00FF00}, {0, 1, 0xFFFF0000}, {1, 1, 0xFFFFFFFF}});
}

TEST(BitmapImageFile, RowsAreStoredOnFourByteBoundaries)
{
    BmpBuilder rgb;
    rgb.width = 3;
    rgb.height = -2;
    // 9 bytes of pixels, 3 of padding, then the second row.
    rgb.pixels = Bytes({1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,
                        10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE});
    Decode(rgb.Build()).Expect({{2, 0, 0xFF090807}, {0, 1, 0xFF0C0B0A}});

    BmpBuilder mono;
    mono.width = 33;
    mono.height = -2;
    mono.bits = 1;
    mono.palette = {0x00000000, 0x00FFFFFF};
    // Row 0: only pixel 32 set (the fifth byte); row 1 starts 8 bytes in with pixel 0 set.
    mono.pixels = Bytes({0, 0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF});
    Decode(mono.Build())
        .Expect({{31, 0, 0xFF000000},
                 {32, 0, 0xFFFFFFFF},
                 {0, 1, 0xFFFFFFFF},
                 {1, 1, 0xFF000000},
                 {32, 1, 0xFF000000}});
}

TEST(BitmapImageFile, IndexesPastTheColoursReadAreTransparentBlack)
{
    BmpBuilder bmp;
    bmp.width = 3;
    bmp.bits = 8;
    bmp.coloursUsed = 2;
    bmp.palette = {0x00102030, 0x00405060};
    bmp.pixels = Bytes({1, 2, 255, 0});
    Decode(bmp.Build()).Expect({{0, 0, 0xFF405060}, {1, 0, 0x00000000}, {2, 0, 0x00000000}});
}

TEST(BitmapImageFile, SixteenBitPixelsScaleEachChannelToEightBits)
{
    BmpBuilder bmp;
    bmp.width = 3;
    bmp.bits = 16;
    bmp.pixels = Bytes({0xFF, 0x7F, 0x1F, 0x00, 0x10, 0x00, 0, 0});
    Decode(bmp.Build())
        .Expect({{0, 0, 0xFFFFFFFF},
                 {1, 0, 0xFF0000FF},
                 {2, 0, 0xFF000084, "blue 16 of 31 rounds to 132"}});
}

TEST(BitmapImageFile, MasksAfterAFortyByteHeaderAreHonoured)
{
    BmpBuilder bmp;
    bmp.width = 2;
    bmp.bits = 16;
    bmp.compression = 3;
    bmp.masks = {0xF800, 0x07E0, 0x001F};
    bmp.pixels = Bytes({0xE0, 0x07, 0x00, 0xF8});
    Decode(bmp.Build())
        .Expect({{0, 0, 0xFF00FF00, "six green bits, read as 5-6-5"}, {1, 0, 0xFFFF0000}});

    bmp.zeroOffset = true;
    Decode(bmp.Build()).Expect({{0, 0, 0xFF00FF00, "a computed data offset skips the masks"}});
}

TEST(BitmapImageFile, AlphaComesFromTheAlphaMaskOnly)
{
    BmpBuilder plain;
    plain.width = 1;
    plain.bits = 32;
    plain.pixels = Bytes({0x30, 0x20, 0x10, 0x40});
    Decode(plain.Build()).Expect({{0, 0, 0xFF102030}});

    BmpBuilder fields = plain;
    fields.headerSize = 108;
    fields.compression = 3;
    fields.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    Decode(fields.Build()).Expect({{0, 0, 0x40102030}});

    // Ten-bit channels, and a 18-bit one whose top bits decide.
    fields.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
    fields.pixels = Bytes({0xFF, 0x03, 0x00, 0xC0});
    Decode(fields.Build()).Expect({{0, 0, 0xFF0000FF}});
    fields.masks = {0xFE000000, 0x01FFFF80, 0x0000007F, 0};
    fields.pixels = Bytes({0x00, 0x00, 0x00, 0x01});
    Decode(fields.Build()).Expect({{0, 0, 0xFF008000, "only the top green bit is set"}});
}

TEST(BitmapImageFile, Rle8FillsOnlyWhatTheStreamReaches)
{
    BmpBuilder bmp = Rle8(4, 2);
    bmp.palette[5] = 0x00AABBCC;
    bmp.pixels = Bytes({0x03, 0x05, 0x00, 0x00, 0x00, 0x01});
    const DecodedImage out = Decode(bmp.Build());
    EXPECT_EQ(out.result, 12);
    out.Expect({{0, 1, 0xFFAABBCC},
                {1, 1, 0xFFAABBCC},
                {2, 1, 0xFFAABBCC},
                {3, 1, Unwritten},
                {0, 0, Unwritten},
                {1, 0, Unwritten},
                {2, 0, Unwritten},
                {3, 0, Unwritten}});
}

TEST(BitmapImageFile, Rle8RunsStopAtTheRightEdgeAndDeltasSkip)
{
    BmpBuilder bmp = Rle8(4, 2);
    bmp.palette[7] = 0x00070707;
    bmp.palette[9] = 0x00090909;
    // A run of 6 on the bottom row, end of line, a delta of (2, 0), an absolute run of 3 with
    // its padding byte, then the end of the picture.
    bmp.pixels = Bytes({0x06, 0x07, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00, 0x00, 0x03, 0x09, 0x09,
                        0x09, 0x00, 0x00, 0x01});
    const DecodedImage out = Decode(bmp.Build());
    EXPECT_EQ(out.result, (4 + 2) * 4);
    out.Expect({{0, 1, 0xFF070707},
                {1, 1, 0xFF070707},
                {2, 1, 0xFF070707},
                {3, 1, 0xFF070707},
                {4, 1, Unwritten, "the run is cut at the picture's edge"},
                {0, 0, Unwritten},
                {1, 0, Unwritten},
                {2, 0, 0xFF090909},
                {3, 0, 0xFF090909}});
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
    const DecodedImage alone = Decode(bmp.Build());
    EXPECT_EQ(alone.result, 12);
    alone.Expect({{0, 0, 0xFF111111}, {1, 0, 0xFF222222}, {2, 0, 0xFF333333}, {3, 0, Unwritten}});

    // The next record starts right after the byte 30: a run alternating nibbles 4 and 5.
    bmp.pixels = Bytes({0x00, 0x03, 0x12, 0x30, 0x02, 0x45, 0x00, 0x01});
    Decode(bmp.Build()).Expect({{3, 0, 0xFF444444}, {4, 0, 0xFF555555}});
}

TEST(BitmapImageFile, TruncatedRunLengthDataEndsThePictureWhereItStands)
{
    BmpBuilder bmp = Rle8(4, 1, 0x00010203);
    bmp.pixels = Bytes({0x00, 0x04, 0x01, 0x01});
    const DecodedImage out = Decode(bmp.Build());
    EXPECT_EQ(out.result, 8);
    out.Expect({{1, 0, 0xFF010203}, {2, 0, Unwritten}});
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
    BmpBuilder rleTopDown = Rle8(1, -1);
    rleTopDown.pixels = good.pixels;
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
    Decode(manyColours.Build())
        .Expect({{0, 0, 0xFFFFFFFF, "only the 256 reachable entries are read"}});
}

TEST(BitmapImageFile, CoreHeaderUsesThreeByteColours)
{
    std::string file = "BM" + Le32(0) + Le32(0) + Le32(14 + 12 + 6) + Le32(12) + Le16(2) + Le16(1) +
                       Le16(1) + Le16(1);
    file += Bytes({0x01, 0x02, 0x03, 0x04, 0x05, 0x06});
    file += Bytes({0x40, 0, 0, 0});
    Decode(file).Expect({{0, 0, 0xFF030201}, {1, 0, 0xFF060504}});
}

// The 16-byte OS/2 2.x header ends after the bit count: what follows is the colour table.
TEST(BitmapImageFile, ShortHeaderTakesNoFieldsFromTheColourTable)
{
    std::string file = "BM" + Le32(0) + Le32(0) + Le32(14 + 16 + 8) + Le32(16) + Le32(1) + Le32(1) +
                       Le16(1) + Le16(1);
    file += Le32(0x00112233) + Le32(0x00445566);
    file += Bytes({0x80, 0, 0, 0});
    Decode(file).Expect({{0, 0, 0xFF445566, "the first colour was taken for the compression"}});
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
