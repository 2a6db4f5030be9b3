// SDL key positions read as the keys the program names, the instrument's rows included.

#include "platform/input/SdlScanCodes.h"
#include "framework/input/KeyCode.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace Qorv::Input;
using namespace platform::sdl;

namespace
{

struct Expected
{
    SDL_Scancode key;
    KeyCode code;
};

void ExpectKeys(const std::vector<Expected>& keys)
{
    for (const Expected& expected : keys)
    {
        EXPECT_EQ(ScanCodeOfSdl(expected.key), KeyScanCodeTable[expected.code])
            << SDL_GetScancodeName(expected.key) << " should read KeyCode " << expected.code;
    }
}

TEST(SdlScanCodes, InstrumentRowsReadAsOnAJapaneseKeyboard)
{
    // Left to right, as the rows are played; the last keys exist only on Japanese keyboards.
    ExpectKeys({{SDL_SCANCODE_Z, KeyZ},
                {SDL_SCANCODE_X, KeyX},
                {SDL_SCANCODE_C, KeyC},
                {SDL_SCANCODE_V, KeyV},
                {SDL_SCANCODE_B, KeyB},
                {SDL_SCANCODE_N, KeyN},
                {SDL_SCANCODE_M, KeyM},
                {SDL_SCANCODE_COMMA, KeyComma},
                {SDL_SCANCODE_PERIOD, KeyPeriod},
                {SDL_SCANCODE_SLASH, KeySlash},
                {SDL_SCANCODE_INTERNATIONAL1, KeyBackslash}});
    ExpectKeys({{SDL_SCANCODE_A, KeyA},
                {SDL_SCANCODE_S, KeyS},
                {SDL_SCANCODE_D, KeyD},
                {SDL_SCANCODE_F, KeyF},
                {SDL_SCANCODE_G, KeyG},
                {SDL_SCANCODE_H, KeyH},
                {SDL_SCANCODE_J, KeyJ},
                {SDL_SCANCODE_K, KeyK},
                {SDL_SCANCODE_L, KeyL},
                {SDL_SCANCODE_SEMICOLON, KeySemicolon},
                {SDL_SCANCODE_APOSTROPHE, KeyColon},
                {SDL_SCANCODE_BACKSLASH, KeyRBracket},
                {SDL_SCANCODE_NONUSHASH, KeyRBracket}});
    ExpectKeys({{SDL_SCANCODE_Q, KeyQ},
                {SDL_SCANCODE_W, KeyW},
                {SDL_SCANCODE_E, KeyE},
                {SDL_SCANCODE_R, KeyR},
                {SDL_SCANCODE_T, KeyT},
                {SDL_SCANCODE_Y, KeyY},
                {SDL_SCANCODE_U, KeyU},
                {SDL_SCANCODE_I, KeyI},
                {SDL_SCANCODE_O, KeyO},
                {SDL_SCANCODE_P, KeyP},
                {SDL_SCANCODE_LEFTBRACKET, KeyAt},
                {SDL_SCANCODE_RIGHTBRACKET, KeyLBracket}});
    ExpectKeys({{SDL_SCANCODE_1, Key1},
                {SDL_SCANCODE_2, Key2},
                {SDL_SCANCODE_3, Key3},
                {SDL_SCANCODE_4, Key4},
                {SDL_SCANCODE_5, Key5},
                {SDL_SCANCODE_6, Key6},
                {SDL_SCANCODE_7, Key7},
                {SDL_SCANCODE_8, Key8},
                {SDL_SCANCODE_9, Key9},
                {SDL_SCANCODE_0, Key0},
                {SDL_SCANCODE_MINUS, KeyMinus},
                {SDL_SCANCODE_EQUALS, KeyCircumflex},
                {SDL_SCANCODE_INTERNATIONAL3, KeyYen}});
}

TEST(SdlScanCodes, ControlFunctionAndKeypadKeys)
{
    ExpectKeys({{SDL_SCANCODE_ESCAPE, KeyEscape},     {SDL_SCANCODE_BACKSPACE, KeyBack},
                {SDL_SCANCODE_TAB, KeyTab},           {SDL_SCANCODE_RETURN, KeyReturn},
                {SDL_SCANCODE_LCTRL, KeyLControl},    {SDL_SCANCODE_RCTRL, KeyRControl},
                {SDL_SCANCODE_LSHIFT, KeyLShift},     {SDL_SCANCODE_RSHIFT, KeyRShift},
                {SDL_SCANCODE_LALT, KeyLMenu},        {SDL_SCANCODE_RALT, KeyRMenu},
                {SDL_SCANCODE_SPACE, KeySpace},       {SDL_SCANCODE_CAPSLOCK, KeyCapital},
                {SDL_SCANCODE_GRAVE, KeyGrave},       {SDL_SCANCODE_NONUSBACKSLASH, KeyOem102},
                {SDL_SCANCODE_LGUI, KeyLWin},         {SDL_SCANCODE_RGUI, KeyRWin},
                {SDL_SCANCODE_APPLICATION, KeyApps},  {SDL_SCANCODE_PRINTSCREEN, KeySysRq},
                {SDL_SCANCODE_SCROLLLOCK, KeyScroll}, {SDL_SCANCODE_PAUSE, KeyPause}});
    std::vector<Expected> functionKeys;
    for (int i = 0; i < 10; ++i)
    {
        functionKeys.push_back(
            {static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i), static_cast<KeyCode>(KeyF1 + i)});
    }
    functionKeys.insert(functionKeys.end(), {{SDL_SCANCODE_F11, KeyF11},
                                             {SDL_SCANCODE_F12, KeyF12},
                                             {SDL_SCANCODE_F13, KeyF13},
                                             {SDL_SCANCODE_F14, KeyF14},
                                             {SDL_SCANCODE_F15, KeyF15}});
    ExpectKeys(functionKeys);
    ExpectKeys({{SDL_SCANCODE_NUMLOCKCLEAR, KeyNumLock},
                {SDL_SCANCODE_KP_DIVIDE, KeyDivide},
                {SDL_SCANCODE_KP_MULTIPLY, KeyMultiply},
                {SDL_SCANCODE_KP_MINUS, KeySubtract},
                {SDL_SCANCODE_KP_PLUS, KeyAdd},
                {SDL_SCANCODE_KP_ENTER, KeyNumpadEnter},
                {SDL_SCANCODE_KP_PERIOD, KeyDecimal},
                {SDL_SCANCODE_KP_EQUALS, KeyNumpadEquals},
                {SDL_SCANCODE_KP_COMMA, KeyNumpadComma},
                {SDL_SCANCODE_KP_0, KeyNumpad0},
                {SDL_SCANCODE_KP_1, KeyNumpad1},
                {SDL_SCANCODE_KP_2, KeyNumpad2},
                {SDL_SCANCODE_KP_3, KeyNumpad3},
                {SDL_SCANCODE_KP_4, KeyNumpad4},
                {SDL_SCANCODE_KP_5, KeyNumpad5},
                {SDL_SCANCODE_KP_6, KeyNumpad6},
                {SDL_SCANCODE_KP_7, KeyNumpad7},
                {SDL_SCANCODE_KP_8, KeyNumpad8},
                {SDL_SCANCODE_KP_9, KeyNumpad9}});
}

TEST(SdlScanCodes, EditingArrowMediaBrowserAndJapaneseKeys)
{
    ExpectKeys({{SDL_SCANCODE_INSERT, KeyInsert},
                {SDL_SCANCODE_DELETE, KeyDelete},
                {SDL_SCANCODE_HOME, KeyHome},
                {SDL_SCANCODE_END, KeyEnd},
                {SDL_SCANCODE_PAGEUP, KeyPrior},
                {SDL_SCANCODE_PAGEDOWN, KeyNext},
                {SDL_SCANCODE_UP, KeyUpArrow},
                {SDL_SCANCODE_DOWN, KeyDownArrow},
                {SDL_SCANCODE_LEFT, KeyLeft},
                {SDL_SCANCODE_RIGHT, KeyRight}});
    ExpectKeys({{SDL_SCANCODE_AUDIOPREV, KeyPrevTrack},
                {SDL_SCANCODE_AUDIONEXT, KeyNextTrack},
                {SDL_SCANCODE_AUDIOPLAY, KeyPlayPause},
                {SDL_SCANCODE_AUDIOSTOP, KeyMediaStop},
                {SDL_SCANCODE_MUTE, KeyMute},
                {SDL_SCANCODE_AUDIOMUTE, KeyMute},
                {SDL_SCANCODE_VOLUMEUP, KeyVolumeUp},
                {SDL_SCANCODE_VOLUMEDOWN, KeyVolumeDown},
                {SDL_SCANCODE_CALCULATOR, KeyCalculator},
                {SDL_SCANCODE_MAIL, KeyMail},
                {SDL_SCANCODE_COMPUTER, KeyMyComputer},
                {SDL_SCANCODE_MEDIASELECT, KeyMediaSelect},
                {SDL_SCANCODE_POWER, KeyPower},
                {SDL_SCANCODE_SLEEP, KeySleep}});
    ExpectKeys({{SDL_SCANCODE_AC_HOME, KeyWebHome},
                {SDL_SCANCODE_AC_SEARCH, KeyWebSearch},
                {SDL_SCANCODE_AC_BOOKMARKS, KeyWebFavorites},
                {SDL_SCANCODE_AC_REFRESH, KeyWebRefresh},
                {SDL_SCANCODE_AC_STOP, KeyWebStop},
                {SDL_SCANCODE_AC_FORWARD, KeyWebForward},
                {SDL_SCANCODE_AC_BACK, KeyWebBack}});
    ExpectKeys({{SDL_SCANCODE_INTERNATIONAL2, KeyKana},
                {SDL_SCANCODE_INTERNATIONAL4, KeyConvert},
                {SDL_SCANCODE_INTERNATIONAL5, KeyNoConvert},
                {SDL_SCANCODE_LANG5, KeyKanji}});
}

TEST(SdlScanCodes, EachKeyIsListedOnceAndReadsSomeKeyCode)
{
    const std::set<uint8_t> known(KeyScanCodeTable.begin(), KeyScanCodeTable.end());
    std::set<SDL_Scancode> seen;
    for (const SdlScanCode& entry : SdlScanCodes())
    {
        EXPECT_TRUE(seen.insert(entry.key).second) << SDL_GetScancodeName(entry.key);
        EXPECT_TRUE(known.count(entry.scanCode)) << SDL_GetScancodeName(entry.key);
    }
}

TEST(SdlScanCodes, KeysWithoutAPlaceAndOutOfRangeValuesReadNothing)
{
    EXPECT_EQ(ScanCodeOfSdl(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(ScanCodeOfSdl(SDL_SCANCODE_F24), 0);
    EXPECT_EQ(ScanCodeOfSdl(static_cast<SDL_Scancode>(-1)), 0);
    EXPECT_EQ(ScanCodeOfSdl(SDL_NUM_SCANCODES), 0);
}

} // namespace
