#include "framework/sound/PcmSoundState.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace Qorv::Sound
{

bool PcmSoundState::OpenImpl(std::shared_ptr<Base::IFileReader>& newReader,
                             const std::vector<uint8_t>& formatBytes, int32_t newDataOffset,
                             int32_t newDataLength)
{
    if (formatBytes.size() < sizeof(WAVEFORMATEX) || newDataOffset < 0 || newDataLength < 0)
    {
        return false;
    }
    if (newDataOffset <= newReader->GetSize())
    {
        newReader->Seek(newDataOffset);
    }
    std::memcpy(&format, formatBytes.data(), sizeof(WAVEFORMATEX));
    reader = newReader;
    dataOffset = newDataOffset;
    dataLength = newDataLength;
    return true;
}

void PcmSoundState::CloseImpl()
{
    format = EmptyFormat();
    reader.reset();
    dataOffset = 0;
    dataLength = 0;
}

int32_t PcmSoundState::ReadImpl(void* dst, uint32_t bytes)
{
    if (!reader->IsOpen())
    {
        return 0;
    }
    const int64_t left = int64_t{dataOffset} + dataLength - reader->Tell();
    const int64_t count = std::min<int64_t>({bytes, left, std::numeric_limits<int32_t>::max()});
    return count > 0 ? reader->Read(dst, static_cast<int32_t>(count)) : 0;
}

void PcmSoundState::SeekImpl(int32_t frame)
{
    const int64_t position = int64_t{frame} * format.nBlockAlign + dataOffset;
    if (position >= 0 && position <= reader->GetSize())
    {
        reader->Seek(static_cast<int32_t>(position));
    }
}

std::shared_ptr<ISoundState> CreatePcmSoundState()
{
    return std::make_shared<PcmSoundState>();
}

} // namespace Qorv::Sound
