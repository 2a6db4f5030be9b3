#pragma once
// The keyboard as an instrument: four rows of note keys, columns are semitones; and what the
// keys pressed in a frame do to the Game.

#include "framework/input/KeyCode.h"

#include <array>
#include <span>

namespace Pakemino
{

using Qorv::Input::KeyCode;
namespace Keys = Qorv::Input;

inline constexpr std::array<KeyCode, 11> NoteRow0 = {
    Keys::KeyZ, Keys::KeyX,     Keys::KeyC,      Keys::KeyV,     Keys::KeyB,        Keys::KeyN,
    Keys::KeyM, Keys::KeyComma, Keys::KeyPeriod, Keys::KeySlash, Keys::KeyBackslash};
inline constexpr std::array<KeyCode, 12> NoteRow1 = {
    Keys::KeyA, Keys::KeyS, Keys::KeyD, Keys::KeyF,         Keys::KeyG,     Keys::KeyH,
    Keys::KeyJ, Keys::KeyK, Keys::KeyL, Keys::KeySemicolon, Keys::KeyColon, Keys::KeyRBracket};
inline constexpr std::array<KeyCode, 12> NoteRow2 = {
    Keys::KeyQ, Keys::KeyW, Keys::KeyE, Keys::KeyR, Keys::KeyT,  Keys::KeyY,
    Keys::KeyU, Keys::KeyI, Keys::KeyO, Keys::KeyP, Keys::KeyAt, Keys::KeyLBracket};
inline constexpr std::array<KeyCode, 13> NoteRow3 = {
    Keys::Key1,     Keys::Key2,          Keys::Key3,  Keys::Key4, Keys::Key5,
    Keys::Key6,     Keys::Key7,          Keys::Key8,  Keys::Key9, Keys::Key0,
    Keys::KeyMinus, Keys::KeyCircumflex, Keys::KeyYen};

// Row r plays syllable r; the order here is the order keys are polled.
inline constexpr std::array<std::span<const KeyCode>, 4> NoteRows = {NoteRow0, NoteRow1, NoteRow2,
                                                                     NoteRow3};

inline constexpr std::array<KeyCode, 8> StepKeys = {Keys::KeyF1, Keys::KeyF2, Keys::KeyF3,
                                                    Keys::KeyF4, Keys::KeyF5, Keys::KeyF6,
                                                    Keys::KeyF7, Keys::KeyF8};

// Keypad digits 1..9 select tracks 0..8.
inline constexpr std::array<KeyCode, 9> TrackKeys = {
    Keys::KeyNumpad1, Keys::KeyNumpad2, Keys::KeyNumpad3, Keys::KeyNumpad4, Keys::KeyNumpad5,
    Keys::KeyNumpad6, Keys::KeyNumpad7, Keys::KeyNumpad8, Keys::KeyNumpad9};

class Game;

// Every key the Game knows, asked once in a fixed order whether it went down in this frame.
void HandleKeys(Game& game);

} // namespace Pakemino
