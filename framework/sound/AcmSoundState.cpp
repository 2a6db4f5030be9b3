#include "framework/sound/AcmSoundState.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace Qorv::Sound
{

AcmSoundState::AcmSoundState(std::shared_ptr<ISoundConverter> newConverter)
    : converter(std::move(newConverter))
{
}

bool AcmSoundState::OpenImpl(std::shared_ptr<Base::IFileReader>& newReader,
                             const std::vector<uint8_t>& formatBytes, int32_t newDataOffset,
                             int32_t newDataLength)
{
    if (!converter || formatBytes.size() < sizeof(WAVEFORMATEX) || newDataOffset < 0 ||
        newDataLength <= 0)
    {
        return false;
    }
    WAVEFORMATEX header;
    std::memcpy(&header, formatBytes.data(), sizeof(header));
    // The converter reads cbSize extra bytes after the record: they must all be there.
    const size_t recordSize = sizeof(WAVEFORMATEX) + header.cbSize;
    // Without a byte rate the one-second top-up would never take any input.
    if (recordSize > formatBytes.size() || header.nAvgBytesPerSec == 0)
    {
        return false;
    }
    sourceFormat.assign(formatBytes.begin(), formatBytes.begin() + recordSize);
    if (!OpenConverter())
    {
        sourceFormat.clear();
        return false;
    }
    reader = newReader;
    dataOffset = newDataOffset;
    dataLength = newDataLength;
    rangeEnd = std::min<int64_t>(int64_t{dataOffset} + dataLength, reader->GetSize());
    SeekReaderTo(dataOffset);
    return true;
}

bool AcmSoundState::OpenConverter()
{
    converter->CloseStream();
    pcmFormat = EmptyFormat();
    pcmFormat.wFormatTag = WAVE_FORMAT_PCM;
    if (!converter->SuggestPcm(sourceFormat, pcmFormat) || pcmFormat.nAvgBytesPerSec == 0 ||
        pcmFormat.nBlockAlign == 0)
    {
        pcmFormat = EmptyFormat();
        return false;
    }
    return converter->OpenStream(sourceFormat, pcmFormat);
}

void AcmSoundState::SeekReaderTo(int64_t position)
{
    if (position >= 0 && position <= reader->GetSize())
    {
        reader->Seek(static_cast<int32_t>(position));
    }
}

uint32_t AcmSoundState::SourceBytesPerSecond() const
{
    WAVEFORMATEX header;
    std::memcpy(&header, sourceFormat.data(), sizeof(header));
    return header.nAvgBytesPerSec;
}

void AcmSoundState::CloseImpl()
{
    converter->CloseStream();
    reader.reset();
    pendingInput.clear();
    pendingOutput.clear();
    sourceFormat.clear();
    converted.clear();
    pcmFormat = EmptyFormat();
    dataLength = 0;
    dataOffset = 0;
    rangeEnd = 0;
}

int32_t AcmSoundState::ReadImpl(void* dst, uint32_t bytes)
{
    auto* out = static_cast<uint8_t*>(dst);
    bytes = std::min<uint32_t>(bytes, std::numeric_limits<int32_t>::max());
    uint32_t count = 0;

    if (!pendingOutput.empty())
    {
        const uint32_t n = std::min<uint32_t>(bytes, static_cast<uint32_t>(pendingOutput.size()));
        std::memcpy(out, pendingOutput.data(), n);
        pendingOutput.erase(pendingOutput.begin(), pendingOutput.begin() + n);
        out += n;
        bytes -= n;
        count += n;
    }
    if (bytes == 0)
    {
        return static_cast<int32_t>(count);
    }

    std::vector<uint8_t> input = std::move(pendingInput);
    pendingInput.clear();
    const uint32_t perSecond = SourceBytesPerSecond();
    if (input.size() < perSecond)
    {
        int64_t want = perSecond - input.size();
        const int64_t left = rangeEnd - reader->Tell();
        if (want >= left)
        {
            want = left;
        }
        if (want > 0 && reader->IsOpen())
        {
            const size_t had = input.size();
            input.resize(had + static_cast<size_t>(want));
            const int32_t got = reader->Read(input.data() + had, static_cast<int32_t>(want));
            input.resize(had + static_cast<size_t>(std::max(got, 0)));
        }
    }
    if (input.empty())
    {
        return static_cast<int32_t>(count);
    }

    converted.resize(pcmFormat.nAvgBytesPerSec);
    uint32_t srcUsed = 0;
    uint32_t dstUsed = 0;
    if (!converter->Convert(input.data(), static_cast<uint32_t>(input.size()), converted.data(),
                            static_cast<uint32_t>(converted.size()), srcUsed, dstUsed))
    {
        return static_cast<int32_t>(count);
    }
    srcUsed = std::min<uint32_t>(srcUsed, static_cast<uint32_t>(input.size()));
    dstUsed = std::min<uint32_t>(dstUsed, static_cast<uint32_t>(converted.size()));

    const uint32_t delivered = std::min(bytes, dstUsed);
    std::memcpy(out, converted.data(), delivered);
    count += delivered;
    pendingInput.assign(input.begin() + srcUsed, input.end());
    pendingOutput.insert(pendingOutput.end(), converted.begin() + delivered,
                         converted.begin() + dstUsed);
    return static_cast<int32_t>(count);
}

void AcmSoundState::SeekImpl(int32_t frame)
{
    SeekReaderTo(dataOffset);
    converter->CloseStream();
    if (dataLength > 0)
    {
        OpenConverter();
    }
    pendingInput.clear();
    pendingOutput.clear();
    if (frame == 0 || pcmFormat.nAvgBytesPerSec == 0)
    {
        return;
    }
    int64_t skip = int64_t{frame} * pcmFormat.nBlockAlign;
    std::vector<uint8_t> scratch(pcmFormat.nAvgBytesPerSec);
    while (skip > 0)
    {
        const auto n = static_cast<uint32_t>(std::min<int64_t>(skip, scratch.size()));
        const int32_t got = ReadImpl(scratch.data(), n);
        if (got <= 0)
        {
            break;
        }
        skip -= got;
    }
}

int32_t AcmSoundState::GetLengthImpl()
{
    const int32_t resumeAt = reader->Tell();
    std::vector<uint8_t> keptInput = std::move(pendingInput);
    std::vector<uint8_t> keptOutput = std::move(pendingOutput);
    pendingInput.clear();
    pendingOutput.clear();

    SeekImpl(0);
    int64_t total = 0;
    std::vector<uint8_t> buffer(pcmFormat.nAvgBytesPerSec);
    if (!buffer.empty())
    {
        for (;;)
        {
            const int32_t got = ReadImpl(buffer.data(), static_cast<uint32_t>(buffer.size()));
            if (got <= 0)
            {
                break;
            }
            total += got;
        }
    }

    SeekReaderTo(resumeAt);
    // A stream left at the end of the pass would carry its last frame's state into the
    // next one decoded; a fresh stream starts clean.
    OpenConverter();
    pendingInput = std::move(keptInput);
    pendingOutput = std::move(keptOutput);
    return static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max()));
}

std::shared_ptr<ISoundState> CreateAcmSoundState(std::shared_ptr<ISoundConverter> converter)
{
    return std::make_shared<AcmSoundState>(std::move(converter));
}

std::shared_ptr<ISoundState> CreateAcmSoundState()
{
    return CreateAcmSoundState(CreateAcmSoundConverter());
}

} // namespace Qorv::Sound
