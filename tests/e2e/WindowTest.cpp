// The program as a user meets it: its window, and the ways of closing it.

#include "tests/support/Desktop.h"
#include "tests/support/Process.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using TestSupport::Process;

namespace
{

const std::string Title = "pakemino Technical Preview";

Process StartProgram()
{
    return Process({PAKEMINO_PROGRAM}, {"SDL_AUDIODRIVER=dummy"});
}

} // namespace

TEST(ProgramWindow, OpensTitledWithA640By480ClientArea)
{
    Process program = StartProgram();
    const auto window = TestSupport::WaitForWindow(Title, 10s);
    ASSERT_TRUE(window) << "no window titled \"" << Title << "\" appeared";
    const auto geometry = TestSupport::WindowGeometry(*window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 640);
    EXPECT_EQ(geometry->height, 480);
    EXPECT_TRUE(program.Running());
}

TEST(ProgramWindow, EscapeEndsTheProgramWithCodeZero)
{
    Process program = StartProgram();
    const auto window = TestSupport::WaitForWindow(Title, 10s);
    ASSERT_TRUE(window);
    TestSupport::PressKeys(*window, "Escape");
    EXPECT_EQ(program.Wait(2s), 0);
}

TEST(ProgramWindow, CloseRequestFromTheWindowSystemEndsItTheSameWay)
{
    Process program = StartProgram();
    const auto window = TestSupport::WaitForWindow(Title, 10s);
    ASSERT_TRUE(window);
    ASSERT_TRUE(TestSupport::SendCloseRequest(*window));
    EXPECT_EQ(program.Wait(2s), 0);
}

TEST(ProgramWindow, OtherKeysDoNotCloseIt)
{
    Process program = StartProgram();
    const auto window = TestSupport::WaitForWindow(Title, 10s);
    ASSERT_TRUE(window);
    TestSupport::PressKeys(*window, "z x Return space F1");
    EXPECT_FALSE(program.Wait(500ms)) << "the program ended on a key that is not Escape";
    TestSupport::PressKeys(*window, "Escape");
    EXPECT_EQ(program.Wait(2s), 0);
}
