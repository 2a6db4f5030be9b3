#include "framework/sound/StateSoundFile.h"

namespace Qorv::Sound
{

bool StateSoundFile::OpenState(std::shared_ptr<ISoundState> newState,
                               std::shared_ptr<Base::IFileReader>& reader,
                               const std::vector<uint8_t>& formatBytes, int32_t dataOffset,
                               int32_t dataLength)
{
    if (!newState->Open(reader, formatBytes, dataOffset, dataLength))
    {
        return false;
    }
    state = std::move(newState);
    return true;
}

int32_t StateSoundFile::GetLengthImpl()
{
    return state ? state->GetLength() : 0;
}

WAVEFORMATEX StateSoundFile::GetFormatImpl()
{
    return state ? state->GetFormat() : EmptyFormat();
}

int32_t StateSoundFile::ReadImpl(void* dst, int32_t bytes)
{
    return state && bytes > 0 ? state->Read(dst, static_cast<uint32_t>(bytes)) : 0;
}

void StateSoundFile::SeekImpl(int32_t frame)
{
    if (state)
    {
        state->Seek(frame);
    }
}

} // namespace Qorv::Sound
