#pragma once
// The snapshot records, laid out as the platform's immediate-state records so that one device
// read fills each directly.

#include "platform/input/DInput.h"

#include <array>
#include <cstdint>

namespace Qorv::Input
{

// One byte per scan code; bit 7 set while the key is down.
using KeyboardState = std::array<uint8_t, 256>;
// Relative X, Y and wheel, then 8 button bytes.
using MouseState = DIMOUSESTATE2;
// Absolute axes, sliders, point-of-view angles, then 32 button bytes.
using JoystickState = DIJOYSTATE;
// The counts of a controller's axes, buttons and point-of-view controls, among others.
using JoystickCaps = DIDEVCAPS;

static_assert(sizeof(KeyboardState) == 256);
static_assert(sizeof(MouseState) == 20);
static_assert(sizeof(JoystickState) == 80);
static_assert(sizeof(JoystickCaps) == 44);

} // namespace Qorv::Input
