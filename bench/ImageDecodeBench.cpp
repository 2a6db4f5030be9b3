// Picture decoding speed in megapixels per second: our decoders beside stb_image, on one
// 2048x2048 picture stored as 24-bit BMP, RLE8 BMP, PNG and baseline JPEG.

#include "framework/draw/BitmapImageFile.h"
#include "framework/draw/JpegImageFile.h"
#include "framework/draw/PngImageFile.h"

#include <benchmark/benchmark.h>
#include <png.h>
#include <stb_image.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;

constexpr int Side = 2048;
constexpr double Megapixels = Side * Side / 1e6;

// Bands of flat colour, as drawn pictures have: runs of some tens of pixels.
struct Picture
{
    std::vector<uint8_t> indexes;
    uint8_t palette[256][3];

    Picture() : indexes(static_cast<size_t>(Side) * Side)
    {
        for (int i = 0; i < 256; ++i)
        {
            palette[i][0] = static_cast<uint8_t>(i);
            palette[i][1] = static_cast<uint8_t>(i * 3);
            palette[i][2] = static_cast<uint8_t>(255 - i);
        }
        for (int y = 0; y < Side; ++y)
        {
            for (int x = 0; x < Side; ++x)
            {
                const double radius = std::hypot(x - Side / 2, y - Side / 2);
                indexes[static_cast<size_t>(y) * Side + x] =
                    static_cast<uint8_t>(static_cast<int>(radius) / 16 + x / 128);
            }
        }
    }

    const uint8_t* Rgb(int x, int y) const
    {
        return palette[indexes[static_cast<size_t>(y) * Side + x]];
    }
};

void Put(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
    {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::string BmpFile(int bits, uint32_t compression, const std::string& pixelData)
{
    const uint32_t tableSize = bits == 8 ? 256 * 4 : 0;
    std::string file = "BM";
    Put(file, static_cast<uint32_t>(14 + 40 + tableSize + pixelData.size()), 4);
    Put(file, 0, 4);
    Put(file, 14 + 40 + tableSize, 4);
    Put(file, 40, 4);
    Put(file, Side, 4);
    Put(file, Side, 4);
    Put(file, 1, 2);
    Put(file, static_cast<uint32_t>(bits), 2);
    Put(file, compression, 4);
    Put(file, static_cast<uint32_t>(pixelData.size()), 4);
    Put(file, 0, 16);
    return file;
}

void WriteBmps(const Picture& picture, const fs::path& folder)
{
    std::string rgb;
    std::string indexed;
    std::string rle;
    for (int y = Side - 1; y >= 0; --y)
    {
        for (int x = 0; x < Side; ++x)
        {
            const uint8_t* c = picture.Rgb(x, y);
            rgb += {static_cast<char>(c[2]), static_cast<char>(c[1]), static_cast<char>(c[0])};
        }
        const uint8_t* row = picture.indexes.data() + static_cast<size_t>(y) * Side;
        indexed.append(reinterpret_cast<const char*>(row), Side);
        for (int x = 0; x < Side;)
        {
            int run = 1;
            while (x + run < Side && run < 255 && row[x + run] == row[x])
            {
                ++run;
            }
            rle += {static_cast<char>(run), static_cast<char>(row[x])};
            x += run;
        }
        rle += {0, 0};
    }
    rle += {0, 1};
    std::string table;
    for (const auto& colour : picture.palette)
    {
        table += {static_cast<char>(colour[2]), static_cast<char>(colour[1]),
                  static_cast<char>(colour[0]), 0};
    }
    std::ofstream(folder / "rgb24.bmp", std::ios::binary) << BmpFile(24, 0, rgb) << rgb;
    std::ofstream(folder / "pal8.bmp", std::ios::binary)
        << BmpFile(8, 0, indexed) << table << indexed;
    std::ofstream(folder / "rle8.bmp", std::ios::binary) << BmpFile(8, 1, rle) << table << rle;
}

std::vector<uint8_t> RgbRows(const Picture& picture)
{
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(Side) * Side * 3);
    for (int y = 0; y < Side; ++y)
    {
        for (int x = 0; x < Side; ++x)
        {
            const uint8_t* c = picture.Rgb(x, y);
            rgb.insert(rgb.end(), c, c + 3);
        }
    }
    return rgb;
}

void WritePng(const std::vector<uint8_t>& rgb, const fs::path& file)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = Side;
    image.height = Side;
    image.format = PNG_FORMAT_RGB;
    png_image_write_to_file(&image, file.c_str(), 0, rgb.data(), 0, nullptr);
}

void WriteJpeg(const std::vector<uint8_t>& rgb, const fs::path& file)
{
    std::FILE* stream = std::fopen(file.c_str(), "wb");
    jpeg_compress_struct compress{};
    jpeg_error_mgr errors{};
    compress.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compress);
    jpeg_stdio_dest(&compress, stream);
    compress.image_width = Side;
    compress.image_height = Side;
    compress.input_components = 3;
    compress.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compress);
    jpeg_set_quality(&compress, 90, TRUE);
    jpeg_start_compress(&compress, TRUE);
    while (compress.next_scanline < compress.image_height)
    {
        JSAMPROW row = const_cast<JSAMPLE*>(rgb.data()) +
                       static_cast<size_t>(compress.next_scanline) * Side * 3;
        jpeg_write_scanlines(&compress, &row, 1);
    }
    jpeg_finish_compress(&compress);
    jpeg_destroy_compress(&compress);
    std::fclose(stream);
}

const fs::path& Folder()
{
    static const fs::path folder = []
    {
        const fs::path made = fs::temp_directory_path() / "pakemino-image-bench";
        fs::create_directories(made);
        const Picture picture;
        WriteBmps(picture, made);
        const std::vector<uint8_t> rgb = RgbRows(picture);
        WritePng(rgb, made / "picture.png");
        WriteJpeg(rgb, made / "picture.jpg");
        return made;
    }();
    return folder;
}

template <typename Decoder> void Ours(benchmark::State& state, const char* name)
{
    const fs::path file = Folder() / name;
    std::vector<uint32_t> pixels(static_cast<size_t>(Side) * Side);
    for (auto _ : state)
    {
        auto reader = Qorv::Base::CreateFileReader();
        Decoder image;
        if (!reader->Open(file.wstring()) || !image.Open(reader) ||
            image.ReadPixels(pixels.data(), Side) == 0)
        {
            state.SkipWithError("decoding failed");
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["MP/s"] =
        benchmark::Counter(Megapixels, benchmark::Counter::kIsIterationInvariantRate);
}

void Stb(benchmark::State& state, const char* name)
{
    const std::string file = (Folder() / name).string();
    for (auto _ : state)
    {
        int width = 0;
        int height = 0;
        int channels = 0;
        stbi_uc* pixels = stbi_load(file.c_str(), &width, &height, &channels, 4);
        if (pixels == nullptr)
        {
            state.SkipWithError(stbi_failure_reason());
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.counters["MP/s"] =
        benchmark::Counter(Megapixels, benchmark::Counter::kIsIterationInvariantRate);
}

void OursBmp(benchmark::State& state, const char* name)
{
    Ours<Qorv::Draw::BitmapImageFile>(state, name);
}

void OursPng(benchmark::State& state, const char* name)
{
    Ours<Qorv::Draw::PngImageFile>(state, name);
}

void OursJpeg(benchmark::State& state, const char* name)
{
    Ours<Qorv::Draw::JpegImageFile>(state, name);
}

BENCHMARK_CAPTURE(OursBmp, Bmp24, "rgb24.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Stb, Bmp24, "rgb24.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursBmp, Rle8, "rle8.bmp")->Unit(benchmark::kMillisecond);
// stb_image has no RLE: its nearest is the same picture with 8-bit rows stored plainly.
BENCHMARK_CAPTURE(Stb, Rle8, "rle8.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Stb, Pal8Uncompressed, "pal8.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursBmp, Pal8Uncompressed, "pal8.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursPng, Png, "picture.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Stb, Png, "picture.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursJpeg, Jpeg, "picture.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Stb, Jpeg, "picture.jpg")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
