// qorv-probe assets [--kit KIT] [DIR]: looks up every data file the game asks for below DIR
// exactly as the game does, says where each was found and whether it decodes, and exits 1 when
// any is missing or unreadable. DIR defaults to the installed program's directory,
// ../lib/pakemino beside the probe's own bin/ folder. With a kit, KIT is looked in first, as
// `pakemino --kit KIT` does, and each file says whether it comes from the kit or falls back.

#include "framework/base/IFileFinder.h"
#include "framework/base/IFileReader.h"
#include "framework/draw/IImageFile.h"
#include "framework/sound/ISoundFile.h"
#include "platform/window/Utf8.h"
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
    const auto image = Qorv::Draw::OpenImage(reader, &decoderName);
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
    const char* readerName = nullptr;
    const auto file = Qorv::Sound::OpenSoundFile(path, &readerName);
    if (!file)
    {
        return {false, "no sound reader accepts it (tried Ogg Vorbis, RIFF WAVE, MPEG audio)"};
    }
    const WAVEFORMATEX format = file->GetFormat();
    const int32_t bytes = file->GetLength();
    char details[160];
    const double seconds =
        format.nAvgBytesPerSec != 0 ? double(bytes) / format.nAvgBytesPerSec : 0.0;
    std::snprintf(details, sizeof details, "%s tag=%u %u Hz %u ch %u bit, %.3f s", readerName,
                  format.wFormatTag, format.nSamplesPerSec, format.nChannels, format.wBitsPerSample,
                  seconds);
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
    std::string kit;
    Arguments rest = arguments;
    if (rest.size() >= 2 && rest[0] == "--kit")
    {
        kit = rest[1];
        rest.erase(rest.begin(), rest.begin() + 2);
    }
    if (rest.size() > 1 || (rest.size() == 1 && rest[0].rfind("--", 0) == 0))
    {
        std::fprintf(stderr, "usage: qorv-probe assets [--kit KIT] [DIR]\n");
        return 2;
    }
    const std::string directory = rest.empty() ? DefaultDirectory().string() : rest.front();
    std::error_code error;
    for (const std::string& folder : {kit, directory})
    {
        if (!folder.empty() && !std::filesystem::is_directory(folder, error))
        {
            std::fprintf(stderr, "qorv-probe: %s is not a directory\n", folder.c_str());
        }
    }
    if (!kit.empty())
    {
        std::printf("looking in the kit %s first\n", kit.c_str());
    }
    std::printf("looking below %s\n", directory.c_str());
    const auto finder =
        Qorv::Base::CreateFileFinder(platform::Utf8ToWide(directory), platform::Utf8ToWide(kit));
    // The finder's paths begin with the folder it walked, a separator ensured after it.
    const std::string kitPrefix = kit.empty() || kit.back() == '/' ? kit : kit + "/";
    int ok = 0;
    int missing = 0;
    int unreadable = 0;
    int fromKit = 0;
    for (const Asset& asset : GameAssets())
    {
        const std::wstring path = finder->Find(platform::Utf8ToWide(asset.name));
        if (path.empty())
        {
            std::printf("missing     %s\n", asset.name.c_str());
            ++missing;
            continue;
        }
        const Verdict verdict = asset.kind == Kind::Picture ? CheckPicture(path) : CheckSound(path);
        const std::string where = platform::WideToUtf8(path);
        const char* source = "";
        if (!kit.empty())
        {
            const bool inKit = where.rfind(kitPrefix, 0) == 0;
            source = inKit ? "kit      " : "fallback ";
            fromKit += inKit ? 1 : 0;
        }
        std::printf("%-11s %-13s %s%s: %s\n", verdict.ok ? "ok" : "unreadable", asset.name.c_str(),
                    source, where.c_str(), verdict.details.c_str());
        ++(verdict.ok ? ok : unreadable);
    }
    std::printf("%d files: %d ok, %d missing, %d unreadable\n", ok + missing + unreadable, ok,
                missing, unreadable);
    if (!kit.empty())
    {
        std::printf("%d from the kit, %d fall back to %s\n", fromKit, ok + unreadable - fromKit,
                    directory.c_str());
    }
    return missing == 0 && unreadable == 0 ? 0 : 1;
}

} // namespace Probe
