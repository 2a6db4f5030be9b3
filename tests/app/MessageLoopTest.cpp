#include "app/MessageLoop.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

using Pakemino::LoopSystem;
using Pakemino::RunMessageLoop;

namespace
{

// A clock that only moves when the loop sleeps or a frame takes time, and a scripted queue.
class FakeLoopSystem : public LoopSystem
{
public:
    DWORD now = 1000;
    std::deque<MSG> queue;
    std::vector<std::string> events;

    bool MessageWaiting() override { return !queue.empty(); }
    bool TakeMessage(MSG& msg) override
    {
        msg = queue.front();
        queue.pop_front();
        return msg.message != WM_QUIT;
    }
    void Dispatch(const MSG& msg) override
    {
        events.push_back("msg " + std::to_string(msg.message));
    }
    DWORD Now() override { return now; }
    void Sleep(DWORD milliseconds) override { now += milliseconds; }

    void Post(UINT message, WPARAM wParam = 0)
    {
        MSG msg{};
        msg.message = message;
        msg.wParam = wParam;
        queue.push_back(msg);
    }
};

} // namespace

TEST(MessageLoop, FramesAreNeverCloserThanSixteenMilliseconds)
{
    FakeLoopSystem system;
    std::vector<DWORD> starts;
    RunMessageLoop(system, system.now,
                   [&]
                   {
                       starts.push_back(system.now);
                       system.now += 2;
                       if (starts.size() == 50)
                       {
                           system.Post(WM_QUIT);
                       }
                   });
    ASSERT_EQ(starts.size(), 50u);
    EXPECT_GE(starts[0] - 1000, 16u) << "the first frame waits a full interval after the start";
    for (size_t i = 1; i < starts.size(); ++i)
    {
        const DWORD gap = starts[i] - starts[i - 1];
        EXPECT_GE(gap, 16u);
        EXPECT_LE(gap, 16u + 2u) << "one 3 ms sleep overshoots by at most 2 ms";
    }
}

TEST(MessageLoop, ASlowFrameIsFollowedByExactlyOneFrame)
{
    FakeLoopSystem system;
    std::vector<DWORD> starts;
    RunMessageLoop(system, system.now - 16,
                   [&]
                   {
                       starts.push_back(system.now);
                       system.now += starts.size() == 1 ? 40 : 1;
                       if (starts.size() == 4)
                       {
                           system.Post(WM_QUIT);
                       }
                   });
    ASSERT_EQ(starts.size(), 4u);
    EXPECT_EQ(starts[1] - starts[0], 40u) << "the late frame runs at once";
    EXPECT_GE(starts[2] - starts[1], 16u) << "and no catch-up burst follows it";
    EXPECT_GE(starts[3] - starts[2], 16u);
}

TEST(MessageLoop, PendingMessagesAreDrainedBeforeAFrame)
{
    FakeLoopSystem system;
    system.Post(0x400);
    system.Post(0x401);
    system.Post(0x402);
    int frames = 0;
    RunMessageLoop(system, system.now - 100,
                   [&]
                   {
                       system.events.push_back("frame");
                       if (++frames == 1)
                       {
                           system.Post(0x403);
                           system.Post(WM_QUIT);
                       }
                   });
    const std::vector<std::string> expected{"msg 1024", "msg 1025", "msg 1026", "frame",
                                            "msg 1027"};
    EXPECT_EQ(system.events, expected);
}

TEST(MessageLoop, ReturnsTheQuitCodeAndSurvivesClockWrap)
{
    FakeLoopSystem system;
    system.now = 0xFFFFFFF8u;
    int frames = 0;
    const int code = RunMessageLoop(system, system.now,
                                    [&]
                                    {
                                        if (++frames == 3)
                                        {
                                            system.Post(WM_QUIT, 7);
                                        }
                                    });
    EXPECT_EQ(code, 7);
    EXPECT_EQ(frames, 3);
    EXPECT_LT(system.now, 0xFFFFFFF8u) << "the clock wrapped during the run";
}
