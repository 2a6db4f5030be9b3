#include "platform/audio/SdlSoundDevice.h"

#include "platform/audio/SoftwareBuffer.h"
#include "platform/audio/TakeRecorder.h"

#include <alsa/asoundlib.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace platform::audio
{

namespace
{

// How often the recovery thread looks at a playing output, and how often it mixes while there
// is none: a few periods at a time, well inside the take's ring.
constexpr auto WatchInterval = std::chrono::milliseconds(100);
constexpr auto UnheardInterval = std::chrono::milliseconds(10);
// How often a missing output is looked for; SDL_AUDIODEVICEADDED looks at once.
constexpr auto RetryInterval = std::chrono::milliseconds(250);

// The ALSA library prints to stderr from inside SDL's probing ("cannot find card '0'"); the
// program says what matters in one line of its own instead.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// SDL 2.26's PulseAudio driver crashes starting on a server that has no sink (it copies the
// missing default sink's name), as a server has for a moment while it starts. Such a server is
// left alone until it has one. driver is the one SDL is to start, or empty for its choice.
bool PulseServerWithoutSink(const std::string& driver)
{
    const char* wanted = driver.empty() ? SDL_getenv("SDL_AUDIODRIVER") : driver.c_str();
    if (wanted != nullptr && *wanted != '\0' && std::strcmp(wanted, "pulseaudio") != 0)
    {
        return false;
    }
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, SdlSoundDevice::PreferredRate, 2};
    int error = 0;
    pa_simple* probe = pa_simple_new(nullptr, "pakemino", PA_STREAM_PLAYBACK, nullptr,
                                     "output check", &spec, nullptr, nullptr, &error);
    if (probe != nullptr)
    {
        pa_simple_free(probe);
        return false;
    }
    return error == PA_ERR_NOENTITY;
}

} // namespace

HRESULT SdlSoundDevice::Open(SdlSoundDevice** device)
{
    *device = nullptr;
    std::unique_ptr<SdlSoundDevice, void (*)(SdlSoundDevice*)> created(
        new (std::nothrow) SdlSoundDevice(), [](SdlSoundDevice* unused) { delete unused; });
    if (created == nullptr)
    {
        return DSERR_OUTOFMEMORY;
    }
    created->live = true;
    snd_lib_error_set_handler(&QuietAlsa);
    std::string error;
    try
    {
        if (PulseServerWithoutSink(""))
        {
            error = "the sound server has no output";
        }
        else if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
        {
            created->ownsSubsystem = true;
        }
        else
        {
            // No audio driver at all (one named that does not exist): none will come.
            std::fprintf(stderr, "pakemino: no sound output (SDL: %s)\n", SDL_GetError());
            created->live = false;
            return DSERR_NODRIVER;
        }
        // The first output may pick its own rate; the mixer takes it. Without one, the mixer
        // runs at the rate most outputs play and later outputs are opened at that rate.
        if (!created->ownsSubsystem ||
            !created->OpenOutput(SDL_AUDIO_ALLOW_FREQUENCY_CHANGE, error))
        {
            created->mixer = std::make_shared<Mixer>(PreferredRate);
            created->periodFrames = Mixer::PeriodFrames;
        }
    }
    catch (const std::bad_alloc&)
    {
        return DSERR_OUTOFMEMORY;
    }
    TakeRecorder::DeviceStarted(static_cast<int>(created->OutputRate()));
    if (created->output != 0)
    {
        SDL_PauseAudioDevice(created->output, 0);
    }
    else
    {
        std::fprintf(stderr,
                     "pakemino: no sound output (SDL: %s); playing silently until one appears\n",
                     error.c_str());
    }
    created->unheardSince = Clock::now();
    SDL_AddEventWatch(&SdlSoundDevice::Watch, created.get());
    try
    {
        created->supervisor = std::thread([self = created.get()] { self->Supervise(); });
    }
    catch (const std::exception&)
    {
        return DSERR_OUTOFMEMORY;
    }
    *device = created.release();
    return DS_OK;
}

SdlSoundDevice* SdlSoundDevice::CreateOffline(DWORD outputRate, bool limited)
{
    auto* created = new SdlSoundDevice();
    created->mixer = std::make_shared<Mixer>(outputRate, limited);
    return created;
}

SdlSoundDevice::~SdlSoundDevice()
{
    if (!live)
    {
        return;
    }
    SDL_DelEventWatch(&SdlSoundDevice::Watch, this);
    {
        std::lock_guard<std::mutex> hold(stopLock);
        stopping = true;
    }
    wake.notify_all();
    if (supervisor.joinable())
    {
        supervisor.join();
    }
    CloseOutput();
    if (std::getenv("PAKEMINO_AUDIO_STATS") != nullptr)
    {
        std::fprintf(stderr,
                     "audio: periods=%u underruns=%u longest=%.3f ms reconnections=%u unheard=%u\n",
                     periodsServed.load(), underruns.load(), longestMicroseconds.load() / 1000.0,
                     reconnections.load(), unheardPeriods.load());
    }
    if (ownsSubsystem)
    {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    else
    {
        // Started by a reconnection, outside SDL's count of subsystems (a no-op if none did).
        SDL_AudioQuit();
    }
}

bool SdlSoundDevice::OpenOutput(int allowedChanges, std::string& error)
{
    SDL_AudioSpec wanted{};
    wanted.freq = mixer != nullptr ? static_cast<int>(mixer->OutputRate()) : PreferredRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = Mixer::PeriodFrames;
    wanted.callback = &SdlSoundDevice::Pull;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // The device opens paused: the callback cannot run before the mixer exists.
    output = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, allowedChanges);
    if (output == 0)
    {
        error = SDL_GetError();
        return false;
    }
    if (mixer == nullptr)
    {
        mixer = std::make_shared<Mixer>(static_cast<DWORD>(obtained.freq));
    }
    periodFrames = obtained.samples;
    removed = false;
    watched = output;
    driver = SDL_GetCurrentAudioDriver();
    return true;
}

void SdlSoundDevice::CloseOutput()
{
    if (output != 0)
    {
        watched = 0;
        SDL_CloseAudioDevice(output);
        output = 0;
    }
}

bool SdlSoundDevice::Reopen(std::vector<float>& period)
{
    CloseOutput();
    // Starting the driver again ends its old connection first.
    if (PulseServerWithoutSink(driver) ||
        SDL_AudioInit(driver.empty() ? nullptr : driver.c_str()) != 0)
    {
        return false;
    }
    std::string error;
    // At the mixer's rate: SDL converts for an output that plays another.
    if (!OpenOutput(0, error))
    {
        return false;
    }
    // Starting the driver can take a while under load: that time is mixed as well, so a take
    // recorded across the gap runs on without one.
    MixUnheard(Clock::now(), period);
    SDL_PauseAudioDevice(output, 0);
    return true;
}

void SdlSoundDevice::Supervise()
{
    std::vector<float> period(size_t{Mixer::PeriodFrames} * 2);
    auto nextTry = Clock::now() + RetryInterval;
    std::unique_lock<std::mutex> hold(stopLock);
    while (!wake.wait_for(hold, output != 0 ? WatchInterval : UnheardInterval,
                          [this] { return stopping; }))
    {
        const auto now = Clock::now();
        if (output != 0)
        {
            if (!removed && SDL_GetAudioDeviceStatus(output) != SDL_AUDIO_STOPPED)
            {
                continue;
            }
            // The unheard timeline goes on from the last period the output took.
            const Clock::rep last = lastPull;
            unheardSince = last != 0 ? Clock::time_point(Clock::duration(last)) : now;
            unheardFrames = 0;
            CloseOutput();
            std::fprintf(stderr, "pakemino: the sound output went away; playing silently until "
                                 "one appears\n");
            nextTry = now + RetryInterval;
        }
        MixUnheard(now, period);
        if (added.exchange(false) || now >= nextTry)
        {
            const bool reopened = Reopen(period);
            // Starting the driver announces the devices it finds: no news.
            added = false;
            if (reopened)
            {
                ++reconnections;
                continue;
            }
            nextTry = Clock::now() + RetryInterval;
        }
    }
}

void SdlSoundDevice::MixUnheard(Clock::time_point now, std::vector<float>& period)
{
    const double elapsed = std::chrono::duration<double>(now - unheardSince).count();
    const auto due = static_cast<uint64_t>(std::max(elapsed, 0.0) * mixer->OutputRate());
    // No more than a second is mixed at once, half the take's ring: a process that was held
    // stopped is not caught up with.
    unheardFrames = std::max(unheardFrames, due - std::min<uint64_t>(due, mixer->OutputRate()));
    while (unheardFrames + Mixer::PeriodFrames <= due)
    {
        mixer->Render(period.data(), Mixer::PeriodFrames);
        TakeRecorder::DeviceMixed(period.data(), Mixer::PeriodFrames);
        unheardFrames += Mixer::PeriodFrames;
        ++unheardPeriods;
    }
}

HRESULT SdlSoundDevice::CreateSoundBuffer(const DSBUFFERDESC* description,
                                          LPDIRECTSOUNDBUFFER* buffer, void* outer)
{
    if (buffer == nullptr)
    {
        return DSERR_INVALIDPARAM;
    }
    *buffer = nullptr;
    if (outer != nullptr)
    {
        return DSERR_NOAGGREGATION;
    }
    if (description == nullptr)
    {
        return DSERR_INVALIDPARAM;
    }
    return SoftwareBuffer::Create(mixer, *description, buffer);
}

HRESULT SdlSoundDevice::SetCooperativeLevel(HWND, DWORD level)
{
    // Every level mixes the same way here; no buffer is ever lost to another program.
    return level >= DSSCL_NORMAL && level <= DSSCL_WRITEPRIMARY ? DS_OK : DSERR_INVALIDPARAM;
}

double SdlSoundDevice::OutputLatencySeconds() const
{
    return (2.0 * periodFrames + mixer->LookaheadFrames()) / mixer->OutputRate();
}

void SdlSoundDevice::Render(float* out, DWORD frames)
{
    if (!live)
    {
        mixer->Render(out, frames);
    }
}

void SdlSoundDevice::Pull(void* device, Uint8* stream, int length)
{
    auto* self = static_cast<SdlSoundDevice*>(device);
    const DWORD frames = static_cast<DWORD>(length) / (2u * sizeof(float));
    const auto start = Clock::now();
    self->mixer->Render(reinterpret_cast<float*>(stream), frames);
    TakeRecorder::DeviceMixed(reinterpret_cast<const float*>(stream), frames);
    const auto end = Clock::now();
    const std::chrono::duration<double> spent = end - start;
    self->lastPull = end.time_since_epoch().count();
    ++self->periodsServed;
    const auto microseconds = static_cast<uint32_t>(spent.count() * 1e6);
    if (microseconds > self->longestMicroseconds)
    {
        self->longestMicroseconds = microseconds;
    }
    if (spent.count() * self->mixer->OutputRate() > frames)
    {
        ++self->underruns;
    }
}

int SdlSoundDevice::Watch(void* device, SDL_Event* event)
{
    auto* self = static_cast<SdlSoundDevice*>(device);
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0 &&
        event->adevice.which == self->watched)
    {
        self->removed = true;
    }
    else if (event->type == SDL_AUDIODEVICEADDED && event->adevice.iscapture == 0)
    {
        self->added = true;
    }
    return 1;
}

} // namespace platform::audio

HRESULT DirectSoundCreate8(LPCGUID device, LPDIRECTSOUND8* directSound, void* outer)
{
    if (directSound == nullptr)
    {
        return DSERR_INVALIDPARAM;
    }
    *directSound = nullptr;
    if (outer != nullptr)
    {
        return DSERR_NOAGGREGATION;
    }
    if (device != nullptr)
    {
        return DSERR_NODRIVER;
    }
    platform::audio::SdlSoundDevice* opened = nullptr;
    const HRESULT result = platform::audio::SdlSoundDevice::Open(&opened);
    *directSound = opened;
    return result;
}
