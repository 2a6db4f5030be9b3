#pragma once
// The mixer's resampling kernels: Kaiser-windowed sincs in polyphase tables, one table per
// step of downsampling scale with the cutoff lowered to the output's band. The build computes
// those of the common output rates (SincLevel.h); a slower output computes the rest at start.

#include <cstdint>
#include <vector>

namespace platform::audio
{

class SincTable
{
public:
    // Taps at a scale of 1; a kernel for scale s has this many times s, rounded up to 8.
    static constexpr int BaseTaps = 24;
    static constexpr int PhaseBits = 8;
    static constexpr int Phases = 1 << PhaseBits;
    // Scales are quantised upward, so the cutoff is never above the output's Nyquist frequency.
    static constexpr int ScaleStepsPerOctave = 12;

    struct Kernel
    {
        int taps = 0;
        // Phases rows of 2 * taps floats: the coefficients, then the step to the next row.
        const float* rows = nullptr;
    };

    // Covers source-to-output step ratios up to maxStep.
    explicit SincTable(double maxStep);

    const Kernel& ForStep(double step) const;
    int MaxTaps() const { return maxTaps; }

private:
    std::vector<std::vector<float>> storage;
    std::vector<Kernel> kernels;
    int maxTaps = 0;
};

} // namespace platform::audio
