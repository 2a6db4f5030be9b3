#pragma once
// Opening FFmpeg costs as much as all the rest of the program's libraries together. A program
// that converts a sound while it starts calls this first, so the opening overlaps its other work.

namespace platform::av
{

// Opens the libraries on a thread of its own and returns at once; the first conversion stream
// waits for that thread instead of opening them again.
void PreloadAvLibraries();

} // namespace platform::av
