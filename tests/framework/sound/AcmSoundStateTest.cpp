#include "framework/sound/ISoundState.h"
#include "tests/support/FakeSoundConverter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using Qorv::Base::CreateFileReader;
using Qorv::Base::IFileReader;
using Qorv::Sound::CreateAcmSoundState;
using Qorv::Sound::ISoundState;
using TestSupport::FakeSoundConverter;
using TestSupport::TempDir;

namespace
{

constexpr int32_t DataOffset = 10;

// A file of DataOffset header bytes then source bytes 1, 2, 3, ...; the converter doubles each.
class AcmSoundStateTest : public testing::Test
{
protected:
    void OpenOn(int32_t sourceBytes, int32_t storedLength = -1)
    {
        std::string bytes(DataOffset, 'h');
        for (int32_t i = 0; i < sourceBytes; ++i)
        {
            bytes += static_cast<char>(1 + i % 250);
        }
        reader = CreateFileReader();
        ASSERT_TRUE(reader->Open(dir.Write("data.bin", bytes).wstring()));
        ASSERT_TRUE(state->Open(reader, FakeSoundConverter::SourceFormat(), DataOffset,
                                storedLength < 0 ? sourceBytes : storedLength));
    }

    // Bytes [from, to) of the PCM the converter makes: each source byte twice.
    static std::vector<uint8_t> Pcm(int32_t from, int32_t to)
    {
        std::vector<uint8_t> pcm;
        for (int32_t k = from; k < to; ++k)
        {
            pcm.push_back(static_cast<uint8_t>(1 + (k / 2) % 250));
        }
        return pcm;
    }

    std::vector<uint8_t> Read(uint32_t bytes)
    {
        std::vector<uint8_t> out(bytes);
        out.resize(static_cast<size_t>(state->Read(out.data(), bytes)));
        return out;
    }

    std::vector<uint8_t> ReadToEnd()
    {
        std::vector<uint8_t> all;
        for (std::vector<uint8_t> piece = Read(64); !piece.empty(); piece = Read(64))
        {
            all.insert(all.end(), piece.begin(), piece.end());
        }
        return all;
    }

    TempDir dir;
    std::shared_ptr<FakeSoundConverter> converter = std::make_shared<FakeSoundConverter>();
    std::shared_ptr<ISoundState> state = CreateAcmSoundState(converter);
    std::shared_ptr<IFileReader> reader;
};

TEST_F(AcmSoundStateTest, TakesOneSecondOfSourceAndQueuesWhatTheCallerDidNotAskFor)
{
    OpenOn(100);
    EXPECT_EQ(Read(5), Pcm(0, 5));
    ASSERT_EQ(converter->convertedInputSizes, std::vector<uint32_t>{40})
        << "one second of source per top-up";
    EXPECT_EQ(reader->Tell(), DataOffset + 40);

    EXPECT_EQ(Read(75), Pcm(5, 80)) << "the queue alone serves a caller it can satisfy";
    EXPECT_EQ(converter->convertedInputSizes.size(), 1u);
    EXPECT_EQ(Read(100), Pcm(80, 160)) << "then one more conversion, of the next second";
    EXPECT_EQ(converter->convertedInputSizes.size(), 2u);
}

TEST_F(AcmSoundStateTest, NeverConvertsTrailingBytesShortOfABlock)
{
    OpenOn(4 * 11 + 3);
    EXPECT_EQ(ReadToEnd(), Pcm(0, 88));
    EXPECT_EQ(converter->convertedInputSizes.back(), 3u)
        << "the partial block stays pending and produces nothing: the end of the sound";
    EXPECT_EQ(state->GetLength(), 88);
}

TEST_F(AcmSoundStateTest, RangeShorterThanOneBlockHasNoLength)
{
    OpenOn(3);
    EXPECT_EQ(state->GetLength(), 0);
    EXPECT_TRUE(Read(16).empty());
}

TEST_F(AcmSoundStateTest, SeekToStartReopensTheStreamAndEmptiesBothQueues)
{
    OpenOn(4 * 11 + 2);
    state->GetLength();
    Read(5);
    Read(80);
    const int opened = converter->streamsOpened;

    state->Seek(0);
    EXPECT_EQ(converter->streamsOpened, opened + 1);
    EXPECT_EQ(reader->Tell(), DataOffset);
    const size_t conversions = converter->convertedInputSizes.size();
    EXPECT_EQ(Read(6), Pcm(0, 6));
    EXPECT_EQ(converter->convertedInputSizes.size(), conversions + 1);
    EXPECT_EQ(converter->convertedInputSizes.back(), 40u) << "no stale input was kept";
}

TEST_F(AcmSoundStateTest, SeekDecodesUpToTheFrame)
{
    OpenOn(200);
    state->Seek(50);
    const auto pcm = Read(4);
    EXPECT_EQ(pcm, Pcm(100, 104)) << "frame 50 is PCM byte 100";
}

TEST_F(AcmSoundStateTest, CountingPassLeavesReaderAndQueuesAsTheyWere)
{
    OpenOn(4 * 30);
    const auto first = Read(5);
    const int32_t position = reader->Tell();

    EXPECT_EQ(state->GetLength(), 240);
    EXPECT_EQ(reader->Tell(), position);
    std::vector<uint8_t> continued = first;
    const auto rest = ReadToEnd();
    continued.insert(continued.end(), rest.begin(), rest.end());
    EXPECT_EQ(continued, Pcm(0, 240)) << "the pending PCM and input survived the pass";
}

TEST_F(AcmSoundStateTest, FileShorterThanItsStoredLengthEndsAtTheEndOfTheFile)
{
    OpenOn(4 * 5, 4000);
    EXPECT_EQ(state->GetLength(), 40);
    EXPECT_EQ(ReadToEnd(), Pcm(0, 40));
}

TEST_F(AcmSoundStateTest, FailedConversionLosesOnlyItsInput)
{
    OpenOn(4 * 20);
    converter->failNextConvert = true;
    EXPECT_TRUE(Read(10).empty());
    EXPECT_EQ(Read(10), Pcm(80, 90)) << "the next read starts from the following source bytes";
}

TEST(AcmSoundState, RefusesWhatItCannotConvertOrCouldOverrun)
{
    TempDir dir;
    auto reader = CreateFileReader();
    ASSERT_TRUE(reader->Open(dir.Write("d.bin", std::string(64, 'x')).wstring()));

    auto converter = std::make_shared<FakeSoundConverter>();
    converter->failSuggest = true;
    EXPECT_FALSE(
        CreateAcmSoundState(converter)->Open(reader, FakeSoundConverter::SourceFormat(), 0, 64));

    auto format = FakeSoundConverter::SourceFormat();
    auto state = CreateAcmSoundState(std::make_shared<FakeSoundConverter>());
    EXPECT_FALSE(state->Open(reader, format, 0, 0)) << "an empty range";
    format[16] = 4; // cbSize promises extra bytes the record does not carry
    EXPECT_FALSE(state->Open(reader, format, 0, 64));
    format[16] = 0;
    format[8] = format[9] = 0; // no byte rate: the top-up would never read
    EXPECT_FALSE(state->Open(reader, format, 0, 64));
    EXPECT_FALSE(state->IsOpen());
    EXPECT_EQ(state->GetFormat().wFormatTag, 0);
}

} // namespace
