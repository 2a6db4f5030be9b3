#pragma once
// A sound file that finds its data range and format, then leaves all decoding to a state.

#include "framework/sound/ISoundFile.h"
#include "framework/sound/ISoundState.h"

namespace Qorv::Sound
{

class StateSoundFile : public ISoundFile
{
public:
    ~StateSoundFile() override { Close(); }

protected:
    void CloseImpl() override { state.reset(); }
    int32_t GetLengthImpl() override;
    WAVEFORMATEX GetFormatImpl() override;
    int32_t ReadImpl(void* dst, int32_t bytes) override;
    void SeekImpl(int32_t frame) override;

    // Keeps the state when it opens on the range.
    bool OpenState(std::shared_ptr<ISoundState> newState,
                   std::shared_ptr<Base::IFileReader>& reader,
                   const std::vector<uint8_t>& formatBytes, int32_t dataOffset, int32_t dataLength);

private:
    std::shared_ptr<ISoundState> state;
};

} // namespace Qorv::Sound
