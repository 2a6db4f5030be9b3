#include "framework/midi/StepPacing.h"

#include <algorithm>

namespace Qorv::Midi
{

namespace
{
constexpr std::chrono::milliseconds LongestFrame{32};
} // namespace

std::chrono::microseconds StepPacing::Begin(Time now, std::chrono::milliseconds interval)
{
    const std::chrono::microseconds meant = interval;
    const auto lasted = std::chrono::duration_cast<std::chrono::microseconds>(now - previous);
    // A pause (the clock followed from outside, say) is no step's length.
    if (previous != Time{} && lasted < 2 * meant + LongestFrame)
    {
        waits[recorded++ % waits.size()] = std::max(lasted - meant, std::chrono::microseconds{0});
    }
    previous = now;
    if (recorded == 0)
    {
        return meant;
    }
    // The shortest recent wait, not the last: the frames now and then hold a step most of a
    // frame longer, and spreading the next step's pulses over that would leave them bunched up
    // against the step after it. Such a step leaves one longer gap instead. Waits, not lengths,
    // so a new tempo paces its first step.
    const auto known =
        waits.begin() + static_cast<std::ptrdiff_t>(std::min(recorded, waits.size()));
    return meant + *std::min_element(waits.begin(), known);
}

} // namespace Qorv::Midi
