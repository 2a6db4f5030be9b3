#include "platform/codec/CodecChoice.h"

#include <cstring>

namespace platform::av
{

namespace
{

constexpr uint16_t ExtensibleExtraBytes = 22;
// A registered sub-format GUID is its format tag followed by these bytes.
constexpr uint8_t SubFormatTemplate[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

AVCodecID PcmCodec(uint16_t bits)
{
    switch (bits)
    {
    case 8:
        return AV_CODEC_ID_PCM_U8;
    case 16:
        return AV_CODEC_ID_PCM_S16LE;
    case 24:
        return AV_CODEC_ID_PCM_S24LE;
    case 32:
        return AV_CODEC_ID_PCM_S32LE;
    default:
        return AV_CODEC_ID_NONE;
    }
}

AVCodecID FloatCodec(uint16_t bits)
{
    switch (bits)
    {
    case 32:
        return AV_CODEC_ID_PCM_F32LE;
    case 64:
        return AV_CODEC_ID_PCM_F64LE;
    default:
        return AV_CODEC_ID_NONE;
    }
}

bool ChooseForTag(uint16_t tag, const WAVEFORMATEX& format, CodecChoice& choice)
{
    choice.packing = Packing::Blocks;
    switch (tag)
    {
    case WAVE_FORMAT_PCM:
        choice.codec = PcmCodec(format.wBitsPerSample);
        choice.packing = Packing::Samples;
        break;
    case WAVE_FORMAT_IEEE_FLOAT:
        choice.codec = FloatCodec(format.wBitsPerSample);
        choice.packing = Packing::Samples;
        break;
    case WAVE_FORMAT_ALAW:
        choice.codec = AV_CODEC_ID_PCM_ALAW;
        choice.packing = Packing::Samples;
        break;
    case WAVE_FORMAT_MULAW:
        choice.codec = AV_CODEC_ID_PCM_MULAW;
        choice.packing = Packing::Samples;
        break;
    case WAVE_FORMAT_ADPCM:
        choice.codec = AV_CODEC_ID_ADPCM_MS;
        break;
    case WAVE_FORMAT_IMA_ADPCM:
        choice.codec = AV_CODEC_ID_ADPCM_IMA_WAV;
        break;
    case WAVE_FORMAT_GSM610:
        choice.codec = AV_CODEC_ID_GSM_MS;
        break;
    case WAVE_FORMAT_MPEG:
        choice.codec = AV_CODEC_ID_MP2;
        choice.packing = Packing::MpegFrames;
        break;
    case WAVE_FORMAT_MPEGLAYER3:
        choice.codec = AV_CODEC_ID_MP3;
        choice.packing = Packing::MpegFrames;
        break;
    default:
        return false;
    }
    if (choice.codec == AV_CODEC_ID_NONE)
    {
        return false;
    }
    // Sample codecs take frames of exactly one sample per channel; anything else would misalign.
    return choice.packing != Packing::Samples ||
           uint32_t{format.nChannels} * format.wBitsPerSample == 8u * format.nBlockAlign;
}

} // namespace

bool ChooseCodec(const WAVEFORMATEX& format, CodecChoice& choice)
{
    choice = CodecChoice{};
    if (format.nChannels == 0 || format.nChannels > MaxCodecChannels ||
        format.nSamplesPerSec < MinCodecRate || format.nSamplesPerSec > MaxCodecRate ||
        format.nBlockAlign == 0)
    {
        return false;
    }
    const auto* extra = reinterpret_cast<const uint8_t*>(&format) + sizeof(WAVEFORMATEX);
    uint16_t tag = format.wFormatTag;
    if (tag == WAVE_FORMAT_EXTENSIBLE)
    {
        if (format.cbSize < ExtensibleExtraBytes)
        {
            return false;
        }
        const uint8_t* subFormat = extra + 6;
        if (std::memcmp(subFormat + 2, SubFormatTemplate, sizeof(SubFormatTemplate)) != 0)
        {
            return false;
        }
        tag = static_cast<uint16_t>(subFormat[0] | (subFormat[1] << 8));
        if (tag == WAVE_FORMAT_EXTENSIBLE)
        {
            return false;
        }
    }
    else
    {
        choice.extradata.assign(extra, extra + format.cbSize);
    }
    if (!ChooseForTag(tag, format, choice))
    {
        return false;
    }
    choice.channels = format.nChannels;
    choice.rate = format.nSamplesPerSec;
    choice.blockAlign = format.nBlockAlign;
    choice.bitsPerSample = format.wBitsPerSample;
    choice.bytesPerSecond = format.nAvgBytesPerSec;
    return true;
}

} // namespace platform::av
