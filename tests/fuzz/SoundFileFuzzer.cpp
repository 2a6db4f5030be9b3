// Feeds arbitrary bytes to the sound file readers exactly as the buffers open them, then reads
// the whole sound, seeks and loops.

#include "framework/sound/ISoundFile.h"
#include "platform/window/Utf8.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

// The readers open paths, so each input goes through one file of this process, removed at exit.
struct InputFile
{
    ~InputFile() { std::remove(path.c_str()); }
    const std::string path = "/tmp/qorv-sound-fuzz-" + std::to_string(getpid());
};

const std::string& InputPath()
{
    static const InputFile file;
    return file.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* out = std::fopen(InputPath().c_str(), "wb");
    if (out == nullptr)
    {
        return 0;
    }
    std::fwrite(data, 1, size, out);
    std::fclose(out);

    auto file = Qorv::Sound::OpenSoundFile(platform::Utf8ToWide(InputPath()));
    if (!file)
    {
        return 0;
    }
    const WAVEFORMATEX format = file->GetFormat();
    const int32_t length = file->GetLength();
    // All of the length, as a static buffer allocates and fills it: a length believed from a
    // header rather than the bytes held fails the run's memory or time limit.
    std::vector<uint8_t> pcm(static_cast<size_t>(std::max(length, 0)) + 7);
    // Hostile input: what the reads yield does not matter, only that they stay in bounds.
    (void)file->Read(pcm.data(), static_cast<int32_t>(pcm.size()));
    if (format.nBlockAlign != 0)
    {
        const int32_t frames = length / format.nBlockAlign;
        file->SetLoopPosition(frames / 2);
        file->Seek(frames);
        (void)file->Read(pcm.data(), std::min<int32_t>(static_cast<int32_t>(pcm.size()), 4096));
        file->Seek(frames / 3);
        (void)file->Read(pcm.data(), std::min<int32_t>(static_cast<int32_t>(pcm.size()), 4096));
    }
    return 0;
}
