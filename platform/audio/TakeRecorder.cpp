#include "platform/audio/TakeRecorder.h"

#include "platform/audio/Mixer.h"
#include "platform/audio/SdlSoundDevice.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <vector>

namespace platform::audio
{

namespace
{

constexpr int Channels = 2;
// Two seconds at the preferred rate: the writer may stall that long (a slow disk) before a
// period is lost.
constexpr size_t RingSamples = 2 * SdlSoundDevice::PreferredRate * Channels;
constexpr auto WriterPoll = std::chrono::milliseconds(10);

std::atomic<TakeRecorder*> attached{nullptr};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The libsndfile format for a file name and a sample format, or 0 with the reason.
int FormatFor(const std::string& path, const std::string& sample, std::string& error)
{
    const size_t dot = path.rfind('.');
    const std::string extension = dot == std::string::npos ? "" : Lower(path.substr(dot));
    if (extension == ".wav")
    {
        if (sample.empty() || sample == "float")
        {
            return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        }
        if (sample == "16" || sample == "24")
        {
            return SF_FORMAT_WAV | (sample == "16" ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24);
        }
    }
    else if (extension == ".flac")
    {
        if (sample.empty() || sample == "24" || sample == "16")
        {
            return SF_FORMAT_FLAC | (sample == "16" ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24);
        }
    }
    else if (extension == ".ogg" || extension == ".oga")
    {
        if (sample.empty())
        {
            return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
        }
    }
    else
    {
        error = "cannot record into '" + path + "': the name must end in .wav, .flac or .ogg";
        return 0;
    }
    error = "cannot record into '" + path + "': its format holds no '" + sample +
            "' samples (.wav: float, 16, 24; .flac: 16, 24; .ogg: none to choose)";
    return 0;
}

} // namespace

TakeRecorder::TakeRecorder(std::string path, int format)
    : path(std::move(path)), format(format), ring(RingSamples)
{
}

std::unique_ptr<TakeRecorder>
TakeRecorder::Create(const std::string& path, const std::string& sampleFormat, std::string& error)
{
    const int format = FormatFor(path, sampleFormat, error);
    if (format == 0)
    {
        return nullptr;
    }
    std::unique_ptr<TakeRecorder> take(new TakeRecorder(path, format));
    if (!take->OpenFile(SdlSoundDevice::PreferredRate, error))
    {
        return nullptr;
    }
    return take;
}

bool TakeRecorder::OpenFile(int fileRate, std::string& error)
{
    if (file != nullptr)
    {
        sf_close(file);
    }
    SF_INFO info{};
    info.samplerate = fileRate;
    info.channels = Channels;
    info.format = format;
    file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
    {
        error = "cannot record into '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    // Integer samples saturate instead of wrapping where the mix goes past full scale.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    rate = fileRate;
    return true;
}

TakeRecorder::~TakeRecorder()
{
    Finish();
}

void TakeRecorder::Attach(TakeRecorder* take)
{
    attached.store(take, std::memory_order_release);
}

void TakeRecorder::DeviceStarted(int deviceRate)
{
    TakeRecorder* take = attached.load(std::memory_order_acquire);
    if (take == nullptr || take->writer.joinable())
    {
        return;
    }
    std::string error;
    if (deviceRate != take->rate && !take->OpenFile(deviceRate, error))
    {
        std::fprintf(stderr, "pakemino: %s\n", error.c_str());
        take->failed = true;
        return;
    }
    take->writer = std::thread([take] { take->Write(); });
}

void TakeRecorder::DeviceMixed(const float* stereo, uint32_t frames)
{
    TakeRecorder* take = attached.load(std::memory_order_acquire);
    if (take == nullptr || take->failed.load(std::memory_order_relaxed))
    {
        return;
    }
    take->ring.Push(stereo, size_t{frames} * Channels);
}

void TakeRecorder::Drain(std::vector<float>& chunk)
{
    while (!failed)
    {
        const size_t filled = ring.Filled();
        if (filled > worstFilled.load(std::memory_order_relaxed))
        {
            worstFilled.store(filled, std::memory_order_relaxed);
        }
        const size_t samples = ring.Pop(chunk.data(), chunk.size());
        if (samples == 0)
        {
            return;
        }
        const sf_count_t frames = static_cast<sf_count_t>(samples / Channels);
        const sf_count_t written = sf_writef_float(file, chunk.data(), frames);
        framesWritten += static_cast<uint64_t>(std::max<sf_count_t>(written, 0));
        if (written != frames)
        {
            // A full disk or a write error: the take stops here, what is written stays a valid
            // file, and the game plays on.
            failed = true;
            std::fprintf(stderr, "pakemino: recording into '%s' stopped after %.1f s: %s\n",
                         path.c_str(), static_cast<double>(framesWritten) / rate,
                         sf_strerror(file));
        }
    }
}

void TakeRecorder::Write()
{
    std::vector<float> chunk(size_t{Mixer::PeriodFrames} * Channels * 16);
    while (!stopping.load(std::memory_order_acquire))
    {
        Drain(chunk);
        std::this_thread::sleep_for(WriterPoll);
    }
    Drain(chunk);
}

double TakeRecorder::WorstLagPeriods() const
{
    return static_cast<double>(worstFilled.load()) / (Mixer::PeriodFrames * Channels);
}

std::string TakeRecorder::Finish()
{
    if (finished)
    {
        return {};
    }
    finished = true;
    if (attached.load() == this)
    {
        Attach(nullptr);
    }
    stopping = true;
    if (writer.joinable())
    {
        writer.join();
    }
    sf_close(file);
    file = nullptr;
    char line[160];
    std::snprintf(line, sizeof line, "recorded %.1f s into ",
                  static_cast<double>(framesWritten) / rate);
    std::string result = line + path;
    if (ring.Overruns() != 0)
    {
        result +=
            " (" + std::to_string(ring.Overruns()) + " periods lost: the disk could not keep up)";
    }
    return result;
}

} // namespace platform::audio
