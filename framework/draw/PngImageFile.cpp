#include "framework/draw/PngImageFile.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstring>
#include <limits>
#include <vector>

namespace Qorv::Draw
{

namespace
{

constexpr png_alloc_size_t MaxChunkBytes = 8 * 1024 * 1024;

constexpr int SignatureSize = 8;

void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnRead(png_structp png, png_bytep data, size_t length)
{
    if (data == nullptr || length == 0)
    {
        return;
    }
    // Bytes not delivered would leave libpng decoding whatever the buffer held before.
    auto* reader = static_cast<Base::IFileReader*>(png_get_io_ptr(png));
    if (reader == nullptr || !reader->IsOpen() ||
        length > static_cast<size_t>(std::numeric_limits<int32_t>::max()) ||
        reader->Read(data, static_cast<int32_t>(length)) != static_cast<int32_t>(length))
    {
        png_error(png, "unexpected end of file");
    }
}

// libpng leaves rows as RGB or RGBA bytes; one pass from scratch makes them ARGB.
void ToArgb(const png_byte* __restrict in, uint32_t* __restrict out, uint32_t width, int channels)
{
    if (channels == 4)
    {
        for (uint32_t x = 0; x < width; ++x, in += 4)
        {
            out[x] = static_cast<uint32_t>(in[3]) << 24 | static_cast<uint32_t>(in[0]) << 16 |
                     static_cast<uint32_t>(in[1]) << 8 | in[2];
        }
        return;
    }
    for (uint32_t x = 0; x < width; ++x, in += 3)
    {
        out[x] = 0xFF000000u | static_cast<uint32_t>(in[0]) << 16 |
                 static_cast<uint32_t>(in[1]) << 8 | in[2];
    }
}

// Kept apart from anything with a destructor, which the jump back would skip. Returns the
// number of rows read, or -1 when the library failed. A plain picture's rows pass through
// scratch, which stays in the cache; an interlaced one's fill in over the passes in place, and
// go through scratch once the last pass has been over them.
int ReadAllRows(png_structp png, png_bytep* rows, png_bytep scratch, uint32_t width,
                uint32_t height, int passes, int channels)
{
    if (setjmp(png_jmpbuf(png)) != 0)
    {
        return -1;
    }
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    int calls = 0;
    for (int pass = 0; pass < passes; ++pass)
    {
        for (uint32_t r = 0; r < height; ++r)
        {
            png_bytep row = passes == 1 ? scratch : rows[r];
            png_read_rows(png, &row, nullptr, 1);
            ++calls;
            if (pass == passes - 1)
            {
                if (passes > 1)
                {
                    std::memcpy(scratch, row, rowBytes);
                }
                ToArgb(scratch, reinterpret_cast<uint32_t*>(rows[r]), width, channels);
            }
        }
    }
    return calls;
}

// Reads the chunks after the image data. Only once every row is read: ending earlier makes
// libpng inflate the rest of the picture and warn of too much image data.
void FinishQuietly(png_structp png)
{
    if (setjmp(png_jmpbuf(png)) != 0)
    {
        return;
    }
    png_read_end(png, nullptr);
}

} // namespace

PngImageFile::~PngImageFile()
{
    Close();
}

bool PngImageFile::OpenImpl(const std::shared_ptr<Base::IFileReader>& reader)
{
    reader->Seek(0);
    png_byte signature[SignatureSize] = {};
    if (reader->Read(signature, SignatureSize) != SignatureSize ||
        png_sig_cmp(signature, 0, SignatureSize) != 0)
    {
        return false;
    }

    readStruct = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, nullptr);
    if (readStruct == nullptr)
    {
        return false;
    }
    infoStruct = png_create_info_struct(readStruct);
    if (infoStruct == nullptr)
    {
        png_destroy_read_struct(&readStruct, nullptr, nullptr);
        readStruct = nullptr;
        return false;
    }
    png_set_read_fn(readStruct, reader.get(), OnRead);
    // libpng allocates a chunk's stated length before reading it, and damaged lengths asked
    // for a gigabyte (sPLT, pCAL, sCAL). Decoding uses no ancillary chunk but tRNS, so all the
    // others, known or not, are skipped unread, and what is left is bounded.
    png_set_keep_unknown_chunks(readStruct, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_chunk_malloc_max(readStruct, MaxChunkBytes);
    // Every IDAT chunk's CRC-32 is still checked, so a damaged stream is still refused; the
    // stream's own Adler-32 over the same bytes again took an eighth of the decode. Builds of
    // libpng without the option (Debian 13's) check it.
#ifdef PNG_IGNORE_ADLER32
    png_set_option(readStruct, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif

    if (setjmp(png_jmpbuf(readStruct)) != 0)
    {
        png_destroy_read_struct(&readStruct, &infoStruct, nullptr);
        readStruct = nullptr;
        infoStruct = nullptr;
        width = height = 0;
        passes = 0;
        channels = 0;
        return false;
    }

    png_set_sig_bytes(readStruct, SignatureSize);
    png_read_info(readStruct, infoStruct);
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(readStruct, infoStruct, &width, &height, &bitDepth, &colourType, nullptr, nullptr,
                 nullptr);
    // The decoded picture, counted in bytes, must fit the signed 32-bit result of ReadPixels.
    if (static_cast<uint64_t>(width) * height * 4 >
        static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
    {
        png_error(readStruct, "picture too large");
    }

    if (png_get_valid(readStruct, infoStruct, PNG_INFO_tRNS) != 0)
    {
        png_set_tRNS_to_alpha(readStruct);
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE || (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8))
    {
        png_set_expand(readStruct);
    }
    if (bitDepth > 8)
    {
        png_set_strip_16(readStruct);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    {
        png_set_gray_to_rgb(readStruct);
    }
    passes = png_set_interlace_handling(readStruct);
    png_read_update_info(readStruct, infoStruct);
    channels = png_get_channels(readStruct, infoStruct);
    // The rows are converted as RGB or RGBA; anything else would be read past its end.
    if (channels != 3 && channels != 4)
    {
        png_error(readStruct, "unexpected channel count");
    }
    return true;
}

void PngImageFile::CloseImpl()
{
    if (readStruct != nullptr)
    {
        png_destroy_read_struct(&readStruct, &infoStruct, nullptr);
    }
    readStruct = nullptr;
    infoStruct = nullptr;
    width = 0;
    height = 0;
    passes = 0;
    channels = 0;
}

int32_t PngImageFile::ReadPixelsImpl(uint32_t* pixels, int32_t stride)
{
    std::vector<png_bytep> rows(height);
    for (uint32_t r = 0; r < height; ++r)
    {
        rows[r] = reinterpret_cast<png_bytep>(pixels + static_cast<ptrdiff_t>(r) * stride);
    }
    std::vector<png_byte> scratch(png_get_rowbytes(readStruct, infoStruct));
    const int calls =
        ReadAllRows(readStruct, rows.data(), scratch.data(), width, height, passes, channels);
    if (calls <= 0)
    {
        return 0;
    }
    FinishQuietly(readStruct);
    // Seven passes over a large picture count more bytes than the result can hold.
    const int64_t bytes = static_cast<int64_t>(width) * calls * 4;
    return static_cast<int32_t>(std::min<int64_t>(bytes, std::numeric_limits<int32_t>::max()));
}

std::shared_ptr<IImageFile> CreatePngImageFile()
{
    return std::make_shared<PngImageFile>();
}

} // namespace Qorv::Draw
