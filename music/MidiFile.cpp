#include "music/MidiFile.h"

#include <algorithm>
#include <cmath>

namespace Pakemino
{

namespace
{

constexpr uint16_t TicksPerQuarter = 480;
constexpr uint32_t TicksPerStep = TicksPerQuarter / 4;
constexpr uint8_t NoteOn = 0x99;  // channel 10
constexpr uint8_t NoteOff = 0x89; // channel 10
// The largest tempo a file can state: three bytes of microseconds a quarter note.
constexpr int64_t SlowestQuarter = 0xFFFFFF;

void PutBigEndian(std::string& out, uint32_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
    {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

void PutVariableLength(std::string& out, uint32_t value)
{
    std::string reversed(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
    {
        reversed += static_cast<char>(0x80 | (value & 0x7F));
    }
    out.append(reversed.rbegin(), reversed.rend());
}

uint8_t Velocity(int32_t step)
{
    return static_cast<uint8_t>(
        std::lround(127.0f * StepAccents[static_cast<size_t>(step % 4)] / 100.0f));
}

} // namespace

std::string MidiFileOf(const Pattern& pattern, int32_t bars, int32_t shortestStep)
{
    std::string events;
    const int64_t stepMilliseconds = std::max(pattern.interval, shortestStep);
    const auto quarter =
        static_cast<uint32_t>(std::clamp<int64_t>(stepMilliseconds * 4000, 1, SlowestQuarter));
    events += std::string("\x00\xFF\x51\x03", 4);
    PutBigEndian(events, quarter, 3);

    // Each note lasts its step: at a step's tick the notes of the step before end first.
    uint32_t delta = 0;
    auto put = [&](uint8_t status, size_t track, uint8_t velocity)
    {
        PutVariableLength(events, delta);
        delta = 0;
        events += static_cast<char>(status);
        events += static_cast<char>(DrumNotes[track]);
        events += static_cast<char>(velocity);
    };
    const int32_t steps = bars * StepCount;
    for (int32_t s = 0; s <= steps; ++s)
    {
        for (size_t t = 0; t < TrackCount; ++t)
        {
            if (s > 0 && pattern.steps[t][static_cast<size_t>((s - 1) % StepCount)])
            {
                put(NoteOff, t, 0);
            }
        }
        for (size_t t = 0; t < TrackCount && s < steps; ++t)
        {
            if (pattern.steps[t][static_cast<size_t>(s % StepCount)])
            {
                put(NoteOn, t, Velocity(s % StepCount));
            }
        }
        delta += TicksPerStep;
    }
    // The end of the track falls at the end of the last bar, so an empty bar keeps its length.
    PutVariableLength(events, delta - TicksPerStep);
    events += std::string("\xFF\x2F\x00", 3);

    std::string file = "MThd";
    PutBigEndian(file, 6, 4);
    PutBigEndian(file, 0, 2); // format 0: one track
    PutBigEndian(file, 1, 2);
    PutBigEndian(file, TicksPerQuarter, 2);
    file += "MTrk";
    PutBigEndian(file, static_cast<uint32_t>(events.size()), 4);
    return file + events;
}

} // namespace Pakemino
