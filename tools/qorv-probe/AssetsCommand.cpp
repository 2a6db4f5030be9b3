// qorv-probe assets [DIR]: looks up every data file the game asks for below DIR exactly as the
// game does, says where each was found and whether it decodes, and exits 1 when any is missing
// or unreadable. DIR defaults to the installed program's directory, ../lib/pakemino beside the
// probe's own bin/ folder.

#include "framework/base/IFileFinder.h"
#include "framework/base/IFileReader.h"
#include "framework/base/Utf8.h"
#include "framework/draw/IImageFile.h"
#include "framework/sound/ISoundFile.h"
#include "tools/qorv-probe/Commands.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>
#include <vector>

namespace Probe
{

namespace
{

enum class Kind
{
    Picture,
    Sound
};

struct Asset
{
    std::string name;
    Kind kind;
};

// In the order the game loads them.
std::vector<Asset> GameAssets()
{
    std::vector<Asset> assets = {{"zirmonly.bmp", Kind::Picture}, {"pad.png", Kind::Picture}};
    for (int k = 1; k <= 9; ++k)
    {
        assets.push_back({"beat" + std::to_string(k) + ".wav", Kind::Sound});
    }
    assets.push_back({"stage.bmp", Kind::Picture});
    assets.push_back({"glyphs.png", Kind::Picture});
    for (const char* syllable : {"pa.wav", "ke.wav", "ro.wav", "no.wav"})
    {
        assets.push_back({syllable, Kind::Sound});
    }
    return assets;
}

struct Verdict
{
    bool ok = false;
    std::string details;
};

// What the texture loader needs: a decoder that opens it, a size, and pixels decoded.
Verdict CheckPicture(const std::wstring& path)
{
    auto reader = Qorv::Base::CreateFileReader();
    if (!reader->Open(path))
    {
        return {false, "cannot be opened"};
    }
    const char* decoderName = nullptr;
    const auto image = OpenImage(reader, &decoderName);
    if (!image)
    {
        return {false, "no picture decoder accepts it (tried PNG, BMP, JPEG)"};
    }
    const int32_t width = image->GetWidth();
    const int32_t height = image->GetHeight();
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width <= 0 || height <= 0)
    {
        return {false, std::string(decoderName) + " " + size + ": no pixels"};
    }
    try
    {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
        if (image->ReadPixels(pixels.data(), width) == 0)
        {
            return {false, std::string(decoderName) + " " + size + ": the pixels do not decode"};
        }
    }
    catch (const std::bad_alloc&)
    {
        return {false, std::string(decoderName) + " " + size + ": too large to decode"};
    }
    return {true, std::string(decoderName) + " " + size};
}

// What a static sound buffer needs: a reader that opens it, PCM bytes, and those bytes read.
Verdict CheckSound(const std::wstring& path)
{
    const auto file = Qorv::Sound::OpenSoundFile(path);
    if (!file)
    {
        return {false, "no sound reader accepts it (tried Ogg Vorbis, RIFF WAVE, MPEG audio)"};
    }
    const WAVEFORMATEX format = file->GetFormat();
    const int32_t bytes = file->GetLength();
    char details[160];
    const double seconds =
        format.nAvgBytesPerSec != 0 ? double(bytes) / format.nAvgBytesPerSec : 0.0;
    std::snprintf(details, sizeof details, "%s tag=%u %u Hz %u ch %u bit, %.3f s",
                  SoundReaderName(*file), format.wFormatTag, format.nSamplesPerSec,
                  format.nChannels, format.wBitsPerSample, seconds);
    if (bytes <= 0)
    {
        return {false, std::string(details) + ": no sound in it"};
    }
    try
    {
        std::vector<char> pcm(static_cast<size_t>(bytes));
        const int32_t read = file->Read(pcm.data(), bytes);
        if (read <= 0)
        {
            return {false, std::string(details) + ": the sound does not decode"};
        }
        if (read < bytes)
        {
            return {true, std::string(details) + " (only " + std::to_string(read) + " of " +
                              std::to_string(bytes) + " bytes decode)"};
        }
    }
    catch (const std::bad_alloc&)
    {
        return {false, std::string(details) + ": too large to decode"};
    }
    return {true, details};
}

std::filesystem::path DefaultDirectory()
{
    std::error_code error;
    const auto self = std::filesystem::canonical("/proc/self/exe", error);
    return error ? std::filesystem::path("lib/pakemino")
                 : self.parent_path().parent_path() / "lib" / "pakemino";
}

} // namespace

int AssetsCommand(const Arguments& arguments)
{
    if (arguments.size() > 1)
    {
        std::fprintf(stderr, "usage: qorv-probe assets [DIR]\n");
        return 2;
    }
    const std::string directory =
        arguments.empty() ? DefaultDirectory().string() : arguments.front();
    std::error_code error;
    if (!std::filesystem::is_directory(directory, error))
    {
        std::fprintf(stderr, "qorv-probe: %s is not a directory\n", directory.c_str());
    }
    std::printf("looking below %s\n", directory.c_str());
    const auto finder = Qorv::Base::CreateFileFinder(Qorv::Base::Utf8ToWide(directory));
    int ok = 0;
    int missing = 0;
    int unreadable = 0;
    for (const Asset& asset : GameAssets())
    {
        const std::wstring path = finder->Find(Qorv::Base::Utf8ToWide(asset.name));
        if (path.empty())
        {
            std::printf("missing     %s\n", asset.name.c_str());
            ++missing;
            continue;
        }
        const Verdict verdict = asset.kind == Kind::Picture ? CheckPicture(path) : CheckSound(path);
        std::printf("%-11s %-13s %s: %s\n", verdict.ok ? "ok" : "unreadable", asset.name.c_str(),
                    Qorv::Base::WideToUtf8(path).c_str(), verdict.details.c_str());
        ++(verdict.ok ? ok : unreadable);
    }
    std::printf("%d files: %d ok, %d missing, %d unreadable\n", ok + missing + unreadable, ok,
                missing, unreadable);
    return missing == 0 && unreadable == 0 ? 0 : 1;
}

} // namespace Probe
