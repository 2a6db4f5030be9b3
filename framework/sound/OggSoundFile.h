#pragma once
// Ogg Vorbis reader: vorbisfile decodes, reading through the file's own reader.

#include "framework/sound/ISoundFile.h"

#include <vorbis/vorbisfile.h>

namespace Qorv::Sound
{

class OggSoundFile : public ISoundFile
{
public:
    OggSoundFile();
    ~OggSoundFile() override { Close(); }

protected:
    bool OpenImpl(std::shared_ptr<Base::IFileReader>& reader) override;
    void CloseImpl() override;
    int32_t GetLengthImpl() override;
    WAVEFORMATEX GetFormatImpl() override;
    int32_t ReadImpl(void* dst, int32_t bytes) override;
    void SeekImpl(int32_t frame) override;

private:
    OggVorbis_File decoder;
};

} // namespace Qorv::Sound
