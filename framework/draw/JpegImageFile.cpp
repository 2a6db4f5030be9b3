#include "framework/draw/JpegImageFile.h"

#include <jerror.h>

#include <bit>
#include <cstddef>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

namespace Qorv::Draw
{

namespace
{

constexpr size_t InputBufferSize = 4096;

// The byte order of a 0xAARRGGBB pixel in memory.
constexpr J_COLOR_SPACE PixelOrder =
    std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// Beyond this the library would need a backing store it does not have, and fails cleanly
// instead of allocating whatever a progressive header asks for.
constexpr long MaxLibraryMemory = 256L * 1024 * 1024;

class JpegError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct ReaderSource
{
    jpeg_source_mgr pub;
    Base::IFileReader* reader;
    JOCTET* buffer;
    boolean startOfFile;
};

void OnErrorExit(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX] = {};
    (*info->err->format_message)(info, text);
    throw JpegError(text);
}

void InitSource(j_decompress_ptr info)
{
    reinterpret_cast<ReaderSource*>(info->src)->startOfFile = TRUE;
}

boolean FillInputBuffer(j_decompress_ptr info)
{
    auto* source = reinterpret_cast<ReaderSource*>(info->src);
    int32_t got = 0;
    if (source->reader->IsOpen())
    {
        got = source->reader->Read(source->buffer, static_cast<int32_t>(InputBufferSize));
    }
    if (got <= 0)
    {
        if (source->startOfFile)
        {
            ERREXIT(info, JERR_INPUT_EMPTY);
        }
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = static_cast<size_t>(got);
    source->startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count)
{
    if (count <= 0)
    {
        return;
    }
    jpeg_source_mgr* source = info->src;
    while (count > static_cast<long>(source->bytes_in_buffer))
    {
        count -= static_cast<long>(source->bytes_in_buffer);
        FillInputBuffer(info);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

void InstallSource(j_decompress_ptr info, Base::IFileReader* reader)
{
    if (info->src == nullptr)
    {
        auto* source = static_cast<ReaderSource*>((*info->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(ReaderSource)));
        source->buffer = static_cast<JOCTET*>((*info->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, InputBufferSize));
        info->src = &source->pub;
    }
    auto* source = reinterpret_cast<ReaderSource*>(info->src);
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->pub.next_input_byte = nullptr;
    source->pub.bytes_in_buffer = 0;
    source->reader = reader;
    source->startOfFile = FALSE;
}

} // namespace

JpegImageFile::JpegImageFile()
{
    std::memset(&decompress, 0, sizeof decompress);
    std::memset(&errorManager, 0, sizeof errorManager);
}

JpegImageFile::~JpegImageFile()
{
    Close();
}

bool JpegImageFile::OpenImpl(const std::shared_ptr<Base::IFileReader>& reader)
{
    reader->Seek(0);
    decompress.err = jpeg_std_error(&errorManager);
    errorManager.error_exit = OnErrorExit;
    try
    {
        jpeg_CreateDecompress(&decompress, JPEG_LIB_VERSION, sizeof decompress);
        decompress.mem->max_memory_to_use = MaxLibraryMemory;
        InstallSource(&decompress, reader.get());
        if (jpeg_read_header(&decompress, TRUE) != JPEG_HEADER_OK)
        {
            jpeg_destroy_decompress(&decompress);
            return false;
        }
        // Colour pictures come out of the library as the 32-bit pixels themselves, alpha
        // filled, so rows need no conversion of ours.
        if (decompress.out_color_space == JCS_RGB)
        {
            decompress.out_color_space = PixelOrder;
        }
        jpeg_start_decompress(&decompress);
        // Four-component (CMYK) output has no conversion to ARGB here.
        const bool convertible = decompress.out_color_space == PixelOrder ||
                                 decompress.output_components == 1 ||
                                 decompress.output_components == 3;
        const bool fits =
            static_cast<uint64_t>(decompress.output_width) * decompress.output_height * 4 <=
            static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
        if (!convertible || !fits)
        {
            jpeg_destroy_decompress(&decompress);
            return false;
        }
        return true;
    }
    catch (...)
    {
        jpeg_destroy_decompress(&decompress);
        return false;
    }
}

void JpegImageFile::CloseImpl()
{
    try
    {
        jpeg_finish_decompress(&decompress);
    }
    catch (...)
    {
        // A picture left unread or broken cannot be finished; it is destroyed all the same.
    }
    jpeg_destroy_decompress(&decompress);
    std::memset(&decompress, 0, sizeof decompress);
    std::memset(&errorManager, 0, sizeof errorManager);
}

int32_t JpegImageFile::ReadPixelsImpl(uint32_t* pixels, int32_t stride)
{
    const JDIMENSION outputWidth = decompress.output_width;
    const int components = decompress.output_components;
    const bool direct = decompress.out_color_space == PixelOrder;
    std::vector<JSAMPLE> row(direct ? 0 : static_cast<size_t>(outputWidth) * components);
    int64_t lines = 0;
    try
    {
        uint32_t* out = pixels;
        while (decompress.output_scanline < decompress.output_height)
        {
            if (direct)
            {
                JSAMPROW rowPointer = reinterpret_cast<JSAMPROW>(out);
                if (jpeg_read_scanlines(&decompress, &rowPointer, 1) != 1)
                {
                    break;
                }
                ++lines;
                out += stride;
                continue;
            }
            JSAMPROW rowPointer = row.data();
            if (jpeg_read_scanlines(&decompress, &rowPointer, 1) != 1)
            {
                break;
            }
            ++lines;
            const JSAMPLE* in = row.data();
            if (components == 3)
            {
                for (JDIMENSION x = 0; x < outputWidth; ++x, in += 3)
                {
                    out[x] = 0xFF000000u | static_cast<uint32_t>(in[0]) << 16 |
                             static_cast<uint32_t>(in[1]) << 8 | in[2];
                }
            }
            else
            {
                for (JDIMENSION x = 0; x < outputWidth; ++x)
                {
                    const uint32_t v = in[x];
                    out[x] = 0xFF000000u | v << 16 | v << 8 | v;
                }
            }
            out += stride;
        }
    }
    catch (...)
    {
        jpeg_abort_decompress(&decompress);
        return 0;
    }
    return static_cast<int32_t>(static_cast<int64_t>(outputWidth) * lines * 4);
}

std::shared_ptr<IImageFile> CreateJpegImageFile()
{
    return std::make_shared<JpegImageFile>();
}

} // namespace Qorv::Draw
