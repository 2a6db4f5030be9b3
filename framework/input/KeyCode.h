#pragma once
// The input manager's own key numbering, 0..159, and the scan code each code reads. The order
// is the platform's; the last sixteen are second names for keys that already have one.

#include <array>
#include <cstdint>

namespace Qorv::Input
{

enum KeyCode : int32_t
{
    KeyEscape = 0,
    Key1 = 1,
    Key2 = 2,
    Key3 = 3,
    Key4 = 4,
    Key5 = 5,
    Key6 = 6,
    Key7 = 7,
    Key8 = 8,
    Key9 = 9,
    Key0 = 10,
    KeyMinus = 11,
    KeyEquals = 12,
    KeyBack = 13,
    KeyTab = 14,
    KeyQ = 15,
    KeyW = 16,
    KeyE = 17,
    KeyR = 18,
    KeyT = 19,
    KeyY = 20,
    KeyU = 21,
    KeyI = 22,
    KeyO = 23,
    KeyP = 24,
    KeyLBracket = 25,
    KeyRBracket = 26,
    KeyReturn = 27,
    KeyLControl = 28,
    KeyA = 29,
    KeyS = 30,
    KeyD = 31,
    KeyF = 32,
    KeyG = 33,
    KeyH = 34,
    KeyJ = 35,
    KeyK = 36,
    KeyL = 37,
    KeySemicolon = 38,
    KeyApostrophe = 39,
    KeyGrave = 40,
    KeyLShift = 41,
    KeyBackslash = 42,
    KeyZ = 43,
    KeyX = 44,
    KeyC = 45,
    KeyV = 46,
    KeyB = 47,
    KeyN = 48,
    KeyM = 49,
    KeyComma = 50,
    KeyPeriod = 51,
    KeySlash = 52,
    KeyRShift = 53,
    KeyMultiply = 54,
    KeyLMenu = 55,
    KeySpace = 56,
    KeyCapital = 57,
    KeyF1 = 58,
    KeyF2 = 59,
    KeyF3 = 60,
    KeyF4 = 61,
    KeyF5 = 62,
    KeyF6 = 63,
    KeyF7 = 64,
    KeyF8 = 65,
    KeyF9 = 66,
    KeyF10 = 67,
    KeyNumLock = 68,
    KeyScroll = 69,
    KeyNumpad7 = 70,
    KeyNumpad8 = 71,
    KeyNumpad9 = 72,
    KeySubtract = 73,
    KeyNumpad4 = 74,
    KeyNumpad5 = 75,
    KeyNumpad6 = 76,
    KeyAdd = 77,
    KeyNumpad1 = 78,
    KeyNumpad2 = 79,
    KeyNumpad3 = 80,
    KeyNumpad0 = 81,
    KeyDecimal = 82,
    KeyOem102 = 83,
    KeyF11 = 84,
    KeyF12 = 85,
    KeyF13 = 86,
    KeyF14 = 87,
    KeyF15 = 88,
    KeyKana = 89,
    KeyAbntC1 = 90,
    KeyConvert = 91,
    KeyNoConvert = 92,
    KeyYen = 93,
    KeyAbntC2 = 94,
    KeyNumpadEquals = 95,
    KeyPrevTrack = 96,
    KeyAt = 97,
    KeyColon = 98,
    KeyUnderline = 99,
    KeyKanji = 100,
    KeyStop = 101,
    KeyAx = 102,
    KeyUnlabeled = 103,
    KeyNextTrack = 104,
    KeyNumpadEnter = 105,
    KeyRControl = 106,
    KeyMute = 107,
    KeyCalculator = 108,
    KeyPlayPause = 109,
    KeyMediaStop = 110,
    KeyVolumeDown = 111,
    KeyVolumeUp = 112,
    KeyWebHome = 113,
    KeyNumpadComma = 114,
    KeyDivide = 115,
    KeySysRq = 116,
    KeyRMenu = 117,
    KeyPause = 118,
    KeyHome = 119,
    KeyUp = 120,
    KeyPrior = 121,
    KeyLeft = 122,
    KeyRight = 123,
    KeyEnd = 124,
    KeyDown = 125,
    KeyNext = 126,
    KeyInsert = 127,
    KeyDelete = 128,
    KeyLWin = 129,
    KeyRWin = 130,
    KeyApps = 131,
    KeyPower = 132,
    KeySleep = 133,
    KeyWake = 134,
    KeyWebSearch = 135,
    KeyWebFavorites = 136,
    KeyWebRefresh = 137,
    KeyWebStop = 138,
    KeyWebForward = 139,
    KeyWebBack = 140,
    KeyMyComputer = 141,
    KeyMail = 142,
    KeyMediaSelect = 143,
    KeyBackspace = 144,
    KeyNumpadStar = 145,
    KeyLAlt = 146,
    KeyCapsLock = 147,
    KeyNumpadMinus = 148,
    KeyNumpadPlus = 149,
    KeyNumpadPeriod = 150,
    KeyNumpadSlash = 151,
    KeyRAlt = 152,
    KeyUpArrow = 153,
    KeyPgUp = 154,
    KeyLeftArrow = 155,
    KeyRightArrow = 156,
    KeyDownArrow = 157,
    KeyPgDn = 158,
    KeyCircumflex = 159,
};

constexpr int32_t KeyCodeCount = 160;

// Scan code per KeyCode: set-1 make codes, keys with the E0 prefix plus 0x80.
inline constexpr std::array<uint8_t, KeyCodeCount> KeyScanCodeTable = {
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, // 0..7
    0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, // 8..15
    0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, // 16..23
    0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, // 24..31
    0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, // 32..39
    0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, // 40..47
    0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, // 48..55
    0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, // 56..63
    0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, // 64..71
    0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50, // 72..79
    0x51, 0x52, 0x53, 0x56, 0x57, 0x58, 0x64, 0x65, // 80..87
    0x66, 0x70, 0x73, 0x79, 0x7B, 0x7D, 0x7E, 0x8D, // 88..95
    0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, // 96..103
    0x99, 0x9C, 0x9D, 0xA0, 0xA1, 0xA2, 0xA4, 0xAE, // 104..111
    0xB0, 0xB2, 0xB3, 0xB5, 0xB7, 0xB8, 0xC5, 0xC7, // 112..119
    0xC8, 0xC9, 0xCB, 0xCD, 0xCF, 0xD0, 0xD1, 0xD2, // 120..127
    0xD3, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xE3, 0xE5, // 128..135
    0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, // 136..143
    0x0E, 0x37, 0x38, 0x3A, 0x4A, 0x4E, 0x53, 0xB5, // 144..151
    0xB8, 0xC8, 0xC9, 0xCB, 0xCD, 0xD0, 0xD1, 0x90, // 152..159
};

} // namespace Qorv::Input
