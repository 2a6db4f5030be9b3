#include "tests/support/ScriptedDirectInput.h"

#include <cstring>

namespace TestSupport
{

namespace
{

ScriptedDirectInput* script = nullptr;

// Controllers are told apart by their instance GUID's first word.
constexpr uint32_t ControllerTag = 0xC0000000;

class FakeDevice final : public IDirectInputDevice8W
{
public:
    FakeDevice(ScriptedDevice& device, std::string name) : device(device), name(std::move(name))
    {
        ++script->live;
    }

    ULONG Release() override
    {
        script->log.push_back("release " + name);
        --script->live;
        delete this;
        return 0;
    }

    HRESULT GetCapabilities(DIDEVCAPS* caps) override
    {
        if (device.failing == "caps" || caps->dwSize != sizeof(DIDEVCAPS))
        {
            return DIERR_INVALIDPARAM;
        }
        *caps = device.caps;
        caps->dwSize = sizeof(DIDEVCAPS);
        return DI_OK;
    }

    HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKW callback, void* context, DWORD) override
    {
        // Every object is offered, whatever the filter, so the callback must sort them.
        for (const DWORD type : device.objects)
        {
            DIDEVICEOBJECTINSTANCEW object{};
            object.dwSize = sizeof object;
            object.dwType = type;
            if (callback(&object, context) == DIENUM_STOP)
            {
                break;
            }
        }
        return device.failing == "objects" ? DIERR_INVALIDPARAM : DI_OK;
    }

    HRESULT SetProperty(REFGUID property, const DIPROPHEADER* header) override
    {
        if (device.failing == "property")
        {
            return DIERR_INVALIDPARAM;
        }
        if (property == DIPROP_RANGE)
        {
            device.ranges.push_back(*reinterpret_cast<const DIPROPRANGE*>(header));
        }
        else if (property == DIPROP_BUFFERSIZE)
        {
            device.bufferSizes.push_back(*reinterpret_cast<const DIPROPDWORD*>(header));
        }
        return DI_OK;
    }

    HRESULT Acquire() override
    {
        ++device.acquires;
        if (device.inputLostAcquires != 0)
        {
            if (device.inputLostAcquires > 0)
            {
                --device.inputLostAcquires;
            }
            return DIERR_INPUTLOST;
        }
        device.acquired = true;
        return DI_OK;
    }

    HRESULT Unacquire() override
    {
        script->log.push_back("unacquire " + name);
        device.acquired = false;
        return DI_OK;
    }

    HRESULT GetDeviceState(DWORD size, void* data) override
    {
        if (!device.acquired)
        {
            return DIERR_NOTACQUIRED;
        }
        if (size != device.record.size())
        {
            return DIERR_INVALIDPARAM;
        }
        ++device.reads;
        std::memcpy(data, device.record.data(), size);
        return DI_OK;
    }

    HRESULT SetDataFormat(const DIDATAFORMAT* format) override
    {
        if (device.failing == "format")
        {
            return DIERR_INVALIDPARAM;
        }
        device.format = format;
        return DI_OK;
    }

    HRESULT SetCooperativeLevel(HWND, DWORD flags) override
    {
        if (device.failing == "cooperation")
        {
            return E_HANDLE;
        }
        device.cooperation = flags;
        return DI_OK;
    }

    HRESULT Poll() override
    {
        if (!device.acquired)
        {
            return DIERR_NOTACQUIRED;
        }
        return device.pollFails ? DIERR_INPUTLOST : DI_OK;
    }

private:
    ScriptedDevice& device;
    std::string name;
};

class FakeInput final : public IDirectInput8W
{
public:
    FakeInput() { ++script->live; }

    ULONG Release() override
    {
        script->log.push_back("release input");
        --script->live;
        delete this;
        return 0;
    }

    HRESULT CreateDevice(REFGUID guid, IDirectInputDevice8W** device, void*) override
    {
        ScriptedDevice* scripted = nullptr;
        std::string name;
        if (guid == GUID_SysKeyboard)
        {
            scripted = &script->keyboard;
            name = "keyboard";
        }
        else if (guid == GUID_SysMouse)
        {
            scripted = &script->mouse;
            name = "mouse";
        }
        else if ((guid.Data1 & ControllerTag) == ControllerTag)
        {
            const size_t index = guid.Data1 & ~ControllerTag;
            scripted = &script->controllers.at(index);
            name = "controller " + std::to_string(index);
        }
        if (scripted == nullptr || scripted->failing == "create")
        {
            return DIERR_DEVICENOTREG;
        }
        *device = new FakeDevice(*scripted, name);
        return DI_OK;
    }

    HRESULT EnumDevices(DWORD deviceClass, LPDIENUMDEVICESCALLBACKW callback, void* context,
                        DWORD flags) override
    {
        if (deviceClass != DI8DEVCLASS_GAMECTRL || flags != DIEDFL_ATTACHEDONLY)
        {
            return DIERR_INVALIDPARAM;
        }
        for (size_t i = 0; i < script->controllers.size(); ++i)
        {
            DIDEVICEINSTANCEW instance{};
            instance.dwSize = sizeof instance;
            instance.guidInstance.Data1 = ControllerTag | static_cast<uint32_t>(i);
            if (callback(&instance, context) == DIENUM_STOP)
            {
                break;
            }
        }
        return DI_OK;
    }
};

HRESULT ScriptedCreate(HINSTANCE instance, DWORD version, REFIID interfaceId, void** object,
                       void* outer)
{
    if (script->createFails || instance == nullptr || version != DIRECTINPUT_VERSION ||
        interfaceId != IID_IDirectInput8W || outer != nullptr)
    {
        return DIERR_INVALIDPARAM;
    }
    *object = static_cast<IDirectInput8W*>(new FakeInput);
    return DI_OK;
}

HWND ScriptedActiveWindow()
{
    return script->activeWindow;
}

} // namespace

ScriptedDirectInput::ScriptedDirectInput()
{
    keyboard.record.assign(256, 0);
    mouse.record.assign(sizeof(DIMOUSESTATE2), 0);
    script = this;
}

ScriptedDirectInput::~ScriptedDirectInput()
{
    script = nullptr;
}

Qorv::Input::InputPlatform ScriptedDirectInput::Platform() const
{
    return {&ScriptedCreate, &ScriptedActiveWindow};
}

void ScriptedDirectInput::SetKey(uint8_t scanCode, bool down)
{
    keyboard.record[scanCode] = down ? 0x80 : 0;
}

void ScriptedDirectInput::SetMouse(const DIMOUSESTATE2& state)
{
    std::memcpy(mouse.record.data(), &state, sizeof state);
}

ScriptedDevice& ScriptedDirectInput::AddController(DWORD buttons, DWORD axes, DWORD povs)
{
    ScriptedDevice& controller = controllers.emplace_back();
    controller.record.assign(sizeof(DIJOYSTATE), 0);
    controller.caps.dwAxes = axes;
    controller.caps.dwButtons = buttons;
    controller.caps.dwPOVs = povs;
    for (DWORD i = 0; i < axes; ++i)
    {
        controller.objects.push_back(DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(i));
    }
    controller.objects.push_back(DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(0));
    return controller;
}

void ScriptedDirectInput::SetController(size_t index, const DIJOYSTATE& state)
{
    std::memcpy(controllers.at(index).record.data(), &state, sizeof state);
}

} // namespace TestSupport
