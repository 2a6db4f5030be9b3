#include "music/RhythmSequencer.h"

namespace Pakemino
{

RhythmSequencer::RhythmSequencer(std::shared_ptr<Qorv::Sound::ISoundManager> soundManager,
                                 Clock clockSource)
    : sound(std::move(soundManager)), lastStepTime(clockSource()), clock(clockSource)
{
}

void RhythmSequencer::SetSample(const std::wstring& path, int32_t track)
{
    auto buffer = sound->CreateBuffer();
    if (!path.empty())
    {
        // A sample that fails to open leaves a closed buffer, which ignores its steps.
        (void)buffer->Open(path);
    }
    tracks[track].sample = std::move(buffer);
}

void RhythmSequencer::Update()
{
    // Read as unsigned: a negative interval halts the pattern until it is raised again.
    if (clock() - lastStepTime <= static_cast<uint32_t>(interval))
    {
        return;
    }
    // A fresh reading, not lastStepTime + interval: a late step is not made up.
    lastStepTime = clock();
    Advance();
}

void RhythmSequencer::Advance()
{
    step = (step + 1) % StepCount;
    for (int32_t t = 0; t < TrackCount; ++t)
    {
        if (tracks[t].steps[static_cast<size_t>(step)])
        {
            Strike(t, StepAccents[static_cast<size_t>(step % 4)]);
        }
    }
}

void RhythmSequencer::Strike(int32_t track, float volume)
{
    const auto& sample = tracks[track].sample;
    if (sample)
    {
        sample->Stop();
        sample->SetVolume(volume);
        sample->Play(false);
    }
}

} // namespace Pakemino
