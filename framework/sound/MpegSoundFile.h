#pragma once
// MPEG audio reader: skips ID3v2 and ID3v1 tags, describes the first frame header in the
// compression manager's layer-3 record and converts the frames between the tags.

#include "framework/sound/StateSoundFile.h"

namespace Qorv::Sound
{

class MpegSoundFile : public StateSoundFile
{
public:
    // The record for the 4-byte frame header b; false for no valid header.
    static bool DescribeFrameHeader(const uint8_t b[4], MPEGLAYER3WAVEFORMAT& record);

protected:
    bool OpenImpl(std::shared_ptr<Base::IFileReader>& reader) override;
};

} // namespace Qorv::Sound
