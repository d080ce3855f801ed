// The joystick arrangement, the gamepad numbering and the GLFW joystick table.
#include "host/joystick.h"

// GLFW_INCLUDE_NONE: the joystick calls and constants only, not the OpenGL headers.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "runtime/string.h"

// ---------------------------------------------------------------------------------------------
// Globals

NxJoystickSeam nx_joystick_table = nx_joystick_Real();

namespace {

// The game's number for each of GLFW's gamepad buttons, in GLFW's order: A, B, X, Y, left and
// right shoulder, Back, Start, Guide, left and right stick click, d-pad up, right, down, left.
// The game steers with 8 to 11 and pauses with 6, 7 and 14, so those must be the d-pad and
// the menu buttons whatever the pad's raw numbering.
constexpr int nx_joystick_gamepadButtons[GLFW_GAMEPAD_BUTTON_LAST + 1] = {
    0, 1, 2, 3, 4, 5, 6, 7, 14, 12, 13, 9, 10, 11, 8};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

void nx_joystick_Set(Array<float>& values, float left, float right) {
  if (values.Length() > 0) values[0] = left;
  if (values.Length() > 1) values[1] = right;
}

// GLFW reports a trigger from -1 at rest to 1 fully pulled; a cleared unit's 0 must read as
// released, so the range becomes 0 to 1.
float nx_joystick_Trigger(float value) {
  return (value + 1.0f) * 0.5f;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

NxJoystickSeam nx_joystick_Real() {
  NxJoystickSeam table;
  table.JoystickPresent = glfwJoystickPresent;
  table.JoystickIsGamepad = glfwJoystickIsGamepad;
  table.GetGamepadState = glfwGetGamepadState;
  table.GetJoystickAxes = glfwGetJoystickAxes;
  table.GetJoystickButtons = glfwGetJoystickButtons;
  table.UpdateGamepadMappings = glfwUpdateGamepadMappings;
  return table;
}

// GLFW 2 reported the odd axes with up positive; GLFW 3 reports them with down positive. The
// framework and the game were written against the old sense, so those axes are negated here.
void nx_joystick_Arrange(const float* axes, int axisCount, const unsigned char* buttons,
                         int buttonCount, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                         Array<bool> buttonState) {
  float p[nx_joystick_maxAxes] = {0, 0, 0, 0, 0, 0};
  int axesRead = std::clamp(axisCount, 0, nx_joystick_maxAxes);
  for (int i = 0; i < axesRead; ++i) p[i] = (i % 2 == 1) ? -axes[i] : axes[i];

  if (axisCount == 4) {
    nx_joystick_Set(joyx, p[0], p[3]);
    nx_joystick_Set(joyy, p[1], p[2]);
    nx_joystick_Set(joyz, 0.0f, p[5]);
  } else if (axisCount == 5) {
    nx_joystick_Set(joyx, p[0], p[4]);
    nx_joystick_Set(joyy, p[1], p[3]);
    nx_joystick_Set(joyz, p[2], p[5]);
  } else {
    nx_joystick_Set(joyx, p[0], p[3]);
    nx_joystick_Set(joyy, p[1], p[4]);
    nx_joystick_Set(joyz, p[2], p[5]);
  }

  int buttonsRead =
      std::min(std::clamp(buttonCount, 0, nx_joystick_maxButtons), buttonState.Length());
  for (int i = 0; i < buttonsRead; ++i) buttonState[i] = buttons[i] == GLFW_PRESS;
}

void nx_joystick_ArrangeGamepad(const GLFWgamepadstate& state, Array<float> joyx, Array<float> joyy,
                                Array<float> joyz, Array<bool> buttonState) {
  const float* axes = state.axes;
  nx_joystick_Set(joyx, axes[GLFW_GAMEPAD_AXIS_LEFT_X], axes[GLFW_GAMEPAD_AXIS_RIGHT_X]);
  nx_joystick_Set(joyy, -axes[GLFW_GAMEPAD_AXIS_LEFT_Y], -axes[GLFW_GAMEPAD_AXIS_RIGHT_Y]);
  nx_joystick_Set(joyz, nx_joystick_Trigger(axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER]),
                  nx_joystick_Trigger(axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER]));
  for (int i = 0; i < buttonState.Length(); ++i) buttonState[i] = false;
  for (int button = 0; button <= GLFW_GAMEPAD_BUTTON_LAST; ++button) {
    int number = nx_joystick_gamepadButtons[button];
    if (number < buttonState.Length()) buttonState[number] = state.buttons[button] == GLFW_PRESS;
  }
}

void nx_joystick_Clear(Array<float> joyx, Array<float> joyy, Array<float> joyz,
                       Array<bool> buttonState) {
  nx_joystick_Set(joyx, 0.0f, 0.0f);
  nx_joystick_Set(joyy, 0.0f, 0.0f);
  nx_joystick_Set(joyz, 0.0f, 0.0f);
  for (int i = 0; i < buttonState.Length(); ++i) buttonState[i] = false;
}

bool nx_joystick_LoadMappings(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  std::vector<unsigned char> bytes;
  bool complete = nx_string_ReadAll(file, bytes);
  std::fclose(file);
  if (!complete) return false;
  // GLFW reads a C string: the text ends at its terminator (or at a NUL inside the file).
  bytes.push_back(0);
  return nx_joystick_table.UpdateGamepadMappings(reinterpret_cast<const char*>(bytes.data())) ==
         GLFW_TRUE;
}
