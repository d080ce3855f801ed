// The browser's GLFW is version 3.2, which lacks the gamepad calls of 3.3 that the host reads
// pads through. This header stands in front of it and adds their declarations; the page's
// gamepad support answers them (host/web/gamepad.cpp).
#pragma once

#include_next <GLFW/glfw3.h>

#if GLFW_VERSION_MAJOR == 3 && GLFW_VERSION_MINOR < 3

#define GLFW_JOYSTICK_HAT_BUTTONS 0x00050001

#define GLFW_GAMEPAD_BUTTON_A 0
#define GLFW_GAMEPAD_BUTTON_B 1
#define GLFW_GAMEPAD_BUTTON_X 2
#define GLFW_GAMEPAD_BUTTON_Y 3
#define GLFW_GAMEPAD_BUTTON_LEFT_BUMPER 4
#define GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER 5
#define GLFW_GAMEPAD_BUTTON_BACK 6
#define GLFW_GAMEPAD_BUTTON_START 7
#define GLFW_GAMEPAD_BUTTON_GUIDE 8
#define GLFW_GAMEPAD_BUTTON_LEFT_THUMB 9
#define GLFW_GAMEPAD_BUTTON_RIGHT_THUMB 10
#define GLFW_GAMEPAD_BUTTON_DPAD_UP 11
#define GLFW_GAMEPAD_BUTTON_DPAD_RIGHT 12
#define GLFW_GAMEPAD_BUTTON_DPAD_DOWN 13
#define GLFW_GAMEPAD_BUTTON_DPAD_LEFT 14
#define GLFW_GAMEPAD_BUTTON_LAST GLFW_GAMEPAD_BUTTON_DPAD_LEFT

#define GLFW_GAMEPAD_AXIS_LEFT_X 0
#define GLFW_GAMEPAD_AXIS_LEFT_Y 1
#define GLFW_GAMEPAD_AXIS_RIGHT_X 2
#define GLFW_GAMEPAD_AXIS_RIGHT_Y 3
#define GLFW_GAMEPAD_AXIS_LEFT_TRIGGER 4
#define GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER 5
#define GLFW_GAMEPAD_AXIS_LAST GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER

#ifdef __cplusplus
extern "C" {
#endif

typedef struct GLFWgamepadstate {
  unsigned char buttons[15];
  float axes[6];
} GLFWgamepadstate;

// Init hints have nothing to set in a page; accepted and ignored.
void glfwInitHint(int hint, int value);
// A pad counts as a gamepad when the browser reports it in its standard layout.
int glfwJoystickIsGamepad(int jid);
int glfwGetGamepadState(int jid, GLFWgamepadstate* state);
// The browser maps pads itself; mapping text is accepted and ignored.
int glfwUpdateGamepadMappings(const char* text);

#ifdef __cplusplus
}
#endif

#endif
