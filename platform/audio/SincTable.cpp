#include "platform/audio/SincTable.h"

#include "platform/audio/SincLevel.h"

#include <algorithm>
#include <future>

namespace platform::audio
{

SincTable::SincTable(double maxStep)
{
    const int levels = SincScaleLevel(std::max(1.0, maxStep)) + 1;
    const float* prebuilt = PrebuiltSincLevels;
    for (int level = 0; level < std::min(levels, PrebuiltSincLevelCount); ++level)
    {
        const int taps = SincTaps(level);
        kernels.push_back(Kernel{taps, prebuilt});
        prebuilt += static_cast<size_t>(Phases) * 2u * static_cast<size_t>(taps);
    }
    const int first = static_cast<int>(kernels.size());
    storage.resize(static_cast<size_t>(levels - first));
    // The scales are independent: a second thread builds every other one while this one
    // builds the rest, which halves the wait at the start of a slow output.
    const auto build = [&](int from)
    {
        for (int level = from; level < levels; level += 2)
        {
            storage[static_cast<size_t>(level - first)] = BuildSincLevel(level);
        }
    };
    if (first < levels)
    {
        auto odd = std::async(std::launch::async, build, first + 1);
        build(first);
        odd.get();
    }
    for (const auto& packed : storage)
    {
        kernels.push_back(Kernel{static_cast<int>(packed.size() / (2u * Phases)), packed.data()});
    }
    // Taps grow with the level.
    maxTaps = kernels.back().taps;
}

const SincTable::Kernel& SincTable::ForStep(double step) const
{
    const int level = std::min(SincScaleLevel(step), static_cast<int>(kernels.size()) - 1);
    return kernels[static_cast<size_t>(level)];
}

} // namespace platform::audio
