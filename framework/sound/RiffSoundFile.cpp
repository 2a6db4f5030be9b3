#include "framework/sound/RiffSoundFile.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace Qorv::Sound
{

namespace
{

// Anything larger is no format description; refusing it bounds what a hostile file allocates.
constexpr uint32_t MaxFormatChunk = 64 * 1024;
constexpr uint32_t MinFormatChunk = 14;

uint32_t ReadU32(Base::IFileReader& reader)
{
    uint8_t b[4] = {};
    if (reader.Read(b, 4) != 4)
    {
        // No size or length: every caller reads 0 as empty or too small.
        return 0;
    }
    return b[0] | (b[1] << 8) | (b[2] << 16) | (uint32_t{b[3]} << 24);
}

} // namespace

bool RiffSoundFile::FindTag(Base::IFileReader& reader, std::string_view tag)
{
    if (!reader.IsOpen() || tag.empty())
    {
        return false;
    }
    size_t matched = 0;
    char byte = 0;
    while (reader.Read(&byte, 1) == 1)
    {
        // A mismatch restarts the match without retrying this byte as the tag's first.
        matched = byte == tag[matched] ? matched + 1 : 0;
        if (matched == tag.size())
        {
            return true;
        }
    }
    return false;
}

bool RiffSoundFile::ReadFormatChunk(Base::IFileReader& reader, std::vector<uint8_t>& format)
{
    const uint32_t size = ReadU32(reader);
    if (size < MinFormatChunk || size > MaxFormatChunk)
    {
        return false;
    }
    std::vector<uint8_t> chunk(size, 0);
    if (reader.Read(chunk.data(), static_cast<int32_t>(size)) != static_cast<int32_t>(size))
    {
        return false;
    }

    WAVEFORMATEX record{};
    if (size < sizeof(WAVEFORMATEX))
    {
        std::memcpy(&record, chunk.data(), 12);
        if (record.nSamplesPerSec == 0 || record.nChannels == 0)
        {
            return false;
        }
        record.nBlockAlign = static_cast<uint16_t>(record.nAvgBytesPerSec / record.nSamplesPerSec);
        record.wBitsPerSample = static_cast<uint16_t>(record.nBlockAlign / record.nChannels * 8);
        record.cbSize = 0;
        format.resize(sizeof(WAVEFORMATEX));
        std::memcpy(format.data(), &record, sizeof(record));
        return true;
    }
    std::memcpy(&record, chunk.data(), sizeof(record));
    // The converter reads cbSize bytes past the record: they must lie inside the chunk.
    if (sizeof(WAVEFORMATEX) + record.cbSize > size)
    {
        return false;
    }
    format = std::move(chunk);
    return true;
}

bool RiffSoundFile::OpenImpl(std::shared_ptr<Base::IFileReader>& reader)
{
    const int32_t fileSize = reader->GetSize();
    if (fileSize >= 0)
    {
        reader->Seek(0);
    }
    std::vector<uint8_t> format;
    if (!FindTag(*reader, "RIFF") || !FindTag(*reader, "fmt ") ||
        !ReadFormatChunk(*reader, format) || !FindTag(*reader, "data"))
    {
        return false;
    }
    const uint32_t storedLength = ReadU32(*reader);
    const int32_t dataOffset = reader->Tell();
    // The stored length is a claim (streaming writers store 0xFFFFFFFF): the data ends at the
    // end of the file at the latest, so no buffer sizes itself or loops on bytes never there.
    const int64_t held =
        fileSize >= 0 ? int64_t{fileSize} - dataOffset : std::numeric_limits<int32_t>::max();
    const auto dataLength = static_cast<int32_t>(std::clamp<int64_t>(
        std::min<int64_t>(storedLength, held), 0, std::numeric_limits<int32_t>::max()));

    uint16_t tag = 0;
    std::memcpy(&tag, format.data(), sizeof(tag));
    auto state = tag == WAVE_FORMAT_PCM ? CreatePcmSoundState() : CreateAcmSoundState();
    return OpenState(std::move(state), reader, format, dataOffset, dataLength);
}

std::shared_ptr<ISoundFile> CreateRiffSoundFile()
{
    return std::make_shared<RiffSoundFile>();
}

} // namespace Qorv::Sound
