#pragma once
// A secondary buffer in memory, played by the mixer's voice for it. Its own notify interface is
// offered only when it was created with DSBCAPS_CTRLPOSITIONNOTIFY.

#include "platform/audio/DSound.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/Voice.h"

#include <atomic>
#include <cstdlib>
#include <memory>

namespace platform::audio
{

class SoftwareBuffer final : public IDirectSoundBuffer, public IDirectSoundNotify
{
public:
    // Checks the description; on success *buffer holds a new buffer with one reference.
    [[nodiscard]] static HRESULT Create(std::shared_ptr<Mixer> mixer,
                                        const DSBUFFERDESC& description,
                                        LPDIRECTSOUNDBUFFER* buffer);

    HRESULT QueryInterface(REFIID id, void** object) override;
    ULONG Release() override;
    HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override;
    HRESULT GetFormat(WAVEFORMATEX* format, DWORD sizeAllocated, DWORD* sizeWritten) override;
    HRESULT GetStatus(DWORD* status) override;
    HRESULT Lock(DWORD offset, DWORD bytes, void** audioPtr1, DWORD* audioBytes1, void** audioPtr2,
                 DWORD* audioBytes2, DWORD flags) override;
    HRESULT Play(DWORD reserved1, DWORD priority, DWORD flags) override;
    HRESULT SetCurrentPosition(DWORD newPosition) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT Stop() override;
    HRESULT Unlock(void* audioPtr1, DWORD audioBytes1, void* audioPtr2, DWORD audioBytes2) override;
    HRESULT Restore() override;
    HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) override;

private:
    struct FreeBytes
    {
        void operator()(uint8_t* bytes) const { std::free(bytes); }
    };

    SoftwareBuffer(std::shared_ptr<Mixer> mixer, const DSBUFFERDESC& description, uint8_t* bytes);
    ~SoftwareBuffer();

    bool Inside(const void* pointer, DWORD bytes) const;
    // Sets volume or pan, when the buffer has its control and value lies in its range.
    HRESULT SetLevel(LONG& level, LONG value, DWORD control, LONG lowest, LONG highest);
    // Under the mixer's lock.
    void ApplyGains();

    const std::shared_ptr<Mixer> mixer;
    const DWORD flags;
    const DWORD size;
    const WAVEFORMATEX format;
    const std::unique_ptr<uint8_t, FreeBytes> bytes;
    Voice voice;
    std::atomic<ULONG> references{1};
    LONG volume = DSBVOLUME_MAX;
    LONG pan = DSBPAN_CENTER;
};

} // namespace platform::audio
