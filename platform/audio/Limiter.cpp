#include "platform/audio/Limiter.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace platform::audio
{

namespace
{

// Loud frames are brought a millionth under the ceiling, so that rounding in the gain ramp and
// in the product can never carry a sample past it.
constexpr double Target = Limiter::Ceiling * (1.0 - 1e-6);

} // namespace

Limiter::Limiter(DWORD rate)
    : lookahead(std::max<DWORD>(1, static_cast<DWORD>(std::lround(rate * LookaheadSeconds)))),
      window(lookahead + static_cast<uint64_t>(std::lround(rate * HoldSeconds))),
      release(std::exp(-1.0 / (ReleaseSeconds * rate))), delay(size_t{lookahead} * 2, 0.0f),
      needs(window + 2), ramp(lookahead, 1.0), rampSum(lookahead)
{
}

double Limiter::HeldNeed(double need)
{
    // Gains at or above the new one can never be the minimum again while it is in the window.
    while (needCount > 0 && needs[(needFront + needCount - 1) % needs.size()].gain >= need)
    {
        --needCount;
    }
    needs[(needFront + needCount) % needs.size()] = {frame, need};
    ++needCount;
    // The window is this frame and the hold and lookahead frames before it.
    if (needs[needFront].frame + window < frame)
    {
        needFront = (needFront + 1) % needs.size();
        --needCount;
    }
    return needs[needFront].gain;
}

void Limiter::Process(float* stereo, DWORD frames)
{
    for (DWORD i = 0; i < frames; ++i, ++frame)
    {
        float* sample = stereo + size_t{i} * 2;
        const double peak = std::max(std::fabs(sample[0]), std::fabs(sample[1]));
        const double held = HeldNeed(peak > Target ? Target / peak : 1.0);
        envelope = std::min(held, 1.0 - (1.0 - envelope) * release);
        rampSum += envelope - ramp[at];
        ramp[at] = envelope;
        float* delayed = delay.data() + at * 2;
        at = (at + 1) % lookahead;
        if (at == 0)
        {
            // Summed afresh once a window, so no rounding builds up and a full window of 1
            // gives exactly 1.
            rampSum = std::accumulate(ramp.begin(), ramp.end(), 0.0);
        }
        const double gain = std::min(1.0, rampSum / lookahead);
        for (int channel = 0; channel < 2; ++channel)
        {
            const float in = sample[channel];
            sample[channel] = static_cast<float>(delayed[channel] * gain);
            delayed[channel] = in;
        }
    }
}

} // namespace platform::audio
