// The input device: turns the host's key, mouse, touch, motion and joystick input into the
// state the game polls once per update, every digital input as one of 512 key codes.
#pragma once

#include "runtime/array.h"
#include "runtime/object.h"

// ---------------------------------------------------------------------------------------------
// Types

// One joystick unit as the host last reported it. Index 0 of each axis array is the left
// stick (first axis set), index 1 the right stick.
class c_JoyState : public Object {
 public:
  Array<float> m_joyx;
  Array<float> m_joyy;
  Array<float> m_joyz;
  Array<bool> m_buttons;

  c_JoyState();
  c_JoyState* m_new();
  void mark() override;
};

class c_InputDevice : public Object {
 public:
  static constexpr int KeyCodes = 512;
  static constexpr int HitQueueLength = 33;
  static constexpr int CharQueueLength = 32;
  static constexpr int Fingers = 32;
  static constexpr int JoystickUnits = 4;
  static constexpr int JoystickButtons = 32;
  static constexpr int JoystickKeyBase = 256;
  static constexpr int TouchKeyBase = 384;

  Array<c_JoyState*> m_joyStates;
  Array<bool> m_keyDown;
  int m_keyHitPut = 0;
  Array<int> m_keyHitQueue;
  Array<int> m_keyHit;
  int m_charGet = 0;
  int m_charPut = 0;
  Array<int> m_charQueue;
  float m_rawMouseX = 0.0f;
  float m_rawMouseY = 0.0f;
  Array<float> m_rawTouchX;
  Array<float> m_rawTouchY;
  float m_accelX = 0.0f;
  float m_accelY = 0.0f;
  float m_accelZ = 0.0f;

  c_InputDevice();
  // Creates the four joystick states.
  c_InputDevice* m_new();
  void mark() override;

  // Event handlers (event codes of c_NxGameEvent). Codes outside 1 to 511 and fingers
  // outside 0 to 31 are ignored.
  void p_KeyEvent(int event, int data);
  void p_MouseEvent(int event, int data, float x, float y);
  void p_TouchEvent(int event, int data, float x, float y);
  void p_MotionEvent(int event, int data, float x, float y, float z);
  // Counts and queues one hit; silently dropped once 33 hits wait for the next update.
  void p_PutKeyHit(int code);

  // Around every application update: joystick presses become key hits before it, and its
  // hits and characters are cleared after it.
  void p_BeginUpdate();
  void p_EndUpdate();

  bool p_KeyDown(int code);
  int p_KeyHit(int code);
  // The next typed character, 0 when none is left.
  int p_GetChar();
  float p_MouseX();
  float p_MouseY();
  float p_TouchX(int finger);
  float p_TouchY(int finger);
  // The caller keeps unit in 0 to 3 and index in 0 to 1.
  float p_JoyX(int index, int unit);
  float p_JoyY(int index, int unit);
  float p_AccelX();
  float p_AccelY();
  bool p_SetKeyboardEnabled(bool on);

 private:
  void p_PressKey(int code);
  void p_ReleaseKey(int code);
  void p_PlaceFinger(int finger, float x, float y);
};

// ---------------------------------------------------------------------------------------------
// Globals

extern c_InputDevice* nx_input_device;

// ---------------------------------------------------------------------------------------------
// Functions

// Greys the module's global device; registered as a collector root by nxInit.
void nx_input_MarkRoots();

// The module functions read nx_input_device; before a device exists they report nothing
// pressed and zero positions.
void nx_input_SetInputDevice(c_InputDevice* device);
bool nx_input_KeyDown(int code);
int nx_input_KeyHit(int code);
float nx_input_MouseX();
float nx_input_MouseY();
bool nx_input_MouseDown(int button);
int nx_input_MouseHit(int button);
float nx_input_TouchX(int finger);
float nx_input_TouchY(int finger);
bool nx_input_TouchDown(int finger);
float nx_input_JoyX(int index, int unit);
float nx_input_JoyY(int index, int unit);
// The joystick code is button | 256 | (unit << 5), a bitwise combination.
bool nx_input_JoyDown(int button, int unit);
int nx_input_JoyHit(int button, int unit);
float nx_input_AccelX();
float nx_input_AccelY();
int nx_input_GetChar();
int nx_input_EnableKeyboard();
int nx_input_DisableKeyboard();
