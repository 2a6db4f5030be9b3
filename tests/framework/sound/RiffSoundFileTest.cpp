#include "framework/sound/ISoundFile.h"
#include "tests/support/RiffBytes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using Qorv::Sound::CreateRiffSoundFile;
using Qorv::Sound::ISoundFile;
using Qorv::Sound::OpenSoundFile;
using namespace TestSupport;

namespace
{

std::string Samples(std::initializer_list<int16_t> values)
{
    std::string bytes;
    for (int16_t v : values)
    {
        bytes += Le16(static_cast<uint16_t>(v));
    }
    return bytes;
}

std::string ReadAll(ISoundFile& file, int32_t bytes)
{
    std::string out(static_cast<size_t>(bytes), '\0');
    out.resize(static_cast<size_t>(file.Read(out.data(), bytes)));
    return out;
}

class RiffSoundFileTest : public testing::Test
{
protected:
    std::shared_ptr<ISoundFile> Open(const std::string& bytes)
    {
        auto file = CreateRiffSoundFile();
        return file->Open(
                   dir.Write(std::string("f").append(std::to_string(++count)) + ".wav", bytes)
                       .wstring())
                   ? file
                   : nullptr;
    }

    TempDir dir;
    int count = 0;
};

TEST_F(RiffSoundFileTest, FirstDataTagWinsEvenInsideAnotherChunk)
{
    const std::string decoy = "xxdata" + Le32(4) + Samples({7, 8});
    const auto file = Open(Riff(Chunk("fmt ", FormatBody(1, 1, 8000, 16000, 2, 16)) +
                                Chunk("LIST", decoy) + Chunk("data", Samples({1, 2, 3}))));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetLength(), 4);
    EXPECT_EQ(ReadAll(*file, 4), Samples({7, 8}));
}

TEST_F(RiffSoundFileTest, BrokenMatchIsNotRetriedAsTheTagsFirstByte)
{
    const std::string body =
        Chunk("fmt ", FormatBody(1, 1, 8000, 16000, 2, 16)) + Chunk("data", Samples({5, 6}));
    EXPECT_FALSE(Open("RRIFF" + Le32(0) + "WAVE" + body)) << "RRIFF hides the tag at offset 1";
    const auto file = Open("RRIFF" + Le32(0) + "WAVE" + Riff(body));
    ASSERT_TRUE(file) << "a later RIFF is still found";
    EXPECT_EQ(ReadAll(*file, 4), Samples({5, 6}));
}

TEST_F(RiffSoundFileTest, ShortFormatChunksDeriveBlockAndBitsFromTheRates)
{
    // Stored block 99 and bits 99 must be ignored for a 16-byte chunk.
    const auto file16 = Open(Riff(Chunk("fmt ", FormatBody(1, 2, 22050, 88200, 99, 99)) +
                                  Chunk("data", Samples({1, 2}))));
    ASSERT_TRUE(file16);
    const WAVEFORMATEX format = file16->GetFormat();
    EXPECT_EQ(format.nBlockAlign, 4);
    EXPECT_EQ(format.wBitsPerSample, 16);
    EXPECT_EQ(format.cbSize, 0);
    EXPECT_EQ(format.nChannels, 2);

    const std::string body12 = FormatBody(1, 1, 8000, 16000, 0, 0).substr(0, 12);
    EXPECT_TRUE(Open(Riff(Chunk("fmt ", body12 + "ab") + Chunk("data", Samples({1})))))
        << "14 bytes are enough";
    EXPECT_FALSE(Open(Riff(Chunk("fmt ", body12 + "a") + Chunk("data", Samples({1})))))
        << "13 bytes are not";
    const std::string noRate = FormatBody(1, 1, 0, 16000, 2, 16);
    EXPECT_FALSE(Open(Riff(Chunk("fmt ", noRate) + Chunk("data", Samples({1})))));
}

TEST_F(RiffSoundFileTest, LongFormatChunkIsUsedAsStored)
{
    const auto file = Open(Riff(Chunk("fmt ", FormatBody(1, 1, 8000, 12345, 2, 16) + Le16(0)) +
                                Chunk("data", Samples({1}))));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetFormat().nAvgBytesPerSec, 12345u);
}

TEST_F(RiffSoundFileTest, RefusesFormatChunksThatCouldOverrunOrExhaustMemory)
{
    const std::string adpcm = FormatBody(2, 1, 22050, 11254, 512, 4);
    EXPECT_FALSE(Open(
        Riff(Chunk("fmt ", adpcm + Le16(32) + "short") + Chunk("data", std::string(512, '\0')))))
        << "cbSize promises more than the chunk holds";
    EXPECT_FALSE(Open(Riff("fmt " + Le32(0x7FFFFFF0) + FormatBody(1, 1, 8000, 16000, 2, 16) +
                           Chunk("data", Samples({1})))))
        << "a format chunk of 2 GiB";
    EXPECT_FALSE(Open(Riff(Chunk("fmt ", FormatBody(0x1234, 1, 8000, 8000, 1, 8) + Le16(0)) +
                           Chunk("data", "abcd"))))
        << "a format tag no converter takes";
    EXPECT_FALSE(
        Open(Riff(Chunk("fmt ", FormatBody(1, 1, 8000, 16000, 2, 16)) + Chunk("data", ""))))
        << "no data";
}

TEST_F(RiffSoundFileTest, ReadPastTheEndContinuesFromTheLoopFrame)
{
    const auto file = Open(PcmWave(1, 8000, Samples({10, 11, 12, 13})));
    ASSERT_TRUE(file);
    EXPECT_EQ(ReadAll(*file, 12), Samples({10, 11, 12, 13, 10, 11}));
    file->SetLoopPosition(2);
    EXPECT_EQ(ReadAll(*file, 10), Samples({12, 13, 12, 13, 12}));
}

TEST_F(RiffSoundFileTest, StoredLengthBeyondTheFileIsClippedToWhatItHolds)
{
    // 46 bytes claiming 2 GB: the length is what a static buffer allocates and a probe writes.
    const std::string claim = Riff(Chunk("fmt ", FormatBody(1, 1, 8000, 16000, 2, 16))) + "data" +
                              Le32(0x7FFFFFFE) + Samples({1});
    ASSERT_EQ(claim.size(), 46u);
    const auto file = Open(claim);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetLength(), 2);
    const auto shortByOne = Open(Riff(Chunk("fmt ", FormatBody(1, 1, 8000, 16000, 2, 16))) +
                                 "data" + Le32(8) + Samples({1, 2, 3}));
    ASSERT_TRUE(shortByOne);
    EXPECT_EQ(shortByOne->GetLength(), 6);
    EXPECT_FALSE(
        Open(Riff(Chunk("fmt ", FormatBody(1, 1, 8000, 16000, 2, 16))) + "data" + Le32(100)))
        << "a claim that holds nothing is no data";
}

TEST_F(RiffSoundFileTest, LengthTooLargeToHoldRunsToTheEndOfTheFile)
{
    const auto file = Open(Riff(Chunk("fmt ", FormatBody(1, 1, 8000, 16000, 2, 16))) + "data" +
                           Le32(0xFFFFFFFF) + Samples({1, 2, 3}));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetLength(), 6);
}

TEST_F(RiffSoundFileTest, ReadStopsWhenNothingCanBeReadEvenFromTheLoopFrame)
{
    const auto file = Open(PcmWave(1, 8000, Samples({1, 2})));
    ASSERT_TRUE(file);
    file->SetLoopPosition(2);
    EXPECT_EQ(ReadAll(*file, 50), Samples({1, 2})) << "a loop frame at the end loops nothing";
}

TEST_F(RiffSoundFileTest, SeekAndLoopPositionStayWithinTheSound)
{
    const auto file = Open(PcmWave(1, 8000, Samples({1, 2, 3, 4})));
    ASSERT_TRUE(file);
    file->Seek(4);
    EXPECT_EQ(ReadAll(*file, 2), Samples({1})) << "the last frame is a valid seek: at the end";
    file->Seek(1);
    file->Seek(5);
    EXPECT_EQ(ReadAll(*file, 2), Samples({2})) << "one past the last frame is ignored";
    file->SetLoopPosition(5);
    file->Seek(3);
    EXPECT_EQ(ReadAll(*file, 4), Samples({4, 1})) << "the loop frame stayed 0";
}

TEST_F(RiffSoundFileTest, ClosedFileAnswersEmpty)
{
    const auto file = Open(PcmWave(1, 8000, Samples({1, 2})));
    ASSERT_TRUE(file);
    file->Close();
    char byte = 0;
    EXPECT_EQ(file->GetLength(), 0);
    EXPECT_EQ(file->GetFormat().wFormatTag, 0);
    EXPECT_EQ(file->Read(&byte, 1), 0);
    EXPECT_FALSE(file->Open(L""));
    EXPECT_FALSE(OpenSoundFile(dir.Wide("missing.wav")));
}

TEST_F(RiffSoundFileTest, HostileHeadersAreRefusedOrDecodeAsFarAsTheyGo)
{
    const std::string pcm = Samples({1, 2, 3, 4});
    const std::string cases[] = {
        "",
        "RIFF",
        Riff(Chunk("fmt ", FormatBody(1, 1, 8000, 16000, 2, 16))),
        Riff(Chunk("fmt ", FormatBody(0x11, 0xFFFF, 8000, 4000, 512, 4) + Le16(2) + Le16(1017)) +
             Chunk("data", std::string(1024, 'z'))),
        Riff(Chunk("fmt ",
                   FormatBody(0x11, 1, 0xFFFFFFFF, 0xFFFFFFFF, 512, 4) + Le16(2) + Le16(1017)) +
             Chunk("data", std::string(1024, 'z'))),
        Riff(Chunk("fmt ", FormatBody(2, 1, 22050, 11254, 0xFFFF, 4) + Le16(0)) + "data" +
             Le32(0x7FFFFFFF) + pcm),
        Riff(Chunk("fmt ", FormatBody(0xFFFE, 2, 8000, 32000, 4, 16) + Le16(0)) +
             Chunk("data", pcm)),
    };
    for (const std::string& bytes : cases)
    {
        if (const auto file = Open(bytes))
        {
            const int32_t length = file->GetLength();
            EXPECT_GE(length, 0);
            std::string out(static_cast<size_t>(std::min(length, 1 << 20)), '\0');
            EXPECT_LE(file->Read(out.data(), static_cast<int32_t>(out.size())),
                      static_cast<int32_t>(out.size()));
        }
    }
}

} // namespace
