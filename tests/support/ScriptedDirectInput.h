#pragma once
// A scripted DirectInput for the input manager's tests: devices whose set-up steps can be made
// to fail, whose records the test writes, and which log what the manager asked of them.

#include "framework/input/DxInputManager.h"

#include <deque>
#include <string>
#include <vector>

namespace TestSupport
{

struct ScriptedDevice
{
    // Which step fails: "create", "format", "cooperation", "property", "caps", "objects".
    std::string failing;
    // Acquire answers DIERR_INPUTLOST this many times before it succeeds; -1 for ever.
    int inputLostAcquires = 0;
    bool pollFails = false;

    // The record a read copies out.
    std::vector<uint8_t> record;
    DIDEVCAPS caps{};
    // Object types EnumObjects reports, axes and others.
    std::vector<DWORD> objects;

    bool acquired = false;
    int acquires = 0;
    int reads = 0;
    DWORD cooperation = 0;
    const DIDATAFORMAT* format = nullptr;
    std::vector<DIPROPRANGE> ranges;
    std::vector<DIPROPDWORD> bufferSizes;
};

class ScriptedDirectInput
{
public:
    // The newest script is the one the platform entry points use.
    ScriptedDirectInput();
    ScriptedDirectInput(const ScriptedDirectInput&) = delete;
    ScriptedDirectInput& operator=(const ScriptedDirectInput&) = delete;
    ~ScriptedDirectInput();

    Qorv::Input::InputPlatform Platform() const;

    void SetKey(uint8_t scanCode, bool down);
    void SetMouse(const DIMOUSESTATE2& state);
    ScriptedDevice& AddController(DWORD buttons, DWORD axes = 2, DWORD povs = 0);
    void SetController(size_t index, const DIJOYSTATE& state);

    bool createFails = false;
    HWND activeWindow = nullptr;
    ScriptedDevice keyboard;
    ScriptedDevice mouse;
    std::deque<ScriptedDevice> controllers;
    // Input objects and devices made and not yet released.
    int live = 0;
    // "unacquire keyboard", "release controller 0", "release input", … in call order.
    std::vector<std::string> log;
};

} // namespace TestSupport
