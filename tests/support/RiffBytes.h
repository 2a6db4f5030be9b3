#pragma once
// Builds RIFF WAVE files byte by byte, so tests can make exactly the layout they need.

#include "tests/support/LittleEndian.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace TestSupport
{

// Tag, 32-bit size of the body, body (with the pad byte an odd body needs).
std::string Chunk(std::string_view tag, std::string_view body);
// The 16 bytes of a format chunk's body: tag, channels, rate, average rate, block, bits.
std::string FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t avg, uint16_t block,
                       uint16_t bits);
// "RIFF", size, "WAVE" and the chunks.
std::string Riff(std::string_view chunks);
// A 16-bit PCM WAVE file of the given samples.
std::string PcmWave(uint16_t channels, uint32_t rate, std::string_view data);

} // namespace TestSupport
