// The input manager against a scripted device source: edges, the active-window rule,
// re-acquisition, device set-up and its failures, and the bounds of every query.

#include "framework/input/DxInputManager.h"
#include "tests/support/ScriptedDirectInput.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Qorv::Input;
using TestSupport::ScriptedDevice;
using TestSupport::ScriptedDirectInput;

namespace
{

constexpr uint32_t AllDevices = InputDeviceKeyboard | InputDeviceMouse | InputDeviceJoystick;

class InputManager : public testing::Test
{
protected:
    InputManager() { script.activeWindow = window; }

    // Initialises and runs the first Update, which finds every device unacquired.
    void Start(uint32_t flags = AllDevices)
    {
        ASSERT_TRUE(manager.Initialize(window, flags));
        ASSERT_TRUE(manager.Update());
    }

    void Press(KeyCode code) { script.SetKey(KeyScanCodeTable[code], true); }
    void Lift(KeyCode code) { script.SetKey(KeyScanCodeTable[code], false); }

    HWND window = reinterpret_cast<HWND>(0x1000);
    ScriptedDirectInput script;
    DxInputManager manager{script.Platform()};
};

TEST_F(InputManager, PressIsSeenInOneUpdateHoldInNoneAndReleaseInTheNext)
{
    Start();
    Press(KeyZ);
    ASSERT_TRUE(manager.Update());
    EXPECT_TRUE(manager.IsKeyDown(KeyZ));
    EXPECT_FALSE(manager.WasKeyDown(KeyZ));
    EXPECT_TRUE(manager.IsKeyPressed(KeyZ));
    EXPECT_FALSE(manager.IsKeyReleased(KeyZ));
    for (int frame = 0; frame < 5; ++frame)
    {
        manager.Update();
        EXPECT_TRUE(manager.IsKeyDown(KeyZ));
        EXPECT_FALSE(manager.IsKeyPressed(KeyZ));
    }
    Lift(KeyZ);
    manager.Update();
    EXPECT_TRUE(manager.IsKeyReleased(KeyZ));
    EXPECT_FALSE(manager.IsKeyDown(KeyZ));
    manager.Update();
    EXPECT_FALSE(manager.IsKeyReleased(KeyZ));
}

TEST_F(InputManager, PressAndReleaseBetweenTwoUpdatesIsNeverSeen)
{
    Start();
    Press(KeyX);
    Lift(KeyX);
    manager.Update();
    manager.Update();
    EXPECT_FALSE(manager.IsKeyPressed(KeyX));
    EXPECT_FALSE(manager.IsKeyReleased(KeyX));
}

TEST_F(InputManager, SecondNamesReadTheSameKeys)
{
    Start();
    const std::pair<KeyCode, KeyCode> pairs[] = {
        {KeyBack, KeyBackspace}, {KeyUp, KeyUpArrow}, {KeyPrevTrack, KeyCircumflex}};
    for (const auto& [first, second] : pairs)
    {
        Press(first);
        manager.Update();
        EXPECT_TRUE(manager.IsKeyPressed(second)) << second;
        EXPECT_EQ(manager.IsKeyDown(first), manager.IsKeyDown(second));
        Lift(second);
        manager.Update();
        EXPECT_TRUE(manager.IsKeyReleased(first)) << first;
    }
}

TEST_F(InputManager, CodesOutsideTheTableAnswerFalse)
{
    Start();
    script.keyboard.record.assign(256, 0x80);
    manager.Update();
    ASSERT_TRUE(manager.IsKeyDown(KeyCircumflex));
    for (const int32_t code : {-1, 160, 255, INT_MIN, INT_MAX})
    {
        const auto key = static_cast<KeyCode>(code);
        EXPECT_FALSE(manager.IsKeyDown(key)) << code;
        EXPECT_FALSE(manager.WasKeyDown(key)) << code;
        EXPECT_FALSE(manager.IsKeyPressed(key)) << code;
        EXPECT_FALSE(manager.IsKeyReleased(key)) << code;
    }
}

TEST_F(InputManager, InactiveWindowReadsNothingAndKeepsTheLastEdge)
{
    Start();
    Press(KeyA);
    manager.Update();
    script.activeWindow = nullptr;
    const int reads = script.keyboard.reads;
    for (int frame = 0; frame < 3; ++frame)
    {
        EXPECT_FALSE(manager.Update());
        EXPECT_TRUE(manager.IsKeyPressed(KeyA));
    }
    script.activeWindow = reinterpret_cast<HWND>(0x2000);
    EXPECT_FALSE(manager.Update());
    EXPECT_EQ(script.keyboard.reads, reads);
    script.activeWindow = window;
    EXPECT_TRUE(manager.Update());
    EXPECT_FALSE(manager.IsKeyPressed(KeyA));
    EXPECT_TRUE(manager.IsKeyDown(KeyA));
}

TEST_F(InputManager, FailedReadReacquiresAndTheNextUpdateReads)
{
    ASSERT_TRUE(manager.Initialize(window, AllDevices));
    Press(KeyQ);
    manager.Update();
    EXPECT_FALSE(manager.IsKeyDown(KeyQ)) << "nothing is acquired before the first read";
    EXPECT_EQ(script.keyboard.acquires, 1);
    EXPECT_EQ(script.mouse.acquires, 1);
    manager.Update();
    EXPECT_TRUE(manager.IsKeyPressed(KeyQ));

    // Taken away by the platform: the failed read still moves current into previous.
    script.keyboard.acquired = false;
    manager.Update();
    EXPECT_TRUE(manager.IsKeyDown(KeyQ));
    EXPECT_FALSE(manager.IsKeyPressed(KeyQ));
    EXPECT_EQ(script.keyboard.acquires, 2);
}

TEST_F(InputManager, LostInputIsRetriedAtOnceButNotForEver)
{
    script.keyboard.inputLostAcquires = 3;
    ASSERT_TRUE(manager.Initialize(window, InputDeviceKeyboard));
    manager.Update();
    EXPECT_EQ(script.keyboard.acquires, 4);
    EXPECT_TRUE(script.keyboard.acquired);

    script.keyboard.acquired = false;
    script.keyboard.inputLostAcquires = -1;
    EXPECT_TRUE(manager.Update());
    EXPECT_GT(script.keyboard.acquires, 5);
    EXPECT_LT(script.keyboard.acquires, 100);
}

TEST_F(InputManager, ReinitialisingZeroesEverySnapshot)
{
    script.AddController(4);
    Start();
    Press(KeyM);
    script.SetMouse({5, -7, 120, {0x80}});
    script.SetController(0, {300, -300, 0, 0, 0, 0, {}, {}, {0x80}});
    manager.Update();
    manager.Update();
    ASSERT_TRUE(manager.IsKeyDown(KeyM));

    ASSERT_TRUE(manager.Initialize(window, AllDevices));
    EXPECT_FALSE(manager.IsKeyDown(KeyM));
    EXPECT_FALSE(manager.WasKeyDown(KeyM));
    EXPECT_FALSE(manager.IsMouseButtonDown(0));
    EXPECT_FALSE(manager.WasMouseButtonDown(0));
    EXPECT_EQ(manager.GetMouseX(), 0);
    EXPECT_EQ(manager.GetMouseY(), 0);
    EXPECT_EQ(manager.GetMouseWheel(), 0);
    EXPECT_EQ(manager.GetJoystickX(0), 0);
    EXPECT_FALSE(manager.IsJoystickButtonDown(0, 0));
    EXPECT_FALSE(manager.WasJoystickButtonDown(0, 0));
    EXPECT_EQ(script.live, 4) << "the first set of objects was released";
}

TEST_F(InputManager, NoFlagsMakesOnlyTheInputObjectAndReadsNothing)
{
    script.AddController(4);
    ASSERT_TRUE(manager.Initialize(window, 0));
    EXPECT_TRUE(manager.IsInitialized());
    EXPECT_EQ(script.live, 1);
    EXPECT_TRUE(manager.Update());
    EXPECT_EQ(manager.GetJoystickCount(), 0u);
}

TEST_F(InputManager, ControllersWithoutAnyAttachedGiveNoJoysticks)
{
    ASSERT_TRUE(manager.Initialize(window, InputDeviceJoystick));
    EXPECT_EQ(manager.GetJoystickCount(), 0u);
    EXPECT_TRUE(manager.Update());
    EXPECT_FALSE(manager.IsValidJoystick(0));
}

TEST_F(InputManager, DevicesAreSetUpAsForegroundReaders)
{
    script.AddController(4, 3);
    ASSERT_TRUE(manager.Initialize(window, AllDevices));
    EXPECT_EQ(script.keyboard.format, &c_dfDIKeyboard);
    EXPECT_EQ(script.keyboard.cooperation, 6u);
    EXPECT_EQ(script.mouse.format, &c_dfDIMouse2);
    EXPECT_EQ(script.mouse.cooperation, 6u);
    ASSERT_EQ(script.mouse.bufferSizes.size(), 1u);
    EXPECT_EQ(script.mouse.bufferSizes[0].dwData, 16u);
    const ScriptedDevice& controller = script.controllers[0];
    EXPECT_EQ(controller.format, &c_dfDIJoystick);
    EXPECT_EQ(controller.cooperation, 5u);
    ASSERT_EQ(controller.ranges.size(), 3u) << "one range per axis, none for the button";
    for (DWORD axis = 0; axis < 3; ++axis)
    {
        const DIPROPRANGE& range = controller.ranges[axis];
        EXPECT_EQ(range.diph.dwHow, DIPH_BYID);
        EXPECT_EQ(range.diph.dwObj, DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axis));
        EXPECT_EQ(range.lMin, -1000);
        EXPECT_EQ(range.lMax, 1000);
    }
    EXPECT_EQ(manager.GetJoystickAxisCount(0), 3u);
    EXPECT_EQ(manager.GetJoystickButtonCount(0), 4u);
}

TEST_F(InputManager, NoInputObjectMeansNothingIsHeld)
{
    script.createFails = true;
    EXPECT_FALSE(manager.Initialize(window, AllDevices));
    EXPECT_FALSE(manager.IsInitialized());
    EXPECT_EQ(script.live, 0);
    EXPECT_FALSE(manager.Update());
}

TEST_F(InputManager, AnySetUpFailureReleasesEveryDevice)
{
    const std::pair<std::string, std::string> failures[] = {
        {"keyboard", "create"}, {"keyboard", "format"},     {"keyboard", "cooperation"},
        {"mouse", "create"},    {"mouse", "format"},        {"mouse", "cooperation"},
        {"mouse", "property"},  {"controller", "format"},   {"controller", "cooperation"},
        {"controller", "caps"}, {"controller", "property"}, {"controller", "objects"},
    };
    for (const auto& [device, step] : failures)
    {
        ScriptedDirectInput failing;
        failing.activeWindow = window;
        failing.AddController(4);
        failing.AddController(4);
        ScriptedDevice& target = device == "keyboard" ? failing.keyboard
                                 : device == "mouse"  ? failing.mouse
                                                      : failing.controllers[1];
        target.failing = step;
        DxInputManager subject(failing.Platform());
        EXPECT_FALSE(subject.Initialize(window, AllDevices)) << device << " " << step;
        EXPECT_FALSE(subject.IsInitialized()) << device << " " << step;
        EXPECT_EQ(failing.live, 0) << device << " " << step;
        EXPECT_EQ(subject.GetJoystickCount(), 0u);
        EXPECT_FALSE(subject.Update());
    }
}

TEST_F(InputManager, ControllerThatCannotBeCreatedIsSkipped)
{
    script.AddController(2).failing = "create";
    script.AddController(6);
    ASSERT_TRUE(manager.Initialize(window, InputDeviceJoystick));
    EXPECT_EQ(manager.GetJoystickCount(), 1u);
    EXPECT_EQ(manager.GetJoystickButtonCount(0), 6u);
}

TEST_F(InputManager, FinalizeUnacquiresAllThenReleasesInOrder)
{
    script.AddController(1);
    script.AddController(1);
    Start();
    script.log.clear();
    manager.Finalize();
    const std::vector<std::string> expected = {
        "unacquire keyboard",     "unacquire mouse",      "unacquire controller 0",
        "unacquire controller 1", "release keyboard",     "release mouse",
        "release controller 0",   "release controller 1", "release input"};
    EXPECT_EQ(script.log, expected);
    EXPECT_FALSE(manager.IsInitialized());
    EXPECT_EQ(manager.GetJoystickCount(), 0u);
    EXPECT_FALSE(manager.Update());
}

TEST_F(InputManager, DroppingAnInitialisedManagerReleasesEverything)
{
    script.AddController(1);
    {
        DxInputManager dropped(script.Platform());
        ASSERT_TRUE(dropped.Initialize(window, AllDevices));
        EXPECT_EQ(script.live, 4);
    }
    EXPECT_EQ(script.live, 0);
}

TEST_F(InputManager, MouseAxesAndButtonsWithinEightButtons)
{
    Start();
    script.SetMouse({12, -4, -240, {0, 0, 0, 0, 0, 0, 0, 0x80}});
    manager.Update();
    EXPECT_EQ(manager.GetMouseX(), 12);
    EXPECT_EQ(manager.GetMouseY(), -4);
    EXPECT_EQ(manager.GetMouseWheel(), -240);
    EXPECT_TRUE(manager.IsValidMouseButton(7));
    EXPECT_TRUE(manager.IsMouseButtonPressed(7));
    EXPECT_FALSE(manager.IsMouseButtonPressed(0));
    for (const uint32_t button : {8u, 9u, static_cast<uint32_t>(-1)})
    {
        EXPECT_FALSE(manager.IsValidMouseButton(button));
        EXPECT_FALSE(manager.IsMouseButtonDown(button));
        EXPECT_FALSE(manager.WasMouseButtonDown(button));
        EXPECT_FALSE(manager.IsMouseButtonPressed(button));
        EXPECT_FALSE(manager.IsMouseButtonReleased(button));
    }
    script.SetMouse({});
    manager.Update();
    EXPECT_TRUE(manager.IsMouseButtonReleased(7));
    EXPECT_EQ(manager.GetMouseX(), 0);
}

TEST_F(InputManager, JoystickAxesButtonsAndEdges)
{
    script.AddController(8, 6, 1);
    Start();
    script.SetController(0, {-1000, 1000, 10, 20, 30, 40, {}, {}, {0, 0x80}});
    manager.Update();
    EXPECT_EQ(manager.GetJoystickX(0), -1000);
    EXPECT_EQ(manager.GetJoystickY(0), 1000);
    EXPECT_EQ(manager.GetJoystickZ(0), 10);
    EXPECT_EQ(manager.GetJoystickRotationX(0), 20);
    EXPECT_EQ(manager.GetJoystickRotationY(0), 30);
    EXPECT_EQ(manager.GetJoystickRotationZ(0), 40);
    EXPECT_EQ(manager.GetJoystickPovCount(0), 1u);
    EXPECT_TRUE(manager.IsJoystickButtonPressed(0, 1));
    EXPECT_FALSE(manager.IsJoystickButtonPressed(0, 0));
    script.SetController(0, {});
    manager.Update();
    EXPECT_TRUE(manager.IsJoystickButtonReleased(0, 1));
    EXPECT_FALSE(manager.IsJoystickButtonDown(0, 1));
}

TEST_F(InputManager, FailedPollReacquiresAndSkipsTheRead)
{
    script.AddController(2);
    Start();
    script.SetController(0, {0, 0, 0, 0, 0, 0, {}, {}, {0x80}});
    manager.Update();
    ASSERT_TRUE(manager.IsJoystickButtonPressed(0, 0));
    script.controllers[0].pollFails = true;
    const int reads = script.controllers[0].reads;
    script.SetController(0, {});
    manager.Update();
    EXPECT_EQ(script.controllers[0].reads, reads);
    EXPECT_TRUE(manager.IsJoystickButtonDown(0, 0)) << "the old snapshot stands";
    EXPECT_FALSE(manager.IsJoystickButtonPressed(0, 0)) << "and was copied to the previous";
}

TEST_F(InputManager, InvalidJoysticksAndButtonsAnswerFalseOrZero)
{
    ScriptedDevice& controller = script.AddController(40);
    controller.record.assign(sizeof(DIJOYSTATE), 0x80);
    Start();
    manager.Update();
    for (const int32_t joystick : {-1, 1, INT_MIN, INT_MAX})
    {
        EXPECT_FALSE(manager.IsValidJoystick(joystick));
        EXPECT_EQ(manager.GetJoystickButtonCount(joystick), 0u);
        EXPECT_EQ(manager.GetJoystickAxisCount(joystick), 0u);
        EXPECT_EQ(manager.GetJoystickPovCount(joystick), 0u);
        EXPECT_EQ(manager.GetJoystickX(joystick), 0);
        EXPECT_EQ(manager.GetJoystickRotationZ(joystick), 0);
        EXPECT_FALSE(manager.IsJoystickButtonDown(joystick, 0));
        EXPECT_FALSE(manager.IsJoystickButtonReleased(joystick, 0));
    }
    EXPECT_TRUE(manager.IsJoystickButtonDown(0, 31));
    // Reported, but beyond the 32 bytes the record holds.
    EXPECT_TRUE(manager.IsValidJoystickButton(0, 35));
    EXPECT_FALSE(manager.IsJoystickButtonDown(0, 35));
    EXPECT_FALSE(manager.IsJoystickButtonPressed(0, 32));
    for (const int32_t button : {-1, 40, INT_MIN})
    {
        EXPECT_FALSE(manager.IsValidJoystickButton(0, button));
        EXPECT_FALSE(manager.IsJoystickButtonDown(0, button));
        EXPECT_FALSE(manager.WasJoystickButtonDown(0, button));
        EXPECT_FALSE(manager.IsJoystickButtonPressed(0, button));
    }
}

TEST(InputManagerFactory, HandsOutAManagerThatIsNotInitialised)
{
    const std::shared_ptr<IInputManager> manager = CreateInputManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_FALSE(manager->IsInitialized());
    EXPECT_FALSE(manager->Update());
    EXPECT_FALSE(manager->IsKeyDown(KeyEscape));
    EXPECT_EQ(manager->GetJoystickCount(), 0u);
}

} // namespace
