#pragma once
// Which libavcodec decoder converts a wave format record, and how its data is cut into packets.

#include "platform/codec/MmReg.h"

extern "C"
{
#include <libavcodec/codec_id.h>
}

#include <cstdint>
#include <vector>

namespace platform::av
{

enum class Packing
{
    // Codecs without blocks: any whole number of nBlockAlign frames per packet.
    Samples,
    // One nBlockAlign block per packet.
    Blocks,
    // One MPEG audio frame per packet, found by its header.
    MpegFrames,
};

struct CodecChoice
{
    AVCodecID codec = AV_CODEC_ID_NONE;
    Packing packing = Packing::Samples;
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint32_t bytesPerSecond = 0;
    std::vector<uint8_t> extradata;
};

// The record is followed by its cbSize extra bytes. False for a format no decoder takes.
bool ChooseCodec(const WAVEFORMATEX& format, CodecChoice& choice);

// Channel counts and rates beyond these are refused rather than given to the decoders. The
// rates are those a sound buffer can play; converting to a rate far below them would build a
// rate converter as long as the ratio is large.
constexpr uint16_t MaxCodecChannels = 8;
constexpr uint32_t MinCodecRate = 100;
constexpr uint32_t MaxCodecRate = 200000;

} // namespace platform::av
