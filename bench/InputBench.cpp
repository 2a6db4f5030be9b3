// What the input manager costs a frame: Update and the key questions the key layout asks, on a
// constant device source, and the SDL keyboard and mouse reads that Update makes on Linux.

#include "framework/input/DxInputManager.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstring>

using namespace Qorv::Input;

namespace
{

// A device that is always acquired and always reads the same record.
class ConstantDevice final : public IDirectInputDevice8W
{
public:
    ULONG Release() override
    {
        delete this;
        return 0;
    }
    HRESULT GetCapabilities(DIDEVCAPS*) override { return DI_OK; }
    HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKW, void*, DWORD) override { return DI_OK; }
    HRESULT SetProperty(REFGUID, const DIPROPHEADER*) override { return DI_OK; }
    HRESULT Acquire() override { return DI_OK; }
    HRESULT Unacquire() override { return DI_OK; }
    HRESULT GetDeviceState(DWORD size, void* data) override
    {
        std::memcpy(data, record.data(), size);
        return DI_OK;
    }
    HRESULT SetDataFormat(const DIDATAFORMAT*) override { return DI_OK; }
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return DI_OK; }
    HRESULT Poll() override { return DI_OK; }

private:
    std::array<uint8_t, 256> record{};
};

class ConstantInput final : public IDirectInput8W
{
public:
    ULONG Release() override
    {
        delete this;
        return 0;
    }
    HRESULT CreateDevice(REFGUID, IDirectInputDevice8W** device, void*) override
    {
        *device = new ConstantDevice;
        return DI_OK;
    }
    HRESULT EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKW, void*, DWORD) override { return DI_OK; }
};

HWND const Window = reinterpret_cast<HWND>(0x1000);

HRESULT CreateConstant(HINSTANCE, DWORD, REFIID, void** object, void*)
{
    *object = static_cast<IDirectInput8W*>(new ConstantInput);
    return DI_OK;
}

HWND ActiveWindow()
{
    return Window;
}

// The key layout's questions in its order: shifts, the four note rows, function keys, keypad.
constexpr KeyCode LayoutKeys[] = {
    KeyLShift,  KeyRShift,    KeyZ,       KeyX,        KeyC,       KeyV,         KeyB,
    KeyN,       KeyM,         KeyComma,   KeyPeriod,   KeySlash,   KeyBackslash, KeyA,
    KeyS,       KeyD,         KeyF,       KeyG,        KeyH,       KeyJ,         KeyK,
    KeyL,       KeySemicolon, KeyColon,   KeyRBracket, KeyQ,       KeyW,         KeyE,
    KeyR,       KeyT,         KeyY,       KeyU,        KeyI,       KeyO,         KeyP,
    KeyAt,      KeyLBracket,  Key1,       Key2,        Key3,       Key4,         Key5,
    Key6,       Key7,         Key8,       Key9,        Key0,       KeyMinus,     KeyCircumflex,
    KeyYen,     KeyF1,        KeyF2,      KeyF3,       KeyF4,      KeyF5,        KeyF6,
    KeyF7,      KeyF8,        KeyF9,      KeyF11,      KeyF12,     KeyNumpad1,   KeyNumpad2,
    KeyNumpad3, KeyNumpad4,   KeyNumpad5, KeyNumpad6,  KeyNumpad7, KeyNumpad8,   KeyNumpad9,
};

void UpdateAndAskKeys(benchmark::State& state)
{
    DxInputManager manager(InputPlatform{&CreateConstant, &ActiveWindow});
    if (!manager.Initialize(Window, InputDeviceKeyboard | InputDeviceMouse | InputDeviceJoystick))
    {
        state.SkipWithError("no input system");
        return;
    }
    const auto questions = static_cast<size_t>(state.range(0));
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(manager.Update());
        int pressed = 0;
        for (size_t i = 0; i < questions; ++i)
        {
            pressed += manager.IsKeyPressed(LayoutKeys[i]) ? 1 : 0;
        }
        benchmark::DoNotOptimize(pressed);
    }
}
BENCHMARK(UpdateAndAskKeys)->Arg(40)->Arg(std::size(LayoutKeys));

// The platform's share of Update: one keyboard and one mouse read from SDL's state.
void SdlKeyboardAndMouseReads(benchmark::State& state)
{
    void* object = nullptr;
    if (FAILED(DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION,
                                  IID_IDirectInput8W, &object, nullptr)))
    {
        state.SkipWithError("no input system");
        return;
    }
    auto* input = static_cast<IDirectInput8W*>(object);
    IDirectInputDevice8W* keyboard = nullptr;
    IDirectInputDevice8W* mouse = nullptr;
    input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr);
    input->CreateDevice(GUID_SysMouse, &mouse, nullptr);
    keyboard->SetDataFormat(&c_dfDIKeyboard);
    mouse->SetDataFormat(&c_dfDIMouse2);
    // In the background, since no window has the focus here.
    keyboard->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    mouse->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    keyboard->Acquire();
    mouse->Acquire();
    KeyboardState keys{};
    MouseState pointer{};
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(keyboard->GetDeviceState(sizeof keys, keys.data()));
        benchmark::DoNotOptimize(mouse->GetDeviceState(sizeof pointer, &pointer));
        benchmark::ClobberMemory();
    }
    keyboard->Release();
    mouse->Release();
    input->Release();
}
BENCHMARK(SdlKeyboardAndMouseReads);

} // namespace

BENCHMARK_MAIN();
