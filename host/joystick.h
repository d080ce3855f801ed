// Joysticks and gamepads arranged into the input device's per-unit arrays, with the GLFW
// joystick calls behind one table so that tests can play recorded pads.
#pragma once

#include "runtime/array.h"

// Only passed by pointer or reference here; the definition stays in <GLFW/glfw3.h>.
struct GLFWgamepadstate;

// ---------------------------------------------------------------------------------------------
// Types

struct NxJoystickSeam {
  int (*JoystickPresent)(int port);
  // Whether GLFW's mapping database knows the pad, so its buttons have standard names.
  int (*JoystickIsGamepad)(int port);
  int (*GetGamepadState)(int port, GLFWgamepadstate* state);
  const float* (*GetJoystickAxes)(int port, int* count);
  const unsigned char* (*GetJoystickButtons)(int port, int* count);
  // Adds or replaces gamepad mappings, one line of GLFW's mapping format each.
  int (*UpdateGamepadMappings)(const char* text);
};

// ---------------------------------------------------------------------------------------------
// Globals

// The most axes and buttons a unit has room for.
constexpr int nx_joystick_maxAxes = 6;
constexpr int nx_joystick_maxButtons = 32;

// The table in force. It starts as the real one; a test copies it, changes entries and puts
// the copy back when done.
extern NxJoystickSeam nx_joystick_table;

// ---------------------------------------------------------------------------------------------
// Functions

// The table that calls the real GLFW.
NxJoystickSeam nx_joystick_Real();
// Fills one unit from a raw reading as GLFW 3 reports it (`axes` and `buttons` may hold more
// than the unit has room for; the extra ones are ignored). Index 0 of the axis arrays is the
// left stick, index 1 the right stick; arrays shorter than that are left alone past their end.
void nx_joystick_Arrange(const float* axes, int axisCount, const unsigned char* buttons,
                         int buttonCount, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                         Array<bool> buttonState);
// Fills one unit from a recognised gamepad: its buttons in the game's numbering (A 0, B 1,
// X 2, Y 3, shoulders 4 and 5, Back 6, Start 7, d-pad left, up, right, down 8 to 11, stick
// clicks 12 and 13, Guide 14), the sticks with up positive, the triggers as the z values from
// 0 at rest to 1 fully pulled.
void nx_joystick_ArrangeGamepad(const GLFWgamepadstate& state, Array<float> joyx, Array<float> joyy,
                                Array<float> joyz, Array<bool> buttonState);
// The state of a unit whose pad has gone: no button held, every axis centred.
void nx_joystick_Clear(Array<float> joyx, Array<float> joyy, Array<float> joyz,
                       Array<bool> buttonState);
// Hands the mapping lines of a text file to GLFW, for pads its own database does not know.
// False when the file cannot be read (it is optional) or GLFW refuses the text.
bool nx_joystick_LoadMappings(const char* path);
