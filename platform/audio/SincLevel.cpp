#include "platform/audio/SincLevel.h"

#include "platform/audio/SincTable.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::audio
{

namespace
{

// Kaiser's beta for about 100 dB in the stopband.
constexpr double KaiserBeta = 9.6;

double BesselI0(double x)
{
    double sum = 1.0;
    double term = 1.0;
    const double quarterSquare = x * x / 4.0;
    for (int k = 1; k < 64 && term > sum * 1e-17; ++k)
    {
        term *= quarterSquare / (static_cast<double>(k) * k);
        sum += term;
    }
    return sum;
}

double Sinc(double x)
{
    if (std::fabs(x) < 1e-12)
    {
        return 1.0;
    }
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

} // namespace

int SincScaleLevel(double scale)
{
    if (scale <= 1.0)
    {
        return 0;
    }
    // A hair below each step keeps exact scales (2.0) on their own table.
    return static_cast<int>(std::ceil(std::log2(scale) * SincTable::ScaleStepsPerOctave - 1e-9));
}

int SincTaps(int level)
{
    const double scale = std::exp2(static_cast<double>(level) / SincTable::ScaleStepsPerOctave);
    return (static_cast<int>(std::ceil(SincTable::BaseTaps * scale)) + 7) & ~7;
}

std::vector<float> BuildSincLevel(int level)
{
    const double scale = std::exp2(static_cast<double>(level) / SincTable::ScaleStepsPerOctave);
    const double windowNorm = BesselI0(KaiserBeta);
    const int taps = SincTaps(level);
    const double half = taps / 2.0;
    std::vector<double> rows(static_cast<size_t>(SincTable::Phases + 1) *
                             static_cast<size_t>(taps));
    const auto rowOf = [&](int phase)
    {
        return &rows[static_cast<size_t>(phase) * static_cast<size_t>(taps)];
    };
    for (int phase = 0; phase <= SincTable::Phases; ++phase)
    {
        double* row = rowOf(phase);
        // The window and the sinc are even, so a phase past the middle is an earlier one
        // reversed, to the last bit: half the window's Bessel sums are saved.
        if (2 * phase > SincTable::Phases)
        {
            const double* mirror = rowOf(SincTable::Phases - phase);
            std::reverse_copy(mirror, mirror + taps, row);
            continue;
        }
        const double offset = static_cast<double>(phase) / SincTable::Phases;
        for (int tap = 0; tap < taps; ++tap)
        {
            const double x = (tap - (taps / 2 - 1)) - offset;
            const double u = x / half;
            const double window = std::fabs(u) >= 1.0
                                      ? 0.0
                                      : BesselI0(KaiserBeta * std::sqrt(1.0 - u * u)) / windowNorm;
            row[tap] = Sinc(x / scale) / scale * window;
        }
    }
    for (int phase = 0; phase <= SincTable::Phases; ++phase)
    {
        double* row = rowOf(phase);
        double sum = 0.0;
        for (int tap = 0; tap < taps; ++tap)
        {
            sum += row[tap];
        }
        // Unit gain at DC for every phase, so a constant stays a constant.
        for (int tap = 0; tap < taps; ++tap)
        {
            row[tap] /= sum;
        }
    }
    std::vector<float> packed(static_cast<size_t>(SincTable::Phases) * 2u *
                              static_cast<size_t>(taps));
    for (int phase = 0; phase < SincTable::Phases; ++phase)
    {
        const double* row = &rows[static_cast<size_t>(phase) * static_cast<size_t>(taps)];
        const double* next = row + taps;
        float* out = &packed[static_cast<size_t>(phase) * 2u * static_cast<size_t>(taps)];
        for (int tap = 0; tap < taps; ++tap)
        {
            out[tap] = static_cast<float>(row[tap]);
            out[taps + tap] = static_cast<float>(next[tap] - row[tap]);
        }
    }
    return packed;
}

} // namespace platform::audio
