#include "framework/sound/OggSoundFile.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace Qorv::Sound
{

namespace
{

size_t ReadCallback(void* ptr, size_t size, size_t count, void* source)
{
    auto* reader = static_cast<Base::IFileReader*>(source);
    const size_t n = std::min<size_t>(size * count, std::numeric_limits<int32_t>::max());
    if (!reader->IsOpen() || ptr == nullptr || n == 0)
    {
        return 0;
    }
    return static_cast<size_t>(std::max(reader->Read(ptr, static_cast<int32_t>(n)), 0));
}

int SeekCallback(void* source, ogg_int64_t offset, int whence)
{
    auto* reader = static_cast<Base::IFileReader*>(source);
    const int64_t size = reader->GetSize();
    int64_t target = 0;
    if (whence == SEEK_SET)
    {
        target = offset;
    }
    else if (whence == SEEK_CUR)
    {
        target = offset + reader->Tell();
    }
    else if (whence == SEEK_END)
    {
        target = offset + size;
    }
    if (target < 0 || target > size)
    {
        return -1;
    }
    reader->Seek(static_cast<int32_t>(target));
    return 0;
}

int CloseCallback(void*)
{
    return 0;
}

long TellCallback(void* source)
{
    return static_cast<Base::IFileReader*>(source)->Tell();
}

} // namespace

OggSoundFile::OggSoundFile()
{
    std::memset(&decoder, 0, sizeof(decoder));
}

bool OggSoundFile::OpenImpl(std::shared_ptr<Base::IFileReader>& reader)
{
    const ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
    // vorbisfile clears the decoder itself when the open fails.
    return ov_open_callbacks(reader.get(), &decoder, nullptr, 0, callbacks) >= 0;
}

void OggSoundFile::CloseImpl()
{
    ov_clear(&decoder);
    std::memset(&decoder, 0, sizeof(decoder));
}

WAVEFORMATEX OggSoundFile::GetFormatImpl()
{
    const vorbis_info* info = ov_info(&decoder, -1);
    if (info == nullptr || info->channels <= 0 || info->rate <= 0)
    {
        return EmptyFormat();
    }
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<uint16_t>(info->channels);
    format.nSamplesPerSec = static_cast<uint32_t>(info->rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<uint16_t>(2 * info->channels);
    format.nAvgBytesPerSec =
        static_cast<uint32_t>(uint64_t{format.nBlockAlign} * format.nSamplesPerSec);
    format.cbSize = 0;
    return format;
}

int32_t OggSoundFile::GetLengthImpl()
{
    const int64_t frames = ov_pcm_total(&decoder, -1);
    const int64_t blockAlign = GetFormat().nBlockAlign;
    if (frames <= 0 || blockAlign == 0)
    {
        return 0;
    }
    // A granule position can claim more than 2 GiB of PCM; keep whole frames below that.
    const int64_t maxFrames = std::numeric_limits<int32_t>::max() / blockAlign;
    return static_cast<int32_t>(std::min(frames, maxFrames) * blockAlign);
}

int32_t OggSoundFile::ReadImpl(void* dst, int32_t bytes)
{
    int bitstream = 0;
    const long n = ov_read(&decoder, static_cast<char*>(dst), bytes, 0, 2, 1, &bitstream);
    return n > 0 ? static_cast<int32_t>(n) : 0;
}

void OggSoundFile::SeekImpl(int32_t frame)
{
    ov_pcm_seek(&decoder, static_cast<ogg_int64_t>(static_cast<uint32_t>(frame)));
}

std::shared_ptr<ISoundFile> CreateOggSoundFile()
{
    return std::make_shared<OggSoundFile>();
}

} // namespace Qorv::Sound
