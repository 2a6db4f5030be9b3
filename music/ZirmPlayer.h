#pragma once
// The voice instrument: four syllables as rows, 25 pitches, five voices per row with
// least-recently-started voice stealing.

#include "framework/sound/ISoundBuffer.h"
#include "framework/sound/ISoundManager.h"
#include "music/Clock.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace Pakemino
{

struct VoiceSlot
{
    int32_t note;       // -1 while the voice has never been used
    uint32_t startTime; // when that note started, in clock milliseconds
};

// 2^((n - 12) / 12) cut to two decimals, as the instrument has always been tuned.
inline constexpr std::array<float, 25> PitchRatios = {
    0.5f,  0.52f, 0.56f, 0.59f, 0.62f, 0.66f, 0.7f,  0.74f, 0.79f, 0.84f, 0.89f, 0.94f, 1.0f,
    1.05f, 1.12f, 1.18f, 1.25f, 1.33f, 1.41f, 1.49f, 1.58f, 1.68f, 1.78f, 1.88f, 2.0f};

class ZirmPlayer
{
public:
    explicit ZirmPlayer(std::shared_ptr<Qorv::Sound::ISoundManager> sound,
                        Clock clock = timeGetTime);

    // At volume per cent: a computer key plays at full volume, a MIDI note at its velocity's.
    void PlayNote(int32_t row, int32_t note, float volume = 100.0f);
    int32_t AllocateVoice(int32_t row, int32_t note);

    std::shared_ptr<Qorv::Sound::ISoundManager> sound;
    std::vector<std::shared_ptr<Qorv::Sound::ISoundBuffer>> voices;
    std::vector<VoiceSlot> slots;
    int32_t playedCount = 0;
    int32_t voicesPerRow = 5;

private:
    Clock clock;
};

} // namespace Pakemino
