// qorv-probe sound FILE [--pcm OUT]: opens FILE as the sound buffers do and reports the PCM it
// delivers; with --pcm, writes all of it (GetLength bytes through Read) to OUT.

#include "framework/sound/ISoundFile.h"
#include "platform/window/Utf8.h"
#include "tools/qorv-probe/Commands.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace Probe
{

namespace
{

bool WritePcm(Qorv::Sound::ISoundFile& file, const std::string& out)
{
    std::FILE* stream = std::fopen(out.c_str(), "wb");
    if (stream == nullptr)
    {
        return false;
    }
    constexpr int32_t Chunk = 1 << 16;
    std::vector<char> buffer(Chunk);
    file.Seek(0);
    bool ok = true;
    for (int32_t left = file.GetLength(); left > 0 && ok;)
    {
        const int32_t got = file.Read(buffer.data(), std::min(left, Chunk));
        ok = got > 0 && std::fwrite(buffer.data(), 1, static_cast<size_t>(got), stream) ==
                            static_cast<size_t>(got);
        left -= got;
    }
    return std::fclose(stream) == 0 && ok;
}

} // namespace

int SoundCommand(const Arguments& arguments)
{
    std::string path;
    std::string pcmOut;
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        if (arguments[i] == "--pcm" && i + 1 < arguments.size())
        {
            pcmOut = arguments[++i];
        }
        else if (path.empty())
        {
            path = arguments[i];
        }
        else
        {
            path.clear();
            break;
        }
    }
    if (path.empty())
    {
        std::fprintf(stderr, "usage: qorv-probe sound FILE [--pcm OUT]\n");
        return 2;
    }

    const char* readerName = nullptr;
    auto file = Qorv::Sound::OpenSoundFile(platform::Utf8ToWide(path), &readerName);
    if (!file)
    {
        std::fprintf(stderr, "qorv-probe: %s: not a sound file this program can read\n",
                     path.c_str());
        return 1;
    }
    const WAVEFORMATEX format = file->GetFormat();
    const int32_t bytes = file->GetLength();
    const int32_t frames = format.nBlockAlign != 0 ? bytes / format.nBlockAlign : 0;
    std::printf("reader=%s\n", readerName);
    std::printf("tag=%u\nchannels=%u\nrate=%u\nbits=%u\nblock=%u\navg=%u\n", format.wFormatTag,
                format.nChannels, format.nSamplesPerSec, format.wBitsPerSample, format.nBlockAlign,
                format.nAvgBytesPerSec);
    std::printf("bytes=%d\nframes=%d\nseconds=%.3f\n", bytes, frames,
                format.nSamplesPerSec != 0 ? double(frames) / format.nSamplesPerSec : 0.0);
    if (!pcmOut.empty() && !WritePcm(*file, pcmOut))
    {
        std::fprintf(stderr, "qorv-probe: %s: cannot write the PCM\n", pcmOut.c_str());
        return 1;
    }
    return 0;
}

} // namespace Probe
