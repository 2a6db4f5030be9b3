#pragma once
// A converter with blocks of four source bytes, each turned into its bytes doubled (eight PCM
// bytes), that records what it is asked; for the block bookkeeping of the converting state.

#include "framework/sound/ISoundConverter.h"

#include <cstdint>
#include <vector>

namespace TestSupport
{

class FakeSoundConverter : public Qorv::Sound::ISoundConverter
{
public:
    static constexpr uint32_t BlockBytes = 4;
    // One second: ten source blocks in, eighty PCM bytes out, in a 200-byte second of PCM.
    static constexpr uint32_t SourceBytesPerSecond = 40;
    static constexpr uint32_t PcmBytesPerSecond = 200;

    ~FakeSoundConverter() override { CloseStream(); }

    // A source record that this converter accepts.
    static std::vector<uint8_t> SourceFormat();

    int streamsOpened = 0;
    std::vector<uint32_t> convertedInputSizes;
    bool failSuggest = false;
    bool failNextConvert = false;

protected:
    bool SuggestPcmImpl(const std::vector<uint8_t>& sourceFormat, WAVEFORMATEX& pcmFormat) override;
    bool OpenStreamImpl(const std::vector<uint8_t>& sourceFormat,
                        const WAVEFORMATEX& pcmFormat) override;
    void CloseStreamImpl() override {}
    bool ConvertImpl(const uint8_t* src, uint32_t srcLength, uint8_t* dst, uint32_t dstLength,
                     uint32_t& srcUsed, uint32_t& dstUsed) override;
};

} // namespace TestSupport
