#pragma once
// The four compression-manager operations a converting state needs, so its block
// bookkeeping can run against another converter. Holds at most one open stream.

#include "framework/base/Interface.h"
#include "framework/sound/WaveFormat.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Qorv::Sound
{

class ISoundConverter : public Base::Interface
{
public:
    // sourceFormat is a WAVEFORMATEX followed by all of its cbSize extra bytes.
    bool SuggestPcm(const std::vector<uint8_t>& sourceFormat, WAVEFORMATEX& pcmFormat)
    {
        return SuggestPcmImpl(sourceFormat, pcmFormat);
    }
    // Replaces any open stream.
    bool OpenStream(const std::vector<uint8_t>& sourceFormat, const WAVEFORMATEX& pcmFormat)
    {
        CloseStream();
        streamOpen = OpenStreamImpl(sourceFormat, pcmFormat);
        return streamOpen;
    }
    // Derived destructors call it too: the base one can no longer reach their Impl.
    void CloseStream()
    {
        if (streamOpen)
        {
            CloseStreamImpl();
            streamOpen = false;
        }
    }
    // Converts whole source blocks only, never writing past dstLength.
    bool Convert(const uint8_t* src, uint32_t srcLength, uint8_t* dst, uint32_t dstLength,
                 uint32_t& srcUsed, uint32_t& dstUsed)
    {
        srcUsed = 0;
        dstUsed = 0;
        return streamOpen && ConvertImpl(src, srcLength, dst, dstLength, srcUsed, dstUsed);
    }

protected:
    virtual bool SuggestPcmImpl(const std::vector<uint8_t>& sourceFormat,
                                WAVEFORMATEX& pcmFormat) = 0;
    virtual bool OpenStreamImpl(const std::vector<uint8_t>& sourceFormat,
                                const WAVEFORMATEX& pcmFormat) = 0;
    virtual void CloseStreamImpl() = 0;
    virtual bool ConvertImpl(const uint8_t* src, uint32_t srcLength, uint8_t* dst,
                             uint32_t dstLength, uint32_t& srcUsed, uint32_t& dstUsed) = 0;

private:
    bool streamOpen = false;
};

[[nodiscard]] std::shared_ptr<ISoundConverter> CreateAcmSoundConverter();

} // namespace Qorv::Sound
