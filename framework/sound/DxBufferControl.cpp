#include "framework/sound/DxBufferControl.h"

#include <cmath>

namespace Qorv::Sound
{

namespace
{

// 2000 * log10(fraction), truncated; a fraction too small for the platform's range is silence.
LONG Attenuation(float fraction)
{
    const float level = 2000.0f * std::log10(fraction);
    return level <= static_cast<float>(DSBVOLUME_MIN) ? DSBVOLUME_MIN : static_cast<LONG>(level);
}

} // namespace

LONG DxBufferControl::VolumeLevel(float percent)
{
    return percent <= 0.0f ? DSBVOLUME_MIN : Attenuation(percent / 100.0f);
}

LONG DxBufferControl::PanLevel(float pan)
{
    if (pan <= 0.0f)
    {
        const float a = pan + 100.0f;
        return a <= 0.0f ? DSBPAN_LEFT : Attenuation(a / 100.0f);
    }
    const float a = 100.0f - pan;
    return a <= 0.0f ? DSBPAN_RIGHT : -Attenuation(a / 100.0f);
}

DWORD DxBufferControl::FrequencyFor(float ratio, DWORD samplesPerSec)
{
    const float hz = ratio * static_cast<float>(samplesPerSec);
    // Clamped before converting: a product past the integer range has no defined conversion.
    return hz >= static_cast<float>(DSBFREQUENCY_MAX) ? DSBFREQUENCY_MAX : static_cast<DWORD>(hz);
}

void DxBufferControl::Attach(LPDIRECTSOUNDBUFFER newBuffer)
{
    buffer = newBuffer;
    format = EmptyFormat();
}

bool DxBufferControl::IsAvailable()
{
    DWORD status = 0;
    if (buffer == nullptr || buffer->GetStatus(&status) < 0)
    {
        return false;
    }
    return (status & DSBSTATUS_BUFFERLOST) == 0 || buffer->Restore() != DSERR_BUFFERLOST;
}

bool DxBufferControl::IsPlaying()
{
    DWORD status = 0;
    return buffer != nullptr && buffer->GetStatus(&status) >= 0 &&
           (status & DSBSTATUS_PLAYING) != 0;
}

WAVEFORMATEX DxBufferControl::GetFormat()
{
    if (format.wFormatTag == 0 && buffer != nullptr)
    {
        buffer->GetFormat(&format, sizeof format, nullptr);
    }
    return format;
}

int32_t DxBufferControl::SetFrequencyRatio(float ratio)
{
    const DWORD hz = FrequencyFor(ratio, GetFormat().nSamplesPerSec);
    return buffer->SetFrequency(hz);
}

int32_t DxBufferControl::SetPan(float pan)
{
    return buffer->SetPan(PanLevel(pan));
}

int32_t DxBufferControl::SetVolume(float percent)
{
    return buffer->SetVolume(VolumeLevel(percent));
}

} // namespace Qorv::Sound
