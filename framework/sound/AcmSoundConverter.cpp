#include "framework/sound/AcmSoundConverter.h"

namespace Qorv::Sound
{

namespace
{

// The compression manager takes its records through non-const pointers but never writes a source.
LPWAVEFORMATEX SourceRecord(const std::vector<uint8_t>& sourceFormat)
{
    return reinterpret_cast<LPWAVEFORMATEX>(const_cast<uint8_t*>(sourceFormat.data()));
}

} // namespace

bool AcmSoundConverter::SuggestPcmImpl(const std::vector<uint8_t>& sourceFormat,
                                       WAVEFORMATEX& pcmFormat)
{
    if (sourceFormat.size() < sizeof(WAVEFORMATEX))
    {
        return false;
    }
    return acmFormatSuggest(nullptr, SourceRecord(sourceFormat), &pcmFormat, sizeof(WAVEFORMATEX),
                            ACM_FORMATSUGGESTF_WFORMATTAG) == MMSYSERR_NOERROR;
}

bool AcmSoundConverter::OpenStreamImpl(const std::vector<uint8_t>& sourceFormat,
                                       const WAVEFORMATEX& pcmFormat)
{
    if (sourceFormat.size() < sizeof(WAVEFORMATEX))
    {
        return false;
    }
    WAVEFORMATEX destination = pcmFormat;
    return acmStreamOpen(&stream, nullptr, SourceRecord(sourceFormat), &destination, nullptr, 0, 0,
                         ACM_STREAMOPENF_NONREALTIME) == MMSYSERR_NOERROR;
}

void AcmSoundConverter::CloseStreamImpl()
{
    acmStreamClose(stream, 0);
    stream = nullptr;
}

bool AcmSoundConverter::ConvertImpl(const uint8_t* src, uint32_t srcLength, uint8_t* dst,
                                    uint32_t dstLength, uint32_t& srcUsed, uint32_t& dstUsed)
{
    ACMSTREAMHEADER header{};
    header.cbStruct = sizeof(ACMSTREAMHEADER);
    header.pbSrc = const_cast<uint8_t*>(src);
    header.cbSrcLength = srcLength;
    header.pbDst = dst;
    header.cbDstLength = dstLength;
    if (acmStreamPrepareHeader(stream, &header, 0) != MMSYSERR_NOERROR)
    {
        return false;
    }
    const bool converted =
        acmStreamConvert(stream, &header, ACM_STREAMCONVERTF_BLOCKALIGN) == MMSYSERR_NOERROR;
    acmStreamUnprepareHeader(stream, &header, 0);
    srcUsed = header.cbSrcLengthUsed;
    dstUsed = header.cbDstLengthUsed;
    return converted;
}

std::shared_ptr<ISoundConverter> CreateAcmSoundConverter()
{
    return std::make_shared<AcmSoundConverter>();
}

} // namespace Qorv::Sound
