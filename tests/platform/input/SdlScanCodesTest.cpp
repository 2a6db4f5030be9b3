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

// Keys, by their SDL names, whose codes here run on by one from first.
void ExpectRun(std::initializer_list<const char*> sdlNames, KeyCode first)
{
    std::vector<Expected> keys;
    for (const char* name : sdlNames)
    {
        keys.push_back({SDL_GetScancodeFromName(name), static_cast<KeyCode>(first + keys.size())});
    }
    ExpectKeys(keys);
}

TEST(SdlScanCodes, InstrumentRowsReadAsOnAJapaneseKeyboard)
{
    // Left to right, as the rows are played; the last keys exist only on Japanese keyboards.
    ExpectRun({"Z", "X", "C", "V", "B", "N", "M", ",", ".", "/"}, KeyZ);
    ExpectKeys({{SDL_SCANCODE_INTERNATIONAL1, KeyBackslash}});
    ExpectRun({"A", "S", "D", "F", "G", "H", "J", "K", "L", ";"}, KeyA);
    ExpectKeys({{SDL_SCANCODE_APOSTROPHE, KeyColon},
                {SDL_SCANCODE_BACKSLASH, KeyRBracket},
                {SDL_SCANCODE_NONUSHASH, KeyRBracket}});
    ExpectRun({"Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P"}, KeyQ);
    ExpectKeys({{SDL_SCANCODE_LEFTBRACKET, KeyAt}, {SDL_SCANCODE_RIGHTBRACKET, KeyLBracket}});
    ExpectRun({"1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-"}, Key1);
    ExpectKeys({{SDL_SCANCODE_EQUALS, KeyCircumflex}, {SDL_SCANCODE_INTERNATIONAL3, KeyYen}});
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
    ExpectRun({"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10"}, KeyF1);
    ExpectRun({"F11", "F12", "F13", "F14", "F15"}, KeyF11);
    ExpectRun({"Keypad 7", "Keypad 8", "Keypad 9", "Keypad -", "Keypad 4", "Keypad 5", "Keypad 6",
               "Keypad +", "Keypad 1", "Keypad 2", "Keypad 3", "Keypad 0", "Keypad ."},
              KeyNumpad7);
    ExpectKeys({{SDL_SCANCODE_NUMLOCKCLEAR, KeyNumLock},
                {SDL_SCANCODE_KP_DIVIDE, KeyDivide},
                {SDL_SCANCODE_KP_MULTIPLY, KeyMultiply},
                {SDL_SCANCODE_KP_ENTER, KeyNumpadEnter},
                {SDL_SCANCODE_KP_EQUALS, KeyNumpadEquals},
                {SDL_SCANCODE_KP_COMMA, KeyNumpadComma}});
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
    ExpectKeys({{SDL_SCANCODE_AC_HOME, KeyWebHome}});
    ExpectRun({"AC Search", "AC Bookmarks", "AC Refresh", "AC Stop", "AC Forward", "AC Back"},
              KeyWebSearch);
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
