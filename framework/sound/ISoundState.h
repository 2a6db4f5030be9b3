#pragma once
// Decoder state: turns the data range of a sound file into PCM, as stored or converted.
// Public operations keep the open flag and the length cache; the Impl hooks decode.

#include "framework/base/IFileReader.h"
#include "framework/base/Interface.h"
#include "framework/sound/WaveFormat.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Qorv::Sound
{

class ISoundConverter;

class ISoundState : public Base::Interface
{
public:
    [[nodiscard]] bool Open(std::shared_ptr<Base::IFileReader>& reader,
                            const std::vector<uint8_t>& formatBytes, int32_t dataOffset,
                            int32_t dataLength);
    bool IsOpen() const { return open; }
    int32_t GetLength();
    WAVEFORMATEX GetFormat();

    // 0 when closed, at the end of the range or on failure.
    [[nodiscard]] int32_t Read(void* dst, uint32_t bytes);
    // Ignores frames beyond the decodable length.
    void Seek(int32_t frame);

protected:
    virtual bool OpenImpl(std::shared_ptr<Base::IFileReader>& reader,
                          const std::vector<uint8_t>& formatBytes, int32_t dataOffset,
                          int32_t dataLength) = 0;
    virtual void CloseImpl() = 0;
    virtual int32_t GetLengthImpl() = 0;
    virtual WAVEFORMATEX GetFormatImpl() = 0;
    virtual int32_t ReadImpl(void* dst, uint32_t bytes) = 0;
    virtual void SeekImpl(int32_t frame) = 0;

    // Open and derived destructors call this: the base destructor can no longer reach their
    // CloseImpl.
    void Close();

    std::shared_ptr<Base::IFileReader> reader;

private:
    bool open = false;
    int32_t lengthCache = 0;
};

[[nodiscard]] std::shared_ptr<ISoundState> CreatePcmSoundState();
// Converts through the platform's compression manager.
[[nodiscard]] std::shared_ptr<ISoundState> CreateAcmSoundState();
[[nodiscard]] std::shared_ptr<ISoundState>
CreateAcmSoundState(std::shared_ptr<ISoundConverter> converter);

} // namespace Qorv::Sound
