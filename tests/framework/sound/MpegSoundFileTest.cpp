#include "framework/sound/MpegSoundFile.h"
#include "framework/sound/ISoundFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using Qorv::Sound::CreateMpegSoundFile;
using Qorv::Sound::MpegSoundFile;
using TestSupport::TempDir;

namespace
{

MPEGLAYER3WAVEFORMAT Describe(uint8_t b1, uint8_t b2, uint8_t b3)
{
    const uint8_t header[4] = {0xFF, b1, b2, b3};
    MPEGLAYER3WAVEFORMAT record{};
    EXPECT_TRUE(MpegSoundFile::DescribeFrameHeader(header, record));
    return record;
}

bool Valid(uint8_t b0, uint8_t b1, uint8_t b2)
{
    const uint8_t header[4] = {b0, b1, b2, 0};
    MPEGLAYER3WAVEFORMAT record{};
    return MpegSoundFile::DescribeFrameHeader(header, record);
}

TEST(MpegSoundFile, FrameHeaderGivesTheConvertersRecord)
{
    // MPEG-1 Layer III, 128 kbit/s, 44100 Hz, stereo.
    MPEGLAYER3WAVEFORMAT record = Describe(0xFB, 0x90, 0x00);
    EXPECT_EQ(record.wfx.wFormatTag, 0x55);
    EXPECT_EQ(record.wfx.nChannels, 2);
    EXPECT_EQ(record.wfx.nSamplesPerSec, 44100u);
    EXPECT_EQ(record.wfx.nAvgBytesPerSec, 16000u);
    EXPECT_EQ(record.wfx.nBlockAlign, 1);
    EXPECT_EQ(record.wfx.cbSize, 12);
    EXPECT_EQ(record.wID, 1);
    EXPECT_EQ(record.fdwFlags, 2u);
    EXPECT_EQ(record.nBlockSize, 417);
    EXPECT_EQ(record.nFramesPerBlock, 1);
    EXPECT_EQ(record.nCodecDelay, 1393);
    EXPECT_EQ(Describe(0xFB, 0x92, 0x00).nBlockSize, 418) << "padding";

    record = Describe(0xFD, 0xA4, 0xC0); // MPEG-1 Layer II, 192 kbit/s, 48000 Hz, mono
    EXPECT_EQ(record.wfx.nChannels, 1);
    EXPECT_EQ(record.wfx.nAvgBytesPerSec, 24000u);
    EXPECT_EQ(record.nBlockSize, 576);
    record = Describe(0xFF, 0xD0, 0x00); // MPEG-1 Layer I, 416 kbit/s, 44100 Hz
    EXPECT_EQ(record.nBlockSize, 1 * 2 * 416 * 24000 / 44100);
    record = Describe(0xF3, 0x44, 0x00); // MPEG-2 Layer III, 32 kbit/s, 24000 Hz
    EXPECT_EQ(record.wfx.nSamplesPerSec, 24000u);
    EXPECT_EQ(record.wfx.nAvgBytesPerSec, 4000u);
    EXPECT_EQ(record.nBlockSize, 96);
    record = Describe(0xE3, 0x88, 0x00); // MPEG-2.5 Layer III, 64 kbit/s, 8000 Hz
    EXPECT_EQ(record.wfx.nSamplesPerSec, 8000u);
    EXPECT_EQ(record.wfx.nAvgBytesPerSec, 8000u);
    record = Describe(0xF7, 0xD0, 0x00); // MPEG-2 Layer I, 224 kbit/s
    EXPECT_EQ(record.wfx.nAvgBytesPerSec, 28000u);
}

TEST(MpegSoundFile, InvalidHeadersAreRefused)
{
    EXPECT_FALSE(Valid(0xFE, 0xFB, 0x90)) << "no sync";
    EXPECT_FALSE(Valid(0xFF, 0xCB, 0x90)) << "sync is eleven bits";
    EXPECT_FALSE(Valid(0xFF, 0xEB, 0x90)) << "reserved version";
    EXPECT_FALSE(Valid(0xFF, 0xF9, 0x90)) << "reserved layer";
    EXPECT_FALSE(Valid(0xFF, 0xFB, 0xF0)) << "bitrate index 15";
    EXPECT_FALSE(Valid(0xFF, 0xFB, 0x9C)) << "reserved sample rate";
    EXPECT_TRUE(Valid(0xFF, 0xFB, 0x00)) << "free format is a header, with bitrate 0";
}

class MpegSoundFileTest : public testing::Test
{
protected:
    bool Opens(const std::string& bytes)
    {
        return CreateMpegSoundFile()->Open(dir.Write("f.mp3", bytes).wstring());
    }
    int32_t Length(const std::string& bytes)
    {
        auto file = CreateMpegSoundFile();
        return file->Open(dir.Write("g.mp3", bytes).wstring()) ? file->GetLength() : -1;
    }

    TempDir dir;
    const std::string mp3 = TestSupport::ReadFile("tests/data/sound/mp3-mono-22050.mp3");
};

TEST_F(MpegSoundFileTest, SkipsTagsButNothingElseBeforeTheFirstFrame)
{
    ASSERT_GT(mp3.size(), 1000u);
    ASSERT_EQ(mp3.substr(mp3.size() - 128, 3), "TAG");
    const int32_t plain = Length(mp3);
    ASSERT_GT(plain, 0);

    const std::string id3v2 = std::string("ID3\x03\x00\x00\x00\x00\x01\x05", 10);
    EXPECT_EQ(Length(id3v2 + std::string(133, '\0') + mp3), plain) << "ID3v2 of 10+133 bytes";
    const std::string id3v24 = std::string("ID3\x04\x00\x10\x00\x00\x00\x08", 10);
    EXPECT_EQ(Length(id3v24 + std::string(8, '\0') + "3DI" + std::string(7, '\0') + mp3), plain)
        << "an ID3v2.4 footer is skipped too";
    EXPECT_FALSE(Opens("junk" + mp3)) << "no search for a frame sync";
    EXPECT_FALSE(Opens(std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + mp3))
        << "a tag that claims to reach past the end";
}

TEST_F(MpegSoundFileTest, Id3v1TagIsNotDecoded)
{
    // A whole 104-byte frame hidden in the last 128 bytes: decoded only when they are no tag.
    const std::string frames = mp3.substr(0, mp3.size() - 128);
    const std::string tail = mp3.substr(0, 104) + std::string(21, '\0');
    EXPECT_EQ(Length(frames + "TAG" + tail), Length(frames));
    EXPECT_GT(Length(frames + "XAG" + tail), Length(frames));
}

TEST_F(MpegSoundFileTest, FreeFormatIsRefusedRatherThanNeverDecoding)
{
    std::string bytes = mp3;
    bytes[2] = static_cast<char>(bytes[2] & 0x0F);
    EXPECT_FALSE(Opens(bytes));
}

TEST_F(MpegSoundFileTest, FrameHeaderTheFileCutsShortIsRefused)
{
    EXPECT_FALSE(Opens(mp3.substr(0, 3)));
}

} // namespace
