// Snapshots, edges and the device set-up of the DirectInput input manager.

#include "framework/input/DxInputManager.h"

#include <cstring>

namespace Qorv::Input
{

namespace
{

constexpr DWORD ForegroundShared = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
constexpr DWORD ForegroundExclusive = DISCL_EXCLUSIVE | DISCL_FOREGROUND;
constexpr DWORD MouseEventBufferSize = 16;
constexpr LONG AxisMinimum = -1000;
constexpr LONG AxisMaximum = 1000;
constexpr int32_t JoystickRecordButtons = 32;
// A device that keeps reporting lost input must not hold up the frame for ever.
constexpr int MaxAcquireAttempts = 16;
// Bit 7 of a key or button byte in a device record.
constexpr uint8_t DownBit = 0x80;

bool Down(uint8_t state)
{
    return (state & DownBit) != 0;
}

// Edges between the previous snapshot and the current one.
bool Pressed(bool before, bool now)
{
    return now && !before;
}

bool Released(bool before, bool now)
{
    return before && !now;
}

} // namespace

std::shared_ptr<IInputManager> CreateInputManager()
{
    return std::make_shared<DxInputManager>();
}

DxInputManager::DxInputManager(const InputPlatform& platform) : platform(platform) {}

DxInputManager::~DxInputManager()
{
    Finalize();
}

bool DxInputManager::Initialize(HWND newWindow, uint32_t newFlags)
{
    if (IsInitialized())
    {
        Finalize();
    }
    window = newWindow;
    currentKeyboard.fill(0);
    previousKeyboard.fill(0);
    currentMouse = {};
    previousMouse = {};
    joysticks.clear();
    currentJoysticks.clear();
    previousJoysticks.clear();
    joystickCaps.clear();
    flags = newFlags;

    void* created = nullptr;
    if (FAILED(platform.directInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION,
                                           IID_IDirectInput8W, &created, nullptr)) ||
        created == nullptr)
    {
        return false;
    }
    directInput.reset(static_cast<IDirectInput8W*>(created));

    if ((flags & InputDeviceKeyboard) != 0 &&
        !OpenSystemDevice(keyboard, GUID_SysKeyboard, c_dfDIKeyboard))
    {
        Finalize();
        return false;
    }
    if ((flags & InputDeviceMouse) != 0)
    {
        DIPROPDWORD bufferSize{};
        bufferSize.diph.dwSize = sizeof(DIPROPDWORD);
        bufferSize.diph.dwHeaderSize = sizeof(DIPROPHEADER);
        bufferSize.diph.dwObj = 0;
        bufferSize.diph.dwHow = DIPH_DEVICE;
        bufferSize.dwData = MouseEventBufferSize;
        if (!OpenSystemDevice(mouse, GUID_SysMouse, c_dfDIMouse2) ||
            FAILED(mouse->SetProperty(DIPROP_BUFFERSIZE, &bufferSize.diph)))
        {
            Finalize();
            return false;
        }
    }
    if ((flags & InputDeviceJoystick) != 0)
    {
        directInput->EnumDevices(DI8DEVCLASS_GAMECTRL, &DxInputManager::AddJoystick, this,
                                 DIEDFL_ATTACHEDONLY);
        if (!joysticks.empty())
        {
            currentJoysticks.assign(joysticks.size(), JoystickState{});
            previousJoysticks.assign(joysticks.size(), JoystickState{});
            joystickCaps.assign(joysticks.size(), JoystickCaps{});
        }
        for (size_t i = 0; i < joysticks.size(); ++i)
        {
            if (!ConfigureJoystick(i))
            {
                Finalize();
                return false;
            }
        }
    }
    return true;
}

bool DxInputManager::OpenSystemDevice(Device& device, REFGUID guid, const DIDATAFORMAT& format)
{
    IDirectInputDevice8W* created = nullptr;
    if (FAILED(directInput->CreateDevice(guid, &created, nullptr)) || created == nullptr)
    {
        return false;
    }
    device.reset(created);
    return SUCCEEDED(device->SetDataFormat(&format)) &&
           SUCCEEDED(device->SetCooperativeLevel(window, ForegroundShared));
}

BOOL DxInputManager::AddJoystick(const DIDEVICEINSTANCEW* instance, void* context)
{
    auto* self = static_cast<DxInputManager*>(context);
    IDirectInputDevice8W* created = nullptr;
    if (SUCCEEDED(self->directInput->CreateDevice(instance->guidInstance, &created, nullptr)) &&
        created != nullptr)
    {
        self->joysticks.emplace_back(created);
    }
    return DIENUM_CONTINUE;
}

bool DxInputManager::ConfigureJoystick(size_t index)
{
    configuringJoystick = index;
    IDirectInputDevice8W& device = *joysticks[index];
    if (FAILED(device.SetDataFormat(&c_dfDIJoystick)) ||
        FAILED(device.SetCooperativeLevel(window, ForegroundExclusive)))
    {
        return false;
    }
    joystickCaps[index].dwSize = sizeof(JoystickCaps);
    if (FAILED(device.GetCapabilities(&joystickCaps[index])))
    {
        return false;
    }
    // A range that could not be set leaves its axis unscaled, so it fails the set-up even
    // when the platform reports the stopped enumeration as a success.
    rangeFailed = false;
    return SUCCEEDED(device.EnumObjects(&DxInputManager::SetAxisRange, this, DIDFT_AXIS)) &&
           !rangeFailed;
}

BOOL DxInputManager::SetAxisRange(const DIDEVICEOBJECTINSTANCEW* object, void* context)
{
    auto* self = static_cast<DxInputManager*>(context);
    if ((object->dwType & DIDFT_AXIS) == 0)
    {
        return DIENUM_CONTINUE;
    }
    DIPROPRANGE range{};
    range.diph.dwSize = sizeof(DIPROPRANGE);
    range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    range.diph.dwObj = object->dwType;
    range.diph.dwHow = DIPH_BYID;
    range.lMin = AxisMinimum;
    range.lMax = AxisMaximum;
    if (FAILED(self->joysticks[self->configuringJoystick]->SetProperty(DIPROP_RANGE, &range.diph)))
    {
        self->rangeFailed = true;
        return DIENUM_STOP;
    }
    return DIENUM_CONTINUE;
}

void DxInputManager::Finalize()
{
    if (keyboard)
    {
        keyboard->Unacquire();
    }
    if (mouse)
    {
        mouse->Unacquire();
    }
    for (const Device& joystick : joysticks)
    {
        joystick->Unacquire();
    }
    keyboard.reset();
    mouse.reset();
    for (Device& joystick : joysticks)
    {
        joystick.reset();
    }
    joysticks.clear();
    directInput.reset();
}

void DxInputManager::Reacquire(IDirectInputDevice8W& device)
{
    for (int attempt = 0; attempt < MaxAcquireAttempts; ++attempt)
    {
        if (device.Acquire() != DIERR_INPUTLOST)
        {
            return;
        }
    }
}

bool DxInputManager::Update()
{
    if (!IsInitialized())
    {
        return false;
    }
    if (platform.getActiveWindow() != window)
    {
        return false;
    }
    if ((flags & InputDeviceKeyboard) != 0)
    {
        previousKeyboard = currentKeyboard;
        if (FAILED(keyboard->GetDeviceState(sizeof currentKeyboard, currentKeyboard.data())))
        {
            Reacquire(*keyboard);
        }
    }
    if ((flags & InputDeviceMouse) != 0)
    {
        previousMouse = currentMouse;
        if (FAILED(mouse->GetDeviceState(sizeof currentMouse, &currentMouse)))
        {
            Reacquire(*mouse);
        }
    }
    if ((flags & InputDeviceJoystick) != 0)
    {
        for (size_t i = 0; i < joysticks.size(); ++i)
        {
            previousJoysticks[i] = currentJoysticks[i];
            if (FAILED(joysticks[i]->Poll()))
            {
                Reacquire(*joysticks[i]);
                continue;
            }
            joysticks[i]->GetDeviceState(sizeof(JoystickState), &currentJoysticks[i]);
        }
    }
    return true;
}

bool DxInputManager::IsKeyDown(KeyCode code) const
{
    return code >= 0 && code < KeyCodeCount &&
           Down(currentKeyboard[KeyScanCodeTable[static_cast<size_t>(code)]]);
}

bool DxInputManager::WasKeyDown(KeyCode code) const
{
    return code >= 0 && code < KeyCodeCount &&
           Down(previousKeyboard[KeyScanCodeTable[static_cast<size_t>(code)]]);
}

bool DxInputManager::IsKeyPressed(KeyCode code) const
{
    return Pressed(WasKeyDown(code), IsKeyDown(code));
}

bool DxInputManager::IsKeyReleased(KeyCode code) const
{
    return Released(WasKeyDown(code), IsKeyDown(code));
}

bool DxInputManager::IsMouseButtonDown(uint32_t button) const
{
    return IsValidMouseButton(button) && Down(currentMouse.rgbButtons[button]);
}

bool DxInputManager::WasMouseButtonDown(uint32_t button) const
{
    return IsValidMouseButton(button) && Down(previousMouse.rgbButtons[button]);
}

bool DxInputManager::IsMouseButtonPressed(uint32_t button) const
{
    return Pressed(WasMouseButtonDown(button), IsMouseButtonDown(button));
}

bool DxInputManager::IsMouseButtonReleased(uint32_t button) const
{
    return Released(WasMouseButtonDown(button), IsMouseButtonDown(button));
}

uint32_t DxInputManager::GetJoystickCount() const
{
    return static_cast<uint32_t>(joysticks.size());
}

bool DxInputManager::IsValidJoystick(int32_t joystick) const
{
    return joystick >= 0 && joystick < static_cast<int32_t>(GetJoystickCount());
}

uint32_t DxInputManager::GetJoystickButtonCount(int32_t joystick) const
{
    return IsValidJoystick(joystick) ? joystickCaps[static_cast<size_t>(joystick)].dwButtons : 0;
}

uint32_t DxInputManager::GetJoystickAxisCount(int32_t joystick) const
{
    return IsValidJoystick(joystick) ? joystickCaps[static_cast<size_t>(joystick)].dwAxes : 0;
}

uint32_t DxInputManager::GetJoystickPovCount(int32_t joystick) const
{
    return IsValidJoystick(joystick) ? joystickCaps[static_cast<size_t>(joystick)].dwPOVs : 0;
}

bool DxInputManager::IsValidJoystickButton(int32_t joystick, int32_t button) const
{
    return IsValidJoystick(joystick) && button >= 0 &&
           static_cast<int64_t>(button) < static_cast<int64_t>(GetJoystickButtonCount(joystick));
}

const JoystickState* DxInputManager::Joystick(int32_t joystick, bool current) const
{
    if (!IsValidJoystick(joystick))
    {
        return nullptr;
    }
    const auto& states = current ? currentJoysticks : previousJoysticks;
    return &states[static_cast<size_t>(joystick)];
}

int32_t DxInputManager::GetJoystickX(int32_t joystick) const
{
    return Axis(joystick, &JoystickState::lX);
}

int32_t DxInputManager::GetJoystickY(int32_t joystick) const
{
    return Axis(joystick, &JoystickState::lY);
}

int32_t DxInputManager::GetJoystickZ(int32_t joystick) const
{
    return Axis(joystick, &JoystickState::lZ);
}

int32_t DxInputManager::GetJoystickRotationX(int32_t joystick) const
{
    return Axis(joystick, &JoystickState::lRx);
}

int32_t DxInputManager::GetJoystickRotationY(int32_t joystick) const
{
    return Axis(joystick, &JoystickState::lRy);
}

int32_t DxInputManager::GetJoystickRotationZ(int32_t joystick) const
{
    return Axis(joystick, &JoystickState::lRz);
}

int32_t DxInputManager::Axis(int32_t joystick, LONG JoystickState::*axis) const
{
    const JoystickState* state = Joystick(joystick, true);
    return state != nullptr ? state->*axis : 0;
}

bool DxInputManager::JoystickButton(int32_t joystick, int32_t button, bool current) const
{
    // A controller may report more buttons than the record holds.
    if (!IsValidJoystickButton(joystick, button) || button >= JoystickRecordButtons)
    {
        return false;
    }
    return Down(Joystick(joystick, current)->rgbButtons[button]);
}

bool DxInputManager::IsJoystickButtonDown(int32_t joystick, int32_t button) const
{
    return JoystickButton(joystick, button, true);
}

bool DxInputManager::WasJoystickButtonDown(int32_t joystick, int32_t button) const
{
    return JoystickButton(joystick, button, false);
}

bool DxInputManager::IsJoystickButtonPressed(int32_t joystick, int32_t button) const
{
    return Pressed(WasJoystickButtonDown(joystick, button), IsJoystickButtonDown(joystick, button));
}

bool DxInputManager::IsJoystickButtonReleased(int32_t joystick, int32_t button) const
{
    return Released(WasJoystickButtonDown(joystick, button),
                    IsJoystickButtonDown(joystick, button));
}

} // namespace Qorv::Input
