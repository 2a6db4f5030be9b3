#pragma once
// One voice's band-limited resampler: source frames staged as planar floats, read by the sinc
// table's polyphase kernels at a 32.32 fixed-point position and scaled by gains that glide.
//
// Preconditions, not checked because it runs in the audio callback:
// - one or two channels; PCM samples of 1 byte (unsigned) or 2, 3 or 4 bytes (signed,
//   little-endian), interleaved;
// - every kernel's taps are a multiple of 8, as the table rounds them;
// - Render(out, count) needs a count from RunLength, and the frames FramesToStage(count)
//   asked for staged first;
// - RunLength's framesLeft, when given, is at least one: the position is inside the sound.

#include "platform/audio/SincTable.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform::audio
{

class SincResampler
{
public:
    SincResampler(const SincTable& table, int channels, uint32_t outputRate);

    // Picks the step and the kernel for a source played at sourceRate.
    void SetSourceRate(uint32_t sourceRate);
    // Empties the stage down to the history the kernel reads before the next frame: silence,
    // or the frames last staged when kept.
    void Restage(bool keepHistory);
    void ResetPhase() { phase = 0; }
    // With glide, the gains reach the new ones over GlideFrames outputs; else at once.
    void SetGains(float left, float right, bool glide);

    // Of frames outputs, how many the next run makes: what the stage has room for and, for a
    // sound that ends framesLeft frames on, none from its end.
    int RunLength(int frames, std::optional<uint32_t> framesLeft) const;
    // Source frames still to stage before count outputs can be rendered; none if not positive.
    int FramesToStage(int count) const;

    void Stage(const uint8_t* pcm, int frames, int sampleBytes);
    void StageSilence(int frames);

    // Adds count stereo outputs to out and moves past them. Returns the whole source frames
    // passed, which leave the stage.
    uint32_t Render(float* out, int count);

private:
    // Frames a run may advance past what the widest kernel needs around the position.
    static constexpr int StageFrames = 2048;
    static constexpr int GlideFrames = 64;

    // Stereo gains that glide to their targets over framesToTarget outputs, then hold.
    struct Gains
    {
        float left = 1.0f, right = 1.0f;
        float targetLeft = 1.0f, targetRight = 1.0f;
        int framesToTarget = 0;
    };

    template <int Bytes> void StageAs(const uint8_t* pcm, int frames);
    template <int Channels> void Resample(float* out, int count);

    const SincTable& table;
    const int channels;
    const uint32_t outputRate;
    const int history;
    // The widest kernels grow as the output rate falls: a fixed stage would overrun.
    const int stageFrames;

    const SincTable::Kernel* kernel = nullptr;
    uint64_t step = 0;
    uint32_t phase = 0;
    Gains gains;

    // Planar float PCM: entry history is the frame under the position.
    std::vector<float> stage[2];
    int staged = 0;
};

} // namespace platform::audio
