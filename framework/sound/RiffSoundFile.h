#pragma once
// RIFF WAVE reader: finds the format and data by tag search; PCM passes through,
// every other format tag is converted.

#include "framework/sound/StateSoundFile.h"

#include <string_view>

namespace Qorv::Sound
{

class RiffSoundFile : public StateSoundFile
{
protected:
    bool OpenImpl(std::shared_ptr<Base::IFileReader>& reader) override;

private:
    static bool FindTag(Base::IFileReader& reader, std::string_view tag);
    static bool ReadFormatChunk(Base::IFileReader& reader, std::vector<uint8_t>& format);
};

} // namespace Qorv::Sound
