#pragma once
// Test signals and their measurement: PCM tones to play, and what a mix came out as.

#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport
{

// A sine as little-endian signed PCM of 16 or 32 bits, one channel or the same on two.
std::string SinePcm(double frequency, double rate, int frames, double amplitude, int bits = 16,
                    int channels = 1);
// 16-bit mono whose every sample is its frame number over divisor: what plays shows where it is.
std::string RampPcm(int frames, int divisor = 1);
// The left side of one frame of a mix, as the 16-bit sample that made it.
int PlayedSample(const std::vector<float>& stereo, size_t frame);

// One channel (0 left, 1 right) of interleaved stereo from sample first on.
std::vector<double> Channel(const std::vector<float>& stereo, int channel, size_t first = 0);

struct ToneFit
{
    double amplitude = 0.0;
    // Everything that is not the tone, in dB below it.
    double restDb = 0.0;
};
// Least-squares fit of a sine at a known frequency (cycles per sample).
ToneFit FitTone(const std::vector<double>& signal, double cyclesPerSample);

// From interpolated upward zero crossings, in cycles per sample.
double MeasureFrequency(const std::vector<double>& signal);

double RmsOf(const std::vector<double>& signal);
// Raw native floats, as SDL's disk driver and parec write them.
std::vector<float> RawFloats(const std::string& bytes);
// The largest magnitude of any sample; of raw native floats.
float Loudest(const std::vector<float>& samples);
float LoudestOfRaw(const std::string& floats);
double Decibels(double ratio);

} // namespace TestSupport
