#pragma once
// A sound file: PCM bytes with a known format and length, read as an endless loop.
// Public operations keep the open flag, caches and loop frame; the Impl hooks decode.

#include "framework/base/IFileReader.h"
#include "framework/base/Interface.h"
#include "framework/sound/WaveFormat.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Qorv::Sound
{

class ISoundFile : public Base::Interface
{
public:
    [[nodiscard]] bool Open(const std::wstring& path);
    // Derived destructors call it too: the base one can no longer reach their CloseImpl.
    void Close();
    bool IsOpen() const { return open; }
    int32_t GetLength();
    WAVEFORMATEX GetFormat();
    // Fills all of dst, continuing from the loop frame past the end; returns fewer bytes
    // only when nothing at all can be read from the loop frame on.
    [[nodiscard]] int32_t Read(void* dst, int32_t bytes);
    void Seek(int32_t frame);
    void SetLoopPosition(int32_t frame);

protected:
    virtual bool OpenImpl(std::shared_ptr<Base::IFileReader>& reader) = 0;
    virtual void CloseImpl() = 0;
    virtual int32_t GetLengthImpl() = 0;
    virtual WAVEFORMATEX GetFormatImpl() = 0;
    virtual int32_t ReadImpl(void* dst, int32_t bytes) = 0;
    virtual void SeekImpl(int32_t frame) = 0;

private:
    bool FrameWithinSound(int32_t frame);

    bool open = false;
    int32_t lengthCache = 0;
    int32_t loopFrame = 0;
    WAVEFORMATEX formatCache{};
    std::shared_ptr<Base::IFileReader> reader;
};

[[nodiscard]] std::shared_ptr<ISoundFile> CreateOggSoundFile();
[[nodiscard]] std::shared_ptr<ISoundFile> CreateRiffSoundFile();
[[nodiscard]] std::shared_ptr<ISoundFile> CreateMpegSoundFile();

// Tries the Ogg, RIFF and MPEG readers in that order; empty when none accepts the file.
// readerName, when given, is set to the class name of the one that does.
[[nodiscard]] std::shared_ptr<ISoundFile> OpenSoundFile(const std::wstring& path,
                                                        const char** readerName = nullptr);

} // namespace Qorv::Sound
