// The sound manager and the static buffer, played through the real mixer pulled offline.

#include "framework/sound/DxSoundManager.h"
#include "framework/sound/DxSoundSource.h"
#include "tests/support/OfflineMixer.h"
#include "tests/support/RiffBytes.h"
#include "tests/support/Signal.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace Qorv::Sound;
using namespace TestSupport;

namespace
{

class StaticBuffer : public ::testing::Test
{
protected:
    void SetUp() override { PublishSoundDevice(mixer.Device()); }
    void TearDown() override { PublishSoundDevice(nullptr); }

    std::shared_ptr<ISoundBuffer> Opened(const std::string& wave)
    {
        auto buffer = CreateSoundManager()->CreateBuffer();
        EXPECT_TRUE(
            buffer->Open(dir.Write("sound" + std::to_string(++files) + ".wav", wave).wstring()));
        return buffer;
    }

    OfflineMixer mixer;
    TempDir dir;
    int files = 0;
};

} // namespace

TEST(BufferLevels, VolumePanAndFrequencyFollowTheTruncatedFormulas)
{
    const std::pair<float, LONG> volumes[] = {{100, 0},   {80, -193},  {60, -443},
                                              {50, -602}, {0, -10000}, {0.0001f, -10000}};
    for (auto [percent, level] : volumes)
    {
        EXPECT_EQ(DxSoundSource::VolumeLevel(percent), level) << percent;
    }
    const std::pair<float, LONG> pans[] = {{-100, -10000}, {-50, -602},    {0, 0},      {50, 602},
                                           {100, 10000},   {-150, -10000}, {170, 10000}};
    for (auto [pan, level] : pans)
    {
        EXPECT_EQ(DxSoundSource::PanLevel(pan), level) << pan;
    }
    EXPECT_EQ(DxSoundSource::FrequencyFor(0.5f, 44100), 22050u);
    EXPECT_EQ(DxSoundSource::FrequencyFor(5.0f, 44100), 200000u);
    EXPECT_EQ(DxSoundSource::FrequencyFor(1e30f, 44100), 200000u);
}

TEST_F(StaticBuffer, VolumeAndPanReachTheOutputAsTheirDecibels)
{
    const std::string sine = SinePcm(1000, 48000, 48000, 0.5);
    struct Case
    {
        float volume, pan;
        double leftDb, rightDb;
    };
    for (const Case& c : {Case{100, 0, 0, 0}, Case{80, 0, -1.93, -1.93}, Case{60, 0, -4.43, -4.43},
                          Case{50, 0, -6.02, -6.02}, Case{150, -50, 0, -6.02},
                          Case{100, 50, -6.02, 0}, Case{0, 0, -100, -100}})
    {
        auto buffer = Opened(PcmWave(1, 48000, sine));
        buffer->SetVolume(c.volume);
        buffer->SetPan(c.pan);
        buffer->Play(true);
        const auto out = mixer.Render(24000);
        const double full = 0.5 / std::sqrt(2.0);
        EXPECT_NEAR(Decibels(RmsOf(Channel(out, 0, 1024)) / full), c.leftDb, 0.1) << c.volume;
        EXPECT_NEAR(Decibels(RmsOf(Channel(out, 1, 1024)) / full), c.rightDb, 0.1) << c.pan;
        buffer->Close();
    }
}

TEST_F(StaticBuffer, FrequencyRatioRetunesAndNegativeRatiosAreIgnored)
{
    auto buffer = Opened(PcmWave(1, 44100, SinePcm(1000, 44100, 44100, 0.5)));
    buffer->SetFrequencyRatio(1.5f);
    buffer->SetFrequencyRatio(-1.0f);
    buffer->SetFrequencyRatio(std::nanf(""));
    buffer->Play(true);
    const auto out = mixer.Render(24000);
    EXPECT_NEAR(MeasureFrequency(Channel(out, 0, 1024)) * 48000.0, 1500.0, 7.5);
}

TEST_F(StaticBuffer, PlayRestartsStopRewindsAndPauseResumesInItsLoopMode)
{
    auto buffer = Opened(PcmWave(1, 48000, RampPcm(4800)));
    buffer->Stop();
    EXPECT_FALSE(buffer->IsPlaying());

    buffer->Play(false);
    mixer.Render(1000);
    buffer->Play(false);
    EXPECT_EQ(PlayedSample(mixer.Render(256), 0), 0);

    buffer->Stop();
    buffer->Play(false);
    EXPECT_EQ(PlayedSample(mixer.Render(256), 0), 0);

    buffer->Play(true);
    mixer.Render(1024);
    buffer->Pause();
    EXPECT_TRUE(buffer->IsPaused());
    EXPECT_FALSE(buffer->IsPlaying());
    EXPECT_EQ(PlayedSample(mixer.Render(256), 10), 0);
    buffer->Play(false);
    EXPECT_FALSE(buffer->IsPaused());
    const auto out = mixer.Render(4800);
    EXPECT_EQ(PlayedSample(out, 0), 1024);
    // Still the looping play that was paused: it wraps to the start.
    EXPECT_EQ(PlayedSample(out, 4800 - 1024), 0);
    EXPECT_TRUE(buffer->IsPlaying());
}

TEST_F(StaticBuffer, SoundPlayedOnceStopsByItselfAndIsNotPaused)
{
    auto buffer = Opened(PcmWave(1, 48000, RampPcm(2000)));
    buffer->Play(false);
    EXPECT_TRUE(buffer->IsPlaying());
    const auto out = mixer.Render(2304);
    EXPECT_EQ(PlayedSample(out, 1999), 1999);
    EXPECT_EQ(PlayedSample(out, 2000), 0);
    EXPECT_FALSE(buffer->IsPlaying());
    EXPECT_FALSE(buffer->IsPaused());
}

TEST_F(StaticBuffer, PositionIsInBytesOfTheFormatAndLengthInWholeSeconds)
{
    // 44.1 kHz 16-bit stereo: 1.5 s is byte 264600, frame 66150. Left climbs one per 4 frames.
    std::string data;
    for (int i = 0; i < 44100 * 2; ++i)
    {
        data += Le16(static_cast<uint16_t>(i / 4)) + Le16(0);
    }
    auto buffer = Opened(PcmWave(2, 44100, data));
    EXPECT_EQ(buffer->GetLength(), 2.0f);
    buffer->Play(false);
    buffer->Pause();
    buffer->SetPosition(1.5f);
    buffer->Play(false);
    const auto out = mixer.Render(256);
    // 100 output frames later at 44100/48000 source frames each.
    EXPECT_NEAR(out[200] * 32768.0, (66150 + 100 * 44100.0 / 48000.0) / 4.0, 2.0);

    auto shorter = Opened(PcmWave(1, 1000, std::string(2 * 2900, '\0')));
    EXPECT_EQ(shorter->GetLength(), 2.0f);
}

TEST_F(StaticBuffer, ReopeningReplacesTheSound)
{
    auto buffer = Opened(PcmWave(1, 48000, RampPcm(4800)));
    EXPECT_TRUE(
        buffer->Open(dir.Write("other.wav", PcmWave(1, 48000, RampPcm(4800, 2))).wstring()));
    buffer->Play(false);
    EXPECT_EQ(PlayedSample(mixer.Render(512), 400), 200);
}

TEST_F(StaticBuffer, DataChunkThatHoldsNothingOfItsClaimIsRefused)
{
    // An 8-bit data chunk that claims 4800 bytes and holds none.
    const std::string wave =
        Riff(Chunk("fmt ", FormatBody(1, 1, 48000, 48000, 1, 8)) + "data" + Le32(4800));
    auto buffer = CreateSoundManager()->CreateBuffer();
    EXPECT_FALSE(buffer->Open(dir.Write("empty.wav", wave).wstring()));
}

TEST_F(StaticBuffer, ClosedBufferIgnoresEverything)
{
    auto buffer = CreateSoundManager()->CreateBuffer();
    EXPECT_FALSE(buffer->Open(dir.Write("nothing.wav", "not a sound").wstring()));
    buffer->Play(true);
    buffer->SetVolume(50);
    EXPECT_FALSE(buffer->IsPlaying());
    EXPECT_EQ(buffer->GetFormat().wFormatTag, 0);
    EXPECT_EQ(buffer->GetLength(), 0.0f);
}

TEST(SoundManager, BuffersOpenOnlyOnceAManagerIsInitialized)
{
    TempDir dir;
    const std::wstring path = dir.Write("a.wav", PcmWave(1, 48000, RampPcm(480))).wstring();
    auto manager = CreateSoundManager();
    auto buffer = manager->CreateBuffer();
    EXPECT_FALSE(buffer->Open(path));

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(manager->Initialize(nullptr));
    EXPECT_TRUE(buffer->Open(path));
    EXPECT_TRUE(manager->Initialize(nullptr));
    EXPECT_TRUE(manager->IsInitialized());
    manager->Finalize();
    EXPECT_EQ(CurrentSoundDevice(), nullptr);
    // The open buffer outlives its device without harm.
    buffer->Play(false);
    buffer->Close();

    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(manager->Initialize(nullptr));
    EXPECT_FALSE(manager->IsInitialized());
    EXPECT_FALSE(buffer->Open(path));
    unsetenv("SDL_AUDIODRIVER");
}
