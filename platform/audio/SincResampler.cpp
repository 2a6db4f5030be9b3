#include "platform/audio/SincResampler.h"

#include <algorithm>
#include <cstring>

namespace platform::audio
{

namespace
{

// Four floats, an SSE or NEON register; the kernel loop keeps two chains of them in flight.
using Quad = float __attribute__((vector_size(16)));

Quad LoadQuad(const float* at)
{
    Quad quad;
    std::memcpy(&quad, at, sizeof quad);
    return quad;
}

float SumQuads(Quad a, Quad b)
{
    const Quad sum = a + b;
    return (sum[0] + sum[2]) + (sum[1] + sum[3]);
}

constexpr int PhaseShift = 32 - SincTable::PhaseBits;
constexpr uint32_t PhaseFractionMask = (1u << PhaseShift) - 1u;
constexpr float PhaseFractionScale = 1.0f / static_cast<float>(1u << PhaseShift);

// Any width becomes a signed 32-bit value, left-aligned, so one factor scales it to -1..1.
// 8-bit samples are unsigned: flipping the top bit makes them signed.
template <int Bytes> float SampleValue(const uint8_t* source)
{
    uint32_t bits = 0;
    for (int i = 0; i < Bytes; ++i)
    {
        bits |= static_cast<uint32_t>(source[i]) << (8 * (4 - Bytes + i));
    }
    if constexpr (Bytes == 1)
    {
        bits ^= 0x80000000u;
    }
    return static_cast<float>(static_cast<int32_t>(bits)) * (1.0f / 2147483648.0f);
}

} // namespace

SincResampler::SincResampler(const SincTable& table, int channels, uint32_t outputRate)
    : table(table), channels(channels), outputRate(outputRate), history(table.MaxTaps() / 2),
      stageFrames(StageFrames + table.MaxTaps())
{
    for (int channel = 0; channel < channels; ++channel)
    {
        stage[channel].assign(static_cast<size_t>(stageFrames), 0.0f);
    }
}

void SincResampler::SetSourceRate(uint32_t sourceRate)
{
    step = (static_cast<uint64_t>(sourceRate) << 32) / outputRate;
    kernel = &table.ForStep(static_cast<double>(sourceRate) / outputRate);
}

void SincResampler::Restage(bool keepHistory)
{
    if (!keepHistory)
    {
        for (auto& channel : stage)
        {
            std::fill_n(channel.begin(), std::min<size_t>(channel.size(), history), 0.0f);
        }
    }
    staged = history;
}

int SincResampler::RunLength(int frames, std::optional<uint32_t> framesLeft) const
{
    // The last output of a run may sit this many whole frames past the position.
    const int roomFrames = stageFrames - (history + kernel->taps / 2 + 1);
    const uint64_t room = (static_cast<uint64_t>(roomFrames) << 32) - phase;
    uint64_t count = std::min<uint64_t>(static_cast<uint64_t>(frames), room / step + 1);
    if (framesLeft)
    {
        const uint64_t remaining = (static_cast<uint64_t>(*framesLeft) << 32) - phase;
        count = std::min(count, (remaining + step - 1) / step);
    }
    return static_cast<int>(count);
}

int SincResampler::FramesToStage(int count) const
{
    const uint64_t lastWhole = (phase + step * static_cast<uint64_t>(count - 1)) >> 32;
    return history + kernel->taps / 2 + static_cast<int>(lastWhole) + 1 - staged;
}

void SincResampler::Stage(const uint8_t* pcm, int frames, int sampleBytes)
{
    // The width is chosen once a call, not once a sample.
    switch (sampleBytes)
    {
    case 1:
        return StageAs<1>(pcm, frames);
    case 2:
        return StageAs<2>(pcm, frames);
    case 3:
        return StageAs<3>(pcm, frames);
    default:
        return StageAs<4>(pcm, frames);
    }
}

template <int Bytes> void SincResampler::StageAs(const uint8_t* pcm, int frames)
{
    for (int frame = 0; frame < frames; ++frame)
    {
        for (int channel = 0; channel < channels; ++channel)
        {
            stage[channel][static_cast<size_t>(staged + frame)] = SampleValue<Bytes>(pcm);
            pcm += Bytes;
        }
    }
    staged += frames;
}

void SincResampler::StageSilence(int frames)
{
    for (int channel = 0; channel < channels; ++channel)
    {
        std::fill_n(stage[channel].begin() + staged, frames, 0.0f);
    }
    staged += frames;
}

void SincResampler::SetGains(float left, float right, bool glide)
{
    gains = glide ? Gains{gains.left, gains.right, left, right, GlideFrames}
                  : Gains{left, right, left, right, 0};
}

uint32_t SincResampler::Render(float* out, int count)
{
    channels == 2 ? Resample<2>(out, count) : Resample<1>(out, count);
    const uint64_t end = phase + step * static_cast<uint64_t>(count);
    phase = static_cast<uint32_t>(end);
    const uint32_t wholeFrames = static_cast<uint32_t>(end >> 32);
    const int shift = std::min(
        static_cast<int>(std::min<uint32_t>(wholeFrames, static_cast<uint32_t>(stageFrames))),
        staged);
    if (shift > 0)
    {
        for (int channel = 0; channel < channels; ++channel)
        {
            float* samples = stage[channel].data();
            std::memmove(samples, samples + shift,
                         static_cast<size_t>(staged - shift) * sizeof(float));
        }
        staged -= shift;
    }
    return wholeFrames;
}

template <int Channels> void SincResampler::Resample(float* out, int count)
{
    const int taps = kernel->taps;
    const float* rows = kernel->rows;
    const float* left = stage[0].data() + (history - (taps / 2 - 1));
    const float* right = Channels == 2 ? stage[1].data() + (history - (taps / 2 - 1)) : left;
    uint64_t position = phase;
    float glideLeft = 0.0f, glideRight = 0.0f;
    if (gains.framesToTarget > 0)
    {
        glideLeft = (gains.targetLeft - gains.left) / static_cast<float>(gains.framesToTarget);
        glideRight = (gains.targetRight - gains.right) / static_cast<float>(gains.framesToTarget);
    }
    for (int i = 0; i < count; ++i)
    {
        const size_t whole = static_cast<size_t>(position >> 32);
        const uint32_t fraction = static_cast<uint32_t>(position);
        const float* coefficients =
            rows + static_cast<size_t>(fraction >> PhaseShift) * 2u * static_cast<size_t>(taps);
        const float* deltas = coefficients + taps;
        const float mu = static_cast<float>(fraction & PhaseFractionMask) * PhaseFractionScale;
        const float* sourceLeft = left + whole;
        const float* sourceRight = right + whole;
        Quad leftA = {}, leftB = {}, rightA = {}, rightB = {};
        for (int tap = 0; tap < taps; tap += 8)
        {
            const Quad weightA = LoadQuad(coefficients + tap) + mu * LoadQuad(deltas + tap);
            const Quad weightB = LoadQuad(coefficients + tap + 4) + mu * LoadQuad(deltas + tap + 4);
            leftA += weightA * LoadQuad(sourceLeft + tap);
            leftB += weightB * LoadQuad(sourceLeft + tap + 4);
            if constexpr (Channels == 2)
            {
                rightA += weightA * LoadQuad(sourceRight + tap);
                rightB += weightB * LoadQuad(sourceRight + tap + 4);
            }
        }
        const float valueLeft = SumQuads(leftA, leftB);
        const float valueRight = Channels == 2 ? SumQuads(rightA, rightB) : valueLeft;
        if (gains.framesToTarget > 0)
        {
            gains.left += glideLeft;
            gains.right += glideRight;
            if (--gains.framesToTarget == 0)
            {
                gains.left = gains.targetLeft;
                gains.right = gains.targetRight;
            }
        }
        out[2 * i] += gains.left * valueLeft;
        out[2 * i + 1] += gains.right * valueRight;
        position += step;
    }
}

} // namespace platform::audio
