#pragma once
// Decoder state for data that already is PCM: reads the bytes of the range as stored.

#include "framework/sound/ISoundState.h"

namespace Qorv::Sound
{

class PcmSoundState : public ISoundState
{
public:
    ~PcmSoundState() override { Close(); }

protected:
    bool OpenImpl(std::shared_ptr<Base::IFileReader>& reader,
                  const std::vector<uint8_t>& formatBytes, int32_t dataOffset,
                  int32_t dataLength) override;
    void CloseImpl() override;
    int32_t GetLengthImpl() override { return dataLength; }
    WAVEFORMATEX GetFormatImpl() override { return format; }
    int32_t ReadImpl(void* dst, uint32_t bytes) override;
    void SeekImpl(int32_t frame) override;

private:
    WAVEFORMATEX format{};
    int32_t dataOffset = 0;
    int32_t dataLength = 0;
};

} // namespace Qorv::Sound
