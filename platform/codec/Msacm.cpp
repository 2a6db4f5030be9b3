#include "platform/codec/Msacm.h"

#include "platform/codec/CodecChoice.h"
#include "platform/codec/ConversionStream.h"

#include <memory>
#include <new>

struct HACMSTREAM__
{
    platform::av::ConversionStream stream;
};

namespace
{

bool IsPlayablePcm(const WAVEFORMATEX& format)
{
    return format.wFormatTag == WAVE_FORMAT_PCM && format.wBitsPerSample == 16 &&
           format.nChannels >= 1 && format.nChannels <= platform::av::MaxCodecChannels &&
           format.nSamplesPerSec >= platform::av::MinCodecRate &&
           format.nSamplesPerSec <= platform::av::MaxCodecRate &&
           format.nBlockAlign == 2 * format.nChannels &&
           format.nAvgBytesPerSec == format.nSamplesPerSec * format.nBlockAlign;
}

} // namespace

MMRESULT acmFormatSuggest(HACMDRIVER had, LPWAVEFORMATEX pwfxSrc, LPWAVEFORMATEX pwfxDst,
                          DWORD cbwfxDst, DWORD fdwSuggest)
{
    if (had != nullptr || pwfxSrc == nullptr || pwfxDst == nullptr ||
        cbwfxDst < sizeof(WAVEFORMATEX))
    {
        return MMSYSERR_INVALPARAM;
    }
    if ((fdwSuggest & ~ACM_FORMATSUGGESTF_WFORMATTAG) != 0)
    {
        return MMSYSERR_INVALFLAG;
    }
    if ((fdwSuggest & ACM_FORMATSUGGESTF_WFORMATTAG) != 0 && pwfxDst->wFormatTag != WAVE_FORMAT_PCM)
    {
        return ACMERR_NOTPOSSIBLE;
    }
    platform::av::CodecChoice choice;
    if (!platform::av::ChooseCodec(*pwfxSrc, choice))
    {
        return ACMERR_NOTPOSSIBLE;
    }
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = choice.channels;
    pcm.nSamplesPerSec = choice.rate;
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = static_cast<uint16_t>(2 * choice.channels);
    pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
    pcm.cbSize = 0;
    *pwfxDst = pcm;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamOpen(LPHACMSTREAM phas, HACMDRIVER had, LPWAVEFORMATEX pwfxSrc,
                       LPWAVEFORMATEX pwfxDst, LPWAVEFILTER pwfltr, DWORD_PTR dwCallback,
                       DWORD_PTR dwInstance, DWORD fdwOpen)
{
    if (phas != nullptr)
    {
        *phas = nullptr;
    }
    if (phas == nullptr || had != nullptr || pwfxSrc == nullptr || pwfxDst == nullptr ||
        pwfltr != nullptr || dwCallback != 0 || dwInstance != 0)
    {
        return MMSYSERR_INVALPARAM;
    }
    if ((fdwOpen & ~ACM_STREAMOPENF_NONREALTIME) != 0)
    {
        return MMSYSERR_INVALFLAG;
    }
    platform::av::CodecChoice choice;
    if (!platform::av::ChooseCodec(*pwfxSrc, choice) || !IsPlayablePcm(*pwfxDst))
    {
        return ACMERR_NOTPOSSIBLE;
    }
    auto handle = std::unique_ptr<HACMSTREAM__>(new (std::nothrow) HACMSTREAM__);
    if (!handle)
    {
        return MMSYSERR_NOMEM;
    }
    if (!handle->stream.Open(choice, *pwfxDst))
    {
        return ACMERR_NOTPOSSIBLE;
    }
    *phas = handle.release();
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamPrepareHeader(HACMSTREAM has, LPACMSTREAMHEADER pash, DWORD fdwPrepare)
{
    if (has == nullptr)
    {
        return MMSYSERR_INVALHANDLE;
    }
    if (pash == nullptr || pash->cbStruct < sizeof(ACMSTREAMHEADER) || pash->pbSrc == nullptr ||
        pash->pbDst == nullptr)
    {
        return MMSYSERR_INVALPARAM;
    }
    if (fdwPrepare != 0)
    {
        return MMSYSERR_INVALFLAG;
    }
    pash->fdwStatus |= ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamConvert(HACMSTREAM has, LPACMSTREAMHEADER pash, DWORD fdwConvert)
{
    if (has == nullptr)
    {
        return MMSYSERR_INVALHANDLE;
    }
    if (pash == nullptr || pash->cbStruct < sizeof(ACMSTREAMHEADER))
    {
        return MMSYSERR_INVALPARAM;
    }
    if ((pash->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) == 0)
    {
        return ACMERR_UNPREPARED;
    }
    if ((fdwConvert & ~ACM_STREAMCONVERTF_BLOCKALIGN) != 0)
    {
        return MMSYSERR_INVALFLAG;
    }
    pash->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_DONE;
    uint32_t srcUsed = 0;
    uint32_t dstUsed = 0;
    const bool converted = has->stream.Convert(pash->pbSrc, pash->cbSrcLength, pash->pbDst,
                                               pash->cbDstLength, srcUsed, dstUsed);
    pash->cbSrcLengthUsed = srcUsed;
    pash->cbDstLengthUsed = dstUsed;
    pash->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
    return converted ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

MMRESULT acmStreamUnprepareHeader(HACMSTREAM has, LPACMSTREAMHEADER pash, DWORD fdwUnprepare)
{
    if (has == nullptr)
    {
        return MMSYSERR_INVALHANDLE;
    }
    if (pash == nullptr || pash->cbStruct < sizeof(ACMSTREAMHEADER))
    {
        return MMSYSERR_INVALPARAM;
    }
    if (fdwUnprepare != 0)
    {
        return MMSYSERR_INVALFLAG;
    }
    if ((pash->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) == 0)
    {
        return ACMERR_UNPREPARED;
    }
    pash->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamClose(HACMSTREAM has, DWORD fdwClose)
{
    if (has == nullptr)
    {
        return MMSYSERR_INVALHANDLE;
    }
    if (fdwClose != 0)
    {
        return MMSYSERR_INVALFLAG;
    }
    delete has;
    return MMSYSERR_NOERROR;
}
