#include "platform/audio/Voice.h"

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

} // namespace

Voice::Voice(const WAVEFORMATEX& format, const uint8_t* data, DWORD bytes, const SincTable& table,
             DWORD outputRate)
    : format(format), data(data),
      frameCount(format.nBlockAlign == 0 ? 0 : bytes / format.nBlockAlign), table(table),
      outputRate(outputRate), history(table.MaxTaps() / 2),
      stageFrames(StageFrames + table.MaxTaps())
{
    for (int channel = 0; channel < format.nChannels; ++channel)
    {
        stage[channel].assign(static_cast<size_t>(stageFrames), 0.0f);
    }
    SetFrequency(format.nSamplesPerSec);
    ResetStage(false);
}

void Voice::Play(bool loop)
{
    looping = loop;
    if (playing || frameCount == 0)
    {
        return;
    }
    playing = true;
    // What was read ahead before a stop may have been rewritten since: read it again.
    ResetStage(true);
}

void Voice::Stop()
{
    if (!playing)
    {
        return;
    }
    playing = false;
    NotifyStop();
}

void Voice::SetPosition(DWORD byteOffset)
{
    const DWORD frame = byteOffset / format.nBlockAlign;
    cursor = frame < frameCount ? frame : 0;
    phase = 0;
    ResetStage(false);
}

DWORD Voice::PlayCursor() const
{
    return cursor * format.nBlockAlign;
}

DWORD Voice::WriteCursor() const
{
    return (playing ? fetchFrame % frameCount : cursor) * format.nBlockAlign;
}

void Voice::SetFrequency(DWORD hz)
{
    step = (static_cast<uint64_t>(hz) << 32) / outputRate;
    kernel = &table.ForStep(static_cast<double>(hz) / outputRate);
}

void Voice::SetGains(float left, float right)
{
    targetLeft = left;
    targetRight = right;
    if (playing)
    {
        rampLeft = RampFrames;
    }
    else
    {
        gainLeft = left;
        gainRight = right;
        rampLeft = 0;
    }
}

void Voice::SetNotifications(std::vector<DSBPOSITIONNOTIFY> positions)
{
    notifications = std::move(positions);
}

void Voice::Mix(float* out, int frames)
{
    int done = 0;
    while (playing && done < frames)
    {
        done += MixRun(out + 2 * done, frames - done);
    }
}

void Voice::ResetStage(bool keepHistory)
{
    if (!keepHistory)
    {
        for (auto& channel : stage)
        {
            std::fill_n(channel.begin(), std::min<size_t>(channel.size(), history), 0.0f);
        }
    }
    staged = history;
    fetchFrame = cursor;
}

void Voice::Fetch(int count)
{
    while (count > 0)
    {
        if (fetchFrame >= frameCount)
        {
            if (!looping)
            {
                // A sound played once is silent after its end.
                for (int channel = 0; channel < format.nChannels; ++channel)
                {
                    std::fill_n(stage[channel].begin() + staged, count, 0.0f);
                }
                staged += count;
                return;
            }
            fetchFrame = 0;
        }
        const int run =
            static_cast<int>(std::min<DWORD>(static_cast<DWORD>(count), frameCount - fetchFrame));
        ConvertFrames(fetchFrame, run, staged);
        fetchFrame += static_cast<DWORD>(run);
        staged += run;
        count -= run;
    }
}

void Voice::ConvertFrames(DWORD first, int count, int at)
{
    const int channels = format.nChannels;
    const int sampleBytes = format.wBitsPerSample / 8;
    const uint8_t* source = data + static_cast<size_t>(first) * format.nBlockAlign;
    for (int frame = 0; frame < count; ++frame)
    {
        for (int channel = 0; channel < channels; ++channel)
        {
            float value = 0.0f;
            switch (sampleBytes)
            {
            case 1:
                value = (static_cast<float>(source[0]) - 128.0f) * (1.0f / 128.0f);
                break;
            case 2:
            {
                int16_t sample;
                std::memcpy(&sample, source, sizeof sample);
                value = static_cast<float>(sample) * (1.0f / 32768.0f);
                break;
            }
            case 3:
            {
                const int32_t sample =
                    static_cast<int32_t>((static_cast<uint32_t>(source[0]) << 8) |
                                         (static_cast<uint32_t>(source[1]) << 16) |
                                         (static_cast<uint32_t>(source[2]) << 24));
                value = static_cast<float>(sample) * (1.0f / 2147483648.0f);
                break;
            }
            default:
            {
                int32_t sample;
                std::memcpy(&sample, source, sizeof sample);
                value = static_cast<float>(sample) * (1.0f / 2147483648.0f);
                break;
            }
            }
            stage[channel][static_cast<size_t>(at + frame)] = value;
            source += sampleBytes;
        }
    }
}

int Voice::MixRun(float* out, int frames)
{
    const int taps = kernel->taps;
    // The last output of this run may sit this many whole frames past the cursor.
    const int roomFrames = stageFrames - (history + taps / 2 + 1);
    const uint64_t room = (static_cast<uint64_t>(roomFrames) << 32) - phase;
    uint64_t count = std::min<uint64_t>(static_cast<uint64_t>(frames), room / step + 1);
    if (!looping)
    {
        const uint64_t remaining = (static_cast<uint64_t>(frameCount - cursor) << 32) - phase;
        // The cursor is inside the sound, so at least one output is left.
        count = std::min(count, (remaining + step - 1) / step);
    }
    const int n = static_cast<int>(count);
    const uint64_t lastWhole = (phase + step * (count - 1)) >> 32;
    const int needed = history + taps / 2 + static_cast<int>(lastWhole) + 1;
    if (needed > staged)
    {
        Fetch(needed - staged);
    }
    if (format.nChannels == 2)
    {
        Resample<2>(out, n);
    }
    else
    {
        Resample<1>(out, n);
    }
    const uint64_t end = phase + step * count;
    phase = static_cast<uint32_t>(end);
    Advance(static_cast<uint32_t>(end >> 32));
    return n;
}

template <int Channels> void Voice::Resample(float* out, int frames)
{
    const int taps = kernel->taps;
    const float* rows = kernel->rows;
    const float* left = stage[0].data() + (history - (taps / 2 - 1));
    const float* right = Channels == 2 ? stage[1].data() + (history - (taps / 2 - 1)) : left;
    uint64_t position = phase;
    float rampStepLeft = 0.0f, rampStepRight = 0.0f;
    if (rampLeft > 0)
    {
        rampStepLeft = (targetLeft - gainLeft) / static_cast<float>(rampLeft);
        rampStepRight = (targetRight - gainRight) / static_cast<float>(rampLeft);
    }
    for (int i = 0; i < frames; ++i)
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
        if (rampLeft > 0)
        {
            gainLeft += rampStepLeft;
            gainRight += rampStepRight;
            if (--rampLeft == 0)
            {
                gainLeft = targetLeft;
                gainRight = targetRight;
            }
        }
        out[2 * i] += gainLeft * valueLeft;
        out[2 * i + 1] += gainRight * valueRight;
        position += step;
    }
}

void Voice::Advance(uint32_t wholeFrames)
{
    if (wholeFrames == 0)
    {
        return;
    }
    const int shift = std::min(
        static_cast<int>(std::min<uint32_t>(wholeFrames, static_cast<uint32_t>(stageFrames))),
        staged);
    for (int channel = 0; channel < format.nChannels; ++channel)
    {
        float* samples = stage[channel].data();
        std::memmove(samples, samples + shift, static_cast<size_t>(staged - shift) * sizeof(float));
    }
    staged -= shift;

    const DWORD from = cursor;
    const uint64_t target = static_cast<uint64_t>(cursor) + wholeFrames;
    const DWORD align = format.nBlockAlign;
    if (target < frameCount)
    {
        cursor = static_cast<DWORD>(target);
        NotifyRange(from * align, cursor * align);
        return;
    }
    if (!looping)
    {
        NotifyRange(from * align, frameCount * align);
        cursor = 0;
        phase = 0;
        playing = false;
        NotifyStop();
        return;
    }
    cursor = static_cast<DWORD>(target % frameCount);
    if (target - from >= 2ull * frameCount)
    {
        NotifyRange(0, frameCount * align);
    }
    else
    {
        NotifyRange(from * align, frameCount * align);
        NotifyRange(0, cursor * align);
    }
}

void Voice::NotifyRange(DWORD fromByte, DWORD toByte)
{
    for (const DSBPOSITIONNOTIFY& position : notifications)
    {
        if (position.dwOffset >= fromByte && position.dwOffset < toByte)
        {
            SetEvent(position.hEventNotify);
        }
    }
}

void Voice::NotifyStop()
{
    for (const DSBPOSITIONNOTIFY& position : notifications)
    {
        if (position.dwOffset == DSBPN_OFFSETSTOP)
        {
            SetEvent(position.hEventNotify);
        }
    }
}

} // namespace platform::audio
