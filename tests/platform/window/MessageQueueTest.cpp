// Posted messages and WM_QUIT in the order the message loop takes them, without any display.

#include "platform/window/MessageQueue.h"

#include <gtest/gtest.h>

using platform::sdl::MessageQueue;

namespace
{

HWND const Window = reinterpret_cast<HWND>(0x10);

} // namespace

TEST(MessageQueue, PostedMessagesComeInOrderAndPeekingLeavesThemQueued)
{
    MessageQueue queue;
    queue.Post(Window, WM_KEYDOWN, VK_ESCAPE, 5, 100);
    queue.Post(Window, WM_CLOSE, 0, 0, 101);
    MSG msg{};

    ASSERT_EQ(queue.Next(msg, false), MessageQueue::Taken::Posted);
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    ASSERT_EQ(queue.Next(msg, true), MessageQueue::Taken::Posted);
    EXPECT_EQ(msg.hwnd, Window);
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, VK_ESCAPE);
    EXPECT_EQ(msg.lParam, 5);
    EXPECT_EQ(msg.time, 100u);
    ASSERT_EQ(queue.Next(msg, true), MessageQueue::Taken::Posted);
    EXPECT_EQ(msg.message, WM_CLOSE);

    EXPECT_EQ(queue.Next(msg, true), MessageQueue::Taken::Nothing);
    EXPECT_EQ(msg.message, WM_CLOSE) << "an empty queue leaves the message alone";
}

TEST(MessageQueue, QuitComesOnceAfterEverythingPostedWithItsExitCode)
{
    MessageQueue queue;
    queue.PostQuit(3);
    queue.Post(Window, WM_CLOSE, 0, 0, 0);
    MSG msg{};

    ASSERT_EQ(queue.Next(msg, true), MessageQueue::Taken::Posted);
    EXPECT_EQ(msg.message, WM_CLOSE);
    ASSERT_EQ(queue.Next(msg, false), MessageQueue::Taken::Quit);
    ASSERT_EQ(queue.Next(msg, true), MessageQueue::Taken::Quit);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(queue.Next(msg, true), MessageQueue::Taken::Nothing);
}
