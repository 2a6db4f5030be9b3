#pragma once
// One buffer's playback inside the mixer: play cursor, rate, gains and the band-limited
// resampler that reads the buffer's PCM ahead of the cursor. Called under the mixer's lock.

#include "platform/audio/DSound.h"
#include "platform/audio/SincTable.h"

#include <cstdint>
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
    DWORD PlayCursor() const;
    DWORD WriteCursor() const;

    void SetFrequency(DWORD hz);
    void SetGains(float left, float right);
    // Offsets must be below the buffer's size or DSBPN_OFFSETSTOP; the vector is taken as is.
    void SetNotifications(std::vector<DSBPOSITIONNOTIFY> positions);

    // Adds frames of stereo output to out.
    void Mix(float* out, int frames);

private:
    // Frames a run may advance past what the widest kernel needs around the cursor.
    static constexpr int StageFrames = 2048;
    // Gain changes while playing glide over this many output frames instead of clicking.
    static constexpr int RampFrames = 64;

    void ResetStage(bool keepHistory);
    void Fetch(int count);
    void ConvertFrames(DWORD first, int count, int at);
    void Advance(uint32_t wholeFrames);
    void NotifyRange(DWORD fromByte, DWORD toByte);
    void NotifyStop();
    int MixRun(float* out, int frames);
    template <int Channels> void Resample(float* out, int frames);

    const WAVEFORMATEX format;
    const uint8_t* const data;
    const DWORD frameCount;
    const SincTable& table;
    const DWORD outputRate;
    const int history;
    // The widest kernels grow as the output rate falls: a fixed stage would overrun.
    const int stageFrames;

    const SincTable::Kernel* kernel = nullptr;
    uint64_t step = 0;
    uint32_t phase = 0;
    DWORD cursor = 0;
    DWORD fetchFrame = 0;
    bool playing = false;
    bool looping = false;

    float gainLeft = 1.0f, gainRight = 1.0f;
    float targetLeft = 1.0f, targetRight = 1.0f;
    int rampLeft = 0;

    // Planar float PCM: entry history is the frame under the cursor.
    std::vector<float> stage[2];
    int staged = 0;

    std::vector<DSBPOSITIONNOTIFY> notifications;
};

} // namespace platform::audio
