#pragma once
// The mixer's master limiter: a lookahead peak limiter on interleaved stereo that keeps every
// sample at or under Ceiling and leaves anything quieter untouched, only delayed.

#include "platform/window/Win32.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::audio
{

class Limiter
{
public:
    // -1 dBFS: headroom for the sound server's own resampling and for lossy takes.
    static constexpr float Ceiling = 0.89125094f;
    static constexpr double LookaheadSeconds = 0.0015;
    // The gain a peak needs is held this long before it releases: the peaks of a tone down to
    // 50 Hz come again within it, so a steady low note is not modulated by the release.
    static constexpr double HoldSeconds = 0.01;
    static constexpr double ReleaseSeconds = 0.08;

    explicit Limiter(DWORD rate);

    // Limits frames in place. The output lags the input by LookaheadFrames.
    void Process(float* stereo, DWORD frames);
    DWORD LookaheadFrames() const { return lookahead; }

private:
    struct Need
    {
        uint64_t frame;
        double gain;
    };

    double HeldNeed(double need);

    const DWORD lookahead;
    const uint64_t window;
    const double release;
    uint64_t frame = 0;
    // The input, lookahead frames back.
    std::vector<float> delay;
    // The smallest gain needed by any frame from a hold and a lookahead back to this one: a
    // ring of increasing gains, the front the window's minimum.
    std::vector<Need> needs;
    size_t needFront = 0, needCount = 0;
    // The released envelope, averaged over the lookahead so the gain falls in a smooth ramp
    // that is complete by the time the loud frame comes out.
    double envelope = 1.0;
    std::vector<double> ramp;
    double rampSum;
    size_t at = 0;
};

} // namespace platform::audio
