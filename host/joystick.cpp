// GLFW 2 reported the odd axes with up positive; GLFW 3 reports them with down positive. The
// framework and the game were written against the old sense, so those axes are negated here.
#include "host/joystick.h"

// GLFW_INCLUDE_NONE: only GLFW_PRESS is needed, not the OpenGL headers.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

void nx_joystick_Set(Array<float>& values, float left, float right) {
  if (values.Length() > 0) values[0] = left;
  if (values.Length() > 1) values[1] = right;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

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

void nx_joystick_Clear(Array<float> joyx, Array<float> joyy, Array<float> joyz,
                       Array<bool> buttonState) {
  nx_joystick_Set(joyx, 0.0f, 0.0f);
  nx_joystick_Set(joyy, 0.0f, 0.0f);
  nx_joystick_Set(joyz, 0.0f, 0.0f);
  for (int i = 0; i < buttonState.Length(); ++i) buttonState[i] = false;
}
