#include "framework/sound/ISoundFile.h"

#include <algorithm>
#include <utility>

namespace Qorv::Sound
{

bool ISoundFile::Open(const std::wstring& path)
{
    if (path.empty())
    {
        return false;
    }
    Close();
    std::shared_ptr<Base::IFileReader> newReader = Base::CreateFileReader();
    if (!newReader->Open(path))
    {
        return false;
    }
    if (!OpenImpl(newReader))
    {
        return false;
    }
    open = true;
    reader = std::move(newReader);
    return true;
}

void ISoundFile::Close()
{
    if (!open)
    {
        return;
    }
    CloseImpl();
    open = false;
    lengthCache = 0;
    loopFrame = 0;
    formatCache = EmptyFormat();
    reader.reset();
}

int32_t ISoundFile::GetLength()
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

WAVEFORMATEX ISoundFile::GetFormat()
{
    if (!open)
    {
        return EmptyFormat();
    }
    if (formatCache.wFormatTag == 0)
    {
        formatCache = GetFormatImpl();
    }
    return formatCache;
}

int32_t ISoundFile::Read(void* dst, int32_t bytes)
{
    if (!open || dst == nullptr || bytes <= 0)
    {
        return 0;
    }
    auto* out = static_cast<uint8_t*>(dst);
    int32_t total = 0;
    bool justWrapped = false;
    while (bytes > 0)
    {
        const int32_t n = std::min(ReadImpl(out, bytes), bytes);
        if (n > 0)
        {
            out += n;
            total += n;
            bytes -= n;
            justWrapped = false;
            continue;
        }
        // Nothing even from the loop frame: the sound cannot deliver any more.
        if (justWrapped)
        {
            break;
        }
        Seek(loopFrame);
        justWrapped = true;
    }
    return total;
}

bool ISoundFile::FrameWithinSound(int32_t frame)
{
    const uint32_t blockAlign = GetFormat().nBlockAlign;
    return blockAlign != 0 &&
           static_cast<uint32_t>(frame) <= static_cast<uint32_t>(GetLength()) / blockAlign;
}

void ISoundFile::Seek(int32_t frame)
{
    if (open && FrameWithinSound(frame))
    {
        SeekImpl(frame);
    }
}

void ISoundFile::SetLoopPosition(int32_t frame)
{
    if (open && FrameWithinSound(frame))
    {
        loopFrame = frame;
    }
}

std::shared_ptr<ISoundFile> OpenSoundFile(const std::wstring& path, const char** readerName)
{
    using Factory = std::shared_ptr<ISoundFile> (*)();
    const std::pair<const char*, Factory> readers[] = {{"OggSoundFile", &CreateOggSoundFile},
                                                       {"RiffSoundFile", &CreateRiffSoundFile},
                                                       {"MpegSoundFile", &CreateMpegSoundFile}};
    for (const auto& [name, create] : readers)
    {
        std::shared_ptr<ISoundFile> file = create();
        if (file->Open(path))
        {
            if (readerName != nullptr)
            {
                *readerName = name;
            }
            return file;
        }
    }
    return nullptr;
}

} // namespace Qorv::Sound
