#pragma once
// The Win32 window, message queue and winmm timer calls the program makes, on SDL2.
// Names, constants and results are the Windows ones; only what is called exists.

#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using DWORD = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;
using MMRESULT = UINT;

struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// COM's common types, shared by the device interfaces of the other platform folders.
using HRESULT = int32_t;
using ULONG = uint32_t;
using LONG = int32_t;

struct GUID
{
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
};
using REFGUID = const GUID&;
using REFIID = const GUID&;

struct RECT
{
    int32_t left, top, right, bottom;
};

struct POINT
{
    int32_t x, y;
};

struct MSG
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct WNDCLASSW
{
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const wchar_t* lpszMenuName;
    const wchar_t* lpszClassName;
};

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr int SW_SHOWDEFAULT = 10;
constexpr int COLOR_BTNFACE = 15;
inline const wchar_t* const IDI_APPLICATION = reinterpret_cast<const wchar_t*>(0x7F00);
inline const wchar_t* const IDC_ARROW = reinterpret_cast<const wchar_t*>(0x7F00);

constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_CONTROL = 0x11;
constexpr WPARAM VK_MENU = 0x12;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_F1 = 0x70;
constexpr WPARAM VK_F4 = 0x73;

constexpr MMRESULT TIMERR_NOERROR = 0;
constexpr MMRESULT TIMERR_NOCANDO = 97;

// Room for any path the platform can hand back from GetModuleFileNameW.
constexpr DWORD MAX_MODULE_PATH = 4096;

HINSTANCE GetModuleHandleW(const wchar_t* moduleName);
DWORD GetModuleFileNameW(HMODULE module, wchar_t* fileName, DWORD size);
HICON LoadIconW(HINSTANCE instance, const wchar_t* name);
HCURSOR LoadCursorW(HINSTANCE instance, const wchar_t* name);
HBRUSH GetSysColorBrush(int index);

ATOM RegisterClassW(const WNDCLASSW* windowClass);
// The window manager draws the frame outside the client area, so the window rectangle
// handed to CreateWindowExW is the client rectangle itself.
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);
// Null when the class is unknown or no display can be opened. A window is shown at a whole
// multiple of its size, the largest within three quarters of the desktop (PAKEMINO_SCALE=N
// asks for N); WS_THICKFRAME makes it resizable. Its picture keeps the size asked for.
[[nodiscard]] HWND CreateWindowExW(DWORD exStyle, const wchar_t* className,
                                   const wchar_t* windowName, DWORD style, int x, int y, int width,
                                   int height, HWND parent, void* menu, HINSTANCE instance,
                                   void* param);
// Not a Win32 call: why the last CreateWindowExW failed, in the window system's words.
const char* WindowSystemError();
BOOL ShowWindow(HWND window, int showCommand);
BOOL SetWindowTextW(HWND window, const wchar_t* text);
BOOL UpdateWindow(HWND window);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);

BOOL PeekMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage);
// Blocks until a message arrives; 0 for WM_QUIT, -1 on failure, otherwise nonzero.
BOOL GetMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Alt+F4 closes the window; Alt+Enter switches it to fullscreen and back.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);
// Milliseconds on a monotonic clock, wrapping at 2^32.
DWORD timeGetTime();
void Sleep(DWORD milliseconds);
