// Decode throughput of the sound files (PCM bytes out per second) for a 60 s MP3 and a 60 s
// IMA ADPCM WAVE, beside the ffmpeg command decoding the same files to raw PCM; and the cost of
// opening each fixture as the buffers do (open, format, length). Run from the project root.

#include "framework/sound/ISoundFile.h"
#include "platform/window/Utf8.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

using Qorv::Sound::OpenSoundFile;

std::shared_ptr<Qorv::Sound::ISoundFile> Open(const std::filesystem::path& path)
{
    return OpenSoundFile(platform::Utf8ToWide(path.string()));
}

void DecodeWithQorv(benchmark::State& state, std::filesystem::path path)
{
    auto file = Open(path);
    if (!file)
    {
        state.SkipWithError("cannot open");
        return;
    }
    std::vector<char> pcm(static_cast<size_t>(file->GetLength()));
    for (auto _ : state)
    {
        file->Seek(0);
        benchmark::DoNotOptimize(file->Read(pcm.data(), static_cast<int32_t>(pcm.size())));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pcm.size()));
}

void DecodeWithFfmpeg(benchmark::State& state, std::filesystem::path path)
{
    const int64_t bytes = Open(path)->GetLength();
    const std::string command =
        "ffmpeg -nostdin -v error -i '" + path.string() + "' -f s16le -y /dev/null";
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0)
        {
            state.SkipWithError("ffmpeg failed");
            return;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}

void OpenFixture(benchmark::State& state, std::filesystem::path path)
{
    for (auto _ : state)
    {
        auto file = Open(path);
        benchmark::DoNotOptimize(file->GetFormat());
        benchmark::DoNotOptimize(file->GetLength());
    }
}

bool Make(const std::string& arguments)
{
    return std::system(("ffmpeg -nostdin -v error -y -f lavfi -i "
                        "'sine=frequency=440:duration=60:sample_rate=44100' -ac 2 " +
                        arguments)
                           .c_str()) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    const auto folder = std::filesystem::temp_directory_path() / "pakemino-sound-bench";
    std::filesystem::create_directories(folder);
    const auto mp3 = folder / "sixty-seconds.mp3";
    const auto ima = folder / "sixty-seconds-ima.wav";
    if (!Make("-c:a libmp3lame -b:a 128k '" + mp3.string() + "'") ||
        !Make("-c:a adpcm_ima_wav '" + ima.string() + "'"))
    {
        std::fprintf(stderr, "sound-decode-bench: ffmpeg could not make the 60 s files\n");
        return 1;
    }
    for (const auto& [name, path] : {std::pair{"mp3", mp3}, std::pair{"ima-adpcm", ima}})
    {
        benchmark::RegisterBenchmark(("Decode/qorv/" + std::string(name)).c_str(), DecodeWithQorv,
                                     path)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Decode/ffmpeg-command/" + std::string(name)).c_str(),
                                     DecodeWithFfmpeg, path)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    std::vector<std::filesystem::path> fixtures;
    for (const auto& entry : std::filesystem::directory_iterator("tests/data/sound"))
    {
        const auto extension = entry.path().extension();
        if (extension == ".wav" || extension == ".mp3" || extension == ".mp2" ||
            extension == ".ogg")
        {
            fixtures.push_back(entry.path());
        }
    }
    std::sort(fixtures.begin(), fixtures.end());
    for (const auto& path : fixtures)
    {
        benchmark::RegisterBenchmark(("Open/" + path.filename().string()).c_str(), OpenFixture,
                                     path)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return 0;
}
