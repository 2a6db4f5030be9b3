#pragma once
// A single-producer, single-consumer ring of samples. The audio callback pushes each mixed
// period without allocating, locking or calling the system; one writer thread pops.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::audio
{

class SampleRing
{
public:
    explicit SampleRing(size_t capacity) : storage(capacity) {}

    // All of the samples or none: a run that does not fit is dropped and counted, so the
    // producer never waits for the consumer.
    bool Push(const float* samples, size_t count);
    // Up to max samples, oldest first; the number taken.
    size_t Pop(float* out, size_t max);

    size_t Filled() const;
    uint32_t Overruns() const { return overruns.load(std::memory_order_relaxed); }

private:
    std::vector<float> storage;
    // Running totals pushed and popped; their difference is what the ring holds.
    std::atomic<size_t> pushed{0};
    std::atomic<size_t> popped{0};
    std::atomic<uint32_t> overruns{0};
};

} // namespace platform::audio
