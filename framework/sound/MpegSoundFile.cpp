#include "framework/sound/MpegSoundFile.h"

#include <cstring>
#include <vector>

namespace Qorv::Sound
{

namespace
{

// Bitrates in kbit/s by index, ISO/IEC 11172-3 (MPEG-1) and 13818-3 (MPEG-2 and 2.5).
constexpr uint16_t Mpeg1Bitrates[3][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
};
constexpr uint16_t Mpeg2Bitrates[2][15] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
constexpr uint32_t SampleRates[3][3] = {
    {44100, 48000, 32000}, // MPEG-1
    {22050, 24000, 16000}, // MPEG-2
    {11025, 12000, 8000},  // MPEG-2.5
};
constexpr uint16_t CodecDelay = 1393;
constexpr int32_t Id3v1Size = 128;

} // namespace

bool MpegSoundFile::DescribeFrameHeader(const uint8_t b[4], MPEGLAYER3WAVEFORMAT& record)
{
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0)
    {
        return false;
    }
    const int versionBits = (b[1] >> 3) & 3;
    const int layerBits = (b[1] >> 1) & 3;
    const int bitrateIndex = b[2] >> 4;
    const int rateIndex = (b[2] >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 15 || rateIndex == 3)
    {
        return false;
    }
    const bool mpeg1 = versionBits == 3;
    const int layer = 4 - layerBits;
    const uint32_t bitrate = mpeg1 ? Mpeg1Bitrates[layer - 1][bitrateIndex]
                                   : Mpeg2Bitrates[layer == 1 ? 0 : 1][bitrateIndex];
    const uint32_t rate = SampleRates[mpeg1 ? 0 : versionBits == 2 ? 1 : 2][rateIndex];
    const uint32_t padding = (b[2] >> 1) & 1;
    const uint32_t l = layer == 1 ? 1 : 3;
    const uint32_t v = mpeg1 ? 2 : 1;

    record = {};
    record.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    record.wfx.nChannels = (b[3] & 0xC0) == 0xC0 ? 1 : 2;
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
    reader->Read(buffer, sizeof(buffer));
    if (std::memcmp(buffer, "ID3", 3) == 0)
    {
        offset = 10;
        if (buffer[3] >= 4 && (buffer[5] & 0x10) != 0)
        {
            offset += 10;
        }
        offset += (buffer[6] << 21) + (buffer[7] << 14) + (buffer[8] << 7) + buffer[9];
        length -= offset;
    }
    if (size - Id3v1Size >= 0 && reader->Seek(size - Id3v1Size))
    {
        reader->Read(buffer, 3);
        if (std::memcmp(buffer, "TAG", 3) == 0)
        {
            length -= Id3v1Size;
        }
    }

    // A tag claiming to reach past the end leaves no frame to find.
    if (offset > size || !reader->Seek(offset))
    {
        return false;
    }
    uint8_t header[4] = {};
    reader->Read(header, sizeof(header));
    MPEGLAYER3WAVEFORMAT record;
    if (!DescribeFrameHeader(header, record))
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
