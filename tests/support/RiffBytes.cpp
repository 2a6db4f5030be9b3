#include "tests/support/RiffBytes.h"

namespace TestSupport
{

std::string Chunk(std::string_view tag, std::string_view body)
{
    std::string chunk = std::string(tag) + Le32(static_cast<uint32_t>(body.size()));
    chunk += body;
    if (body.size() % 2 != 0)
    {
        chunk += '\0';
    }
    return chunk;
}

std::string FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t avg, uint16_t block,
                       uint16_t bits)
{
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(avg) + Le16(block) + Le16(bits);
}

std::string Riff(std::string_view chunks)
{
    return "RIFF" + Le32(static_cast<uint32_t>(chunks.size() + 4)) + "WAVE" + std::string(chunks);
}

std::string PcmWave(uint16_t channels, uint32_t rate, std::string_view data)
{
    const uint16_t block = static_cast<uint16_t>(2 * channels);
    return Riff(Chunk("fmt ", FormatBody(1, channels, rate, rate * block, block, 16)) +
                Chunk("data", data));
}

} // namespace TestSupport
