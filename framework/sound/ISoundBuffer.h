#pragma once
// The one way the application plays a sound file: open it from a path, play once or looped,
// pause, stop, move, retune, pan and set its volume. Public calls are guarded: a closed or
// unavailable buffer ignores them. The Impl hooks talk to the platform buffer.

#include "framework/base/Interface.h"
#include "framework/sound/WaveFormat.h"

#include <cstdint>
#include <string>

namespace Qorv::Sound
{

class ISoundBuffer : public Base::Interface
{
public:
    [[nodiscard]] bool Open(const std::wstring& path);
    // Derived destructors call it too: the base one can no longer reach their CloseImpl.
    void Close();
    bool IsOpen() const { return open; }

    // The guarded calls return nothing: their hooks' platform status codes drive no caller.
    void Play(bool loop);
    void Pause();
    void Stop();
    void SetPosition(float seconds);
    void SetLoopPosition(int32_t frame);
    // A multiple of the sound's own rate; negative ratios are ignored.
    void SetFrequencyRatio(float ratio);
    // -100 (left) to +100 (right).
    void SetPan(float pan);
    // Percent, clamped to 0..100.
    void SetVolume(float percent);
    WAVEFORMATEX GetFormat();

    virtual bool IsAvailable() = 0;
    virtual bool IsPlaying() = 0;
    virtual bool IsPaused() = 0;
    // Whole seconds.
    virtual float GetLength() = 0;

protected:
    virtual bool OpenImpl(const std::wstring& path) = 0;
    virtual void CloseImpl() = 0;
    virtual int32_t PlayImpl(bool loop) = 0;
    virtual void PauseImpl() = 0;
    virtual int32_t StopImpl() = 0;
    virtual void SetPositionImpl(float seconds) = 0;
    virtual void SetLoopPositionImpl(int32_t frame) = 0;
    virtual int32_t SetFrequencyRatioImpl(float ratio) = 0;
    virtual int32_t SetPanImpl(float pan) = 0;
    virtual int32_t SetVolumeImpl(float percent) = 0;
    virtual WAVEFORMATEX GetFormatImpl() = 0;

private:
    bool Usable() { return open && IsAvailable(); }

    bool open = false;
    WAVEFORMATEX formatCache{};
};

} // namespace Qorv::Sound
