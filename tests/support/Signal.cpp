#include "tests/support/Signal.h"

#include "tests/support/LittleEndian.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace TestSupport
{

std::string SinePcm(double frequency, double rate, int frames, double amplitude, int bits,
                    int channels)
{
    std::string pcm;
    const int bytes = bits / 8;
    pcm.reserve(static_cast<size_t>(frames * bytes * channels));
    const double fullScale = bits == 16 ? 32767.0 : 2147483647.0;
    for (int i = 0; i < frames; ++i)
    {
        const double value = amplitude * std::sin(2.0 * std::numbers::pi * frequency * i / rate);
        const int64_t sample = std::llround(value * fullScale);
        for (int channel = 0; channel < channels; ++channel)
        {
            for (int b = 0; b < bytes; ++b)
            {
                pcm.push_back(static_cast<char>((static_cast<uint64_t>(sample) >> (8 * b)) & 0xFF));
            }
        }
    }
    return pcm;
}

std::string RampPcm(int frames, int divisor)
{
    std::string data;
    for (int i = 0; i < frames; ++i)
    {
        data += Le16(static_cast<uint16_t>(i / divisor));
    }
    return data;
}

int PlayedSample(const std::vector<float>& stereo, size_t frame)
{
    return static_cast<int>(std::lround(stereo[2 * frame] * 32768.0f));
}

std::vector<double> Channel(const std::vector<float>& stereo, int channel, size_t first)
{
    std::vector<double> out;
    for (size_t i = first; i < stereo.size() / 2; ++i)
    {
        out.push_back(stereo[2 * i + static_cast<size_t>(channel)]);
    }
    return out;
}

ToneFit FitTone(const std::vector<double>& signal, double cyclesPerSample)
{
    // Normal equations for a*sin + b*cos + c.
    double ss = 0, sc = 0, cc = 0, s1 = 0, c1 = 0, n = 0, ys = 0, yc = 0, y1 = 0;
    for (size_t i = 0; i < signal.size(); ++i)
    {
        const double angle = 2.0 * std::numbers::pi * cyclesPerSample * static_cast<double>(i);
        const double s = std::sin(angle), c = std::cos(angle), y = signal[i];
        ss += s * s, sc += s * c, cc += c * c, s1 += s, c1 += c, n += 1;
        ys += y * s, yc += y * c, y1 += y;
    }
    const double m[3][3] = {{ss, sc, s1}, {sc, cc, c1}, {s1, c1, n}};
    const double v[3] = {ys, yc, y1};
    auto det3 = [](const double a[3][3])
    {
        return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
               a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
               a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    };
    const double d = det3(m);
    double solution[3];
    for (int k = 0; k < 3; ++k)
    {
        double replaced[3][3];
        std::memcpy(replaced, m, sizeof replaced);
        for (int r = 0; r < 3; ++r)
        {
            replaced[r][k] = v[r];
        }
        solution[k] = det3(replaced) / d;
    }
    double rest = 0;
    for (size_t i = 0; i < signal.size(); ++i)
    {
        const double angle = 2.0 * std::numbers::pi * cyclesPerSample * static_cast<double>(i);
        const double e = signal[i] - (solution[0] * std::sin(angle) +
                                      solution[1] * std::cos(angle) + solution[2]);
        rest += e * e;
    }
    ToneFit fit;
    fit.amplitude = std::hypot(solution[0], solution[1]);
    const double restRms = std::sqrt(rest / static_cast<double>(signal.size()));
    fit.restDb = -Decibels(restRms / (fit.amplitude / std::numbers::sqrt2));
    return fit;
}

double MeasureFrequency(const std::vector<double>& signal)
{
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < signal.size(); ++i)
    {
        if (signal[i - 1] < 0 && signal[i] >= 0)
        {
            const double at =
                static_cast<double>(i - 1) + signal[i - 1] / (signal[i - 1] - signal[i]);
            if (first < 0)
            {
                first = at;
            }
            last = at;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) / (last - first);
}

double RmsOf(const std::vector<double>& signal)
{
    double sum = 0;
    for (double value : signal)
    {
        sum += value * value;
    }
    return signal.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(signal.size()));
}

float Loudest(const std::vector<float>& samples)
{
    float loudest = 0.0f;
    for (float sample : samples)
    {
        loudest = std::max(loudest, std::fabs(sample));
    }
    return loudest;
}

std::vector<float> RawFloats(const std::string& bytes)
{
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

float LoudestOfRaw(const std::string& floats)
{
    return Loudest(RawFloats(floats));
}

double Decibels(double ratio)
{
    return 20.0 * std::log10(ratio);
}

} // namespace TestSupport
