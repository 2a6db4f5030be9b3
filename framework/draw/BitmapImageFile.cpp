#include "framework/draw/BitmapImageFile.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <limits>

namespace Qorv::Draw
{

namespace
{

constexpr int32_t FileHeaderSize = 14;
constexpr int32_t InfoRecordSize = 108;
constexpr uint32_t CoreHeaderSize = 12;
constexpr uint32_t InfoHeaderSize = 40;

constexpr uint32_t CompressionNone = 0;
constexpr uint32_t CompressionRle8 = 1;
constexpr uint32_t CompressionRle4 = 2;
constexpr uint32_t CompressionBitFields = 3;

// Offsets inside the info record, which starts at file offset 14.
constexpr int WidthField = 4;
constexpr int HeightField = 8;
constexpr int PlanesField = 12;
constexpr int BitCountField = 14;
constexpr int CompressionField = 16;
constexpr int ColoursUsedField = 32;
constexpr int RedMaskField = 40;
constexpr int GreenMaskField = 44;
constexpr int BlueMaskField = 48;
constexpr int AlphaMaskField = 52;

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool IsBitCount(uint16_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool CompressionFits(uint32_t compression, uint16_t bits, int32_t headerHeight)
{
    switch (compression)
    {
    case CompressionNone:
        return true;
    case CompressionRle8:
        return bits == 8 && headerHeight > 0;
    case CompressionRle4:
        return bits == 4 && headerHeight > 0;
    case CompressionBitFields:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

// Feeds run-length records from the reader a block at a time, so each two-byte record does
// not cost a call through the reader.
class RecordSource
{
public:
    explicit RecordSource(Base::IFileReader& reader) : reader(reader) {}

    // False when the file ends before all count bytes arrived.
    bool Next(uint8_t* bytes, int count)
    {
        for (int i = 0; i < count; ++i)
        {
            if (next == end && !Refill())
            {
                return false;
            }
            bytes[i] = *next++;
        }
        return true;
    }

private:
    bool Refill()
    {
        const int32_t got = reader.Read(block, sizeof block);
        next = block;
        end = block + std::max(got, 0);
        return got > 0;
    }

    Base::IFileReader& reader;
    uint8_t block[4096];
    const uint8_t* next = block;
    const uint8_t* end = block;
};

} // namespace

BitmapImageFile::~BitmapImageFile()
{
    Close();
}

BitmapImageFile::ChannelMask BitmapImageFile::ChannelMask::FromMask(uint32_t mask)
{
    ChannelMask channel;
    if (mask == 0)
    {
        return channel;
    }
    const int shift = std::countr_zero(mask);
    const int bits = std::countr_one(mask >> shift);
    if (shift + bits < 32 && (mask >> (shift + bits)) != 0)
    {
        return channel;
    }
    // A channel wider than 16 bits keeps its top 16: its low bits only refine the 8-bit value.
    const int kept = std::min(bits, 16);
    channel.shift = static_cast<uint16_t>(shift + bits - kept);
    channel.bits = static_cast<uint16_t>(kept);
    channel.max = static_cast<uint16_t>((1u << kept) - 1);
    return channel;
}

uint32_t BitmapImageFile::ChannelMask::Extract(uint32_t value) const
{
    const uint32_t q = (value >> shift) & max;
    if (bits == 8)
    {
        return q;
    }
    if (bits == 0)
    {
        return 0;
    }
    return (q * 255 + max / 2) / max;
}

uint32_t BitmapImageFile::FromMasks(uint32_t value) const
{
    const uint32_t alpha = alphaMask.bits != 0 ? alphaMask.Extract(value) : 0xFF;
    return alpha << 24 | redMask.Extract(value) << 16 | greenMask.Extract(value) << 8 |
           blueMask.Extract(value);
}

bool BitmapImageFile::OpenImpl(const std::shared_ptr<Base::IFileReader>& reader)
{
    Base::IFileReader& file = *reader;
    file.Seek(0);
    uint8_t fileHeader[FileHeaderSize] = {};
    if (file.Read(fileHeader, FileHeaderSize) < FileHeaderSize || fileHeader[0] != 'B' ||
        fileHeader[1] != 'M')
    {
        return false;
    }

    uint8_t record[InfoRecordSize] = {};
    file.Seek(FileHeaderSize);
    file.Read(record, InfoRecordSize);
    const uint32_t headerSize = Le32(record);
    const bool core = headerSize == CoreHeaderSize;
    if (core)
    {
        uint8_t coreHeader[CoreHeaderSize] = {};
        file.Seek(FileHeaderSize);
        if (file.Read(coreHeader, CoreHeaderSize) < static_cast<int32_t>(CoreHeaderSize))
        {
            return false;
        }
        std::fill(std::begin(record), std::end(record), 0);
        std::copy(coreHeader, coreHeader + 4, record);
        const uint32_t coreWidth = Le16(coreHeader + 4);
        const uint32_t coreHeight = Le16(coreHeader + 6);
        for (int i = 0; i < 4; ++i)
        {
            record[WidthField + i] = static_cast<uint8_t>(coreWidth >> (8 * i));
            record[HeightField + i] = static_cast<uint8_t>(coreHeight >> (8 * i));
        }
        std::copy(coreHeader + 8, coreHeader + 12, record + PlanesField);
    }
    else if (headerSize < CoreHeaderSize)
    {
        return false;
    }

    const int32_t headerWidth = static_cast<int32_t>(Le32(record + WidthField));
    const int32_t headerHeight = static_cast<int32_t>(Le32(record + HeightField));
    const uint16_t planes = Le16(record + PlanesField);
    const uint16_t bits = Le16(record + BitCountField);
    const uint32_t compressionField = Le32(record + CompressionField);
    if (planes != 1 || headerWidth <= 0 || headerHeight == 0 || !IsBitCount(bits))
    {
        return false;
    }
    if (core ? !(bits == 1 || bits == 4 || bits == 8 || bits == 24)
             : !CompressionFits(compressionField, bits, headerHeight))
    {
        return false;
    }
    // The decoded picture, counted in bytes, must fit the signed 32-bit result of ReadPixels.
    const int64_t heightMagnitude =
        headerHeight < 0 ? -static_cast<int64_t>(headerHeight) : static_cast<int64_t>(headerHeight);
    if (static_cast<int64_t>(headerWidth) * heightMagnitude * 4 >
        std::numeric_limits<int32_t>::max())
    {
        return false;
    }

    const int64_t fileSize = file.GetSize();
    const int64_t tableStart = FileHeaderSize + static_cast<int64_t>(headerSize);
    const int entrySize = core ? 3 : 4;
    colourCount = 0;
    if (bits <= 8)
    {
        const uint32_t slots = 1u << bits;
        const uint32_t coloursUsed = core ? 0 : Le32(record + ColoursUsedField);
        colourCount = coloursUsed != 0 ? coloursUsed : slots;
        // Entries past the last index the pixels can hold are never looked up.
        const uint32_t entries = std::min(colourCount, slots);
        colourTable.assign(slots, 0x00000000);
        if (tableStart > fileSize)
        {
            return false;
        }
        file.Seek(static_cast<int32_t>(tableStart));
        std::vector<uint8_t> bytes(static_cast<size_t>(entries) * entrySize);
        if (file.Read(bytes.data(), static_cast<int32_t>(bytes.size())) <
            static_cast<int32_t>(bytes.size()))
        {
            return false;
        }
        for (uint32_t i = 0; i < entries; ++i)
        {
            const uint8_t* entry = bytes.data() + static_cast<size_t>(i) * entrySize;
            colourTable[i] = 0xFF000000u | static_cast<uint32_t>(entry[2]) << 16 |
                             static_cast<uint32_t>(entry[1]) << 8 | entry[0];
        }
    }

    const uint32_t compressionValue = core ? CompressionNone : compressionField;
    int64_t maskBytes = 0;
    // A 40-byte header keeps its bit-field masks right after it, which is where the record
    // holds them; the later headers carry them inside.
    if (!core && compressionValue == CompressionBitFields && headerSize >= InfoHeaderSize)
    {
        redMask = ChannelMask::FromMask(Le32(record + RedMaskField));
        greenMask = ChannelMask::FromMask(Le32(record + GreenMaskField));
        blueMask = ChannelMask::FromMask(Le32(record + BlueMaskField));
        alphaMask =
            headerSize >= 56 ? ChannelMask::FromMask(Le32(record + AlphaMaskField)) : ChannelMask{};
        if (headerSize < 52)
        {
            maskBytes = 12;
        }
        // Compared in full, as a channel wider than 16 bits keeps only its top 16; a mask
        // refused as a channel takes no part.
        const auto used = [&](const ChannelMask& channel, int field)
        {
            return channel.bits != 0 ? Le32(record + field) : 0;
        };
        const uint32_t masks[] = {used(redMask, RedMaskField), used(greenMask, GreenMaskField),
                                  used(blueMask, BlueMaskField), used(alphaMask, AlphaMaskField)};
        for (int i = 0; i < 4; ++i)
        {
            for (int j = i + 1; j < 4; ++j)
            {
                if ((masks[i] & masks[j]) != 0)
                {
                    return false;
                }
            }
        }
    }
    else if (bits == 16)
    {
        redMask = ChannelMask::FromMask(0x7C00);
        greenMask = ChannelMask::FromMask(0x03E0);
        blueMask = ChannelMask::FromMask(0x001F);
        alphaMask = {};
    }
    else
    {
        redMask = ChannelMask::FromMask(0xFF0000);
        greenMask = ChannelMask::FromMask(0x00FF00);
        blueMask = ChannelMask::FromMask(0x0000FF);
        alphaMask = {};
    }

    const uint32_t headerOffset = Le32(fileHeader + 10);
    const int64_t offset =
        headerOffset != 0 ? static_cast<int64_t>(headerOffset)
                          : tableStart + maskBytes + static_cast<int64_t>(colourCount) * entrySize;
    // Pixels that start past the end of the file would be whatever the header bytes hold.
    if (offset >= fileSize)
    {
        return false;
    }
    dataOffset = static_cast<int32_t>(offset);

    fileReader = reader;
    width = headerWidth;
    height = static_cast<int32_t>(heightMagnitude);
    topDown = headerHeight < 0;
    bitCount = bits;
    compression = compressionValue;
    return true;
}

void BitmapImageFile::CloseImpl()
{
    fileReader.reset();
    dataOffset = 0;
    width = 0;
    height = 0;
    compression = 0;
    bitCount = 0;
    topDown = false;
    redMask = greenMask = blueMask = alphaMask = {};
    colourCount = 0;
    colourTable.clear();
}

int32_t BitmapImageFile::ReadPixelsImpl(uint32_t* pixels, int32_t stride)
{
    if (compression == CompressionRle8 || compression == CompressionRle4)
    {
        return ReadRunLength(pixels, stride);
    }
    return ReadRows(pixels, stride);
}

int32_t BitmapImageFile::ReadRows(uint32_t* pixels, int32_t stride)
{
    Base::IFileReader& file = *fileReader;
    const int64_t rowLength = (static_cast<int64_t>(width) * bitCount + 7) / 8;
    const int64_t storedRowSize = (rowLength + 3) / 4 * 4;
    std::vector<uint8_t> row(static_cast<size_t>(rowLength));
    const uint32_t* table = colourTable.data();

    for (int32_t i = 0; i < height; ++i)
    {
        const int64_t position = dataOffset + i * storedRowSize;
        // A row that lies outside the file keeps the previous row's bytes, as a short read does.
        if (position >= 0 && position <= std::numeric_limits<int32_t>::max() &&
            file.Seek(static_cast<int32_t>(position)))
        {
            file.Read(row.data(), static_cast<int32_t>(rowLength));
        }
        const int32_t destinationRow = topDown ? i : height - 1 - i;
        uint32_t* out = pixels + static_cast<ptrdiff_t>(destinationRow) * stride;
        const uint8_t* in = row.data();
        switch (bitCount)
        {
        case 1:
            for (int32_t x = 0; x < width; ++x)
            {
                out[x] = table[(in[x >> 3] >> (7 - (x & 7))) & 1];
            }
            break;
        case 4:
            for (int32_t x = 0; x < width; ++x)
            {
                out[x] = table[(x & 1) != 0 ? in[x >> 1] & 0x0F : in[x >> 1] >> 4];
            }
            break;
        case 8:
            for (int32_t x = 0; x < width; ++x)
            {
                out[x] = table[in[x]];
            }
            break;
        case 16:
            for (int32_t x = 0; x < width; ++x)
            {
                out[x] = FromMasks(Le16(in + 2 * static_cast<ptrdiff_t>(x)));
            }
            break;
        case 24:
            for (int32_t x = 0; x < width; ++x, in += 3)
            {
                out[x] = 0xFF000000u | static_cast<uint32_t>(in[2]) << 16 |
                         static_cast<uint32_t>(in[1]) << 8 | in[0];
            }
            break;
        default:
            for (int32_t x = 0; x < width; ++x)
            {
                out[x] = FromMasks(Le32(in + 4 * static_cast<ptrdiff_t>(x)));
            }
            break;
        }
    }
    return width * height * 4;
}

int32_t BitmapImageFile::ReadRunLength(uint32_t* pixels, int32_t stride)
{
    Base::IFileReader& file = *fileReader;
    if (!file.Seek(dataOffset))
    {
        return 0;
    }
    const bool nibbles = compression == CompressionRle4;
    const uint32_t* table = colourTable.data();
    RecordSource source(file);
    int64_t stored = 0;
    // Run-length pictures are always bottom-up: the stream starts on the bottom row.
    int64_t row = height - 1;
    int64_t x = 0;

    const auto put = [&](uint32_t colour)
    {
        if (x >= 0 && x < width && row >= 0 && row < height)
        {
            pixels[static_cast<ptrdiff_t>(row) * stride + x] = colour;
            ++stored;
        }
        ++x;
    };

    uint8_t record[2];
    while (source.Next(record, 2))
    {
        const uint8_t count = record[0];
        const uint8_t value = record[1];
        if (count != 0)
        {
            const uint32_t high = table[nibbles ? value >> 4 : value];
            const uint32_t low = table[nibbles ? value & 0x0F : value];
            if (row < 0 || x >= width)
            {
                x += count;
                continue;
            }
            for (int i = 0; i < count; ++i)
            {
                put((i & 1) != 0 ? low : high);
            }
            continue;
        }
        if (value == 0)
        {
            --row;
            x = 0;
        }
        else if (value == 1)
        {
            break;
        }
        else if (value == 2)
        {
            uint8_t delta[2];
            if (!source.Next(delta, 2))
            {
                break;
            }
            x += delta[0];
            row -= delta[1];
        }
        else
        {
            const int dataBytes = nibbles ? (value + 1) / 2 : value;
            uint8_t data[255];
            bool complete = true;
            int produced = 0;
            for (int i = 0; i < dataBytes; ++i)
            {
                if (!source.Next(data + i, 1))
                {
                    complete = false;
                    break;
                }
                if (nibbles)
                {
                    put(table[data[i] >> 4]);
                    if (++produced < value)
                    {
                        put(table[data[i] & 0x0F]);
                        ++produced;
                    }
                }
                else
                {
                    put(table[data[i]]);
                }
            }
            if (!complete || ((dataBytes & 1) != 0 && !source.Next(data, 1)))
            {
                break;
            }
        }
    }
    return static_cast<int32_t>(stored * 4);
}

std::shared_ptr<IImageFile> CreateBitmapImageFile()
{
    return std::make_shared<BitmapImageFile>();
}

} // namespace Qorv::Draw
