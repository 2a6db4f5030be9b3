#include "platform/audio/Voice.h"

#include <algorithm>

namespace platform::audio
{

Voice::Voice(const WAVEFORMATEX& format, const uint8_t* data, DWORD bytes, const SincTable& table,
             DWORD outputRate)
    : format(format), data(data),
      frameCount(format.nBlockAlign == 0 ? 0 : bytes / format.nBlockAlign),
      resampler(table, format.nChannels, outputRate)
{
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
    resampler.ResetPhase();
    ResetStage(false);
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
    resampler.Restage(keepHistory);
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
                resampler.StageSilence(count);
                return;
            }
            fetchFrame = 0;
        }
        const int run =
            static_cast<int>(std::min<DWORD>(static_cast<DWORD>(count), frameCount - fetchFrame));
        resampler.Stage(data + static_cast<size_t>(fetchFrame) * format.nBlockAlign, run,
                        format.wBitsPerSample / 8);
        fetchFrame += static_cast<DWORD>(run);
        count -= run;
    }
}

int Voice::MixRun(float* out, int frames)
{
    const int count = resampler.RunLength(
        frames, looping ? std::nullopt : std::optional<uint32_t>(frameCount - cursor));
    Fetch(resampler.FramesToStage(count));
    Advance(resampler.Render(out, count));
    return count;
}

void Voice::Advance(uint32_t wholeFrames)
{
    if (wholeFrames == 0)
    {
        return;
    }
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
        resampler.ResetPhase();
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
