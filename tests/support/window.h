// Opens a small window with a current OpenGL context on the test display, for the tests that
// draw through the real device and read the pixels back.
#pragma once

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cstdlib>

// glfwGraphicsSeq: the device re-creates its textures when the context changes.
#include "host/glfw_game.h"

// ---------------------------------------------------------------------------------------------
// Public functions

// Null when there is no display or no such window: the caller skips. Every call is a new
// context, exactly as when the game switches to fullscreen.
inline GLFWwindow* OpenTestWindow(int width, int height) {
  if (std::getenv("DISPLAY") == nullptr || glfwInit() != GLFW_TRUE) return nullptr;
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  glfwWindowHint(GLFW_ALPHA_BITS, 0);
  GLFWwindow* window = glfwCreateWindow(width, height, "test", nullptr, nullptr);
  if (window == nullptr) return nullptr;
  glfwMakeContextCurrent(window);
  ++glfwGraphicsSeq;
  return window;
}
