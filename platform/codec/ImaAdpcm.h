#pragma once
// IMA ADPCM as WAVE files hold it (4 bits a sample, mono or stereo, in the fmt chunk's blocks),
// decoded here: opening FFmpeg's libraries for it cost more of the start than decoding does.

#include "platform/codec/CodecChoice.h"

#include <cstdint>
#include <vector>

namespace platform::av
{

bool IsOwnImaAdpcm(const CodecChoice& source);

// One block to interleaved 16-bit PCM, the samples FFmpeg's decoder gives, in pcm. False, and
// nothing, for a block too short for its headers or with a step index beyond the table.
bool DecodeImaAdpcmBlock(const uint8_t* block, uint32_t size, uint16_t channels,
                         std::vector<uint8_t>& pcm);

} // namespace platform::av
