#include "platform/codec/ImaAdpcm.h"

#include <algorithm>

namespace platform::av
{

namespace
{

constexpr int MaxStepIndex = 88;

constexpr int16_t StepSizes[MaxStepIndex + 1] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

constexpr int StepIndexMoves[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

struct ChannelState
{
    int predictor = 0;
    int stepIndex = 0;
};

int16_t Expand(ChannelState& state, int nibble)
{
    // (magnitude + 1/2) steps over 4, rounded down once: FFmpeg's arithmetic, finer than the
    // reference's sum of three separately shifted steps.
    const int difference = ((2 * (nibble & 7) + 1) * StepSizes[state.stepIndex]) >> 3;
    state.predictor =
        std::clamp((nibble & 8) != 0 ? state.predictor - difference : state.predictor + difference,
                   -32768, 32767);
    state.stepIndex = std::clamp(state.stepIndex + StepIndexMoves[nibble & 7], 0, MaxStepIndex);
    return static_cast<int16_t>(state.predictor);
}

void Put(std::vector<uint8_t>& pcm, size_t sample, int16_t value)
{
    pcm[2 * sample] = static_cast<uint8_t>(value & 0xFF);
    pcm[2 * sample + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

} // namespace

bool IsOwnImaAdpcm(const CodecChoice& source)
{
    return source.codec == AV_CODEC_ID_ADPCM_IMA_WAV && source.bitsPerSample == 4 &&
           source.channels >= 1 && source.channels <= 2;
}

bool DecodeImaAdpcmBlock(const uint8_t* block, uint32_t size, uint16_t channels,
                         std::vector<uint8_t>& pcm)
{
    pcm.clear();
    // Each channel's header is a 4-byte group, and so are its next eight nibbles; the
    // channels take turns group by group. Bytes short of a whole turn are not read.
    const uint32_t group = 4u * channels;
    if (size < group)
    {
        return false;
    }
    const uint32_t turns = (size - group) / group;
    ChannelState states[2];
    for (uint16_t channel = 0; channel < channels; ++channel)
    {
        const uint8_t* header = block + 4 * channel;
        // The step index and the reserved byte after it are read as one word: a block where
        // that is not an index is damaged.
        const int stepWord = header[2] | (header[3] << 8);
        if (stepWord > MaxStepIndex)
        {
            return false;
        }
        states[channel] = {static_cast<int16_t>(header[0] | (header[1] << 8)), stepWord};
    }
    pcm.resize(size_t{2} * channels * (1 + 8 * turns));
    for (uint16_t channel = 0; channel < channels; ++channel)
    {
        Put(pcm, channel, static_cast<int16_t>(states[channel].predictor));
    }
    const uint8_t* data = block + group;
    for (uint32_t turn = 0; turn < turns; ++turn)
    {
        for (uint16_t channel = 0; channel < channels; ++channel)
        {
            for (uint32_t pair = 0; pair < 4; ++pair)
            {
                const uint8_t byte = *data++;
                const size_t frame = 1 + 8 * size_t{turn} + 2 * pair;
                Put(pcm, frame * channels + channel, Expand(states[channel], byte & 0x0F));
                Put(pcm, (frame + 1) * channels + channel, Expand(states[channel], byte >> 4));
            }
        }
    }
    return true;
}

} // namespace platform::av
