#include "platform/codec/MpegFrame.h"

namespace platform::av
{

namespace
{

// kbit/s by bitrate index, ISO/IEC 11172-3 (MPEG-1) and 13818-3 (MPEG-2 and 2.5).
constexpr uint16_t Mpeg1Bitrates[3][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
};
constexpr uint16_t Mpeg2Bitrates[2][15] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
constexpr uint32_t SampleRates[3][3] = {
    {44100, 48000, 32000},
    {22050, 24000, 16000},
    {11025, 12000, 8000},
};

} // namespace

bool DecodeMpegHeader(const uint8_t h[4], MpegHeader& fields)
{
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0)
    {
        return false;
    }
    const int versionBits = (h[1] >> 3) & 3;
    const int layerBits = (h[1] >> 1) & 3;
    const int bitrateIndex = h[2] >> 4;
    const int rateIndex = (h[2] >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 15 || rateIndex == 3)
    {
        return false;
    }
    fields.mpeg1 = versionBits == 3;
    fields.layer = 4 - layerBits;
    fields.bitrateKbps = fields.mpeg1 ? Mpeg1Bitrates[fields.layer - 1][bitrateIndex]
                                      : Mpeg2Bitrates[fields.layer == 1 ? 0 : 1][bitrateIndex];
    fields.sampleRate = SampleRates[fields.mpeg1 ? 0 : versionBits == 2 ? 1 : 2][rateIndex];
    fields.padding = (h[2] >> 1) & 1;
    fields.channels = (h[3] & 0xC0) == 0xC0 ? 1 : 2;
    return true;
}

bool ReadMpegFrameHeader(const uint8_t h[4], MpegFrame& frame)
{
    MpegHeader fields;
    if (!DecodeMpegHeader(h, fields) || fields.bitrateKbps == 0)
    {
        return false;
    }
    const uint32_t bitrate = 1000u * fields.bitrateKbps;
    const uint32_t rate = fields.sampleRate;
    if (fields.layer == 1)
    {
        frame = {(12 * bitrate / rate + fields.padding) * 4, 384};
    }
    else if (fields.layer == 2 || fields.mpeg1)
    {
        frame = {144 * bitrate / rate + fields.padding, 1152};
    }
    else
    {
        frame = {72 * bitrate / rate + fields.padding, 576};
    }
    return true;
}

} // namespace platform::av
