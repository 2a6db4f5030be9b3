#include "framework/draw/BitmapImageFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <limits>
#include <optional>

namespace Qorv::Draw
{

namespace
{

constexpr int32_t FileHeaderSize = 14;
// Every field used lies in the first 108 bytes after the file header, whatever the header kind.
constexpr int32_t InfoRecordSize = 108;
constexpr uint32_t CoreHeaderSize = 12;
constexpr uint32_t InfoHeaderSize = 40;
// Red, green and blue masks inside the header.
constexpr uint32_t V2HeaderSize = 52;
// The alpha mask inside it as well, as in every later header.
constexpr uint32_t V3HeaderSize = 56;
// Bytes of the red, green and blue masks stored after a 40-byte header.
constexpr int32_t InfoMaskBytes = 12;

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
// The core header's 16-bit fields.
constexpr int CoreWidthField = 4;
constexpr int CoreHeightField = 6;
constexpr int CorePlanesField = 8;
constexpr int CoreBitCountField = 10;

// Red, green, blue and alpha, when no masks are stored: 5-5-5 for 16 bits, 8-8-8 otherwise.
constexpr std::array<uint32_t, 4> Rgb555Masks = {0x7C00, 0x03E0, 0x001F, 0};
constexpr std::array<uint32_t, 4> Rgb888Masks = {0xFF0000, 0x00FF00, 0x0000FF, 0};

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

// What a header says, whichever kind it was.
struct Header
{
    int32_t width = 0;
    // Negative when the rows are stored top row first.
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = CompressionNone;
    // 0 stands for as many colours as the bit count can index.
    uint32_t coloursUsed = 0;
    int32_t entrySize = 4;
    // Red, green, blue and alpha.
    std::array<uint32_t, 4> masks{};
    // Masks stored between the header and the colour table.
    int32_t maskBytes = 0;
};

const std::array<uint32_t, 4>& DefaultMasks(uint16_t bits)
{
    return bits == 16 ? Rgb555Masks : Rgb888Masks;
}

// OS/2 1.x, 12 bytes: 16-bit sizes, three-byte colours, never compressed.
std::optional<Header> ReadCoreHeader(const uint8_t* record, int32_t recordBytes)
{
    if (recordBytes < static_cast<int32_t>(CoreHeaderSize))
    {
        return std::nullopt;
    }
    Header header;
    header.width = Le16(record + CoreWidthField);
    header.height = Le16(record + CoreHeightField);
    header.planes = Le16(record + CorePlanesField);
    header.bitCount = Le16(record + CoreBitCountField);
    header.entrySize = 3;
    const uint16_t bits = header.bitCount;
    if (!(bits == 1 || bits == 4 || bits == 8 || bits == 24))
    {
        return std::nullopt;
    }
    header.masks = DefaultMasks(bits);
    return header;
}

// The fields at the info header's places, which every longer header keeps; they are taken from
// there for a shorter header too, whatever follows it.
Header ReadInfoFields(const uint8_t* record)
{
    Header header;
    header.width = static_cast<int32_t>(Le32(record + WidthField));
    header.height = static_cast<int32_t>(Le32(record + HeightField));
    header.planes = Le16(record + PlanesField);
    header.bitCount = Le16(record + BitCountField);
    header.compression = Le32(record + CompressionField);
    header.coloursUsed = Le32(record + ColoursUsedField);
    header.masks = DefaultMasks(header.bitCount);
    return header;
}

// The 40-byte info header, whose bit-field masks follow it.
Header ReadInfoHeader(const uint8_t* record)
{
    Header header = ReadInfoFields(record);
    if (header.compression == CompressionBitFields)
    {
        header.masks = {Le32(record + RedMaskField), Le32(record + GreenMaskField),
                        Le32(record + BlueMaskField), 0};
        header.maskBytes = InfoMaskBytes;
    }
    return header;
}

// From 52 bytes the masks sit inside the header, from 56 with the alpha mask.
Header ReadMaskedHeader(const uint8_t* record, uint32_t headerSize)
{
    Header header = ReadInfoFields(record);
    if (header.compression == CompressionBitFields)
    {
        header.masks = {Le32(record + RedMaskField), Le32(record + GreenMaskField),
                        Le32(record + BlueMaskField),
                        headerSize >= V3HeaderSize ? Le32(record + AlphaMaskField) : 0};
    }
    return header;
}

int64_t RowCount(const Header& header)
{
    return header.height < 0 ? -static_cast<int64_t>(header.height)
                             : static_cast<int64_t>(header.height);
}

bool IsSupported(const Header& header)
{
    if (header.planes != 1 || header.width <= 0 || header.height == 0 ||
        !IsBitCount(header.bitCount) ||
        !CompressionFits(header.compression, header.bitCount, header.height))
    {
        return false;
    }
    // The decoded picture, counted in bytes, must fit the signed 32-bit result of ReadPixels.
    return static_cast<int64_t>(header.width) * RowCount(header) * 4 <=
           std::numeric_limits<int32_t>::max();
}

// Opaque colours into the first entries of table; false when the file holds fewer.
bool ReadColourTable(Base::IFileReader& file, int64_t start, uint32_t entries, int32_t entrySize,
                     std::vector<uint32_t>& table)
{
    if (start > file.GetSize())
    {
        return false;
    }
    file.Seek(static_cast<int32_t>(start));
    std::vector<uint8_t> bytes(static_cast<size_t>(entries) * static_cast<size_t>(entrySize));
    if (file.Read(bytes.data(), static_cast<int32_t>(bytes.size())) <
        static_cast<int32_t>(bytes.size()))
    {
        return false;
    }
    for (uint32_t i = 0; i < entries; ++i)
    {
        const uint8_t* entry =
            bytes.data() + static_cast<size_t>(i) * static_cast<size_t>(entrySize);
        table[i] = 0xFF000000u | static_cast<uint32_t>(entry[2]) << 16 |
                   static_cast<uint32_t>(entry[1]) << 8 | entry[0];
    }
    return true;
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

// Compared in full, as a channel wider than 16 bits keeps only its top 16; a mask refused as a
// channel takes no part.
bool BitmapImageFile::MasksOverlap(const std::array<uint32_t, 4>& masks)
{
    uint32_t claimed = 0;
    for (const uint32_t mask : masks)
    {
        const uint32_t used = ChannelMask::FromMask(mask).bits != 0 ? mask : 0;
        if ((used & claimed) != 0)
        {
            return true;
        }
        claimed |= used;
    }
    return false;
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
    const int32_t recordBytes = file.Read(record, InfoRecordSize);
    const uint32_t headerSize = Le32(record);
    std::optional<Header> parsed;
    if (headerSize < CoreHeaderSize)
    {
        return false;
    }
    if (headerSize == CoreHeaderSize)
    {
        parsed = ReadCoreHeader(record, recordBytes);
    }
    else if (headerSize < InfoHeaderSize)
    {
        // Shorter than the info header, as the 16-byte OS/2 2.x header is: no masks, and the
        // fields it leaves out are zero, not the colour table that follows it.
        std::fill(record + headerSize, record + InfoRecordSize, uint8_t{0});
        parsed = ReadInfoFields(record);
    }
    else if (headerSize < V2HeaderSize)
    {
        parsed = ReadInfoHeader(record);
    }
    else
    {
        // A 64-byte OS/2 2.x header lands here too: its Huffman and 24-bit run-length
        // compressions, 3 and 4, fit no bit count they could go with and are refused.
        parsed = ReadMaskedHeader(record, headerSize);
    }
    if (!parsed || !IsSupported(*parsed))
    {
        return false;
    }
    const Header& header = *parsed;

    const int64_t tableStart = FileHeaderSize + static_cast<int64_t>(headerSize);
    colourCount = 0;
    if (header.bitCount <= 8)
    {
        const uint32_t slots = 1u << header.bitCount;
        colourCount = header.coloursUsed != 0 ? header.coloursUsed : slots;
        // Slots the file holds no colour for stay transparent black; entries past the last
        // index the pixels can hold are never looked up.
        colourTable.assign(slots, 0x00000000);
        if (!ReadColourTable(file, tableStart, std::min(colourCount, slots), header.entrySize,
                             colourTable))
        {
            return false;
        }
    }

    redMask = ChannelMask::FromMask(header.masks[0]);
    greenMask = ChannelMask::FromMask(header.masks[1]);
    blueMask = ChannelMask::FromMask(header.masks[2]);
    alphaMask = ChannelMask::FromMask(header.masks[3]);
    if (MasksOverlap(header.masks))
    {
        return false;
    }

    const uint32_t headerOffset = Le32(fileHeader + 10);
    const int64_t offset =
        headerOffset != 0
            ? static_cast<int64_t>(headerOffset)
            : tableStart + header.maskBytes + static_cast<int64_t>(colourCount) * header.entrySize;
    // Pixels that start past the end of the file would be whatever the header bytes hold.
    if (offset >= file.GetSize())
    {
        return false;
    }
    dataOffset = static_cast<int32_t>(offset);

    fileReader = reader;
    width = header.width;
    height = static_cast<int32_t>(RowCount(header));
    topDown = header.height < 0;
    bitCount = header.bitCount;
    compression = header.compression;
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
            // A truncated file shows what it holds; the rest of the row stays as it was.
            (void)file.Read(row.data(), static_cast<int32_t>(rowLength));
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
