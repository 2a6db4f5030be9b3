// The mixer pulled offline: pitch, resampling quality, levels, timing and loops.

#include "tests/support/OfflineMixer.h"
#include "tests/support/Signal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace TestSupport;

namespace
{

constexpr double Output = 48000.0;
// Past the resampler's start-up, and a whole number of 256-frame periods.
constexpr size_t Settle = 1024;

struct Played
{
    std::vector<double> left, right;
};

Played PlayTone(double frequency, DWORD bufferRate, int bits = 16, double seconds = 1.0)
{
    OfflineMixer mixer;
    LPDIRECTSOUNDBUFFER buffer =
        mixer.Buffer(SinePcm(frequency, 44100.0, 44100 * 4, 0.5, bits), 44100, bits);
    EXPECT_EQ(buffer->SetFrequency(bufferRate), DS_OK);
    EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const auto out = mixer.Render(static_cast<DWORD>(Settle + seconds * Output));
    return {Channel(out, 0, Settle), Channel(out, 1, Settle)};
}

} // namespace

TEST(Mixer, FrequencyScalesThePitch)
{
    for (double ratio : {0.5, 1.0, 2.0})
    {
        const Played played = PlayTone(1000.0, static_cast<DWORD>(44100 * ratio));
        const double hz = MeasureFrequency(played.left) * Output;
        EXPECT_NEAR(hz, 1000.0 * ratio, 1000.0 * ratio * 0.005) << "ratio " << ratio;
    }
}

TEST(Mixer, ResampledTonesCarryNothingElse)
{
    for (double ratio : {0.5, 0.71, 1.0, 1.33, 1.68, 2.0, 200000.0 / 44100.0})
    {
        for (double frequency : {1000.0, 4000.0})
        {
            const DWORD rate = static_cast<DWORD>(44100 * ratio);
            const Played played = PlayTone(frequency, rate, 32, 0.5);
            const ToneFit fit = FitTone(played.left, frequency * rate / 44100.0 / Output);
            EXPECT_NEAR(Decibels(fit.amplitude / 0.5), 0.0, 0.05) << ratio << " " << frequency;
            EXPECT_GT(fit.restDb, 90.0) << "ratio " << ratio << ", " << frequency << " Hz";
        }
    }
}

TEST(Mixer, ToneAboveTheOutputBandIsRemovedNotFolded)
{
    // 15 kHz at twice its rate is 30 kHz: above 24 kHz it would fold back to 18 kHz.
    const Played played = PlayTone(15000.0, 88200, 32);
    const double rejection = -Decibels(RmsOf(played.left) / (0.5 / std::sqrt(2.0)));
    EXPECT_GT(rejection, 90.0);
    // The same from 16-bit samples is limited by their own noise, not by folding.
    const Played sixteen = PlayTone(15000.0, 88200, 16);
    EXPECT_GT(-Decibels(RmsOf(sixteen.left) / (0.5 / std::sqrt(2.0))), 90.0);
}

TEST(Mixer, VolumeAndPanGiveTheirDecibels)
{
    struct Case
    {
        LONG volume, pan;
        double leftDb, rightDb;
    };
    const Case cases[] = {{0, 0, 0, 0},
                          {-193, 0, -1.93, -1.93},
                          {-443, 0, -4.43, -4.43},
                          {-602, 0, -6.02, -6.02},
                          {-10000, 0, -100, -100},
                          {0, -10000, 0, -100},
                          {0, -602, 0, -6.02},
                          {0, 602, -6.02, 0},
                          {0, 10000, -100, 0},
                          {-602, 602, -12.04, -6.02}};
    for (const Case& c : cases)
    {
        OfflineMixer mixer;
        LPDIRECTSOUNDBUFFER buffer = mixer.Buffer(SinePcm(1000, 48000, 48000, 0.5, 32), 48000, 32);
        ASSERT_EQ(buffer->SetVolume(c.volume), DS_OK);
        ASSERT_EQ(buffer->SetPan(c.pan), DS_OK);
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        const auto out = mixer.Render(48000);
        const double full = 0.5 / std::sqrt(2.0);
        EXPECT_NEAR(Decibels(RmsOf(Channel(out, 0, Settle)) / full), c.leftDb, 0.1)
            << c.volume << "/" << c.pan;
        EXPECT_NEAR(Decibels(RmsOf(Channel(out, 1, Settle)) / full), c.rightDb, 0.1)
            << c.volume << "/" << c.pan;
    }
}

TEST(Mixer, StereoBuffersKeepTheirSidesInEverySampleWidth)
{
    for (int bits : {8, 16, 24, 32})
    {
        OfflineMixer mixer;
        std::string pcm;
        for (int i = 0; i < 4800; ++i)
        {
            // Half scale left, a quarter below zero right, as the top bytes of 32 bits; 8-bit
            // samples are unsigned.
            for (uint32_t value : {0x40000000u, 0xE0000000u})
            {
                value ^= bits == 8 ? 0x80000000u : 0u;
                for (int byte = 4 - bits / 8; byte < 4; ++byte)
                {
                    pcm.push_back(static_cast<char>(value >> (8 * byte)));
                }
            }
        }
        mixer.Buffer(pcm, 44100, bits, 2)->Play(0, 0, DSBPLAY_LOOPING);
        const auto out = mixer.Render(2048);
        EXPECT_NEAR(out[2 * 1500], 0.5, 1e-4) << bits;
        EXPECT_NEAR(out[2 * 1500 + 1], -0.25, 1e-4) << bits;
    }
}

TEST(Mixer, BufferStartedBetweenPullsSoundsFromTheNextPullsFirstSample)
{
    for (DWORD rate : {48000u, 44100u, 22050u})
    {
        OfflineMixer mixer;
        LPDIRECTSOUNDBUFFER buffer = mixer.Buffer(std::string(4000, '\x40'), rate, 8);
        mixer.Render(256);
        buffer->Play(0, 0, 0);
        const auto out = mixer.Render(256);
        // The kernel is centred on the cursor, so the first sample is there at full height.
        EXPECT_NEAR(out[0], -0.5f, 1e-3) << rate;
        EXPECT_NEAR(out[2 * 128], -0.5f, 1e-3) << rate;
    }
}

TEST(Mixer, SoundPlayedOnceStopsAtItsEndAndLoopedOneWrapsSeamlessly)
{
    OfflineMixer mixer;
    // Ten whole cycles, so the loop's seam falls between two samples of one sine.
    const std::string pcm = SinePcm(1000, 44100, 441, 0.5, 32);
    LPDIRECTSOUNDBUFFER once = mixer.Buffer(pcm, 44100, 32);
    once->Play(0, 0, 0);
    mixer.Render(512);
    DWORD status = 0;
    once->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    DWORD play = 1;
    once->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 0u);

    LPDIRECTSOUNDBUFFER looped = mixer.Buffer(pcm, 44100, 32);
    looped->Play(0, 0, DSBPLAY_LOOPING);
    looped->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    const auto out = mixer.Render(48000);
    const ToneFit fit = FitTone(Channel(out, 0, Settle), 1000.0 / Output);
    EXPECT_GT(fit.restDb, 90.0);
}

TEST(Mixer, VolumeChangeWhilePlayingGlidesWithoutAStep)
{
    OfflineMixer mixer;
    LPDIRECTSOUNDBUFFER buffer = mixer.Buffer(std::string(48000 * 2, '\x7F'), 48000, 16);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    mixer.Render(512);
    buffer->SetVolume(-10000);
    const auto out = mixer.Render(256);
    for (size_t i = 1; i < 256; ++i)
    {
        EXPECT_LT(std::fabs(out[2 * i] - out[2 * (i - 1)]), 0.02f) << i;
    }
    EXPECT_NEAR(out[2 * 200], 0.0f, 1e-4);
}

TEST(Mixer, ManyVoicesAddUp)
{
    OfflineMixer mixer;
    for (int i = 0; i < 34; ++i)
    {
        std::string pcm;
        for (int frame = 0; frame < 4800; ++frame)
        {
            pcm += std::string("\x00\x01", 2);
        }
        mixer.Buffer(pcm, 48000, 16)->Play(0, 0, DSBPLAY_LOOPING);
    }
    const auto out = mixer.Render(2048);
    EXPECT_NEAR(out[2 * 1000], 34 * 256.0 / 32768.0, 1e-4);
}

TEST(Mixer, LowOutputRateStillHoldsTheWidestKernel)
{
    // At 2 kHz out, a 200 kHz buffer needs a kernel wider than a fixed stage held; past its
    // first half-width a constant plays as that constant.
    OfflineMixer mixer(2000);
    LPDIRECTSOUNDBUFFER buffer = mixer.Buffer(std::string(200000 * 2, '\x40'), DSBFREQUENCY_MAX);
    ASSERT_NE(buffer, nullptr);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    const auto out = mixer.Render(1024);
    for (size_t frame : {100u, 1023u})
    {
        EXPECT_NEAR(out[2 * frame], 0x4040 / 32768.0f, 1e-3) << frame;
    }
}

TEST(Mixer, LimiterHoldsADenseSumUnderTheCeilingAndLeavesOneVoiceAsItWas)
{
    OfflineMixer dense(48000, true);
    // 29 tones at nine tenths of full scale, all starting on one frame: a chord on a full step.
    for (int voice = 0; voice < 29; ++voice)
    {
        dense.Buffer(SinePcm(110.0 * (1 + voice), 48000, 48000, 0.9, 32), 48000, 32)
            ->Play(0, 0, DSBPLAY_LOOPING);
    }
    const float loudest = Loudest(dense.Render(48000));
    EXPECT_LE(loudest, platform::audio::Limiter::Ceiling);
    EXPECT_GT(loudest, 0.8f);

    // Just under the ceiling: the same samples, one lookahead later.
    OfflineMixer single(48000, true);
    const std::string pcm = SinePcm(1000.0, 48000, 4800, 0.89, 32);
    single.Buffer(pcm, 48000, 32)->Play(0, 0, 0);
    const auto out = single.Render(4800);
    const size_t lag = single.Device()->LookaheadFrames();
    for (size_t frame = 0; frame + lag < 4800; ++frame)
    {
        int32_t value = 0;
        std::memcpy(&value, pcm.data() + frame * 4, 4);
        ASSERT_NEAR(out[2 * (frame + lag)], value / 2147483648.0, 1e-6) << frame;
    }
}
