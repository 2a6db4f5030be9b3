#pragma once
// Decoder state for compressed data: feeds the range through a conversion stream in
// one-second steps and queues the source and PCM bytes that do not fit.

#include "framework/sound/ISoundConverter.h"
#include "framework/sound/ISoundState.h"

namespace Qorv::Sound
{

class AcmSoundState : public ISoundState
{
public:
    explicit AcmSoundState(std::shared_ptr<ISoundConverter> converter);
    ~AcmSoundState() override { Close(); }

protected:
    bool OpenImpl(std::shared_ptr<Base::IFileReader>& reader,
                  const std::vector<uint8_t>& formatBytes, int32_t dataOffset,
                  int32_t dataLength) override;
    void CloseImpl() override;
    int32_t GetLengthImpl() override;
    WAVEFORMATEX GetFormatImpl() override { return pcmFormat; }
    int32_t ReadImpl(void* dst, uint32_t bytes) override;
    void SeekImpl(int32_t frame) override;

private:
    bool OpenConverter();
    void SeekReaderTo(int64_t position);
    uint32_t SourceBytesPerSecond() const;

    std::vector<uint8_t> pendingInput;
    std::vector<uint8_t> pendingOutput;
    std::vector<uint8_t> sourceFormat;
    WAVEFORMATEX pcmFormat{};
    int32_t dataLength = 0;
    int32_t dataOffset = 0;
    // The range clipped to the file, so a file shorter than its stored length ends reading.
    int64_t rangeEnd = 0;
    std::shared_ptr<ISoundConverter> converter;
    std::vector<uint8_t> converted;
};

} // namespace Qorv::Sound
