#include "framework/sound/ISoundFile.h"
#include "platform/window/Utf8.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

using Qorv::Sound::ISoundFile;
using Qorv::Sound::OpenSoundFile;
using TestSupport::ReadFile;

namespace
{

const std::string Folder = "tests/data/sound/";

std::shared_ptr<ISoundFile> Open(const std::string& name)
{
    return OpenSoundFile(platform::Utf8ToWide(Folder + name));
}

std::string Decode(ISoundFile& file)
{
    std::string pcm(static_cast<size_t>(file.GetLength()), '\0');
    EXPECT_EQ(file.Read(pcm.data(), static_cast<int32_t>(pcm.size())),
              static_cast<int32_t>(pcm.size()));
    return pcm;
}

std::vector<int16_t> Samples(const std::string& pcm)
{
    std::vector<int16_t> samples(pcm.size() / 2);
    std::memcpy(samples.data(), pcm.data(), samples.size() * 2);
    return samples;
}

struct Reference
{
    const char* name;
    // Largest difference from the reference decoding allowed in any sample.
    int tolerance;
};

class DecodesLikeTheReference : public testing::TestWithParam<Reference>
{
};

TEST_P(DecodesLikeTheReference, SampleForSample)
{
    const Reference& reference = GetParam();
    const auto file = Open(std::string(reference.name) + ".wav");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetFormat().wFormatTag, 1);
    EXPECT_EQ(file->GetFormat().wBitsPerSample, 16);
    const auto ours = Samples(Decode(*file));
    const auto theirs = Samples(ReadFile(Folder + std::string(reference.name) + ".ref.raw"));
    ASSERT_EQ(ours.size(), theirs.size());
    int worst = 0;
    for (size_t i = 0; i < ours.size(); ++i)
    {
        worst = std::max(worst, std::abs(ours[i] - theirs[i]));
    }
    EXPECT_LE(worst, reference.tolerance);
}

// G.711, GSM and PCM conversions are exact; the ADPCM decoders differ from the reference's in
// how they round the step arithmetic, by well under 0.5 % of full scale on a -6 dB tone.
INSTANTIATE_TEST_SUITE_P(
    Fixtures, DecodesLikeTheReference,
    testing::Values(Reference{"alaw", 0}, Reference{"ulaw", 0}, Reference{"gsm", 0},
                    Reference{"float32", 0}, Reference{"float64", 0},
                    Reference{"extensible-pcm8", 0}, Reference{"extensible-pcm16", 0},
                    Reference{"extensible-pcm24", 0}, Reference{"extensible-pcm32", 0},
                    Reference{"extensible-float", 0}, Reference{"ima-adpcm-mono", 100},
                    Reference{"ima-adpcm-stereo", 100}, Reference{"ms-adpcm-mono", 100},
                    Reference{"ms-adpcm-stereo", 100}),
    [](const testing::TestParamInfo<Reference>& info)
    {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

struct Tone
{
    const char* file;
    uint16_t channels;
    uint32_t rate;
    double frequency;
};

class PlaysTheEncodedTone : public testing::TestWithParam<Tone>
{
};

// Lossy codecs: the decoded middle of the sound is the -6 dBFS sine the encoder was given.
TEST_P(PlaysTheEncodedTone, AtItsFrequencyAndLevel)
{
    const Tone& tone = GetParam();
    const auto file = Open(tone.file);
    ASSERT_TRUE(file);
    const WAVEFORMATEX format = file->GetFormat();
    EXPECT_EQ(format.wFormatTag, 1);
    EXPECT_EQ(format.nChannels, tone.channels);
    EXPECT_EQ(format.nSamplesPerSec, tone.rate);
    EXPECT_EQ(format.nBlockAlign, 2 * tone.channels);
    EXPECT_EQ(format.nAvgBytesPerSec, tone.rate * 2 * tone.channels);

    const auto samples = Samples(Decode(*file));
    const size_t frames = samples.size() / tone.channels;
    ASSERT_GT(frames, tone.rate * 4 / 10);
    const size_t from = tone.rate / 10;
    const size_t to = from + tone.rate * 3 / 10;
    for (uint16_t channel = 0; channel < tone.channels; ++channel)
    {
        double power = 0;
        int crossings = 0;
        for (size_t i = from; i < to; ++i)
        {
            const double now = samples[i * tone.channels + channel];
            const double before = samples[(i - 1) * tone.channels + channel];
            power += now * now;
            crossings += (before < 0) != (now < 0);
        }
        const double rmsDb = 10 * std::log10(power / double(to - from)) - 20 * std::log10(32768.0);
        EXPECT_NEAR(rmsDb, -6.02 - 3.01, 0.5) << "channel " << channel;
        const double frequency = crossings / 2.0 / (double(to - from) / tone.rate);
        EXPECT_NEAR(frequency, tone.frequency, tone.frequency * 0.01) << "channel " << channel;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PlaysTheEncodedTone,
                         testing::Values(Tone{"mp3-stereo-44100.mp3", 2, 44100, 1000},
                                         Tone{"mp3-mono-22050.mp3", 1, 22050, 500},
                                         Tone{"mp2-stereo-48000.mp2", 2, 48000, 1000},
                                         Tone{"mp2-mono-24000.mp2", 1, 24000, 750},
                                         Tone{"mpeg-layer2.wav", 2, 32000, 800},
                                         Tone{"mpeg-layer3.wav", 2, 44100, 1000},
                                         Tone{"vorbis-mono-22050.ogg", 1, 22050, 500},
                                         Tone{"vorbis-stereo-44100.ogg", 2, 44100, 1000}),
                         [](const testing::TestParamInfo<Tone>& info)
                         {
                             std::string name = info.param.file;
                             std::replace_if(
                                 name.begin(), name.end(), [](char c) { return !std::isalnum(c); },
                                 '_');
                             return name;
                         });

TEST(SoundFixtures, PlainPcmPassesThroughAsStored)
{
    for (const char* name : {"pcm8-mono.wav", "pcm16-stereo.wav", "pcm24.wav"})
    {
        const std::string bytes = ReadFile(Folder + name);
        const size_t data = bytes.find("data");
        ASSERT_NE(data, std::string::npos);
        uint32_t size = 0;
        std::memcpy(&size, bytes.data() + data + 4, 4);
        const auto file = Open(name);
        ASSERT_TRUE(file) << name;
        EXPECT_EQ(Decode(*file), bytes.substr(data + 8, size)) << name;
    }
    EXPECT_EQ(Open("pcm24.wav")->GetFormat().wBitsPerSample, 24);
    EXPECT_EQ(Open("pcm8-mono.wav")->GetFormat().nBlockAlign, 1);
}

TEST(SoundFixtures, MonoVorbisAt22050Hz)
{
    const auto file = Open("vorbis-mono-22050.ogg");
    ASSERT_TRUE(file);
    const WAVEFORMATEX format = file->GetFormat();
    EXPECT_EQ(format.nBlockAlign, 2);
    EXPECT_EQ(format.nAvgBytesPerSec, 44100u);
    EXPECT_EQ(format.wBitsPerSample, 16);
    EXPECT_EQ(file->GetLength(), 22050) << "half a second, exactly as encoded";
}

// Converted sounds seek by decoding from the start: the bytes from a frame on are those a
// full decoding has there, up to the last frame.
TEST(SoundFixtures, ConvertedSoundsSeekToAnyFrameUpToTheLast)
{
    for (const char* name : {"mp3-stereo-44100.mp3", "ima-adpcm-stereo.wav", "gsm.wav"})
    {
        const auto file = Open(name);
        ASSERT_TRUE(file) << name;
        const std::string whole = Decode(*file);
        const int32_t block = file->GetFormat().nBlockAlign;
        const int32_t frames = file->GetLength() / block;
        for (int32_t frame : {1, 1000, frames - 1})
        {
            file->Seek(frame);
            std::string piece(static_cast<size_t>(block), '\0');
            ASSERT_EQ(file->Read(piece.data(), block), block) << name << " frame " << frame;
            EXPECT_EQ(piece, whole.substr(static_cast<size_t>(frame * block), block))
                << name << " frame " << frame;
        }
        file->Seek(frames);
        std::string wrapped(static_cast<size_t>(block), '\0');
        ASSERT_EQ(file->Read(wrapped.data(), block), block) << name;
        EXPECT_EQ(wrapped, whole.substr(0, block)) << name << ": the end wraps to the start";
        file->Seek(frames - 1);
        file->Seek(frames + 1);
        ASSERT_EQ(file->Read(wrapped.data(), block), block) << name;
        EXPECT_EQ(wrapped, whole.substr(static_cast<size_t>((frames - 1) * block), block))
            << name << ": one past the end is ignored";
    }
}

TEST(SoundFixtures, CountingPassLeavesAReadInProgressWhereItWas)
{
    const auto file = Open("ima-adpcm-stereo.wav");
    ASSERT_TRUE(file);
    std::string first(5000, '\0');
    ASSERT_EQ(file->Read(first.data(), 5000), 5000);
    const int32_t length = file->GetLength();
    std::string rest(static_cast<size_t>(length) - 5000, '\0');
    ASSERT_EQ(file->Read(rest.data(), static_cast<int32_t>(rest.size())),
              static_cast<int32_t>(rest.size()));
    EXPECT_EQ(first + rest, Decode(*Open("ima-adpcm-stereo.wav")));
}

// IMA ADPCM is decoded by our own code, not FFmpeg's, and gives FFmpeg's samples exactly.
TEST(SoundFixtures, ImaAdpcmDecodesToFfmpegsSamples)
{
    for (const std::string& path : {std::string("data/beat9.wav"), Folder + "ima-adpcm-stereo.wav"})
    {
        const auto file = OpenSoundFile(platform::Utf8ToWide(path));
        ASSERT_TRUE(file) << path;
        int exitCode = -1;
        const std::string theirs = TestSupport::RunAndCapture(
            {"ffmpeg", "-v", "error", "-i", path, "-f", "s16le", "-"}, &exitCode);
        ASSERT_EQ(exitCode, 0) << path;
        const std::string ours = Decode(*file);
        EXPECT_TRUE(ours == theirs)
            << path << ": " << ours.size() << " bytes, FFmpeg's " << theirs.size();
    }
}

} // namespace

// Found by fuzzing: an MPEG stream in a WAVE file claiming 1 Hz took seconds to convert, the
// rate converter growing with the ratio. Rates no sound buffer plays are refused.
TEST(SoundFixtures, RatesNoBufferPlaysAreRefused)
{
    EXPECT_FALSE(Open("regressions/mpeg-in-wave-at-1-hz.wav"));
}
