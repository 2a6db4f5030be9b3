// A window that runs the input manager every frame and prints each edge it reports, so the
// end-to-end tests can type on it and read what the manager saw.

#include "framework/input/IInputManager.h"
#include "platform/window/Win32.h"

#include <cstdio>

using namespace Qorv::Input;

namespace
{

LRESULT ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
    {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void PrintEdges(const IInputManager& manager, unsigned frame)
{
    for (int32_t code = 0; code < KeyCodeCount; ++code)
    {
        const auto key = static_cast<KeyCode>(code);
        if (manager.IsKeyPressed(key))
        {
            std::printf("frame %u pressed %d\n", frame, code);
        }
        if (manager.IsKeyReleased(key))
        {
            std::printf("frame %u released %d\n", frame, code);
        }
    }
    for (uint32_t button = 0; button < 8; ++button)
    {
        if (manager.IsMouseButtonPressed(button))
        {
            std::printf("frame %u button pressed %u\n", frame, button);
        }
        if (manager.IsMouseButtonReleased(button))
        {
            std::printf("frame %u button released %u\n", frame, button);
        }
    }
    if (manager.GetMouseX() != 0 || manager.GetMouseY() != 0 || manager.GetMouseWheel() != 0)
    {
        std::printf("frame %u mouse %d %d %d\n", frame, manager.GetMouseX(), manager.GetMouseY(),
                    manager.GetMouseWheel());
    }
}

} // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ProbeProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"QORV_INPUT_PROBE";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"QORV_INPUT_PROBE", L"Qorv input probe", WS_OVERLAPPEDWINDOW,
                                  0, 0, 320, 240, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
    {
        std::puts("no window");
        return 1;
    }
    ShowWindow(window, SW_SHOWDEFAULT);

    const std::shared_ptr<IInputManager> manager = CreateInputManager();
    if (!manager->Initialize(window, InputDeviceKeyboard | InputDeviceMouse | InputDeviceJoystick))
    {
        std::puts("initialize failed");
        return 1;
    }
    unsigned frame = 0;
    unsigned activeFrames = 0;
    DWORD last = timeGetTime();
    for (;;)
    {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
            {
                return 0;
            }
            DispatchMessageW(&msg);
            continue;
        }
        if (timeGetTime() - last < 16)
        {
            Sleep(3);
            continue;
        }
        last = timeGetTime();
        ++frame;
        if (!manager->Update())
        {
            continue;
        }
        // The first active frame acquires the devices; reads start with the next one.
        if (++activeFrames == 2)
        {
            std::puts("ready");
        }
        PrintEdges(*manager, frame);
    }
}
