// The input device: key codes, hit and character queues, pointer and touch mirrors, and the
// joystick polling that turns buttons into key codes.
#include "framework/input.h"

// <cstdint> for forming codes from outside values without signed overflow.
#include <cstdint>

#include "framework/app.h"
#include "host/game.h"

// ---------------------------------------------------------------------------------------------
// Globals

c_InputDevice* nx_input_device = nullptr;

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

constexpr int nx_input_LeftButton = 1;
constexpr int nx_input_FirstFinger = c_InputDevice::TouchKeyBase;

bool nx_input_ValidCode(int64_t code) {
  return code >= 1 && code < c_InputDevice::KeyCodes;
}
bool nx_input_ValidFinger(int finger) {
  return finger >= 0 && finger < c_InputDevice::Fingers;
}

// A bitwise combination, not a sum, so buttons past 31 overlap the unit bits; done unsigned
// because a negative unit shifted left would be undefined.
int nx_input_JoystickCode(int button, int unit) {
  uint32_t code = static_cast<uint32_t>(button) | 256u | (static_cast<uint32_t>(unit) << 5);
  return static_cast<int>(code);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

// c_JoyState

c_JoyState::c_JoyState()
    : m_joyx(2), m_joyy(2), m_joyz(2), m_buttons(c_InputDevice::JoystickButtons) {}

c_JoyState* c_JoyState::m_new() {
  return this;
}

void c_JoyState::mark() {
  gc_mark_q(m_joyx);
  gc_mark_q(m_joyy);
  gc_mark_q(m_joyz);
  gc_mark_q(m_buttons);
}

// c_InputDevice

c_InputDevice::c_InputDevice()
    : m_joyStates(JoystickUnits),
      m_keyDown(KeyCodes),
      m_keyHitQueue(HitQueueLength),
      m_keyHit(KeyCodes),
      m_charQueue(CharQueueLength),
      m_rawTouchX(Fingers),
      m_rawTouchY(Fingers) {}

c_InputDevice* c_InputDevice::m_new() {
  for (int unit = 0; unit < JoystickUnits; ++unit) {
    gc_assign(m_joyStates[unit], gc_new<c_JoyState>()->m_new());
  }
  return this;
}

void c_InputDevice::mark() {
  gc_mark_q(m_joyStates);
  gc_mark_q(m_keyDown);
  gc_mark_q(m_keyHitQueue);
  gc_mark_q(m_keyHit);
  gc_mark_q(m_charQueue);
  gc_mark_q(m_rawTouchX);
  gc_mark_q(m_rawTouchY);
}

void c_InputDevice::p_PutKeyHit(int code) {
  if (!nx_input_ValidCode(code)) return;
  if (m_keyHitPut == m_keyHitQueue.Length()) return;
  m_keyHit[code] += 1;
  m_keyHitQueue[m_keyHitPut] = code;
  m_keyHitPut += 1;
}

// The left button and finger 0 are one pointer seen under two codes, so each press of one
// also presses (and hits) the other.
void c_InputDevice::p_PressKey(int code) {
  if (!nx_input_ValidCode(code) || m_keyDown[code]) return;
  m_keyDown[code] = true;
  p_PutKeyHit(code);
  if (code == nx_input_LeftButton) {
    m_keyDown[nx_input_FirstFinger] = true;
    p_PutKeyHit(nx_input_FirstFinger);
  } else if (code == nx_input_FirstFinger) {
    m_keyDown[nx_input_LeftButton] = true;
    p_PutKeyHit(nx_input_LeftButton);
  }
}

void c_InputDevice::p_ReleaseKey(int code) {
  if (!nx_input_ValidCode(code) || !m_keyDown[code]) return;
  m_keyDown[code] = false;
  if (code == nx_input_LeftButton) m_keyDown[nx_input_FirstFinger] = false;
  if (code == nx_input_FirstFinger) m_keyDown[nx_input_LeftButton] = false;
}

void c_InputDevice::p_PlaceFinger(int finger, float x, float y) {
  m_rawTouchX[finger] = x;
  m_rawTouchY[finger] = y;
  if (finger == 0) {
    m_rawMouseX = x;
    m_rawMouseY = y;
  }
}

void c_InputDevice::p_KeyEvent(int event, int data) {
  switch (event) {
    case c_NxGameEvent::KeyDown:
      p_PressKey(data);
      break;
    case c_NxGameEvent::KeyUp:
      p_ReleaseKey(data);
      break;
    case c_NxGameEvent::KeyChar:
      if (m_charPut < m_charQueue.Length()) {
        m_charQueue[m_charPut] = data;
        m_charPut += 1;
      }
      break;
    default:
      break;
  }
}

void c_InputDevice::p_MouseEvent(int event, int data, float x, float y) {
  switch (event) {
    case c_NxGameEvent::MouseDown:
      if (!nx_input_ValidCode(static_cast<int64_t>(data) + 1)) return;
      p_PressKey(data + 1);
      p_PlaceFinger(0, x, y);
      break;
    case c_NxGameEvent::MouseUp:
      if (!nx_input_ValidCode(static_cast<int64_t>(data) + 1)) return;
      p_ReleaseKey(data + 1);
      break;
    case c_NxGameEvent::MouseMove:
      p_PlaceFinger(0, x, y);
      break;
    default:
      break;
  }
}

void c_InputDevice::p_TouchEvent(int event, int data, float x, float y) {
  if (!nx_input_ValidFinger(data)) return;
  switch (event) {
    case c_NxGameEvent::TouchDown:
      p_PressKey(TouchKeyBase + data);
      p_PlaceFinger(data, x, y);
      break;
    case c_NxGameEvent::TouchUp:
      p_ReleaseKey(TouchKeyBase + data);
      break;
    case c_NxGameEvent::TouchMove:
      p_PlaceFinger(data, x, y);
      break;
    default:
      break;
  }
}

void c_InputDevice::p_MotionEvent(int event, int, float x, float y, float z) {
  if (event != c_NxGameEvent::MotionAccel) return;
  m_accelX = x;
  m_accelY = y;
  m_accelZ = z;
}

// Polling stops at the first unit without a joystick: the host numbers joysticks densely.
// The buttons of that unit and the later ones are released and their sticks centred, since
// nothing reports them any more: a pad unplugged with a button held or a stick pushed would
// otherwise hold it for good.
void c_InputDevice::p_BeginUpdate() {
  if (nx_app__game == nullptr) return;
  for (int unit = 0; unit < JoystickUnits; ++unit) {
    c_JoyState* state = m_joyStates[unit];
    if (!nx_app__game->PollJoystick(unit, state->m_joyx, state->m_joyy, state->m_joyz,
                                    state->m_buttons)) {
      int first = JoystickKeyBase + JoystickButtons * unit;
      int end = JoystickKeyBase + JoystickButtons * JoystickUnits;
      for (int code = first; code < end; ++code) m_keyDown[code] = false;
      for (int idleUnit = unit; idleUnit < JoystickUnits; ++idleUnit) {
        c_JoyState* idleState = m_joyStates[idleUnit];
        for (Array<float> axes : {idleState->m_joyx, idleState->m_joyy, idleState->m_joyz}) {
          for (int axis = 0; axis < axes.Length(); ++axis) axes[axis] = 0.0f;
        }
      }
      break;
    }
    for (int button = 0; button < JoystickButtons; ++button) {
      int code = JoystickKeyBase + JoystickButtons * unit + button;
      if (state->m_buttons[button]) {
        if (!m_keyDown[code]) {
          m_keyDown[code] = true;
          p_PutKeyHit(code);
        }
      } else {
        m_keyDown[code] = false;
      }
    }
  }
}

// One store per queued hit instead of a sweep over all 512 counters.
void c_InputDevice::p_EndUpdate() {
  for (int i = 0; i < m_keyHitPut; ++i) m_keyHit[m_keyHitQueue[i]] = 0;
  m_keyHitPut = 0;
  m_charGet = 0;
  m_charPut = 0;
}

bool c_InputDevice::p_KeyDown(int code) {
  return nx_input_ValidCode(code) && m_keyDown[code];
}

int c_InputDevice::p_KeyHit(int code) {
  return nx_input_ValidCode(code) ? m_keyHit[code] : 0;
}

int c_InputDevice::p_GetChar() {
  if (m_charGet == m_charPut) return 0;
  int character = m_charQueue[m_charGet];
  m_charGet += 1;
  return character;
}

float c_InputDevice::p_MouseX() {
  return m_rawMouseX;
}

float c_InputDevice::p_MouseY() {
  return m_rawMouseY;
}

float c_InputDevice::p_TouchX(int finger) {
  return nx_input_ValidFinger(finger) ? m_rawTouchX[finger] : 0.0f;
}

float c_InputDevice::p_TouchY(int finger) {
  return nx_input_ValidFinger(finger) ? m_rawTouchY[finger] : 0.0f;
}

float c_InputDevice::p_JoyX(int index, int unit) {
  return m_joyStates[unit]->m_joyx[index];
}

float c_InputDevice::p_JoyY(int index, int unit) {
  return m_joyStates[unit]->m_joyy[index];
}

float c_InputDevice::p_AccelX() {
  return m_accelX;
}

float c_InputDevice::p_AccelY() {
  return m_accelY;
}

bool c_InputDevice::p_SetKeyboardEnabled(bool on) {
  if (nx_app__game != nullptr) nx_app__game->SetKeyboardEnabled(on);
  return true;
}

// Module functions

void nx_input_MarkRoots() {
  gc_mark_q(nx_input_device);
}

void nx_input_SetInputDevice(c_InputDevice* device) {
  gc_assign(nx_input_device, device);
}

bool nx_input_KeyDown(int code) {
  return nx_input_device != nullptr && nx_input_device->p_KeyDown(code);
}

int nx_input_KeyHit(int code) {
  return nx_input_device != nullptr ? nx_input_device->p_KeyHit(code) : 0;
}

float nx_input_MouseX() {
  return nx_input_device != nullptr ? nx_input_device->p_MouseX() : 0.0f;
}

float nx_input_MouseY() {
  return nx_input_device != nullptr ? nx_input_device->p_MouseY() : 0.0f;
}

bool nx_input_MouseDown(int button) {
  return button >= 0 && button <= 510 && nx_input_KeyDown(button + 1);
}

int nx_input_MouseHit(int button) {
  return button >= 0 && button <= 510 ? nx_input_KeyHit(button + 1) : 0;
}

float nx_input_TouchX(int finger) {
  return nx_input_device != nullptr ? nx_input_device->p_TouchX(finger) : 0.0f;
}

float nx_input_TouchY(int finger) {
  return nx_input_device != nullptr ? nx_input_device->p_TouchY(finger) : 0.0f;
}

bool nx_input_TouchDown(int finger) {
  int64_t code = static_cast<int64_t>(c_InputDevice::TouchKeyBase) + finger;
  return nx_input_ValidCode(code) && nx_input_KeyDown(static_cast<int>(code));
}

float nx_input_JoyX(int index, int unit) {
  return nx_input_device != nullptr ? nx_input_device->p_JoyX(index, unit) : 0.0f;
}

float nx_input_JoyY(int index, int unit) {
  return nx_input_device != nullptr ? nx_input_device->p_JoyY(index, unit) : 0.0f;
}

bool nx_input_JoyDown(int button, int unit) {
  return nx_input_KeyDown(nx_input_JoystickCode(button, unit));
}

int nx_input_JoyHit(int button, int unit) {
  return nx_input_KeyHit(nx_input_JoystickCode(button, unit));
}

float nx_input_AccelX() {
  return nx_input_device != nullptr ? nx_input_device->p_AccelX() : 0.0f;
}

float nx_input_AccelY() {
  return nx_input_device != nullptr ? nx_input_device->p_AccelY() : 0.0f;
}

int nx_input_GetChar() {
  return nx_input_device != nullptr ? nx_input_device->p_GetChar() : 0;
}

int nx_input_EnableKeyboard() {
  if (nx_input_device != nullptr) nx_input_device->p_SetKeyboardEnabled(true);
  return 1;
}

int nx_input_DisableKeyboard() {
  if (nx_input_device != nullptr) nx_input_device->p_SetKeyboardEnabled(false);
  return 1;
}
