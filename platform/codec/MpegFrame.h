#pragma once
// Length and sample count of one MPEG audio frame from its 4-byte header, for feeding the
// decoder whole frames.

#include <cstdint>

struct MpegFrame
{
    uint32_t bytes = 0;
    uint32_t samples = 0;
};

// False for no valid header, and for free-format frames, whose length the header does not give.
bool ReadMpegFrameHeader(const uint8_t header[4], MpegFrame& frame);
