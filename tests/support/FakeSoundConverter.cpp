#include "tests/support/FakeSoundConverter.h"

#include <cstring>

namespace TestSupport
{

std::vector<uint8_t> FakeSoundConverter::SourceFormat()
{
    WAVEFORMATEX format{};
    format.wFormatTag = 0x2000;
    format.nChannels = 1;
    format.nSamplesPerSec = 100;
    format.nAvgBytesPerSec = SourceBytesPerSecond;
    format.nBlockAlign = BlockBytes;
    std::vector<uint8_t> bytes(sizeof(format));
    std::memcpy(bytes.data(), &format, sizeof(format));
    return bytes;
}

bool FakeSoundConverter::SuggestPcmImpl(const std::vector<uint8_t>&, WAVEFORMATEX& pcmFormat)
{
    if (failSuggest)
    {
        return false;
    }
    pcmFormat.wFormatTag = WAVE_FORMAT_PCM;
    pcmFormat.nChannels = 1;
    pcmFormat.nSamplesPerSec = 100;
    pcmFormat.nAvgBytesPerSec = PcmBytesPerSecond;
    pcmFormat.nBlockAlign = 2;
    pcmFormat.wBitsPerSample = 16;
    return true;
}

bool FakeSoundConverter::OpenStreamImpl(const std::vector<uint8_t>&, const WAVEFORMATEX&)
{
    ++streamsOpened;
    return true;
}

bool FakeSoundConverter::ConvertImpl(const uint8_t* src, uint32_t srcLength, uint8_t* dst,
                                     uint32_t dstLength, uint32_t& srcUsed, uint32_t& dstUsed)
{
    convertedInputSizes.push_back(srcLength);
    if (failNextConvert)
    {
        failNextConvert = false;
        return false;
    }
    while (srcLength - srcUsed >= BlockBytes && dstLength - dstUsed >= 2 * BlockBytes)
    {
        for (uint32_t i = 0; i < BlockBytes; ++i)
        {
            dst[dstUsed++] = src[srcUsed];
            dst[dstUsed++] = src[srcUsed++];
        }
    }
    return true;
}

} // namespace TestSupport
