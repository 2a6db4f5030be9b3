// The input manager on the real SDL devices: keys and mouse driven through the X server reach
// it as one press edge in the frame after the press and one release edge after the release.

#include "framework/input/KeyCode.h"
#include "tests/support/Desktop.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using namespace Qorv::Input;
using TestSupport::Process;
using TestSupport::RunAndCapture;

namespace
{

// The probe's standard output goes to a file the test reads as it grows.
class Probe
{
public:
    Probe()
        : output(temp.Path() / "edges.txt"),
          process({"sh", "-c", "exec \"$0\" > \"$1\"", INPUT_PROBE, output.string()})
    {
    }

    std::string Output() const
    {
        std::ifstream file(output);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // Waits for a line matching the pattern; its first group, or nothing after the timeout.
    std::optional<std::string> WaitFor(const std::string& pattern,
                                       std::chrono::milliseconds timeout = 3s) const
    {
        const std::regex line("^" + pattern + "$");
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        do
        {
            std::istringstream lines(Output());
            std::string text;
            std::smatch match;
            while (std::getline(lines, text))
            {
                if (std::regex_match(text, match, line))
                {
                    return match.size() > 1 ? match[1].str() : text;
                }
            }
            std::this_thread::sleep_for(10ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return std::nullopt;
    }

    int Count(const std::string& pattern) const
    {
        const std::regex line("^" + pattern + "$");
        std::istringstream lines(Output());
        std::string text;
        int count = 0;
        while (std::getline(lines, text))
        {
            count += std::regex_match(text, line) ? 1 : 0;
        }
        return count;
    }

    // The window, focused, with the manager reading it.
    std::optional<std::string> Ready()
    {
        const auto window = TestSupport::WaitForWindow("Qorv input probe", 10s);
        if (!window)
        {
            return std::nullopt;
        }
        RunAndCapture({"xdotool", "windowfocus", "--sync", *window});
        if (!WaitFor("ready"))
        {
            return std::nullopt;
        }
        return window;
    }

private:
    TestSupport::TempDir temp;
    std::filesystem::path output;
    Process process;
};

TEST(InputOnTheDesktop, HeldKeysGiveOnePressAndOneReleaseEdge)
{
    Probe probe;
    ASSERT_TRUE(probe.Ready()) << probe.Output();
    const std::pair<const char*, KeyCode> keys[] = {
        {"z", KeyZ}, {"F1", KeyF1}, {"KP_1", KeyNumpad1}, {"Shift_L", KeyLShift}};
    for (const auto& [name, code] : keys)
    {
        const std::string number = std::to_string(code);
        RunAndCapture({"xdotool", "keydown", name});
        const auto pressed = probe.WaitFor("frame ([0-9]+) pressed " + number);
        // Held across several frames: the edge must not repeat.
        std::this_thread::sleep_for(150ms);
        RunAndCapture({"xdotool", "keyup", name});
        const auto released = probe.WaitFor("frame ([0-9]+) released " + number);
        ASSERT_TRUE(pressed) << name << "\n" << probe.Output();
        ASSERT_TRUE(released) << name << "\n" << probe.Output();
        EXPECT_GT(std::stoi(*released), std::stoi(*pressed) + 3) << name;
        EXPECT_EQ(probe.Count("frame [0-9]+ pressed " + number), 1) << name;
        EXPECT_EQ(probe.Count("frame [0-9]+ released " + number), 1) << name;
    }
    // xdotool holds Num Lock itself to reach the keypad digit; no other key may show.
    const int numLock = probe.Count("frame [0-9]+ pressed " + std::to_string(KeyNumLock));
    EXPECT_EQ(probe.Count("frame [0-9]+ pressed .*"), 4 + numLock) << probe.Output();
}

TEST(InputOnTheDesktop, MouseMotionButtonsAndWheelReachTheManager)
{
    Probe probe;
    const auto window = probe.Ready();
    ASSERT_TRUE(window) << probe.Output();
    RunAndCapture({"xdotool", "mousemove", "--window", *window, "100", "100"});
    std::this_thread::sleep_for(100ms);
    const std::string before = probe.Output();
    RunAndCapture({"xdotool", "mousemove_relative", "--", "12", "-7"});
    ASSERT_TRUE(probe.WaitFor("frame [0-9]+ mouse .*"));
    std::this_thread::sleep_for(100ms);
    int x = 0;
    int y = 0;
    std::istringstream lines(probe.Output().substr(before.size()));
    std::string line;
    const std::regex motion("^frame [0-9]+ mouse (-?[0-9]+) (-?[0-9]+) 0$");
    std::smatch match;
    while (std::getline(lines, line))
    {
        if (std::regex_match(line, match, motion))
        {
            x += std::stoi(match[1]);
            y += std::stoi(match[2]);
        }
    }
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, -7);

    RunAndCapture({"xdotool", "mousedown", "3"});
    EXPECT_TRUE(probe.WaitFor("frame [0-9]+ button pressed 1")) << probe.Output();
    RunAndCapture({"xdotool", "mouseup", "3"});
    EXPECT_TRUE(probe.WaitFor("frame [0-9]+ button released 1")) << probe.Output();
    RunAndCapture({"xdotool", "click", "4"});
    EXPECT_TRUE(probe.WaitFor("frame [0-9]+ mouse 0 0 120")) << probe.Output();
}

// X key codes (evdev numbering) of the 48 note keys, by their place on a Japanese 106-key
// keyboard. A US keyboard has the same keys at the same codes, except Ro (97) and Yen (132).
TEST(InputOnTheDesktop, EveryNoteKeyOfTheJapaneseRowsReadsItsKeyCode)
{
    const std::vector<std::pair<int, KeyCode>> rows = {
        {52, KeyZ},         {53, KeyX},     {54, KeyC},          {55, KeyV},
        {56, KeyB},         {57, KeyN},     {58, KeyM},          {59, KeyComma},
        {60, KeyPeriod},    {61, KeySlash}, {97, KeyBackslash},  {38, KeyA},
        {39, KeyS},         {40, KeyD},     {41, KeyF},          {42, KeyG},
        {43, KeyH},         {44, KeyJ},     {45, KeyK},          {46, KeyL},
        {47, KeySemicolon}, {48, KeyColon}, {51, KeyRBracket},   {24, KeyQ},
        {25, KeyW},         {26, KeyE},     {27, KeyR},          {28, KeyT},
        {29, KeyY},         {30, KeyU},     {31, KeyI},          {32, KeyO},
        {33, KeyP},         {34, KeyAt},    {35, KeyLBracket},   {10, Key1},
        {11, Key2},         {12, Key3},     {13, Key4},          {14, Key5},
        {15, Key6},         {16, Key7},     {17, Key8},          {18, Key9},
        {19, Key0},         {20, KeyMinus}, {21, KeyCircumflex}, {132, KeyYen}};
    Probe probe;
    ASSERT_TRUE(probe.Ready()) << probe.Output();
    for (const auto& [keycode, code] : rows)
    {
        const std::string key = std::to_string(keycode);
        const std::string number = std::to_string(code);
        RunAndCapture({"xdotool", "keydown", key});
        EXPECT_TRUE(probe.WaitFor("frame [0-9]+ pressed " + number, 2s)) << "X key " << key;
        RunAndCapture({"xdotool", "keyup", key});
        EXPECT_TRUE(probe.WaitFor("frame [0-9]+ released " + number, 2s)) << "X key " << key;
    }
}

} // namespace
