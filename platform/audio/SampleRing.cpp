#include "platform/audio/SampleRing.h"

#include <algorithm>
#include <cstring>

namespace platform::audio
{

namespace
{

// Copies count samples between a linear run and the ring at a running position, in at most
// two pieces where the ring wraps.
template <typename Copy> void InTwoPieces(size_t position, size_t count, size_t capacity, Copy copy)
{
    const size_t start = position % capacity;
    const size_t first = std::min(count, capacity - start);
    copy(start, 0, first);
    copy(0, first, count - first);
}

} // namespace

bool SampleRing::Push(const float* samples, size_t count)
{
    const size_t head = pushed.load(std::memory_order_relaxed);
    const size_t tail = popped.load(std::memory_order_acquire);
    if (storage.size() - (head - tail) < count)
    {
        overruns.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    InTwoPieces(head, count, storage.size(),
                [&](size_t at, size_t from, size_t n)
                { std::memcpy(storage.data() + at, samples + from, n * sizeof(float)); });
    pushed.store(head + count, std::memory_order_release);
    return true;
}

size_t SampleRing::Pop(float* out, size_t max)
{
    const size_t tail = popped.load(std::memory_order_relaxed);
    const size_t head = pushed.load(std::memory_order_acquire);
    const size_t count = std::min(max, head - tail);
    InTwoPieces(tail, count, storage.size(),
                [&](size_t at, size_t to, size_t n)
                { std::memcpy(out + to, storage.data() + at, n * sizeof(float)); });
    popped.store(tail + count, std::memory_order_release);
    return count;
}

size_t SampleRing::Filled() const
{
    return pushed.load(std::memory_order_acquire) - popped.load(std::memory_order_acquire);
}

} // namespace platform::audio
