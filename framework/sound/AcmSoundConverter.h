#pragma once
// The converter behind every converting state: the platform's Audio Compression Manager.

#include "framework/sound/ISoundConverter.h"
#include "platform/codec/Msacm.h"

namespace Qorv::Sound
{

class AcmSoundConverter : public ISoundConverter
{
public:
    ~AcmSoundConverter() override { CloseStream(); }

protected:
    bool SuggestPcmImpl(const std::vector<uint8_t>& sourceFormat, WAVEFORMATEX& pcmFormat) override;
    bool OpenStreamImpl(const std::vector<uint8_t>& sourceFormat,
                        const WAVEFORMATEX& pcmFormat) override;
    void CloseStreamImpl() override;
    bool ConvertImpl(const uint8_t* src, uint32_t srcLength, uint8_t* dst, uint32_t dstLength,
                     uint32_t& srcUsed, uint32_t& dstUsed) override;

private:
    HACMSTREAM stream = nullptr;
};

} // namespace Qorv::Sound
