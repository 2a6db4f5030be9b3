#include "framework/sound/ISoundBuffer.h"

#include <cmath>

namespace Qorv::Sound
{

bool ISoundBuffer::Open(const std::wstring& path)
{
    Close();
    open = OpenImpl(path);
    return open;
}

void ISoundBuffer::Close()
{
    if (open)
    {
        CloseImpl();
        open = false;
        formatCache = EmptyFormat();
    }
}

void ISoundBuffer::Play(bool loop)
{
    if (Usable())
    {
        // Returns nothing by design: no caller acts on the platform's status.
        (void)PlayImpl(loop);
    }
}

void ISoundBuffer::Pause()
{
    if (Usable())
    {
        PauseImpl();
    }
}

void ISoundBuffer::Stop()
{
    if (Usable())
    {
        // Returns nothing by design: no caller acts on the platform's status.
        (void)StopImpl();
    }
}

void ISoundBuffer::SetPosition(float seconds)
{
    if (Usable())
    {
        SetPositionImpl(seconds);
    }
}

void ISoundBuffer::SetLoopPosition(int32_t frame)
{
    if (Usable())
    {
        SetLoopPositionImpl(frame);
    }
}

void ISoundBuffer::SetFrequencyRatio(float ratio)
{
    // Written so that NaN is refused with the negative ratios.
    if (!(ratio >= 0.0f))
    {
        return;
    }
    if (Usable())
    {
        // Returns nothing by design: no caller acts on the platform's status.
        (void)SetFrequencyRatioImpl(ratio);
    }
}

void ISoundBuffer::SetPan(float pan)
{
    if (std::isnan(pan))
    {
        return;
    }
    if (Usable())
    {
        // Returns nothing by design: no caller acts on the platform's status.
        (void)SetPanImpl(pan);
    }
}

void ISoundBuffer::SetVolume(float percent)
{
    if (std::isnan(percent))
    {
        return;
    }
    if (Usable())
    {
        // Returns nothing by design: no caller acts on the platform's status.
        (void)SetVolumeImpl(percent < 0.0f ? 0.0f : percent > 100.0f ? 100.0f : percent);
    }
}

WAVEFORMATEX ISoundBuffer::GetFormat()
{
    if (!Usable())
    {
        return EmptyFormat();
    }
    if (formatCache.wFormatTag == 0)
    {
        formatCache = GetFormatImpl();
    }
    return formatCache;
}

} // namespace Qorv::Sound
