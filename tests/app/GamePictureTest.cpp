// The Game's picture as draw calls: the real drawer over a device that records them, the real
// input manager over a scripted keyboard, the pictures of data/ beside the test.

#include "app/FramePicture.h"
#include "app/Game.h"

#include "framework/draw/DxDrawer.h"
#include "framework/input/DxInputManager.h"
#include "framework/input/KeyCode.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordedGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>

using namespace Pakemino;
using namespace Qorv::Draw;
using namespace Qorv::Input;
using namespace TestSupport;

namespace
{

int64_t Address(const void* pointer)
{
    return static_cast<int64_t>(reinterpret_cast<uintptr_t>(pointer));
}

class GamePictureCalls : public RecordedGame
{
protected:
    void SetUp() override
    {
        RecordedGame::SetUp();
        // The first snapshot finds the keyboard unacquired.
        Frame();
    }

    // Runs one frame and keeps only its calls and draws.
    void Frame() override
    {
        NoteTargets();
        device.calls.clear();
        device.draws.clear();
        GameFrames::Frame();
    }

    // Which feedback target (0 or 1) each surface made render target stands for, -1 for the
    // back buffer: the drawer takes a target's surface right before it sets it.
    void NoteTargets()
    {
        const DeviceCall* previous = nullptr;
        for (const auto& call : device.calls)
        {
            if (call.name == "SetRenderTarget")
            {
                int target = -1;
                for (int i = 0; i < 2 && previous != nullptr && previous->name == "GetSurfaceLevel";
                     ++i)
                {
                    if (previous->args[0] == Address(DeviceTexture(game->feedbackTargets[i])))
                    {
                        target = i;
                    }
                }
                targetOfSurface[call.args[1]] = target;
            }
            previous = &call;
        }
    }
    // The target each draw of the last frame went into; -2 for one never set.
    std::vector<int> DrawTargets()
    {
        NoteTargets();
        std::vector<int> targets;
        for (const auto& draw : device.draws)
        {
            const auto found = targetOfSurface.find(Address(draw.renderTarget));
            targets.push_back(draw.renderTarget == device.backBuffer ? -1
                              : found != targetOfSurface.end()       ? found->second
                                                                     : -2);
        }
        return targets;
    }

    std::map<int64_t, int> targetOfSurface;
};

} // namespace

TEST(TrailQuad, TurnsTheCornersAboutTheCentreAndTruncatesTowardZero)
{
    const struct
    {
        int32_t angle;
        Quad corners;
    } table[] = {
        {3, {{19, -34}, {1058, 19}, {-34, 1004}, {1004, 1058}}},
        {-3, {{-34, 19}, {1004, -34}, {19, 1058}, {1058, 1004}}},
        {0, {{-8, -8}, {1032, -8}, {-8, 1032}, {1032, 1032}}},
    };
    for (const auto& row : table)
    {
        trailAngle = row.angle;
        const Quad quad = MakeTrailQuad({-8, -8, 1040, 1040});
        const Point got[] = {quad.topLeft, quad.topRight, quad.bottomLeft, quad.bottomRight};
        const Point want[] = {row.corners.topLeft, row.corners.topRight, row.corners.bottomLeft,
                              row.corners.bottomRight};
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_EQ(got[i].x, want[i].x) << "angle " << row.angle << " corner " << i;
            EXPECT_EQ(got[i].y, want[i].y) << "angle " << row.angle << " corner " << i;
        }
    }
    trailAngle = 3;
}

TEST_F(GamePictureCalls, FramesAlternateTargetsAndLayTheTrailBeforeTheScreen)
{
    // The first frame (run by SetUp) draws into the second target, reading the first; then
    // they take turns.
    for (int frame = 0; frame < 3; ++frame)
    {
        const int current = frame % 2 == 0 ? 1 : 0;
        if (frame > 0)
        {
            Frame();
        }
        const auto targets = DrawTargets();
        ASSERT_GE(targets.size(), 3u);
        EXPECT_EQ(targets[0], current) << "frame " << frame;
        for (size_t i = 1; i < targets.size(); ++i)
        {
            EXPECT_EQ(targets[i], -1) << "draw " << i << " of frame " << frame;
        }

        // The trail: the other target, half opaque, over the whole target it turns in.
        const RecordedDraw& trail = device.draws[0];
        EXPECT_EQ(trail.texture, DeviceTexture(game->feedbackTargets[1 - current]));
        EXPECT_TRUE(trail.blendEnabled);
        EXPECT_EQ(trail.sourceBlend, static_cast<DWORD>(D3DBLEND_SRCALPHA));
        EXPECT_EQ(trail.alphaOperation, static_cast<DWORD>(D3DTOP_SELECTARG2));
        ASSERT_EQ(trail.vertices.size(), 4u);
        EXPECT_EQ(trail.vertices[0].diffuse, 0x80FFFFFFu);
        EXPECT_EQ(trail.vertices[3].u, 1.0f);
        EXPECT_EQ(trail.vertices[3].v, 1.0f);

        // The screen: the middle of the target just drawn, which covers it all.
        const RecordedDraw& shown = device.draws[1];
        EXPECT_EQ(shown.texture, DeviceTexture(game->feedbackTargets[current]));
        EXPECT_FALSE(shown.blendEnabled);
        EXPECT_EQ(shown.vertices[0].u, 0.1875f);
        EXPECT_EQ(shown.vertices[0].v, 0.265625f);
        EXPECT_EQ(shown.vertices[3].u, 0.8125f);
        EXPECT_EQ(shown.vertices[3].v, 0.734375f);

        // Presented once, after the last draw.
        size_t lastDraw = 0, present = 0;
        for (size_t i = 0; i < device.calls.size(); ++i)
        {
            lastDraw = device.calls[i].name == "DrawIndexedPrimitive" ? i : lastDraw;
            present = device.calls[i].name == "Present" ? i : present;
        }
        EXPECT_EQ(device.Count("Present"), 1u);
        EXPECT_GT(present, lastDraw);
    }

    // Without a trail the screen is cleared black instead.
    for (const auto& target : game->feedbackTargets)
    {
        target->Destroy();
    }
    Frame();
    EXPECT_TRUE(std::any_of(device.draws.begin(), device.draws.end(),
                            [](const RecordedDraw& draw) {
                                return draw.texture == nullptr &&
                                       draw.vertices[0].diffuse == 0xFF000000u;
                            }));
}

TEST_F(GamePictureCalls, TheTrailQuadFollowsTheTrailAngle)
{
    for (int32_t angle : {3, -3, 0})
    {
        trailAngle = angle;
        // A seed whose first value is no multiple of 250 keeps the angle for the frame.
        std::srand(1);
        ASSERT_NE(std::rand() % 250, 0);
        std::srand(1);
        Frame();
        const Quad want = MakeTrailQuad({-8, -8, 1040, 1040});
        const Point corners[] = {want.topLeft, want.topRight, want.bottomLeft, want.bottomRight};
        ASSERT_FALSE(device.draws.empty());
        const auto& vertices = device.draws[0].vertices;
        ASSERT_EQ(vertices.size(), 4u);
        for (size_t i = 0; i < 4; ++i)
        {
            // Corners are drawn where they are, without the half-pixel offset of rectangles.
            EXPECT_EQ(vertices[i].x, static_cast<float>(corners[i].x)) << angle << " " << i;
            EXPECT_EQ(vertices[i].y, static_cast<float>(corners[i].y)) << angle << " " << i;
        }
    }
}

TEST_F(GamePictureCalls, NotesAreStampedInTheFrameTheyArePlayedWithinTheirArea)
{
    auto stampsOfFrame = [this]
    {
        std::vector<RecordedVertex> corners;
        for (const auto& draw : device.draws)
        {
            if (draw.texture == DeviceTexture(game->noteTexture))
            {
                EXPECT_FALSE(draw.blendEnabled);
                for (size_t v = 0; v < draw.vertices.size(); v += 4)
                {
                    corners.push_back(draw.vertices[v]);
                    EXPECT_EQ(draw.vertices[v + 3].x - draw.vertices[v].x, 256.0f);
                    EXPECT_EQ(draw.vertices[v + 3].y - draw.vertices[v].y, 64.0f);
                }
            }
        }
        return corners;
    };
    const std::initializer_list<KeyCode> chord = {KeyZ, KeyX, KeyC, KeyV, KeyB};
    std::set<std::pair<float, float>> places;
    for (int round = 0; round < 40; ++round)
    {
        Hold(chord);
        Frame();
        const auto stamps = stampsOfFrame();
        ASSERT_EQ(stamps.size(), 5u) << "round " << round;
        EXPECT_EQ(game->player->playedCount, 0);
        for (const auto& corner : stamps)
        {
            const float x = corner.x + 0.5f;
            const float y = corner.y + 0.5f;
            EXPECT_GE(x, 256.0f);
            EXPECT_LE(x, 511.0f);
            EXPECT_GE(y, 352.0f);
            EXPECT_LE(y, 607.0f);
            places.insert({x, y});
        }
        // Held keys play no more notes.
        Frame();
        EXPECT_TRUE(stampsOfFrame().empty()) << "round " << round;
        Hold(chord, false);
        Frame();
        EXPECT_TRUE(stampsOfFrame().empty()) << "round " << round;
    }
    EXPECT_GT(places.size(), 100u);
}

TEST(GamePictureWithoutADevice, FramesRunAndNotesAreCountedOffWhenTheDrawerCannotOpen)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    selectedTrack = 0;
    stepPage = 0;
    RecordingDevice device;
    RecordingDirect3D direct3D{device};
    // Both the hardware and the software device creation fail.
    direct3D.failuresLeft = 2;
    const Direct3DFactory factories[] = {[&](UINT) -> IDirect3D9* { return &direct3D; },
                                         [](UINT) -> IDirect3D9*
                                         {
                                             return nullptr;
                                         }};
    for (const auto& factory : factories)
    {
        ScriptedDirectInput script;
        script.activeWindow = GameWindow;
        Game game(GameWindow, {std::make_shared<DxDrawer>(factory),
                               std::make_shared<DxInputManager>(script.Platform()),
                               Qorv::Sound::CreateSoundManager(), FakeClock::Now});
        for (const auto& target : game.feedbackTargets)
        {
            EXPECT_EQ(target->GetWidth(), 0);
        }
        const size_t callsAfterConstruction = device.calls.size();
        for (int frame = 0; frame < 30; ++frame)
        {
            script.SetKey(KeyScanCodeTable[KeyZ], frame % 2 == 1);
            script.SetKey(KeyScanCodeTable[KeyF1], frame == 5);
            FakeClock::now += 16;
            game.RunFrame();
            EXPECT_EQ(game.player->playedCount, 0) << "frame " << frame;
        }
        EXPECT_EQ(device.calls.size(), callsAfterConstruction);
        EXPECT_TRUE(game.sequencer->tracks[0].steps[0]);
    }
    EXPECT_EQ(direct3D.behaviourFlags.size(), 2u);
}
