#pragma once
// The drum machine: nine sample tracks of 16 steps, walked at `interval` milliseconds a step
// with accents 100/60/80/60.

#include "framework/sound/ISoundBuffer.h"
#include "framework/sound/ISoundManager.h"
#include "music/Clock.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace Pakemino
{

inline constexpr int32_t StepCount = 16;

struct RhythmTrack
{
    std::shared_ptr<Qorv::Sound::ISoundBuffer> sample;
    std::array<bool, StepCount> steps{};
};

inline constexpr std::array<float, 4> StepAccents = {100.0f, 60.0f, 80.0f, 60.0f};
inline constexpr int32_t TrackCount = 9;

class RhythmSequencer
{
public:
    explicit RhythmSequencer(std::shared_ptr<Qorv::Sound::ISoundManager> sound,
                             Clock clock = timeGetTime);

    void SetSample(const std::wstring& path, int32_t track);
    void Update();
    // The next step, played now, whatever the time: Update's own interval or an outside clock.
    void Advance();
    // The track's sample from its start at volume per cent, as a step or a drum pad plays it.
    void Strike(int32_t track, float volume);

    std::shared_ptr<Qorv::Sound::ISoundManager> sound;
    int32_t step = 0;
    uint32_t lastStepTime;
    int32_t interval = 100;
    std::map<int32_t, RhythmTrack> tracks;

private:
    Clock clock;
};

} // namespace Pakemino
