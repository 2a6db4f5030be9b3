#include "framework/sound/DxSoundSource.h"

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

LONG DxSoundSource::VolumeLevel(float percent)
{
    return percent <= 0.0f ? DSBVOLUME_MIN : Attenuation(percent / 100.0f);
}

LONG DxSoundSource::PanLevel(float pan)
{
    if (pan <= 0.0f)
    {
        const float a = pan + 100.0f;
        return a <= 0.0f ? DSBPAN_LEFT : Attenuation(a / 100.0f);
    }
    const float a = 100.0f - pan;
    return a <= 0.0f ? DSBPAN_RIGHT : -Attenuation(a / 100.0f);
}

DWORD DxSoundSource::FrequencyFor(float ratio, DWORD samplesPerSec)
{
    const float hz = ratio * static_cast<float>(samplesPerSec);
    // Clamped before converting: a product past the integer range has no defined conversion.
    return hz >= static_cast<float>(DSBFREQUENCY_MAX) ? DSBFREQUENCY_MAX : static_cast<DWORD>(hz);
}

bool DxSoundSource::IsAvailable()
{
    DWORD status = 0;
    if (platformBuffer == nullptr || platformBuffer->GetStatus(&status) < 0)
    {
        return false;
    }
    return (status & DSBSTATUS_BUFFERLOST) == 0 || platformBuffer->Restore() != DSERR_BUFFERLOST;
}

bool DxSoundSource::IsPlaying()
{
    DWORD status = 0;
    return platformBuffer != nullptr && platformBuffer->GetStatus(&status) >= 0 &&
           (status & DSBSTATUS_PLAYING) != 0;
}

float DxSoundSource::GetLength()
{
    const DWORD perSecond = GetFormat().nAvgBytesPerSec;
    return perSecond == 0 ? 0.0f : static_cast<float>(LengthBytes() / perSecond);
}

void DxSoundSource::PauseImpl()
{
    if (IsPlaying())
    {
        platformBuffer->Stop();
        paused = true;
    }
}

int32_t DxSoundSource::StopImpl()
{
    const HRESULT result = platformBuffer->Stop();
    paused = false;
    return result;
}

int32_t DxSoundSource::SetFrequencyRatioImpl(float ratio)
{
    return platformBuffer->SetFrequency(FrequencyFor(ratio, GetFormat().nSamplesPerSec));
}

int32_t DxSoundSource::SetPanImpl(float pan)
{
    return platformBuffer->SetPan(PanLevel(pan));
}

int32_t DxSoundSource::SetVolumeImpl(float percent)
{
    return platformBuffer->SetVolume(VolumeLevel(percent));
}

WAVEFORMATEX DxSoundSource::GetFormatImpl()
{
    WAVEFORMATEX format = EmptyFormat();
    platformBuffer->GetFormat(&format, sizeof format, nullptr);
    return format;
}

} // namespace Qorv::Sound
