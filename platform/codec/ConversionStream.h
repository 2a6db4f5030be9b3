#pragma once
// One conversion stream: a libavcodec decoder fed whole blocks or frames, and libswresample
// turning what it decodes into interleaved signed 16-bit PCM of the destination format; or,
// for IMA ADPCM at its own rate and channels, our own decoder and no FFmpeg at all.

#include "platform/codec/CodecChoice.h"

#include <cstdint>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace platform::av
{

struct AvLibraries;

class ConversionStream
{
public:
    ConversionStream() = default;
    ConversionStream(const ConversionStream&) = delete;
    ConversionStream& operator=(const ConversionStream&) = delete;
    ~ConversionStream();

    [[nodiscard]] bool Open(const CodecChoice& source, const WAVEFORMATEX& destination);
    // Takes only whole source units and never writes more than dstLength bytes. False only
    // when the decoder fails for want of resources; undecodable units are skipped.
    bool Convert(const uint8_t* src, uint32_t srcLength, uint8_t* dst, uint32_t dstLength,
                 uint32_t& srcUsed, uint32_t& dstUsed);

private:
    // Bytes of the next whole unit at src, 0 when none is complete; skip is set for junk.
    uint32_t NextUnit(const uint8_t* src, uint32_t available, uint32_t room, bool& skip,
                      uint32_t& expectedBytes) const;
    bool Decode(const uint8_t* unit, uint32_t size, uint8_t* dst, uint32_t room, uint32_t& written);
    bool DecodeWithAv(const uint8_t* unit, uint32_t size, uint8_t* dst, uint32_t room,
                      uint32_t& written);
    // The first bytes of overflow to dst, as many as fit in room, the rest to carry.
    uint32_t Deliver(uint32_t bytes, uint8_t* dst, uint32_t room);
    bool Resample(const AVFrame& decoded, uint8_t* dst, uint32_t room, uint32_t& written);
    bool ConfigureResampler(const AVFrame& decoded);

    bool decodesHere = false;
    const AvLibraries* av = nullptr;
    CodecChoice source;
    WAVEFORMATEX destination{};
    AVCodecContext* decoder = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwrContext* resampler = nullptr;
    int resamplerRate = 0;
    int resamplerChannels = 0;
    int resamplerFormat = -1;
    std::vector<uint8_t> packetBuffer;
    // Decoded PCM that did not fit the caller's buffer, delivered first next time.
    std::vector<uint8_t> carry;
    std::vector<uint8_t> overflow;
    // Most PCM bytes one unit has produced: a unit is only fed when that much room is left.
    uint32_t largestUnitOutput = 0;
};

} // namespace platform::av
