// The mixer against OpenAL Soft's bsinc24 on the same 34 voices: CPU per second of output,
// the cost of one voice, alias rejection of a 15 kHz tone pitched up an octave, and the
// output latency the real device reports. Then the master limiter against OpenAL Soft's output
// limiter on the same dense mix and on a sine 6 dB over the threshold. Run from anywhere; it
// writes one config file.

#include "platform/audio/Limiter.h"
#include "platform/audio/SdlSoundDevice.h"
#include "tests/support/OfflineMixer.h"
#include "tests/support/Signal.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace
{

constexpr int OutputRate = 48000;
constexpr int Period = 256;
constexpr int SourceRate = 44100;
constexpr double Seconds = 10.0;

struct Sound
{
    std::vector<float> samples;
    double ratio;
};

// 25 voice-like sounds (rich harmonics under a vowel-like envelope) at ratios 0.5 to 2.0 and
// 9 drum-like ones (decaying noise and a pitch-dropping thump) at their own rate.
std::vector<Sound> Voices(int count)
{
    std::vector<Sound> sounds;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    for (int v = 0; v < 25 && static_cast<int>(sounds.size()) < count; ++v)
    {
        std::vector<float> samples(SourceRate);
        const double pitch = 180.0 + 7.0 * v;
        for (int i = 0; i < SourceRate; ++i)
        {
            double value = 0;
            for (int h = 1; h * pitch < 16000; ++h)
            {
                value += std::sin(2 * std::numbers::pi * h * pitch * i / SourceRate) / h;
            }
            samples[static_cast<size_t>(i)] = static_cast<float>(0.05 * value);
        }
        sounds.push_back({samples, std::exp2(-1.0 + 2.0 * v / 24.0)});
    }
    for (int d = 0; d < 9 && static_cast<int>(sounds.size()) < count; ++d)
    {
        std::vector<float> samples(SourceRate / 2);
        for (size_t i = 0; i < samples.size(); ++i)
        {
            const double t = static_cast<double>(i) / SourceRate;
            const double envelope = std::exp(-t * (8.0 + 4.0 * d));
            samples[i] = static_cast<float>(
                0.1 * envelope *
                (d % 2 == 0 ? noise(random)
                            : std::sin(2 * std::numbers::pi * (60 + 400 * envelope) * t)));
        }
        sounds.push_back({samples, 1.0});
    }
    return sounds;
}

double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string Int32Pcm(const std::vector<float>& samples)
{
    std::string pcm(samples.size() * 4, '\0');
    for (size_t i = 0; i < samples.size(); ++i)
    {
        const int32_t value = static_cast<int32_t>(std::lround(samples[i] * 2147483647.0));
        std::memcpy(&pcm[i * 4], &value, 4);
    }
    return pcm;
}

std::vector<float> Tone(double frequency, double amplitude)
{
    std::vector<float> samples(SourceRate);
    for (int i = 0; i < SourceRate; ++i)
    {
        samples[static_cast<size_t>(i)] = static_cast<float>(
            amplitude * std::sin(2 * std::numbers::pi * frequency * i / SourceRate));
    }
    return samples;
}

// One mixer under test: voices in, stereo out.
class Engine
{
public:
    virtual ~Engine() = default;
    // False when the engine refused the sound.
    virtual bool Add(const Sound& sound) = 0;
    virtual void Render(float* out, int frames) = 0;
};

class OurMixer final : public Engine
{
public:
    bool Add(const Sound& sound) override
    {
        LPDIRECTSOUNDBUFFER buffer = mixer.Buffer(Int32Pcm(sound.samples), SourceRate, 32, 1,
                                                  DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLVOLUME);
        if (buffer == nullptr)
        {
            return false;
        }
        buffer->SetFrequency(static_cast<DWORD>(SourceRate * sound.ratio));
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        return true;
    }

    void Render(float* out, int frames) override
    {
        mixer.Device()->Render(out, static_cast<DWORD>(frames));
    }

private:
    TestSupport::OfflineMixer mixer{OutputRate};
};

class OpenAlLoopback final : public Engine
{
public:
    // limiter sets ALC_OUTPUT_LIMITER_SOFT; without it the library picks.
    explicit OpenAlLoopback(std::optional<bool> limiter = std::nullopt)
    {
        open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
            alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
            alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        device = open != nullptr ? open(nullptr) : nullptr;
        if (device == nullptr)
        {
            return;
        }
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                     ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT,
                                     ALC_FLOAT_SOFT,
                                     ALC_FREQUENCY,
                                     OutputRate,
                                     ALC_MONO_SOURCES,
                                     64,
                                     limiter ? ALC_OUTPUT_LIMITER_SOFT : 0,
                                     limiter.value_or(false) ? ALC_TRUE : ALC_FALSE,
                                     0};
        context = alcCreateContext(device, attributes);
        alcMakeContextCurrent(context);
        alDistanceModel(AL_NONE);
    }
    ~OpenAlLoopback() override
    {
        if (context != nullptr)
        {
            alDeleteSources(static_cast<ALsizei>(sources.size()), sources.data());
            alDeleteBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(context);
        }
        if (device != nullptr)
        {
            alcCloseDevice(device);
        }
    }
    bool Ready() const { return context != nullptr; }

    bool Add(const Sound& sound) override
    {
        ALuint buffer = 0, source = 0;
        alGenBuffers(1, &buffer);
        alBufferData(buffer, AL_FORMAT_MONO_FLOAT32, sound.samples.data(),
                     static_cast<ALsizei>(sound.samples.size() * sizeof(float)), SourceRate);
        alGenSources(1, &source);
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
        alSourcei(source, AL_LOOPING, AL_TRUE);
        alSourcef(source, AL_PITCH, static_cast<float>(sound.ratio));
        alSourcePlay(source);
        buffers.push_back(buffer);
        sources.push_back(source);
        return true;
    }

    // Interleaved stereo at the output rate, played straight to the two sides.
    void AddStereo(const std::vector<float>& stereo)
    {
        ALuint buffer = 0, source = 0;
        alGenBuffers(1, &buffer);
        alBufferData(buffer, AL_FORMAT_STEREO_FLOAT32, stereo.data(),
                     static_cast<ALsizei>(stereo.size() * sizeof(float)), OutputRate);
        alGenSources(1, &source);
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
        alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
        alSourcePlay(source);
        buffers.push_back(buffer);
        sources.push_back(source);
    }

    void Render(float* out, int frames) override { render(device, out, frames); }

private:
    LPALCLOOPBACKOPENDEVICESOFT open = nullptr;
    LPALCRENDERSAMPLESSOFT render = nullptr;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::vector<ALuint> buffers, sources;
};

std::unique_ptr<Engine> Make(bool openAl)
{
    if (!openAl)
    {
        return std::make_unique<OurMixer>();
    }
    auto loopback = std::make_unique<OpenAlLoopback>();
    if (!loopback->Ready())
    {
        return nullptr;
    }
    return loopback;
}

void MixVoices(benchmark::State& state, bool openAl)
{
    const int count = static_cast<int>(state.range(0));
    const std::vector<Sound> sounds = Voices(count);
    std::vector<float> out(Period * 2);
    double cpu = 0;
    for (auto _ : state)
    {
        auto engine = Make(openAl);
        if (!engine)
        {
            state.SkipWithError("no OpenAL Soft loopback device");
            return;
        }
        for (const Sound& sound : sounds)
        {
            if (!engine->Add(sound))
            {
                state.SkipWithError("the mixer refused a sound");
                return;
            }
        }
        const double start = ThreadSeconds();
        for (int done = 0; done < OutputRate * Seconds; done += Period)
        {
            engine->Render(out.data(), Period);
            benchmark::DoNotOptimize(out.data());
        }
        cpu += ThreadSeconds() - start;
    }
    state.counters["cpu_ms_per_s"] =
        1000.0 * cpu / static_cast<double>(state.iterations()) / Seconds;
    state.counters["voices"] = count;
}

void AliasRejection(benchmark::State& state, bool openAl)
{
    double rejection = 0;
    for (auto _ : state)
    {
        // The in-band reference goes through the same path, so the pan law cancels out.
        double levels[2] = {};
        const Sound tones[2] = {{Tone(1000.0, 0.5), 1.0}, {Tone(15000.0, 0.5), 2.0}};
        for (int t = 0; t < 2; ++t)
        {
            auto engine = Make(openAl);
            if (!engine)
            {
                state.SkipWithError("no OpenAL Soft loopback device");
                return;
            }
            if (!engine->Add(tones[t]))
            {
                state.SkipWithError("the mixer refused a sound");
                return;
            }
            const int frames = OutputRate / Period * Period;
            std::vector<float> out(static_cast<size_t>(frames) * 2);
            for (int done = 0; done < frames; done += Period)
            {
                engine->Render(out.data() + 2 * done, Period);
            }
            levels[t] = TestSupport::RmsOf(TestSupport::Channel(out, 0, 2048));
        }
        rejection = -20.0 * std::log10(levels[1] / levels[0]);
    }
    state.counters["alias_rejection_db"] = rejection;
}

void DeviceLatency(benchmark::State& state)
{
    double latency = -1;
    for (auto _ : state)
    {
        platform::audio::SdlSoundDevice* device = nullptr;
        if (platform::audio::SdlSoundDevice::Open(&device) == DS_OK)
        {
            latency = 1000.0 * device->OutputLatencySeconds();
            state.counters["output_rate"] = device->OutputRate();
            device->Release();
        }
    }
    state.counters["latency_ms"] = latency;
}

// The dense mix both limiters get: the 34 voices at four times their level, unlimited.
std::vector<float> DenseMix()
{
    OpenAlLoopback engine(false);
    for (Sound sound : Voices(34))
    {
        for (float& sample : sound.samples)
        {
            sample *= 4.0f;
        }
        engine.Add(sound);
    }
    std::vector<float> mix(static_cast<size_t>(OutputRate * Seconds) * 2);
    for (size_t done = 0; done < mix.size(); done += Period * 2)
    {
        engine.Render(mix.data() + done, Period);
    }
    return mix;
}

std::vector<float> LoudSine(double frequency)
{
    std::vector<float> stereo(OutputRate * 2);
    for (size_t i = 0; i < stereo.size(); ++i)
    {
        stereo[i] = static_cast<float>(
            2.0 * platform::audio::Limiter::Ceiling *
            std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i / 2) / OutputRate));
    }
    return stereo;
}

struct Limited
{
    std::vector<float> out;
    double cpuSeconds = 0;
};

// Whole periods of stereo through our limiter, or OpenAL Soft's output with its limiter on or
// off (a source played straight through).
Limited Limit(const std::vector<float>& in, std::optional<bool> openAlLimiter)
{
    const size_t frames = in.size() / 2 / Period * Period;
    Limited limited{std::vector<float>(in.begin(), in.begin() + 2 * frames), 0};
    std::optional<platform::audio::Limiter> ours;
    std::optional<OpenAlLoopback> theirs;
    if (openAlLimiter)
    {
        theirs.emplace(*openAlLimiter);
        theirs->AddStereo(in);
    }
    else
    {
        ours.emplace(OutputRate);
    }
    const double start = ThreadSeconds();
    for (size_t done = 0; done < frames; done += Period)
    {
        float* period = limited.out.data() + 2 * done;
        if (ours)
        {
            ours->Process(period, Period);
        }
        else
        {
            theirs->Render(period, Period);
        }
    }
    limited.cpuSeconds = ThreadSeconds() - start;
    return limited;
}

void LimitDenseMix(benchmark::State& state, bool openAl)
{
    const std::vector<float> mix = DenseMix();
    const std::optional<bool> limiter = openAl ? std::optional<bool>(true) : std::nullopt;
    for (auto _ : state)
    {
        const Limited limited = Limit(mix, limiter);
        // OpenAL Soft's limiter is part of its output stage: its share is the difference.
        const double cpu = limited.cpuSeconds - (openAl ? Limit(mix, false).cpuSeconds : 0.0);
        state.counters["input_peak_dbfs"] = TestSupport::Decibels(TestSupport::Loudest(mix));
        state.counters["peak_dbfs"] = TestSupport::Decibels(TestSupport::Loudest(limited.out));
        state.counters["gain_reduction_db"] =
            20.0 * std::log10(TestSupport::RmsOf(TestSupport::Channel(mix, 0)) /
                              TestSupport::RmsOf(TestSupport::Channel(limited.out, 0)));
        state.counters["cpu_ms_per_s"] = 1000.0 * cpu / Seconds;
    }
}

void LimitLoudSine(benchmark::State& state, bool openAl)
{
    const double frequency = static_cast<double>(state.range(0));
    const std::optional<bool> limiter = openAl ? std::optional<bool>(true) : std::nullopt;
    for (auto _ : state)
    {
        // Past the lookahead and a few release times: the steady state.
        const Limited limited = Limit(LoudSine(frequency), limiter);
        const auto left = TestSupport::Channel(limited.out, 0, 2 * OutputRate / 5);
        const TestSupport::ToneFit fit = TestSupport::FitTone(left, frequency / OutputRate);
        state.counters["thd_n_db"] = -fit.restDb;
        state.counters["amplitude_dbfs"] = TestSupport::Decibels(fit.amplitude);
    }
}

// Each figure is one measured run, in milliseconds.
void Once(benchmark::internal::Benchmark* run)
{
    run->Iterations(1)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK_CAPTURE(MixVoices, ours, false)->Arg(34)->Arg(1)->Apply(Once);
BENCHMARK_CAPTURE(MixVoices, openal_bsinc24, true)->Arg(34)->Arg(1)->Apply(Once);
BENCHMARK_CAPTURE(AliasRejection, ours, false)->Apply(Once);
BENCHMARK_CAPTURE(AliasRejection, openal_bsinc24, true)->Apply(Once);
BENCHMARK(DeviceLatency)->Apply(Once);
BENCHMARK_CAPTURE(LimitDenseMix, ours, false)->Apply(Once);
BENCHMARK_CAPTURE(LimitDenseMix, openal, true)->Apply(Once);
BENCHMARK_CAPTURE(LimitLoudSine, ours, false)->Arg(1000)->Arg(100)->Apply(Once);
BENCHMARK_CAPTURE(LimitLoudSine, openal, true)->Arg(1000)->Arg(100)->Apply(Once);

int main(int argc, char** argv)
{
    // OpenAL Soft reads its configuration once, on first use: name ours before that.
    const char* path = "/tmp/pakemino-mixer-bench-alsoft.conf";
    if (std::FILE* conf = std::fopen(path, "w"))
    {
        std::fputs("[general]\nresampler = bsinc24\n", conf);
        std::fclose(conf);
        setenv("ALSOFT_CONF", path, 1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
