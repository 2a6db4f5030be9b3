#include "framework/sound/MpegSoundFile.h"

#include "platform/codec/MpegFrame.h"

#include <cstring>
#include <vector>

namespace Qorv::Sound
{

namespace
{

constexpr uint16_t CodecDelay = 1393;
constexpr int32_t Id3v1Size = 128;
// ID3v2.4 tag flag: a 10-byte footer follows the tag.
constexpr uint8_t Id3FooterPresent = 0x10;

} // namespace

bool MpegSoundFile::DescribeFrameHeader(const uint8_t b[4], MPEGLAYER3WAVEFORMAT& record)
{
    platform::av::MpegHeader fields;
    if (!platform::av::DecodeMpegHeader(b, fields))
    {
        return false;
    }
    const uint32_t bitrate = fields.bitrateKbps;
    const uint32_t rate = fields.sampleRate;
    const uint32_t padding = fields.padding;
    const uint32_t l = fields.layer == 1 ? 1 : 3;
    const uint32_t v = fields.mpeg1 ? 2 : 1;

    record = {};
    record.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    record.wfx.nChannels = fields.channels;
    record.wfx.nSamplesPerSec = rate;
    record.wfx.nAvgBytesPerSec = bitrate * 1000 / 8;
    record.wfx.nBlockAlign = 1;
    record.wfx.wBitsPerSample = 0;
    record.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    record.wID = MPEGLAYER3_ID_MPEG;
    record.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    record.nBlockSize = static_cast<uint16_t>(l * v * bitrate * 24000 / rate + padding);
    record.nFramesPerBlock = 1;
    record.nCodecDelay = CodecDelay;
    return true;
}

bool MpegSoundFile::OpenImpl(std::shared_ptr<Base::IFileReader>& reader)
{
    const int32_t size = reader->GetSize();
    int32_t length = size;
    int32_t offset = 0;
    if (size >= 0)
    {
        reader->Seek(0);
    }
    uint8_t buffer[10] = {};
    // A file too short for a whole tag header holds no tag.
    if (reader->Read(buffer, sizeof(buffer)) == sizeof(buffer) &&
        std::memcmp(buffer, "ID3", 3) == 0)
    {
        offset = 10;
        if (buffer[3] >= 4 && (buffer[5] & Id3FooterPresent) != 0)
        {
            offset += 10;
        }
        offset += (buffer[6] << 21) + (buffer[7] << 14) + (buffer[8] << 7) + buffer[9];
        length -= offset;
    }
    if (size - Id3v1Size >= 0 && reader->Seek(size - Id3v1Size) && reader->Read(buffer, 3) == 3 &&
        std::memcmp(buffer, "TAG", 3) == 0)
    {
        length -= Id3v1Size;
    }

    // A tag claiming to reach past the end leaves no frame to find.
    if (offset > size || !reader->Seek(offset))
    {
        return false;
    }
    uint8_t header[4] = {};
    MPEGLAYER3WAVEFORMAT record;
    if (reader->Read(header, sizeof(header)) != sizeof(header) ||
        !DescribeFrameHeader(header, record))
    {
        return false;
    }
    std::vector<uint8_t> format(sizeof(record));
    std::memcpy(format.data(), &record, sizeof(record));
    return OpenState(CreateAcmSoundState(), reader, format, offset, length);
}

std::shared_ptr<ISoundFile> CreateMpegSoundFile()
{
    return std::make_shared<MpegSoundFile>();
}

} // namespace Qorv::Sound
