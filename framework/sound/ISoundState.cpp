#include "framework/sound/ISoundState.h"

namespace Qorv::Sound
{

bool ISoundState::Open(std::shared_ptr<Base::IFileReader>& newReader,
                       const std::vector<uint8_t>& formatBytes, int32_t dataOffset,
                       int32_t dataLength)
{
    if (!newReader || formatBytes.empty() || dataLength == 0)
    {
        return false;
    }
    Close();
    open = OpenImpl(newReader, formatBytes, dataOffset, dataLength);
    return open;
}

int32_t ISoundState::GetLength()
{
    if (!open)
    {
        return 0;
    }
    if (lengthCache == 0)
    {
        lengthCache = GetLengthImpl();
    }
    return lengthCache;
}

WAVEFORMATEX ISoundState::GetFormat()
{
    return open ? GetFormatImpl() : EmptyFormat();
}

int32_t ISoundState::Read(void* dst, uint32_t bytes)
{
    if (!open || dst == nullptr || bytes == 0)
    {
        return 0;
    }
    return ReadImpl(dst, bytes);
}

void ISoundState::Seek(int32_t frame)
{
    if (!open)
    {
        return;
    }
    const uint32_t blockAlign = GetFormatImpl().nBlockAlign;
    if (blockAlign != 0 &&
        static_cast<uint32_t>(frame) <= static_cast<uint32_t>(GetLength()) / blockAlign)
    {
        SeekImpl(frame);
    }
}

void ISoundState::Close()
{
    if (open)
    {
        CloseImpl();
        open = false;
        lengthCache = 0;
    }
}

} // namespace Qorv::Sound
