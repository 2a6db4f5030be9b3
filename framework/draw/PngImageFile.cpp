#include "framework/draw/PngImageFile.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
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

// Kept apart from anything with a destructor, which the jump back would skip. Returns the
// number of rows read, or -1 when the library failed.
int ReadAllRows(png_structp png, png_bytep* rows, uint32_t height, int passes)
{
    if (setjmp(png_jmpbuf(png)) != 0)
    {
        return -1;
    }
    int calls = 0;
    for (int pass = 0; pass < passes; ++pass)
    {
        for (uint32_t r = 0; r < height; ++r)
        {
            png_read_rows(png, &rows[r], nullptr, 1);
            ++calls;
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
    reader->Read(signature, SignatureSize);
    if (png_sig_cmp(signature, 0, SignatureSize) != 0)
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

    if (setjmp(png_jmpbuf(readStruct)) != 0)
    {
        png_destroy_read_struct(&readStruct, &infoStruct, nullptr);
        readStruct = nullptr;
        infoStruct = nullptr;
        width = height = 0;
        passes = 0;
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
    if ((colourType & PNG_COLOR_MASK_ALPHA) == 0)
    {
        png_set_filler(readStruct, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_bgr(readStruct);
    passes = png_set_interlace_handling(readStruct);
    png_read_update_info(readStruct, infoStruct);
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
}

int32_t PngImageFile::ReadPixelsImpl(uint32_t* pixels, int32_t stride)
{
    std::vector<png_bytep> rows(height);
    for (uint32_t r = 0; r < height; ++r)
    {
        rows[r] = reinterpret_cast<png_bytep>(pixels + static_cast<ptrdiff_t>(r) * stride);
    }
    const int calls = ReadAllRows(readStruct, rows.data(), height, passes);
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
