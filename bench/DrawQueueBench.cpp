// The draw queue's throughput into a device that does nothing: commands added and flushed per
// second, from a thousand to a million commands a flush.

#include "framework/draw/DxDrawer.h"
#include "tests/support/RecordingDevice.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

using namespace Qorv::Draw;

namespace
{

struct QueueSetup
{
    // A set-up that fails skips the benchmark before its loop starts.
    explicit QueueSetup(benchmark::State& state)
    {
        device.recording = false;
        bool ready = drawer.Open(reinterpret_cast<HWND>(0x1000), 640, 480, 16, false, false);
        drawer.BeginFrame();
        for (int i = 0; i < 4; ++i)
        {
            auto texture = drawer.CreateTexture();
            ready = texture->Create(256, 64, false) && ready;
            textures.push_back(texture);
        }
        if (!ready)
        {
            state.SkipWithError("the drawer or a texture did not open");
        }
    }

    TestSupport::RecordingDevice device;
    TestSupport::RecordingDirect3D direct3D{device};
    DxDrawer drawer{[this](UINT) -> IDirect3D9*
                    {
                        return &direct3D;
                    }};
    std::vector<std::shared_ptr<ITexture>> textures;
};

// One texture, one blend mode, one priority: the queue is already in order.
void OneBatch(benchmark::State& state)
{
    QueueSetup setup(state);
    const auto count = static_cast<int>(state.range(0));
    for (auto _ : state)
    {
        for (int i = 0; i < count; ++i)
        {
            setup.drawer.DrawImage(setup.textures[0], 0xFFFFFFFF, 0, {i & 511, 32, 256, 64},
                                   {0, 0, 256, 64});
        }
        setup.drawer.Flush();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

// A frame's mix: eight priorities, four textures, three blend modes, in no order.
void Mixed(benchmark::State& state)
{
    QueueSetup setup(state);
    const auto count = static_cast<int>(state.range(0));
    std::minstd_rand random(7);
    for (auto _ : state)
    {
        for (int i = 0; i < count; ++i)
        {
            const auto pick = random();
            setup.drawer.SetBlendMode(static_cast<int32_t>(pick % 3) + 1);
            setup.drawer.DrawImageQuad(setup.textures[(pick >> 4) & 3], 0xFFFFFFFF, (pick >> 8) & 7,
                                       {0, 0, 256, 64}, {{0, 0}, {256, 0}, {0, 64}, {256, 64}});
        }
        setup.drawer.Flush();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

} // namespace

BENCHMARK(OneBatch)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Mixed)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
