#pragma once
// Software GL (Mesa's llvmpipe) shares each frame's tiles among raster threads of its own, one a
// core. The scheduler wakes them on the core that woke them and spreads them only after some
// milliseconds, so on a two-core machine a frame now and then runs on one core and takes twice
// as long. Bound one a core they always run side by side; tiles are handed out one at a time, so
// a thread kept waiting on its core holds up one tile, not half the frame. Without such threads
// (any other driver) this does nothing.

namespace platform::gl
{

// Binds each raster thread of this process to its own core among those the process may use.
void SpreadSoftwareRasterThreads();

} // namespace platform::gl
