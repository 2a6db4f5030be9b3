#pragma once
// The DirectInput 8 objects, records and constants the input manager uses, on SDL2, and
// GetActiveWindow. Names, layouts and results are the Windows ones; only what is called exists.

#include "platform/window/Win32.h"

#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;

constexpr bool SUCCEEDED(HRESULT result)
{
    return result >= 0;
}
constexpr bool FAILED(HRESULT result)
{
    return result < 0;
}

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

constexpr HRESULT DI_OK = 0;
constexpr HRESULT DI_NOEFFECT = 1;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002U);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003U);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005U);
constexpr HRESULT E_HANDLE = static_cast<HRESULT>(0x80070006U);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110U);
constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154U);
constexpr HRESULT DIERR_UNPLUGGED = static_cast<HRESULT>(0x80040209U);
constexpr HRESULT DIERR_NOTFOUND = static_cast<HRESULT>(0x80070002U);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005U);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000CU);
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001EU);
constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057U);
constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x800700AAU);
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = static_cast<HRESULT>(0x8007047EU);
constexpr HRESULT DIERR_BETADIRECTINPUTVERSION = static_cast<HRESULT>(0x80070481U);
constexpr HRESULT DIERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001U);

inline constexpr GUID IID_IDirectInput8W = {
    0xBF798031, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
inline constexpr GUID GUID_SysMouse = {
    0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID GUID_SysKeyboard = {
    0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// Property identifiers are small integers in a GUID's clothing (MAKEDIPROP).
inline constexpr GUID DIPROP_BUFFERSIZE = {1, 0, 0, {}};
inline constexpr GUID DIPROP_RANGE = {4, 0, 0, {}};

constexpr DWORD DI8DEVCLASS_ALL = 0;
constexpr DWORD DI8DEVCLASS_POINTER = 2;
constexpr DWORD DI8DEVCLASS_KEYBOARD = 3;
constexpr DWORD DI8DEVCLASS_GAMECTRL = 4;
constexpr DWORD DIEDFL_ATTACHEDONLY = 0x1;

constexpr DWORD DI8DEVTYPE_MOUSE = 0x12;
constexpr DWORD DI8DEVTYPE_KEYBOARD = 0x13;
constexpr DWORD DI8DEVTYPE_JOYSTICK = 0x14;
constexpr DWORD DIDC_ATTACHED = 0x1;

constexpr DWORD DISCL_EXCLUSIVE = 0x1;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x2;
constexpr DWORD DISCL_FOREGROUND = 0x4;
constexpr DWORD DISCL_BACKGROUND = 0x8;

constexpr BOOL DIENUM_STOP = 0;
constexpr BOOL DIENUM_CONTINUE = 1;

constexpr DWORD DIDFT_ALL = 0x0;
constexpr DWORD DIDFT_ABSAXIS = 0x2;
constexpr DWORD DIDFT_AXIS = 0x3;
constexpr DWORD DIDFT_PSHBUTTON = 0x4;
constexpr DWORD DIDFT_POV = 0x10;
constexpr DWORD DIDFT_MAKEINSTANCE(DWORD instance)
{
    return (instance & 0xFFFF) << 8;
}
constexpr DWORD DIDFT_GETINSTANCE(DWORD type)
{
    return (type >> 8) & 0xFFFF;
}

constexpr DWORD DIPH_DEVICE = 0;
constexpr DWORD DIPH_BYOFFSET = 1;
constexpr DWORD DIPH_BYID = 2;

// The wheel's units per notch.
constexpr LONG WHEEL_DELTA = 120;
constexpr DWORD MAX_PATH = 260;

// The record a device fills: its size and how its objects are laid out. The layouts here are
// the four predefined ones, told apart by their data size.
struct DIDATAFORMAT
{
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
    DWORD dwNumObjs;
    const void* rgodf;
};
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse;
extern const DIDATAFORMAT c_dfDIMouse2;
extern const DIDATAFORMAT c_dfDIJoystick;

struct DIMOUSESTATE
{
    LONG lX, lY, lZ;
    BYTE rgbButtons[4];
};

struct DIMOUSESTATE2
{
    LONG lX, lY, lZ;
    BYTE rgbButtons[8];
};

struct DIJOYSTATE
{
    LONG lX, lY, lZ;
    LONG lRx, lRy, lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4];
    BYTE rgbButtons[32];
};

struct DIDEVCAPS
{
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwDevType;
    DWORD dwAxes;
    DWORD dwButtons;
    DWORD dwPOVs;
    DWORD dwFFSamplePeriod;
    DWORD dwFFMinTimeResolution;
    DWORD dwFirmwareRevision;
    DWORD dwHardwareRevision;
    DWORD dwFFDriverVersion;
};

static_assert(sizeof(DIMOUSESTATE) == 16);
static_assert(sizeof(DIMOUSESTATE2) == 20);
static_assert(sizeof(DIJOYSTATE) == 80);
static_assert(sizeof(DIDEVCAPS) == 44);

struct DIPROPHEADER
{
    DWORD dwSize;
    DWORD dwHeaderSize;
    DWORD dwObj;
    DWORD dwHow;
};

struct DIPROPDWORD
{
    DIPROPHEADER diph;
    DWORD dwData;
};

struct DIPROPRANGE
{
    DIPROPHEADER diph;
    LONG lMin;
    LONG lMax;
};

static_assert(sizeof(DIPROPHEADER) == 16);
static_assert(sizeof(DIPROPDWORD) == 20);
static_assert(sizeof(DIPROPRANGE) == 24);

struct DIDEVICEINSTANCEW
{
    DWORD dwSize;
    GUID guidInstance;
    GUID guidProduct;
    DWORD dwDevType;
    wchar_t tszInstanceName[MAX_PATH];
    wchar_t tszProductName[MAX_PATH];
};

struct DIDEVICEOBJECTINSTANCEW
{
    DWORD dwSize;
    GUID guidType;
    DWORD dwOfs;
    DWORD dwType;
    DWORD dwFlags;
    wchar_t tszName[MAX_PATH];
};

using LPDIENUMDEVICESCALLBACKW = BOOL (*)(const DIDEVICEINSTANCEW* instance, void* context);
using LPDIENUMDEVICEOBJECTSCALLBACKW = BOOL (*)(const DIDEVICEOBJECTINSTANCEW* object,
                                                void* context);

// One input device. Reads succeed only while it is acquired; a foreground device loses its
// acquisition when its window loses the keyboard focus, and then reports DIERR_INPUTLOST.
class IDirectInputDevice8W
{
public:
    virtual ULONG Release() = 0;
    virtual HRESULT GetCapabilities(DIDEVCAPS* caps) = 0;
    virtual HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKW callback, void* context,
                                DWORD flags) = 0;
    virtual HRESULT SetProperty(REFGUID property, const DIPROPHEADER* header) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual HRESULT GetDeviceState(DWORD size, void* data) = 0;
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT Poll() = 0;

protected:
    ~IDirectInputDevice8W() = default;
};

// The input system: makes devices and lists the attached ones.
class IDirectInput8W
{
public:
    virtual ULONG Release() = 0;
    [[nodiscard]] virtual HRESULT CreateDevice(REFGUID instance, IDirectInputDevice8W** device,
                                               void* outer) = 0;
    virtual HRESULT EnumDevices(DWORD deviceClass, LPDIENUMDEVICESCALLBACKW callback, void* context,
                                DWORD flags) = 0;

protected:
    ~IDirectInput8W() = default;
};

[[nodiscard]] HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID interfaceId,
                                         void** object, void* outer);

// The window that has the keyboard focus, or null.
HWND GetActiveWindow();
