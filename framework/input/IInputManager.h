#pragma once
// Once-a-frame snapshots of the keyboard, the mouse and every game controller, and whether
// each key or button is down, was down, went down or came up between the last two snapshots.

#include "framework/base/Interface.h"
#include "framework/input/KeyCode.h"
#include "platform/window/Win32.h"

#include <cstdint>
#include <memory>

namespace Qorv::Input
{

// Devices chosen by Initialize's flags.
constexpr uint32_t InputDeviceKeyboard = 0x1;
constexpr uint32_t InputDeviceMouse = 0x10;
constexpr uint32_t InputDeviceJoystick = 0x100;

class IInputManager : public Base::Interface
{
public:
    [[nodiscard]] virtual bool Initialize(HWND window, uint32_t flags) = 0;
    virtual void Finalize() = 0;
    virtual bool IsInitialized() const = 0;
    // False, changing nothing, while the window is not the active one.
    virtual bool Update() = 0;

    virtual bool IsKeyDown(KeyCode code) const = 0;
    virtual bool WasKeyDown(KeyCode code) const = 0;
    virtual bool IsKeyPressed(KeyCode code) const = 0;
    virtual bool IsKeyReleased(KeyCode code) const = 0;

    virtual bool IsValidMouseButton(uint32_t button) const = 0;
    // Motion since the previous snapshot; the wheel in 120ths of a notch.
    virtual int32_t GetMouseX() const = 0;
    virtual int32_t GetMouseY() const = 0;
    virtual int32_t GetMouseWheel() const = 0;
    virtual bool IsMouseButtonDown(uint32_t button) const = 0;
    virtual bool WasMouseButtonDown(uint32_t button) const = 0;
    virtual bool IsMouseButtonPressed(uint32_t button) const = 0;
    virtual bool IsMouseButtonReleased(uint32_t button) const = 0;

    virtual uint32_t GetJoystickCount() const = 0;
    virtual uint32_t GetJoystickButtonCount(int32_t joystick) const = 0;
    virtual uint32_t GetJoystickAxisCount(int32_t joystick) const = 0;
    virtual uint32_t GetJoystickPovCount(int32_t joystick) const = 0;
    virtual bool IsValidJoystick(int32_t joystick) const = 0;
    virtual bool IsValidJoystickButton(int32_t joystick, int32_t button) const = 0;
    // Axes run from -1000 to +1000.
    virtual int32_t GetJoystickX(int32_t joystick) const = 0;
    virtual int32_t GetJoystickY(int32_t joystick) const = 0;
    virtual int32_t GetJoystickZ(int32_t joystick) const = 0;
    virtual int32_t GetJoystickRotationX(int32_t joystick) const = 0;
    virtual int32_t GetJoystickRotationY(int32_t joystick) const = 0;
    virtual int32_t GetJoystickRotationZ(int32_t joystick) const = 0;
    virtual bool IsJoystickButtonDown(int32_t joystick, int32_t button) const = 0;
    virtual bool WasJoystickButtonDown(int32_t joystick, int32_t button) const = 0;
    virtual bool IsJoystickButtonPressed(int32_t joystick, int32_t button) const = 0;
    virtual bool IsJoystickButtonReleased(int32_t joystick, int32_t button) const = 0;
};

[[nodiscard]] std::shared_ptr<IInputManager> CreateInputManager();

} // namespace Qorv::Input
