// The SDL input devices without a display: argument checks, acquisition, the mouse's gathered
// motion, and game controllers through SDL's virtual joysticks.

#include "platform/input/DInput.h"
#include "platform/window/Win32.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{

constexpr DWORD Background = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;

int IndexOf(SDL_JoystickID id)
{
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
    {
        if (SDL_JoystickGetDeviceInstanceID(i) == id)
        {
            return i;
        }
    }
    return -1;
}

IDirectInput8W* CreateInput()
{
    void* object = nullptr;
    EXPECT_EQ(DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                 &object, nullptr),
              DI_OK);
    return static_cast<IDirectInput8W*>(object);
}

class SdlInput : public testing::Test
{
protected:
    void SetUp() override
    {
        input = CreateInput();
        ASSERT_NE(input, nullptr);
    }

    void TearDown() override
    {
        for (IDirectInputDevice8W* device : devices)
        {
            device->Release();
        }
        input->Release();
    }

    IDirectInputDevice8W* Open(REFGUID guid, const DIDATAFORMAT& format)
    {
        IDirectInputDevice8W* device = nullptr;
        EXPECT_EQ(input->CreateDevice(guid, &device, nullptr), DI_OK);
        if (device == nullptr)
        {
            return nullptr;
        }
        devices.push_back(device);
        EXPECT_EQ(device->SetDataFormat(&format), DI_OK);
        EXPECT_EQ(device->SetCooperativeLevel(nullptr, Background), DI_OK);
        return device;
    }

    IDirectInput8W* input = nullptr;
    std::vector<IDirectInputDevice8W*> devices;
};

TEST(DirectInput8Create, RefusesWhatTheRealOneRefuses)
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(DirectInput8Create(module, DIRECTINPUT_VERSION, IID_IDirectInput8W, nullptr, nullptr),
              E_POINTER);
    EXPECT_EQ(
        DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8W, &object, nullptr),
        DIERR_INVALIDPARAM);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(DirectInput8Create(module, 0x0700, IID_IDirectInput8W, &object, nullptr),
              DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(DirectInput8Create(module, 0x0900, IID_IDirectInput8W, &object, nullptr),
              DIERR_BETADIRECTINPUTVERSION);
    EXPECT_EQ(DirectInput8Create(module, DIRECTINPUT_VERSION, GUID_SysMouse, &object, nullptr),
              E_NOINTERFACE);
    EXPECT_EQ(DirectInput8Create(module, DIRECTINPUT_VERSION, IID_IDirectInput8W, &object, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
}

TEST_F(SdlInput, UnknownDevicesAndAggregationAreRefused)
{
    IDirectInputDevice8W* device = reinterpret_cast<IDirectInputDevice8W*>(1);
    EXPECT_EQ(input->CreateDevice(IID_IDirectInput8W, &device, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(input->CreateDevice(GUID_SysKeyboard, &device, input), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(input->CreateDevice(GUID_SysKeyboard, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(input->EnumDevices(DI8DEVCLASS_GAMECTRL, nullptr, nullptr, 0), DIERR_INVALIDPARAM);
}

TEST_F(SdlInput, ReadsNeedAFormatAndAnAcquisition)
{
    IDirectInputDevice8W* keyboard = nullptr;
    ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
    devices.push_back(keyboard);
    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIMouse2), DIERR_INVALIDPARAM);
    ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Poll(), DIERR_NOTACQUIRED);

    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              E_HANDLE);
    ASSERT_EQ(keyboard->SetCooperativeLevel(nullptr, Background), DI_OK);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->Acquire(), DI_NOEFFECT);
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
    std::fill(std::begin(keys), std::end(keys), BYTE{0xFF});
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(std::count(std::begin(keys), std::end(keys), 0), 256) << "no key is down";
    EXPECT_EQ(keyboard->GetDeviceState(128, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->Poll(), DI_NOEFFECT);
    EXPECT_EQ(keyboard->Unacquire(), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
}

TEST_F(SdlInput, ForegroundDeviceIsNotAcquiredWhileItsWindowHasNoFocus)
{
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = L"SdlInputTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"SdlInputTest", L"", 0, 0, 0, 64, 64, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    IDirectInputDevice8W* keyboard = nullptr;
    ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
    devices.push_back(keyboard);
    ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    ASSERT_EQ(keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    EXPECT_NE(GetActiveWindow(), window);
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    DestroyWindow(window);
}

TEST_F(SdlInput, MouseReportsMotionAndWheelGatheredSinceTheLastRead)
{
    IDirectInputDevice8W* mouse = Open(GUID_SysMouse, c_dfDIMouse2);
    ASSERT_NE(mouse, nullptr);
    DIPROPDWORD bufferSize{{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 16};
    EXPECT_EQ(mouse->SetProperty(DIPROP_BUFFERSIZE, &bufferSize.diph), DI_OK);

    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = 50;
    SDL_PushEvent(&event);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    event.motion.xrel = 5;
    event.motion.yrel = -3;
    SDL_PushEvent(&event);
    SDL_PushEvent(&event);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.preciseY = 0.5f;
    for (int i = 0; i < 3; ++i)
    {
        SDL_PushEvent(&wheel);
    }
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    wheel.wheel.preciseY = -1.0f;
    SDL_PushEvent(&wheel);

    DIMOUSESTATE2 state{};
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 10) << "motion before the acquisition is not reported";
    EXPECT_EQ(state.lY, -6);
    EXPECT_EQ(state.lZ, 3 * WHEEL_DELTA / 2 + WHEEL_DELTA);
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lZ, 0);
    DIMOUSESTATE small{};
    EXPECT_EQ(mouse->GetDeviceState(sizeof small, &small), DIERR_INVALIDPARAM);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

class SdlController : public SdlInput
{
protected:
    void SetUp() override
    {
        SdlInput::SetUp();
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 3, 40, 1);
        ASSERT_GE(index, 0) << SDL_GetError();
        virtualId = SDL_JoystickGetDeviceInstanceID(index);
        handle = SDL_JoystickOpen(index);
        ASSERT_NE(handle, nullptr);
    }

    void TearDown() override
    {
        if (handle != nullptr)
        {
            SDL_JoystickClose(handle);
            SDL_JoystickDetachVirtual(IndexOf(virtualId));
        }
        SdlInput::TearDown();
    }

    static BOOL Collect(const DIDEVICEINSTANCEW* instance, void* list)
    {
        static_cast<std::vector<DIDEVICEINSTANCEW>*>(list)->push_back(*instance);
        return DIENUM_CONTINUE;
    }

    static BOOL CollectObject(const DIDEVICEOBJECTINSTANCEW* object, void* list)
    {
        static_cast<std::vector<DWORD>*>(list)->push_back(object->dwType);
        return DIENUM_CONTINUE;
    }

    IDirectInputDevice8W* OpenController()
    {
        std::vector<DIDEVICEINSTANCEW> found;
        EXPECT_EQ(input->EnumDevices(DI8DEVCLASS_GAMECTRL, &Collect, &found, DIEDFL_ATTACHEDONLY),
                  DI_OK);
        EXPECT_EQ(found.size(), 1u);
        return found.empty() ? nullptr : Open(found[0].guidInstance, c_dfDIJoystick);
    }

    SDL_JoystickID virtualId = -1;
    SDL_Joystick* handle = nullptr;
};

TEST_F(SdlController, ListedWithItsCountsAndAxisObjects)
{
    IDirectInputDevice8W* controller = OpenController();
    ASSERT_NE(controller, nullptr);
    DIDEVCAPS caps{};
    EXPECT_EQ(controller->GetCapabilities(&caps), DIERR_INVALIDPARAM) << "size word unset";
    caps.dwSize = sizeof caps;
    ASSERT_EQ(controller->GetCapabilities(&caps), DI_OK);
    EXPECT_EQ(caps.dwAxes, 3u);
    EXPECT_EQ(caps.dwButtons, 40u);
    EXPECT_EQ(caps.dwPOVs, 1u);
    EXPECT_EQ(caps.dwFlags & DIDC_ATTACHED, DIDC_ATTACHED);

    std::vector<DWORD> axes;
    ASSERT_EQ(controller->EnumObjects(&CollectObject, &axes, DIDFT_AXIS), DI_OK);
    const std::vector<DWORD> expected = {DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(0),
                                         DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(1),
                                         DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(2)};
    EXPECT_EQ(axes, expected);
    std::vector<DWORD> all;
    ASSERT_EQ(controller->EnumObjects(&CollectObject, &all, DIDFT_ALL), DI_OK);
    EXPECT_EQ(all.size(), 3u + 40u + 1u);
}

TEST_F(SdlController, AxesAreScaledIntoTheirRangeAndHatsBecomeAngles)
{
    IDirectInputDevice8W* controller = OpenController();
    ASSERT_NE(controller, nullptr);
    DIPROPRANGE range{{sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), 0, DIPH_BYID}, -1000, 1000};
    for (DWORD axis = 0; axis < 2; ++axis)
    {
        range.diph.dwObj = DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axis);
        EXPECT_EQ(controller->SetProperty(DIPROP_RANGE, &range.diph), DI_OK);
    }
    range.diph.dwObj = DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(3);
    EXPECT_EQ(controller->SetProperty(DIPROP_RANGE, &range.diph), DIERR_NOTFOUND);
    DIPROPRANGE empty{{sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 5, 5};
    EXPECT_EQ(controller->SetProperty(DIPROP_RANGE, &empty.diph), DIERR_INVALIDPARAM);

    SDL_JoystickSetVirtualAxis(handle, 0, SDL_JOYSTICK_AXIS_MIN);
    SDL_JoystickSetVirtualAxis(handle, 1, SDL_JOYSTICK_AXIS_MAX);
    SDL_JoystickSetVirtualAxis(handle, 2, 0);
    SDL_JoystickSetVirtualHat(handle, 0, SDL_HAT_RIGHTDOWN);
    SDL_JoystickSetVirtualButton(handle, 0, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(handle, 31, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(handle, 35, SDL_PRESSED);

    ASSERT_EQ(controller->Acquire(), DI_OK);
    EXPECT_EQ(controller->SetProperty(DIPROP_RANGE, &range.diph), DIERR_ACQUIRED);
    ASSERT_EQ(controller->Poll(), DI_OK);
    DIJOYSTATE state{};
    ASSERT_EQ(controller->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, -1000);
    EXPECT_EQ(state.lY, 1000);
    EXPECT_EQ(state.lZ, 32768) << "an axis without a range set keeps 0..65535";
    EXPECT_EQ(state.lRx, 0) << "an axis the controller lacks";
    EXPECT_EQ(state.rgdwPOV[0], 13500u);
    EXPECT_EQ(state.rgdwPOV[1], 0xFFFFFFFFu);
    EXPECT_EQ(state.rgbButtons[0], 0x80);
    EXPECT_EQ(state.rgbButtons[1], 0);
    EXPECT_EQ(state.rgbButtons[31], 0x80);

    SDL_JoystickSetVirtualHat(handle, 0, SDL_HAT_CENTERED);
    SDL_JoystickSetVirtualAxis(handle, 0, 0);
    ASSERT_EQ(controller->Poll(), DI_OK);
    ASSERT_EQ(controller->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.rgdwPOV[0], 0xFFFFFFFFu);
}

TEST_F(SdlController, UnpluggedControllerLosesItsInput)
{
    IDirectInputDevice8W* controller = OpenController();
    ASSERT_NE(controller, nullptr);
    ASSERT_EQ(controller->Acquire(), DI_OK);
    SDL_JoystickClose(handle);
    handle = nullptr;
    SDL_JoystickDetachVirtual(IndexOf(virtualId));
    EXPECT_EQ(controller->Poll(), DIERR_INPUTLOST);
    EXPECT_EQ(controller->Acquire(), DIERR_UNPLUGGED);
}

} // namespace
