#pragma once
// How long a step of the pattern will really last, for spreading its clock pulses. A step is
// meant to last its interval but begins on a frame, so it lasts that and the wait for the next
// frame after it: learnt from the steps before it.

#include <array>
#include <chrono>
#include <cstddef>

namespace Qorv::Midi
{

class StepPacing
{
public:
    using Time = std::chrono::steady_clock::time_point;

    // A step meant to last interval began at now: the length to spread its pulses over.
    std::chrono::microseconds Begin(Time now, std::chrono::milliseconds interval);

private:
    Time previous{};
    // How far past their interval the last steps ran, a ring that recorded counts into.
    std::array<std::chrono::microseconds, 8> waits{};
    size_t recorded = 0;
};

} // namespace Qorv::Midi
