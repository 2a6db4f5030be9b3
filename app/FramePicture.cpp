// The frame picture, its share of the Game's construction and what every frame draws: a feedback
// trail in two 1024×1024 targets that every note stamps into, under the stage, the 16 step pads
// of the selected track and the step cursor.

#include "app/FramePicture.h"

#include "app/Game.h"

#include "framework/draw/LoadTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Pakemino
{

using Qorv::Draw::Quad;
using Qorv::Draw::Rect;

int32_t trailAngle = 3;

namespace
{
constexpr int32_t ScreenWidth = 640;
constexpr int32_t ScreenHeight = 480;
// Each half of the feedback trail is a square render target this wide, and each frame draws the
// last one this many pixels larger over it.
constexpr int32_t TrailSize = 1024;
constexpr int32_t TrailGrowth = 16;
constexpr uint32_t OpaqueBlack = 0xFF000000;

// The square about a trail target's centre that holds every pixel that can still reach the
// window. The window shows the middle of the trail, inside a disc through its corners. Each
// frame draws the last one grown about the centre and turned, so a pixel within the disc reads
// one nearer the centre: the growth pulls a radius in by radius × growth / (size + growth),
// while the linear filter and the corners' rounding to whole pixels push it out by a pixel
// each. Past the radius where those balance, the disc holds all it reads.
Rect TrailReach()
{
    constexpr double Slack = 2.0;
    const double shown = std::hypot(ScreenWidth / 2.0, ScreenHeight / 2.0) + Slack;
    const double shrink = static_cast<double>(TrailSize) / (TrailSize + TrailGrowth);
    const double balanced = Slack / (1.0 - shrink);
    const auto radius =
        std::min(static_cast<int32_t>(std::ceil(std::max(shown, balanced))), TrailSize / 2);
    return Rect{TrailSize / 2 - radius, TrailSize / 2 - radius, 2 * radius, 2 * radius};
}
} // namespace

void OpenPicture(Game& game)
{
    if (game.window != nullptr)
    {
        // A drawer that failed to open ignores drawing: the game runs on without a picture.
        (void)game.drawer->Open(game.window, ScreenWidth, ScreenHeight, 16, false, false);
    }
    game.drawer->SetLinearFilter(true);
}

void LoadPictures(Game& game, Qorv::Base::IFileFinder& finder)
{
    game.noteTexture = game.drawer->CreateTexture();
    Qorv::Draw::LoadTextureFromFile(game.noteTexture, finder.Find(L"zirmonly.bmp"));
    game.padTexture = game.drawer->CreateTexture();
    Qorv::Draw::LoadTextureFromFile(game.padTexture, finder.Find(L"pad.png"));
}

void PrepareTrailAndStage(Game& game, Qorv::Base::IFileFinder& finder)
{
    const auto& drawer = game.drawer;
    for (auto& target : game.feedbackTargets)
    {
        target = drawer->CreateTexture();
        // A target that could not be made ignores drawing: the frame shows no trail.
        (void)target->Create(TrailSize, TrailSize, true);
    }
    // Both halves of the trail start opaque black.
    drawer->BeginFrame();
    for (const auto& target : game.feedbackTargets)
    {
        drawer->SetRenderTarget(target);
        drawer->SetBlendMode(Qorv::Draw::BlendNone);
        drawer->FillRect(OpaqueBlack, 0, 0, TrailSize, TrailSize);
        drawer->Flush();
    }
    game.trailReach = TrailReach();
    game.stageTexture = drawer->CreateTexture();
    Qorv::Draw::LoadTextureFromFile(game.stageTexture, finder.Find(L"stage.bmp"));
    drawer->EndFrame();
}

Quad MakeTrailQuad(const Rect& rect)
{
    const int32_t cx = rect.x + rect.width / 2;
    const int32_t cy = rect.y + rect.height / 2;
    const float theta = static_cast<float>(trailAngle * 3.141592 / 180.0);
    const float s = std::sin(theta);
    const float c = std::cos(theta);
    auto turn = [&](int32_t x, int32_t y)
    {
        const auto dx = static_cast<float>(x - cx);
        const auto dy = static_cast<float>(y - cy);
        return Qorv::Draw::Point{static_cast<int32_t>(static_cast<float>(cx) + c * dx - s * dy),
                                 static_cast<int32_t>(static_cast<float>(cy) + s * dx + c * dy)};
    };
    return Quad{turn(rect.x, rect.y), turn(rect.x + rect.width, rect.y),
                turn(rect.x, rect.y + rect.height),
                turn(rect.x + rect.width, rect.y + rect.height)};
}

void DrawFrame(Game& game, int32_t notesPlayed, int32_t step)
{
    using namespace Qorv::Draw;
    const auto& drawer = game.drawer;
    drawer->BeginFrame();
    game.targetIndex = !game.targetIndex;
    const auto& current = game.feedbackTargets[game.targetIndex ? 1 : 0];
    const auto& previous = game.feedbackTargets[game.targetIndex ? 0 : 1];
    drawer->SetRenderTarget(current);

    // About every 250 frames (4 s) the trail picks a new turn.
    if (std::rand() % 250 == 0)
    {
        const int r = std::rand() % 3;
        trailAngle = r == 0 ? 3 : r == 1 ? -3 : 0;
    }

    // The previous frame, half opaque, larger and turned, over the one before it, only where
    // it can still reach the window.
    drawer->SetViewport(game.trailReach);
    drawer->SetBlendMode(BlendVertexAlpha);
    drawer->DrawImageQuad(previous, 0x80FFFFFF, 0, Rect{0, 0, TrailSize, TrailSize},
                          MakeTrailQuad(Rect{-TrailGrowth / 2, -TrailGrowth / 2,
                                             TrailSize + TrailGrowth, TrailSize + TrailGrowth}));
    drawer->Flush();
    drawer->SetViewport(Rect{});

    for (int32_t i = 0; i < notesPlayed; ++i)
    {
        drawer->SetBlendMode(BlendNone);
        const int32_t x = 256 + std::rand() % 256;
        const int32_t y = 352 + std::rand() % 256;
        drawer->DrawImage(game.noteTexture, 0xFFFFFFFF, 100, Rect{x, y, 256, 64},
                          Rect{0, 0, 256, 64});
    }
    drawer->Flush();

    drawer->ResetRenderTarget();
    // The trail's middle is drawn over the whole window without blending: black is needed only
    // where there is no trail.
    if (!current->IsCreated())
    {
        drawer->SetBlendMode(BlendNone);
        drawer->FillRect(OpaqueBlack, 0, 0, ScreenWidth, ScreenHeight);
        drawer->Flush();
    }

    // The middle of the trail, whose centre (512, 512) is its turning point.
    drawer->SetBlendMode(BlendNone);
    const Rect screen{0, 0, ScreenWidth, ScreenHeight};
    drawer->DrawImage(current, 0xFFFFFFFF, 0, screen,
                      Rect{(TrailSize - ScreenWidth) / 2, (TrailSize - ScreenHeight) / 2,
                           ScreenWidth, ScreenHeight});
    drawer->SetBlendMode(BlendAdd);
    drawer->DrawImage(game.stageTexture, 0xFFFFFFFF, 10, screen, screen);

    drawer->SetBlendMode(BlendAlpha);
    const RhythmTrack& track = game.sequencer->tracks[selectedTrack];
    for (int32_t i = 0; i < StepCount; ++i)
    {
        const Rect pad{32 + 36 * i, 32, 32, 32};
        drawer->DrawImage(game.padTexture, 0xFFFFFFFF, 0, pad, Rect{0, 0, 32, 32});
        if (track.steps[static_cast<size_t>(i)])
        {
            drawer->DrawImage(game.padTexture, 0xFFFFFF00, 10, pad, Rect{0, 0, 32, 32});
        }
    }
    drawer->SetBlendMode(BlendAdd);
    drawer->DrawImage(game.padTexture, 0xFFFFFFFF, 10, Rect{32 + 36 * step, 32, 32, 32},
                      Rect{0, 0, 32, 32});

    drawer->SetBlendMode(BlendNone);
    drawer->Flush();
    game.overlay.Draw(*drawer, game);
    drawer->EndFrame();
}

} // namespace Pakemino
