#include "music/ZirmPlayer.h"

#include "framework/base/IFileFinder.h"

#include <string>

namespace Pakemino
{

namespace
{
// Row capacity: rows 0..3 carry syllables, row 4 stays silent.
constexpr int32_t RowCount = 5;
} // namespace

ZirmPlayer::ZirmPlayer(std::shared_ptr<Qorv::Sound::ISoundManager> soundManager, Clock clockSource)
    : sound(std::move(soundManager)), clock(clockSource)
{
    const int32_t voiceCount = RowCount * voicesPerRow;
    for (int32_t i = 0; i < voiceCount; ++i)
    {
        voices.push_back(sound->CreateBuffer());
    }
    slots.resize(static_cast<size_t>(voiceCount), VoiceSlot{-1, clock()});

    const std::wstring names[] = {L"pa.wav", L"ke.wav", L"ro.wav", L"no.wav"};
    auto finder = Qorv::Base::CreateFileFinder(L"");
    for (int32_t row = 0; row < 4; ++row)
    {
        for (int32_t v = 0; v < voicesPerRow; ++v)
        {
            // Each voice keeps its own copy of the syllable.
            const std::wstring path = finder->Find(names[row]);
            if (!path.empty())
            {
                // A voice that fails to open stays closed and ignores its notes.
                (void)voices[static_cast<size_t>(row * voicesPerRow + v)]->Open(path);
            }
        }
    }
}

int32_t ZirmPlayer::AllocateVoice(int32_t row, int32_t note)
{
    const int32_t first = row * voicesPerRow;
    int32_t chosen = -1;
    for (int32_t s = first; s < first + voicesPerRow && chosen < 0; ++s)
    {
        const int32_t slotNote = slots[static_cast<size_t>(s)].note;
        if (slotNote == note || slotNote == -1)
        {
            chosen = s;
        }
    }
    if (chosen < 0)
    {
        chosen = first;
        for (int32_t s = first + 1; s < first + voicesPerRow; ++s)
        {
            if (slots[static_cast<size_t>(s)].startTime <
                slots[static_cast<size_t>(chosen)].startTime)
            {
                chosen = s;
            }
        }
    }
    slots[static_cast<size_t>(chosen)] = VoiceSlot{note, clock()};
    return chosen;
}

void ZirmPlayer::PlayNote(int32_t row, int32_t note, float volume)
{
    const int32_t voice = AllocateVoice(row, note);
    const auto& buffer = voices[static_cast<size_t>(voice)];
    buffer->SetFrequencyRatio(PitchRatios[static_cast<size_t>(note)]);
    buffer->SetVolume(volume);
    buffer->Play(false);
    ++playedCount;
}

} // namespace Pakemino
