#pragma once
// The fields of an MPEG audio frame header, and the length and sample count of the frame, for
// describing a stream and for feeding the decoder whole frames.

#include <cstdint>

namespace platform::av
{

struct MpegHeader
{
    bool mpeg1 = false;
    int layer = 0;            // 1, 2 or 3
    uint32_t bitrateKbps = 0; // 0 for free format
    uint32_t sampleRate = 0;
    uint32_t padding = 0; // 1 when the frame carries the padding slot
    uint16_t channels = 0;
};

struct MpegFrame
{
    uint32_t bytes = 0;
    uint32_t samples = 0;
};

// False when the four bytes are not a valid frame header; free format (bitrate 0) is valid.
bool DecodeMpegHeader(const uint8_t header[4], MpegHeader& fields);

// False for no valid header, and for free-format frames, whose length the header does not give.
bool ReadMpegFrameHeader(const uint8_t header[4], MpegFrame& frame);

} // namespace platform::av
