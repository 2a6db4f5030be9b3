#pragma once
// One buffer's playback inside the mixer: play cursor, looping and the position
// notifications, with the resampler fed from the buffer's PCM ahead of the cursor. Called under
// the mixer's lock.

#include "platform/audio/DSound.h"
#include "platform/audio/SincResampler.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace platform::audio
{

class Voice
{
public:
    // data holds bytes of PCM in format; both outlive the voice.
    Voice(const WAVEFORMATEX& format, const uint8_t* data, DWORD bytes, const SincTable& table,
          DWORD outputRate);

    void Play(bool looping);
    void Stop();
    bool IsPlaying() const { return playing; }
    bool IsLooping() const { return looping; }

    // Byte offsets. The write cursor is the first byte the mixer has not read yet.
    void SetPosition(DWORD byteOffset);
    DWORD PlayCursor() const { return cursor * format.nBlockAlign; }
    DWORD WriteCursor() const
    {
        return (playing ? fetchFrame % frameCount : cursor) * format.nBlockAlign;
    }

    void SetFrequency(DWORD hz) { resampler.SetSourceRate(hz); }
    // Changes while playing glide instead of clicking.
    void SetGains(float left, float right) { resampler.SetGains(left, right, playing); }
    // Offsets must be below the buffer's size or DSBPN_OFFSETSTOP; the vector is taken as is.
    void SetNotifications(std::vector<DSBPOSITIONNOTIFY> positions)
    {
        notifications = std::move(positions);
    }

    // Adds frames of stereo output to out.
    void Mix(float* out, int frames);

private:
    void ResetStage(bool keepHistory);
    void Fetch(int count);
    void Advance(uint32_t wholeFrames);
    void NotifyRange(DWORD fromByte, DWORD toByte);
    void NotifyStop();
    int MixRun(float* out, int frames);

    const WAVEFORMATEX format;
    const uint8_t* const data;
    const DWORD frameCount;

    SincResampler resampler;
    DWORD cursor = 0;
    // The next frame to stage: ahead of the cursor by what the resampler holds.
    DWORD fetchFrame = 0;
    bool playing = false;
    bool looping = false;

    std::vector<DSBPOSITIONNOTIFY> notifications;
};

} // namespace platform::audio
