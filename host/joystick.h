// The arrangement of a joystick's axes and buttons into the input device's per-unit arrays.
#pragma once

#include "runtime/array.h"

// ---------------------------------------------------------------------------------------------
// Globals

// The most axes and buttons a unit has room for.
constexpr int nx_joystick_maxAxes = 6;
constexpr int nx_joystick_maxButtons = 32;

// ---------------------------------------------------------------------------------------------
// Functions

// Fills one unit from a reading as GLFW 3 reports it (`axes` and `buttons` may hold more than
// the unit has room for; the extra ones are ignored). Index 0 of the axis arrays is the left
// stick, index 1 the right stick; arrays shorter than that are left alone past their end.
void nx_joystick_Arrange(const float* axes, int axisCount, const unsigned char* buttons,
                         int buttonCount, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                         Array<bool> buttonState);
// The state of a unit whose pad has gone: no button held, every axis centred.
void nx_joystick_Clear(Array<float> joyx, Array<float> joyy, Array<float> joyz,
                       Array<bool> buttonState);
