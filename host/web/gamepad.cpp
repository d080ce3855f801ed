// GLFW 3.3's gamepad calls for the browser's GLFW 3.2, answered from the page's gamepad
// support. A pad in the browser's standard layout is a gamepad; its buttons and axes are
// handed over in GLFW's gamepad order, so the host numbers them as on the desktop.
#include <GLFW/glfw3.h>

// The page's gamepad readings.
#include <emscripten/html5.h>

#include <cstring>

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

// The standard layout's button for each of GLFW's gamepad buttons, in GLFW's order: A, B, X,
// Y, left and right shoulder, Back, Start, Guide, stick clicks, d-pad up, right, down, left.
// The standard layout's 6 and 7 are the triggers, read as axes.
constexpr int nx_web_standardButtons[GLFW_GAMEPAD_BUTTON_LAST + 1] = {0,  1,  2,  3,  4,  5,  8, 9,
                                                                      16, 10, 11, 12, 15, 13, 14};
constexpr int nx_web_leftTrigger = 6;
constexpr int nx_web_rightTrigger = 7;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// A fresh reading of the pad at `port`; false when there is none.
bool nx_web_ReadPad(int port, EmscriptenGamepadEvent& pad) {
  if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return false;
  if (port < 0 || port >= emscripten_get_num_gamepads()) return false;
  if (emscripten_get_gamepad_status(port, &pad) != EMSCRIPTEN_RESULT_SUCCESS) return false;
  return pad.connected != 0;
}

bool nx_web_IsStandard(const EmscriptenGamepadEvent& pad) {
  return std::strcmp(pad.mapping, "standard") == 0;
}

double nx_web_Axis(const EmscriptenGamepadEvent& pad, int axis) {
  return axis < pad.numAxes ? pad.axis[axis] : 0.0;
}

// A trigger from its analog value (0 at rest) to GLFW's range (-1 at rest).
float nx_web_Trigger(const EmscriptenGamepadEvent& pad, int button) {
  double value = button < pad.numButtons ? pad.analogButton[button] : 0.0;
  return static_cast<float>(value * 2.0 - 1.0);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

void glfwInitHint(int, int) {}

int glfwUpdateGamepadMappings(const char*) {
  return GLFW_TRUE;
}

int glfwJoystickIsGamepad(int jid) {
  EmscriptenGamepadEvent pad{};
  return nx_web_ReadPad(jid, pad) && nx_web_IsStandard(pad) ? GLFW_TRUE : GLFW_FALSE;
}

int glfwGetGamepadState(int jid, GLFWgamepadstate* state) {
  EmscriptenGamepadEvent pad{};
  if (state == nullptr || !nx_web_ReadPad(jid, pad) || !nx_web_IsStandard(pad)) return GLFW_FALSE;
  for (int button = 0; button <= GLFW_GAMEPAD_BUTTON_LAST; ++button) {
    int standard = nx_web_standardButtons[button];
    bool pressed = standard < pad.numButtons && pad.digitalButton[standard] != 0;
    state->buttons[button] = pressed ? GLFW_PRESS : GLFW_RELEASE;
  }
  state->axes[GLFW_GAMEPAD_AXIS_LEFT_X] = static_cast<float>(nx_web_Axis(pad, 0));
  state->axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = static_cast<float>(nx_web_Axis(pad, 1));
  state->axes[GLFW_GAMEPAD_AXIS_RIGHT_X] = static_cast<float>(nx_web_Axis(pad, 2));
  state->axes[GLFW_GAMEPAD_AXIS_RIGHT_Y] = static_cast<float>(nx_web_Axis(pad, 3));
  state->axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = nx_web_Trigger(pad, nx_web_leftTrigger);
  state->axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = nx_web_Trigger(pad, nx_web_rightTrigger);
  return GLFW_TRUE;
}
