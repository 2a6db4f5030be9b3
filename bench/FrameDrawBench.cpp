// The frame's time on the GL device in an offscreen window (Mesa llvmpipe without a GPU): the
// Game's RunFrame, almost all of it the picture, at 640×480 with its two 1024² trail targets,
// five notes stamped every frame. Each frame is timed up to a one-pixel read-back, which waits
// for the drawing to finish; the same frames without it show whether the present waits itself.
//   frame-draw-bench [--frames N]

#include "app/Game.h"
#include "tests/support/OffscreenWindow.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

struct Spread
{
    double median, p99, max;
};

Spread SpreadOf(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q)
    {
        return ms[static_cast<size_t>(q * (ms.size() - 1))];
    };
    return {at(0.5), at(0.99), ms.back()};
}

std::vector<double> TimeFrames(Pakemino::Game& game, int frames, bool waitForPicture)
{
    std::vector<double> ms;
    for (int i = 0; i < frames; ++i)
    {
        game.player->playedCount = 5;
        const auto start = std::chrono::steady_clock::now();
        game.RunFrame();
        if (waitForPicture)
        {
            TestSupport::ReadBackBuffer(1, 1);
        }
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    int frames = 600;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        if (std::string(argv[i]) == "--frames")
        {
            frames = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    TestSupport::OffscreenWindow window(640, 480);
    if (window.Handle() == nullptr)
    {
        std::fprintf(stderr, "frame-draw-bench: no offscreen window\n");
        return 1;
    }
    Pakemino::Game game(window.Handle());
    if (game.feedbackTargets[0]->GetWidth() != 1024)
    {
        std::fprintf(stderr, "frame-draw-bench: the drawer did not open\n");
        return 1;
    }
    // Warm-up: first uses of the shader, textures and buffers.
    TimeFrames(game, 30, true);
    const Spread finished = SpreadOf(TimeFrames(game, frames, true));
    const Spread submitted = SpreadOf(TimeFrames(game, frames, false));
    std::printf(
        "frame, drawn to the end: median %.2f ms, p99 %.2f ms, max %.2f ms over %d frames\n",
        finished.median, finished.p99, finished.max, frames);
    std::printf("frame, present only:     median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                submitted.median, submitted.p99, submitted.max);
    return 0;
}
