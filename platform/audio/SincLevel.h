#pragma once
// One scale level of the resampler's kernels, computed. The build runs this for the levels
// every common output rate needs (SincTableGenerator) and links them in as PrebuiltSincLevels;
// SincTable computes only levels beyond those, for an output slower than 44.1 kHz.

#include <vector>

namespace platform::audio
{

// The level whose kernel filters a downsampling by scale: the next step up, 0 for none.
int SincScaleLevel(double scale);

// The kernel's taps at a level: BaseTaps times its scale, rounded up to 8.
int SincTaps(int level);

// The level's Phases rows, packed as SincTable::Kernel::rows describes.
std::vector<float> BuildSincLevel(int level);

// Written by the build: the levels 0 .. PrebuiltSincLevelCount - 1, one after another.
extern const int PrebuiltSincLevelCount;
extern const float PrebuiltSincLevels[];

} // namespace platform::audio
