#include "platform/audio/SoftwareBuffer.h"

#include <cmath>
#include <cstring>
#include <new>

namespace platform::audio
{

namespace
{

constexpr DWORD SupportedCaps = DSBCAPS_STATIC | DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE |
                                DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_STICKYFOCUS |
                                DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;

bool PlayableFormat(const WAVEFORMATEX& format)
{
    const unsigned bits = format.wBitsPerSample;
    return format.wFormatTag == WAVE_FORMAT_PCM &&
           (format.nChannels == 1 || format.nChannels == 2) &&
           (bits == 8 || bits == 16 || bits == 24 || bits == 32) &&
           format.nSamplesPerSec >= DSBFREQUENCY_MIN && format.nSamplesPerSec <= DSBFREQUENCY_MAX &&
           format.nBlockAlign == format.nChannels * bits / 8 &&
           format.nAvgBytesPerSec == format.nSamplesPerSec * format.nBlockAlign;
}

// Hundredths of a decibel to an amplitude factor.
float Gain(LONG level)
{
    return static_cast<float>(std::pow(10.0, static_cast<double>(level) / 2000.0));
}

} // namespace

HRESULT SoftwareBuffer::Create(std::shared_ptr<Mixer> mixer, const DSBUFFERDESC& description,
                               LPDIRECTSOUNDBUFFER* buffer)
{
    *buffer = nullptr;
    if (description.dwSize != sizeof(DSBUFFERDESC) || (description.dwFlags & ~SupportedCaps) != 0 ||
        description.dwBufferBytes < DSBSIZE_MIN || description.dwBufferBytes > DSBSIZE_MAX ||
        description.lpwfxFormat == nullptr)
    {
        return DSERR_INVALIDPARAM;
    }
    if (!PlayableFormat(*description.lpwfxFormat))
    {
        return DSERR_BADFORMAT;
    }
    // calloc leaves large buffers to the kernel's zero pages until they are written.
    uint8_t* bytes = static_cast<uint8_t*>(std::calloc(description.dwBufferBytes, 1));
    if (bytes == nullptr)
    {
        return DSERR_OUTOFMEMORY;
    }
    SoftwareBuffer* created = nullptr;
    try
    {
        created = new SoftwareBuffer(std::move(mixer), description, bytes);
    }
    catch (const std::bad_alloc&)
    {
        std::free(bytes);
        return DSERR_OUTOFMEMORY;
    }
    *buffer = created;
    return DS_OK;
}

SoftwareBuffer::SoftwareBuffer(std::shared_ptr<Mixer> mixer, const DSBUFFERDESC& description,
                               uint8_t* data)
    : mixer(std::move(mixer)), flags(description.dwFlags), size(description.dwBufferBytes),
      format(*description.lpwfxFormat), bytes(data),
      voice(format, data, size, this->mixer->Table(), this->mixer->OutputRate())
{
    std::lock_guard<std::mutex> hold(this->mixer->StateLock());
    this->mixer->Add(&voice);
}

SoftwareBuffer::~SoftwareBuffer()
{
    std::lock_guard<std::mutex> hold(mixer->StateLock());
    mixer->Remove(&voice);
}

HRESULT SoftwareBuffer::QueryInterface(REFIID id, void** object)
{
    if (object == nullptr)
    {
        return DSERR_INVALIDPARAM;
    }
    *object = nullptr;
    if (!(id == IID_IDirectSoundNotify) || (flags & DSBCAPS_CTRLPOSITIONNOTIFY) == 0)
    {
        return DSERR_NOINTERFACE;
    }
    references.fetch_add(1);
    *object = static_cast<IDirectSoundNotify*>(this);
    return DS_OK;
}

ULONG SoftwareBuffer::Release()
{
    const ULONG left = references.fetch_sub(1) - 1;
    if (left == 0)
    {
        delete this;
    }
    return left;
}

HRESULT SoftwareBuffer::GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor)
{
    std::lock_guard<std::mutex> hold(mixer->StateLock());
    if (playCursor != nullptr)
    {
        *playCursor = voice.PlayCursor();
    }
    if (writeCursor != nullptr)
    {
        *writeCursor = voice.WriteCursor();
    }
    return DS_OK;
}

HRESULT SoftwareBuffer::GetFormat(WAVEFORMATEX* out, DWORD sizeAllocated, DWORD* sizeWritten)
{
    if (out == nullptr)
    {
        if (sizeWritten == nullptr)
        {
            return DSERR_INVALIDPARAM;
        }
        *sizeWritten = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    if (sizeAllocated < sizeof(WAVEFORMATEX))
    {
        return DSERR_INVALIDPARAM;
    }
    std::memcpy(out, &format, sizeof(WAVEFORMATEX));
    if (sizeWritten != nullptr)
    {
        *sizeWritten = sizeof(WAVEFORMATEX);
    }
    return DS_OK;
}

HRESULT SoftwareBuffer::GetStatus(DWORD* status)
{
    if (status == nullptr)
    {
        return DSERR_INVALIDPARAM;
    }
    std::lock_guard<std::mutex> hold(mixer->StateLock());
    *status = 0;
    if (voice.IsPlaying())
    {
        *status = DSBSTATUS_PLAYING | (voice.IsLooping() ? DSBSTATUS_LOOPING : 0);
    }
    return DS_OK;
}

HRESULT SoftwareBuffer::Lock(DWORD offset, DWORD count, void** audioPtr1, DWORD* audioBytes1,
                             void** audioPtr2, DWORD* audioBytes2, DWORD lockFlags)
{
    if (audioPtr1 == nullptr || audioBytes1 == nullptr)
    {
        return DSERR_INVALIDPARAM;
    }
    // Taking the lock orders the caller's writes after the mixer's last reads of the range.
    std::lock_guard<std::mutex> hold(mixer->StateLock());
    if ((lockFlags & DSBLOCK_ENTIREBUFFER) != 0)
    {
        offset = 0;
        count = size;
    }
    else if ((lockFlags & DSBLOCK_FROMWRITECURSOR) != 0)
    {
        offset = voice.WriteCursor();
    }
    if (offset >= size || count == 0 || count > size)
    {
        return DSERR_INVALIDPARAM;
    }
    const DWORD first = std::min(count, size - offset);
    *audioPtr1 = bytes.get() + offset;
    *audioBytes1 = first;
    const bool wraps = first < count && audioPtr2 != nullptr && audioBytes2 != nullptr;
    if (audioPtr2 != nullptr)
    {
        *audioPtr2 = wraps ? bytes.get() : nullptr;
    }
    if (audioBytes2 != nullptr)
    {
        *audioBytes2 = wraps ? count - first : 0;
    }
    return DS_OK;
}

bool SoftwareBuffer::Inside(const void* pointer, DWORD count) const
{
    const uint8_t* at = static_cast<const uint8_t*>(pointer);
    return at >= bytes.get() && at <= bytes.get() + size &&
           count <= static_cast<DWORD>(bytes.get() + size - at);
}

HRESULT SoftwareBuffer::Unlock(void* audioPtr1, DWORD audioBytes1, void* audioPtr2,
                               DWORD audioBytes2)
{
    if (audioPtr1 == nullptr || !Inside(audioPtr1, audioBytes1) ||
        (audioPtr2 != nullptr && !Inside(audioPtr2, audioBytes2)))
    {
        return DSERR_INVALIDPARAM;
    }
    // And this orders them before the mixer's next reads.
    std::lock_guard<std::mutex> hold(mixer->StateLock());
    return DS_OK;
}

HRESULT SoftwareBuffer::Play(DWORD reserved1, DWORD priority, DWORD playFlags)
{
    if (reserved1 != 0 || priority != 0 || (playFlags & ~DSBPLAY_LOOPING) != 0)
    {
        return DSERR_INVALIDPARAM;
    }
    std::lock_guard<std::mutex> hold(mixer->StateLock());
    voice.Play((playFlags & DSBPLAY_LOOPING) != 0);
    return DS_OK;
}

HRESULT SoftwareBuffer::SetCurrentPosition(DWORD newPosition)
{
    if (newPosition >= size)
    {
        return DSERR_INVALIDPARAM;
    }
    std::lock_guard<std::mutex> hold(mixer->StateLock());
    voice.SetPosition(newPosition);
    return DS_OK;
}

HRESULT SoftwareBuffer::SetVolume(LONG newVolume)
{
    return SetLevel(volume, newVolume, DSBCAPS_CTRLVOLUME, DSBVOLUME_MIN, DSBVOLUME_MAX);
}

HRESULT SoftwareBuffer::SetPan(LONG newPan)
{
    return SetLevel(pan, newPan, DSBCAPS_CTRLPAN, DSBPAN_LEFT, DSBPAN_RIGHT);
}

HRESULT SoftwareBuffer::SetLevel(LONG& level, LONG value, DWORD control, LONG lowest, LONG highest)
{
    if ((flags & control) == 0)
    {
        return DSERR_CONTROLUNAVAIL;
    }
    if (value < lowest || value > highest)
    {
        return DSERR_INVALIDPARAM;
    }
    std::lock_guard<std::mutex> hold(mixer->StateLock());
    level = value;
    ApplyGains();
    return DS_OK;
}

void SoftwareBuffer::ApplyGains()
{
    // Pan attenuates one side only; the other keeps the buffer's volume.
    const float level = Gain(volume);
    voice.SetGains(pan > 0 ? level * Gain(-pan) : level, pan < 0 ? level * Gain(pan) : level);
}

HRESULT SoftwareBuffer::SetFrequency(DWORD frequency)
{
    if ((flags & DSBCAPS_CTRLFREQUENCY) == 0)
    {
        return DSERR_CONTROLUNAVAIL;
    }
    if (frequency == DSBFREQUENCY_ORIGINAL)
    {
        frequency = format.nSamplesPerSec;
    }
    if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)
    {
        return DSERR_INVALIDPARAM;
    }
    std::lock_guard<std::mutex> hold(mixer->StateLock());
    voice.SetFrequency(frequency);
    return DS_OK;
}

HRESULT SoftwareBuffer::Stop()
{
    std::lock_guard<std::mutex> hold(mixer->StateLock());
    voice.Stop();
    return DS_OK;
}

HRESULT SoftwareBuffer::Restore()
{
    // Memory buffers are never lost.
    return DS_OK;
}

HRESULT SoftwareBuffer::SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions)
{
    if (count > 0 && positions == nullptr)
    {
        return DSERR_INVALIDPARAM;
    }
    std::vector<DSBPOSITIONNOTIFY> accepted;
    try
    {
        accepted.assign(positions, positions + count);
    }
    catch (const std::bad_alloc&)
    {
        return DSERR_OUTOFMEMORY;
    }
    for (const DSBPOSITIONNOTIFY& position : accepted)
    {
        if ((position.dwOffset >= size && position.dwOffset != DSBPN_OFFSETSTOP) ||
            position.hEventNotify == nullptr)
        {
            return DSERR_INVALIDPARAM;
        }
    }
    std::lock_guard<std::mutex> hold(mixer->StateLock());
    if (voice.IsPlaying())
    {
        return DSERR_INVALIDCALL;
    }
    voice.SetNotifications(std::move(accepted));
    return DS_OK;
}

} // namespace platform::audio
