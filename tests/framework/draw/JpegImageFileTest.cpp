#include "framework/draw/JpegImageFile.h"
#include "tests/framework/draw/DecodedImage.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/MemoryFileReader.h"
#include "tests/support/TempDir.h"

#include <jerror.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using DrawTests::DecodedImage;
using Qorv::Draw::JpegImageFile;
using TestSupport::ReaderOver;
using TestSupport::ReadFile;

namespace
{

namespace fs = std::filesystem;

const fs::path Fixtures = "tests/data/images";

// Lets a test see what the library last said, which the decoder keeps to itself.
class ObservedJpegImageFile : public JpegImageFile
{
public:
    int MessageCode() const { return errorManager.msg_code; }
    long Warnings() const { return errorManager.num_warnings; }
    bool HasDecompressor() const { return decompress.mem != nullptr; }
};

// djpeg's decoding of a fixture (binary PPM or PGM), as opaque ARGB pixels.
DecodedImage ReadNetpbm(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    DecodedImage out;
    in >> magic >> out.width >> out.height >> maxValue;
    in.get();
    const int channels = magic == "P6" ? 3 : 1;
    std::vector<unsigned char> bytes(static_cast<size_t>(out.width) * out.height * channels);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.opened = in.good() && maxValue == 255;
    for (size_t i = 0; i < bytes.size(); i += channels)
    {
        const uint32_t r = bytes[i];
        const uint32_t g = bytes[i + (channels - 1) / 2];
        const uint32_t b = bytes[i + channels - 1];
        out.pixels.push_back(0xFF000000u | r << 16 | g << 8 | b);
    }
    return out;
}

// A four-component picture, which cjpeg cannot make.
std::vector<uint8_t> CmykJpeg()
{
    jpeg_compress_struct compress{};
    jpeg_error_mgr errors{};
    compress.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compress);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compress, &buffer, &size);
    compress.image_width = 8;
    compress.image_height = 8;
    compress.input_components = 4;
    compress.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&compress);
    jpeg_start_compress(&compress, TRUE);
    std::vector<JSAMPLE> row(8 * 4, 0x80);
    while (compress.next_scanline < compress.image_height)
    {
        JSAMPROW rowPointer = row.data();
        jpeg_write_scanlines(&compress, &rowPointer, 1);
    }
    jpeg_finish_compress(&compress);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&compress);
    std::free(buffer);
    return bytes;
}

} // namespace

TEST(JpegImageFile, FixturesEqualTheReferenceDecoder)
{
    for (const char* name : {"baseline-420", "full-444", "progressive", "restart", "grey"})
    {
        const std::string stem = name;
        const fs::path reference = Fixtures / (stem + (stem == "grey" ? ".pgm" : ".ppm"));
        JpegImageFile jpeg;
        const DecodedImage decoded = DecodedImage::FromFile(jpeg, Fixtures / (stem + ".jpg"));
        const DecodedImage expected = ReadNetpbm(reference);
        ASSERT_TRUE(decoded.opened) << stem;
        ASSERT_TRUE(expected.opened) << reference;
        EXPECT_EQ(decoded.width, 61) << stem;
        EXPECT_EQ(decoded.height, 47) << stem;
        EXPECT_EQ(decoded.result, 61 * 47 * 4) << stem;
        EXPECT_EQ(decoded.pixels, expected.pixels) << stem;
    }
}

TEST(JpegImageFile, TruncatedDataFinishesWithThePrematureEndWarning)
{
    auto reader = Qorv::Base::CreateFileReader();
    ASSERT_TRUE(reader->Open((Fixtures / "truncated.jpg").wstring()));
    ObservedJpegImageFile jpeg;
    ASSERT_TRUE(jpeg.Open(reader));
    std::vector<uint32_t> pixels(61 * 47);
    // Only the first warning is printed; later ones only count.
    testing::internal::CaptureStderr();
    EXPECT_EQ(jpeg.ReadPixels(pixels.data(), 61), 61 * 47 * 4);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_GE(jpeg.Warnings(), 1);
    EXPECT_NE(said.find("Premature end of JPEG file"), std::string::npos);
    EXPECT_EQ(pixels, ReadNetpbm(Fixtures / "truncated.ppm").pixels);
}

TEST(JpegImageFile, ForeignOrEmptyInputFailsThroughTheLibrarysError)
{
    ObservedJpegImageFile jpeg;
    const std::string bmp = TestSupport::Bitmap(8, 8, [](int32_t, int32_t) { return 0x123456u; });
    EXPECT_FALSE(jpeg.Open(ReaderOver(bmp)));
    EXPECT_EQ(jpeg.MessageCode(), JERR_NO_SOI);
    EXPECT_FALSE(jpeg.HasDecompressor()) << "the failed open destroys its decompressor";

    EXPECT_FALSE(jpeg.Open(ReaderOver("")));
    EXPECT_EQ(jpeg.MessageCode(), JERR_INPUT_EMPTY);
    EXPECT_FALSE(jpeg.HasDecompressor());
}

TEST(JpegImageFile, FourComponentPicturesAreRefusedAtOpen)
{
    JpegImageFile jpeg;
    EXPECT_FALSE(jpeg.Open(ReaderOver(CmykJpeg())));
    EXPECT_FALSE(jpeg.IsOpen());
}

TEST(JpegImageFile, ClosingUnreadOrBrokenPicturesIsQuiet)
{
    const std::string whole = ReadFile(Fixtures / "baseline-420.jpg");
    JpegImageFile unread;
    ASSERT_TRUE(unread.Open(ReaderOver(whole)));
    unread.Close();
    EXPECT_FALSE(unread.IsOpen());

    // Scan data cut short and followed by a table marker with an impossible index: the
    // library fails while finishing, after the pixels were handed out.
    std::vector<uint8_t> broken(whole.begin(), whole.begin() + whole.size() / 2);
    broken.insert(broken.end(), {0xFF, 0xC4, 0x00, 0x14, 0x3F});
    broken.resize(broken.size() + 17, 0);
    JpegImageFile jpeg;
    ASSERT_TRUE(jpeg.Open(ReaderOver(broken)));
    std::vector<uint32_t> pixels(61 * 47);
    testing::internal::CaptureStderr();
    // What the cut scan yields does not matter here, only the failure after it.
    (void)jpeg.ReadPixels(pixels.data(), 61);
    jpeg.Close();
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(jpeg.IsOpen());
    EXPECT_TRUE(jpeg.Open(ReaderOver(whole))) << "the decoder is usable again";
}
