#include "platform/audio/Mixer.h"

#include "platform/audio/Voice.h"

#include <algorithm>

namespace platform::audio
{

Mixer::Mixer(DWORD outputRate, bool limited)
    : outputRate(outputRate),
      table(static_cast<double>(DSBFREQUENCY_MAX) / static_cast<double>(outputRate)),
      limited(limited), limiter(outputRate)
{
}

void Mixer::Add(Voice* voice)
{
    voices.push_back(voice);
}

void Mixer::Remove(Voice* voice)
{
    voices.erase(std::remove(voices.begin(), voices.end(), voice), voices.end());
}

void Mixer::Render(float* out, DWORD frames)
{
    std::fill_n(out, static_cast<size_t>(frames) * 2u, 0.0f);
    while (frames > 0)
    {
        const DWORD period = std::min(frames, PeriodFrames);
        {
            std::lock_guard<std::mutex> hold(lock);
            for (Voice* voice : voices)
            {
                voice->Mix(out, static_cast<int>(period));
            }
        }
        // Outside the lock: only Render's one caller touches the limiter.
        if (limited)
        {
            limiter.Process(out, period);
        }
        out += static_cast<size_t>(period) * 2u;
        frames -= period;
    }
}

} // namespace platform::audio
