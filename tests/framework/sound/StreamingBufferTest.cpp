// The streaming buffer and its worker against the real mixer, pulled offline at the pace of a
// fast device so the worker's refills have real time to land.

#include "framework/sound/DxSoundManager.h"
#include "framework/sound/DxStreamingThread.h"
#include "tests/support/OfflineMixer.h"
#include "tests/support/RiffBytes.h"
#include "tests/support/Signal.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace Qorv::Sound;
using namespace TestSupport;
using namespace std::chrono_literals;

namespace
{

class StreamingBuffer : public ::testing::Test
{
protected:
    void SetUp() override { PublishSoundDevice(mixer.Device()); }
    void TearDown() override { PublishSoundDevice(nullptr); }

    std::shared_ptr<ISoundBuffer> Opened(const std::string& wave)
    {
        auto buffer = CreateSoundManager()->CreateStreamingBuffer();
        EXPECT_TRUE(buffer->Open(dir.Write("stream.wav", wave).wstring()));
        return buffer;
    }

    // Tenths of a second at a time. After each, the worker given takes its crossings, as it
    // would on its thread; with none, a pause lets the real one refill: 1.5 s takes 45 ms.
    std::vector<float> Render(DWORD frames, DxStreamingThread* worker = nullptr)
    {
        std::vector<float> out;
        for (; frames > 0; frames -= std::min<DWORD>(frames, 4800))
        {
            const auto part = mixer.Render(std::min<DWORD>(frames, 4800));
            out.insert(out.end(), part.begin(), part.end());
            if (worker != nullptr)
            {
                worker->Step(0);
            }
            else
            {
                std::this_thread::sleep_for(3ms);
            }
        }
        return out;
    }

    OfflineMixer mixer;
    TempDir dir;
};

} // namespace

TEST_F(StreamingBuffer, RingHoldsThreeSecondsAndRefillsHalfOfIt)
{
    const std::wstring path =
        dir.Write("cd.wav", PcmWave(2, 44100, std::string(44100 * 4 * 4, '\0'))).wstring();
    DxStreamingThread worker;
    LPDIRECTSOUNDBUFFER ring = worker.Open(path);
    ASSERT_NE(ring, nullptr);
    void* data = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(ring->Lock(0, 0, &data, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    ring->Unlock(data, bytes, nullptr, 0);
    EXPECT_EQ(bytes, 529200u);
    worker.Restart(0);
    worker.Restart(0);
    DWORD play = 0;
    ring->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 264600u);
    worker.Close();
}

TEST_F(StreamingBuffer, ShortFileLoopsWithoutASeamAndPlayOnceStillLoops)
{
    // One second of 1 kHz: a whole number of cycles, so a seamless loop is one pure tone.
    auto buffer = Opened(PcmWave(1, 48000, SinePcm(1000, 48000, 48000, 0.5)));
    buffer->Play(false);
    const auto out = Render(48000 * 5);
    EXPECT_TRUE(buffer->IsPlaying());
    const ToneFit fit = FitTone(Channel(out, 0, 1024), 1000.0 / 48000.0);
    EXPECT_NEAR(fit.amplitude, 0.5, 0.001);
    EXPECT_GT(fit.restDb, 85.0);
}

TEST_F(StreamingBuffer, LoopPositionWithinTheSoundIsWhereEachPassRestarts)
{
    auto buffer = Opened(PcmWave(1, 48000, RampPcm(24000)));
    buffer->SetLoopPosition(12000);
    buffer->Play(false);
    const auto out = Render(48000 * 4);
    EXPECT_EQ(PlayedSample(out, 23999), 23999);
    EXPECT_EQ(PlayedSample(out, 24000), 12000);
    EXPECT_EQ(PlayedSample(out, 24000 + 12000), 12000);
    EXPECT_EQ(PlayedSample(out, 24000 + 12000 * 10 + 5), 12005);
}

TEST_F(StreamingBuffer, LoopPositionBeyondTheEndIsIgnored)
{
    auto buffer = Opened(PcmWave(1, 48000, RampPcm(24000)));
    buffer->SetLoopPosition(24001);
    buffer->Play(false);
    const auto out = Render(48000 * 2);
    EXPECT_EQ(PlayedSample(out, 24000), 0);
}

TEST_F(StreamingBuffer, PauseThenSetPositionThenPlayPlaysFromThere)
{
    // Twelve seconds whose samples count 1/24 of a frame each.
    auto buffer = Opened(PcmWave(1, 48000, RampPcm(48000 * 12, 24)));
    buffer->Play(false);
    Render(4800);
    buffer->Pause();
    buffer->SetPosition(10.0f);
    buffer->Play(false);
    const auto out = Render(48000 * 2);
    EXPECT_EQ(PlayedSample(out, 0), 480000 / 24);
    EXPECT_EQ(PlayedSample(out, 48000 + 24), 528024 / 24);
}

TEST_F(StreamingBuffer, CloseWhilePlayingReturnsPromptlyAndReleasesEverything)
{
    auto buffer = Opened(PcmWave(1, 48000, SinePcm(440, 48000, 48000 * 4, 0.5)));
    buffer->Play(true);
    Render(48000);
    const auto start = std::chrono::steady_clock::now();
    buffer->Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 150ms);
    EXPECT_FALSE(buffer->IsOpen());
    EXPECT_FALSE(buffer->IsPlaying());
    const auto out = mixer.Render(1024);
    EXPECT_EQ(RmsOf(Channel(out, 0)), 0.0);
    // Reopening starts a new worker on the new file.
    EXPECT_TRUE(buffer->Open(dir.Write("again.wav", PcmWave(1, 48000, RampPcm(4800))).wstring()));
    EXPECT_EQ(buffer->GetLength(), 0.0f);
}

TEST_F(StreamingBuffer, FailedOpenLeavesNoThreadOrBuffer)
{
    auto buffer = CreateSoundManager()->CreateStreamingBuffer();
    EXPECT_FALSE(buffer->Open(dir.Write("junk.bin", "junk").wstring()));
    PublishSoundDevice(nullptr);
    EXPECT_FALSE(buffer->Open(dir.Write("ok.wav", PcmWave(1, 48000, RampPcm(4800))).wstring()));
    EXPECT_FALSE(buffer->IsOpen());
    buffer->Play(true);
    EXPECT_FALSE(buffer->IsPlaying());
}

TEST_F(StreamingBuffer, RefillSignalledBeforeARestartLeavesThePlayingHalfAlone)
{
    DxStreamingThread worker;
    LPDIRECTSOUNDBUFFER ring =
        worker.Open(dir.Write("race.wav", PcmWave(1, 48000, RampPcm(48000 * 10, 24))).wstring());
    ASSERT_NE(ring, nullptr);
    worker.Restart(0);
    ring->Play(0, 0, DSBPLAY_LOOPING);
    mixer.Render(256);
    // The start's crossing is still pending when the restart lands.
    worker.Restart(48000 * 4);
    worker.Step(0);
    ring->Play(0, 0, DSBPLAY_LOOPING);
    const auto out = Render(48000 * 4, &worker);
    for (size_t frame : {1000u, 48000u + 1000u, 96000u + 1000u, 144000u + 1000u})
    {
        EXPECT_EQ(PlayedSample(out, frame), static_cast<int>((48000 * 4 + frame) / 24)) << frame;
    }
}

TEST_F(StreamingBuffer, LoopFrameAtTheEndIsSilenceNotAReplayUntilALoopFrameIsSet)
{
    DxStreamingThread worker;
    LPDIRECTSOUNDBUFFER ring =
        worker.Open(dir.Write("end.wav", PcmWave(1, 48000, RampPcm(48000, 2))).wstring());
    ASSERT_NE(ring, nullptr);
    worker.SetLoopFrame(48000);
    worker.Restart(0);
    ring->Play(0, 0, DSBPLAY_LOOPING);
    auto out = Render(48000 * 3 + 9600, &worker);
    EXPECT_EQ(PlayedSample(out, 47998), 23999);
    EXPECT_EQ(PlayedSample(out, 48000), 0);
    EXPECT_EQ(PlayedSample(out, 48000 * 3 + 1000), 0) << "the ring replayed three seconds ago";
    // Reads that found nothing did not end the stream: the next refill loops from frame 0.
    worker.SetLoopFrame(0);
    const auto later = Render(48000 * 4, &worker);
    EXPECT_EQ(PlayedSample(later, 48000 * 3 - 9600 + 1000), 500);
    EXPECT_EQ(PlayedSample(later, 48000 * 4 - 9600 + 1000), 500);
}
