#pragma once
// The input manager on DirectInput 8: one immediate snapshot of each device per Update, the
// previous one kept beside it, and the edges computed from the two.

#include "framework/input/IInputManager.h"
#include "framework/input/InputState.h"
#include "platform/input/DInput.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace Qorv::Input
{

// The platform entry points the manager calls; tests put a scripted device source here.
struct InputPlatform
{
    HRESULT (*directInput8Create)(HINSTANCE, DWORD, REFIID, void**, void*) = &DirectInput8Create;
    HWND (*getActiveWindow)() = &GetActiveWindow;
};

class DxInputManager : public IInputManager
{
public:
    explicit DxInputManager(const InputPlatform& platform = {});
    ~DxInputManager() override;

    [[nodiscard]] bool Initialize(HWND window, uint32_t flags) override;
    void Finalize() override;
    bool IsInitialized() const override { return directInput != nullptr; }
    bool Update() override;

    bool IsKeyDown(KeyCode code) const override;
    bool WasKeyDown(KeyCode code) const override;
    bool IsKeyPressed(KeyCode code) const override;
    bool IsKeyReleased(KeyCode code) const override;

    bool IsValidMouseButton(uint32_t button) const override { return button <= 7; }
    int32_t GetMouseX() const override { return currentMouse.lX; }
    int32_t GetMouseY() const override { return currentMouse.lY; }
    int32_t GetMouseWheel() const override { return currentMouse.lZ; }
    bool IsMouseButtonDown(uint32_t button) const override;
    bool WasMouseButtonDown(uint32_t button) const override;
    bool IsMouseButtonPressed(uint32_t button) const override;
    bool IsMouseButtonReleased(uint32_t button) const override;

    uint32_t GetJoystickCount() const override;
    uint32_t GetJoystickButtonCount(int32_t joystick) const override;
    uint32_t GetJoystickAxisCount(int32_t joystick) const override;
    uint32_t GetJoystickPovCount(int32_t joystick) const override;
    bool IsValidJoystick(int32_t joystick) const override;
    bool IsValidJoystickButton(int32_t joystick, int32_t button) const override;
    int32_t GetJoystickX(int32_t joystick) const override;
    int32_t GetJoystickY(int32_t joystick) const override;
    int32_t GetJoystickZ(int32_t joystick) const override;
    int32_t GetJoystickRotationX(int32_t joystick) const override;
    int32_t GetJoystickRotationY(int32_t joystick) const override;
    int32_t GetJoystickRotationZ(int32_t joystick) const override;
    bool IsJoystickButtonDown(int32_t joystick, int32_t button) const override;
    bool WasJoystickButtonDown(int32_t joystick, int32_t button) const override;
    bool IsJoystickButtonPressed(int32_t joystick, int32_t button) const override;
    bool IsJoystickButtonReleased(int32_t joystick, int32_t button) const override;

private:
    struct Releaser
    {
        template <typename T> void operator()(T* object) const { object->Release(); }
    };
    using Device = std::unique_ptr<IDirectInputDevice8W, Releaser>;

    static BOOL AddJoystick(const DIDEVICEINSTANCEW* instance, void* manager);
    static BOOL SetAxisRange(const DIDEVICEOBJECTINSTANCEW* object, void* manager);

    bool OpenSystemDevice(Device& device, REFGUID guid, const DIDATAFORMAT& format);
    bool ConfigureJoystick(size_t index);
    void Reacquire(IDirectInputDevice8W& device);
    // The joystick's current or previous record; null for an invalid index.
    const JoystickState* Joystick(int32_t joystick, bool current) const;
    int32_t Axis(int32_t joystick, LONG JoystickState::*axis) const;
    bool JoystickButton(int32_t joystick, int32_t button, bool current) const;

    InputPlatform platform;
    std::unique_ptr<IDirectInput8W, Releaser> directInput;
    Device keyboard;
    Device mouse;
    std::vector<Device> joysticks;
    HWND window = nullptr;
    KeyboardState currentKeyboard{};
    KeyboardState previousKeyboard{};
    MouseState currentMouse{};
    MouseState previousMouse{};
    std::vector<JoystickState> currentJoysticks;
    std::vector<JoystickState> previousJoysticks;
    std::vector<JoystickCaps> joystickCaps;
    size_t configuringJoystick = 0;
    bool rangeFailed = false;
    uint32_t flags = 0;
};

} // namespace Qorv::Input
