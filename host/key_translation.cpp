// GLFW 3 renumbered its keys, so the table is built from the constants' names rather than
// from the old numeric layout; what the framework receives is unchanged.
#include "host/glfw_game.h"

// GLFW_INCLUDE_NONE: only the key constants are needed here, not the OpenGL headers.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

// ---------------------------------------------------------------------------------------------
// Public functions

int NxGlfwGame::TransKey(int key) {
  if ((key >= GLFW_KEY_0 && key <= GLFW_KEY_9) || (key >= GLFW_KEY_A && key <= GLFW_KEY_Z)) {
    return key;
  }
  if (key >= GLFW_KEY_F1 && key <= GLFW_KEY_F12) return 112 + (key - GLFW_KEY_F1);
  switch (key) {
    case GLFW_KEY_SPACE:
      return 32;
    case GLFW_KEY_APOSTROPHE:
      return 222;
    case GLFW_KEY_COMMA:
      return 188;
    case GLFW_KEY_MINUS:
      return 189;
    case GLFW_KEY_PERIOD:
      return 190;
    case GLFW_KEY_SLASH:
      return 191;
    case GLFW_KEY_SEMICOLON:
      return 186;
    case GLFW_KEY_EQUAL:
      return 187;
    case GLFW_KEY_LEFT_BRACKET:
      return 219;
    case GLFW_KEY_BACKSLASH:
      return 220;
    case GLFW_KEY_RIGHT_BRACKET:
      return 221;
    case GLFW_KEY_GRAVE_ACCENT:
      return 192;
    case GLFW_KEY_ESCAPE:
      return 27;
    case GLFW_KEY_UP:
      return 38;
    case GLFW_KEY_DOWN:
      return 40;
    case GLFW_KEY_LEFT:
      return 37;
    case GLFW_KEY_RIGHT:
      return 39;
    case GLFW_KEY_LEFT_SHIFT:
    case GLFW_KEY_RIGHT_SHIFT:
      return 16;
    case GLFW_KEY_LEFT_CONTROL:
    case GLFW_KEY_RIGHT_CONTROL:
      return 17;
    case GLFW_KEY_TAB:
      return 9;
    case GLFW_KEY_ENTER:
      return 13;
    case GLFW_KEY_BACKSPACE:
      return 8;
    case GLFW_KEY_INSERT:
      return 45;
    case GLFW_KEY_DELETE:
      return 46;
    case GLFW_KEY_PAGE_UP:
      return 33;
    case GLFW_KEY_PAGE_DOWN:
      return 34;
    case GLFW_KEY_HOME:
      return 36;
    case GLFW_KEY_END:
      return 35;
    default:
      return 0;
  }
}

int NxGlfwGame::KeyToChar(int code) {
  switch (code) {
    case 8:
    case 9:
    case 13:
    case 27:
      return code;
    case 46:
      return 127;
    case 45:
      return 65536 + code;
    default:
      return code >= 33 && code <= 40 ? 65536 + code : 0;
  }
}
