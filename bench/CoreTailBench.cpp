// What this machine does to the tail of a job shared by two threads, with no GL at all: 600
// rounds of fixed arithmetic, each round split between two threads that the main thread wakes and
// waits for, as a software rasteriser's are. Printed once with the threads bound one a core (as
// the program binds the rasteriser's) and once left to the scheduler. The frame's p99 ÷ median
// is read against the bound line: a frame is hardly steadier than arithmetic on the same cores.
//   core-tail-bench [--work N]   N additions a thread a round (by default about 5 ms, a frame)

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace
{

volatile double sink;

double Work(long additions)
{
    double sum = 0;
    for (long i = 0; i < additions; ++i)
    {
        sum += 0.5 * static_cast<double>(i) / static_cast<double>(i + 1);
    }
    return sum;
}

void Measure(long additions, bool bound)
{
    constexpr int Threads = 2;
    constexpr int Rounds = 600;
    std::barrier start(Threads + 1);
    std::barrier done(Threads + 1);
    std::atomic<bool> stopping = false;
    std::vector<std::thread> threads;
    for (int index = 0; index < Threads; ++index)
    {
        threads.emplace_back(
            [&, index]
            {
                if (bound)
                {
                    cpu_set_t one;
                    CPU_ZERO(&one);
                    CPU_SET(index, &one);
                    sched_setaffinity(0, sizeof one, &one);
                }
                for (start.arrive_and_wait(); !stopping; start.arrive_and_wait())
                {
                    sink = Work(additions);
                    done.arrive_and_wait();
                }
            });
    }
    std::vector<double> ms;
    for (int round = 0; round < Rounds + 30; ++round)
    {
        const auto begun = std::chrono::steady_clock::now();
        start.arrive_and_wait();
        done.arrive_and_wait();
        // The first rounds warm up.
        if (round >= 30)
        {
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begun)
                    .count());
        }
    }
    stopping = true;
    start.arrive_and_wait();
    for (auto& thread : threads)
    {
        thread.join();
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    const double p99 = ms[static_cast<size_t>(0.99 * static_cast<double>(ms.size() - 1))];
    std::printf("two threads %s: median %.2f ms, p99 %.2f ms, p99/median %.2f\n",
                bound ? "bound one a core" : "free", median, p99, p99 / median);
}

} // namespace

int main(int argc, char** argv)
{
    long additions = 4000000;
    if (argc == 3 && std::string(argv[1]) == "--work")
    {
        additions = std::max(1L, std::atol(argv[2]));
    }
    Measure(additions, true);
    Measure(additions, false);
    return 0;
}
