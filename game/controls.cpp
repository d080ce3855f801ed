// The game's controls: virtual buttons merged from keys, joypads, sticks and slot presses, the
// steering vector, the hit tests of on-screen buttons and touch areas, the on-screen pad, tilt.
#include "game/my_app.h"

// <cmath> for the magnitudes of stick and tilt readings.
#include <cmath>
// <cstdint> for finger distances that cannot overflow whatever the positions are.
#include <cstdint>

#include "framework/input.h"
#include "game/globals.h"
#include "runtime/numbers.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

// Which stick direction also counts as a button in the menus.
enum class nx_Game_StickDirection { None, Up, Down, Left, Right };

// One virtual button and every source that presses it; 0 ends a list of key codes, -1 a list
// of joypad buttons or slots.
struct nx_Game_VirtualButton {
  int button;
  int keys[3];
  // Letter keys are iCade letters while iCade controls are on, so they count only when off.
  int letterKeys[2];
  int padButtons[3];
  nx_Game_StickDirection stick;
  int slots[3];
};

// A direction button of the on-screen pad: its picture, its place and the slot it presses.
struct nx_Game_PadDirection {
  int frame;
  float x;
  float y;
  int slot;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr nx_Game_VirtualButton nx_Game_VirtualButtons[] = {
    {0, {38, 0, 0}, {87, 0}, {9, -1, -1}, nx_Game_StickDirection::Up, {0, -1, -1}},
    {3, {37, 0, 0}, {65, 0}, {8, -1, -1}, nx_Game_StickDirection::Left, {3, -1, -1}},
    {5, {39, 0, 0}, {68, 0}, {10, -1, -1}, nx_Game_StickDirection::Right, {5, -1, -1}},
    {8, {40, 0, 0}, {83, 0}, {11, -1, -1}, nx_Game_StickDirection::Down, {8, -1, -1}},
    {10, {32, 13, 0}, {90, 74}, {0, -1, -1}, nx_Game_StickDirection::None, {10, -1, -1}},
    {11, {17, 0, 0}, {88, 75}, {1, -1, -1}, nx_Game_StickDirection::None, {11, -1, -1}},
    {12, {16, 0, 0}, {67, 76}, {2, -1, -1}, nx_Game_StickDirection::None, {12, -1, -1}},
    {13, {0, 0, 0}, {86, 73}, {3, -1, -1}, nx_Game_StickDirection::None, {13, -1, -1}},
    {14, {0, 0, 0}, {66, 85}, {4, -1, -1}, nx_Game_StickDirection::None, {14, -1, -1}},
    {15, {0, 0, 0}, {78, 79}, {5, -1, -1}, nx_Game_StickDirection::None, {15, -1, -1}},
    {99, {27, 46, 8}, {192, 0}, {6, 7, 14}, nx_Game_StickDirection::None, {16, 17, 19}},
};

constexpr int nx_Game_BackButtonNumber = 99;
constexpr int nx_Game_BackSlot = 19;
// A stick counts as a direction button past this deflection.
constexpr float nx_Game_StickButtonThreshold = 0.4f;
// Joypad 0's stick takes over the steering past this deflection.
constexpr float nx_Game_StickDeadZone = 0.15f;
// Held direction buttons build the steering up by this much an update, and it falls back by
// the return step once they are released.
constexpr float nx_Game_KeyRampStep = 0.15f;
constexpr float nx_Game_KeyReturnStep = 0.2f;
// The touch stick's reach for full deflection, its dead zone, and how far the pointer may
// stray before the anchor creeps after it.
constexpr float nx_Game_TouchStickReach = 72.0f;
constexpr float nx_Game_TouchStickDeadZone = 0.1f;
constexpr int nx_Game_AnchorLeash = 64;
constexpr int nx_Game_AnchorCreep = 4;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

const nx_Game_VirtualButton* nx_Game_FindVirtualButton(int button) {
  for (const nx_Game_VirtualButton& entry : nx_Game_VirtualButtons) {
    if (entry.button == button) return &entry;
  }
  return nullptr;
}

bool nx_Game_StickPressed(nx_Game_StickDirection direction, int pad) {
  switch (direction) {
    case nx_Game_StickDirection::Up:
      return nx_input_JoyY(0, pad) > nx_Game_StickButtonThreshold;
    case nx_Game_StickDirection::Down:
      return nx_input_JoyY(0, pad) < -nx_Game_StickButtonThreshold;
    case nx_Game_StickDirection::Left:
      return nx_input_JoyX(0, pad) < -nx_Game_StickButtonThreshold;
    case nx_Game_StickDirection::Right:
      return nx_input_JoyX(0, pad) > nx_Game_StickButtonThreshold;
    case nx_Game_StickDirection::None:
      break;
  }
  return false;
}

// A tap that goes down and up between two updates leaves only its hit; it still counts, once.
bool nx_Game_KeyPressed(int code) {
  return nx_input_KeyDown(code) || nx_input_KeyHit(code) > 0;
}

bool nx_Game_ValidPad(int pad) {
  return pad >= 0 && pad < c_InputDevice::JoystickUnits;
}

float nx_Game_Clamp(float value, float low, float high) {
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

int nx_Game_ClampInt(int value, int low, int high) {
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

// One axis of the key ramp: the minus button pulls the value down and the plus button up;
// a released direction returns toward rest without passing it. The stick takes the value
// only when a button moved it.
void nx_Game_RampAxis(float& keyValue, float& stick, bool minusHeld, bool plusHeld) {
  if (minusHeld) {
    keyValue -= nx_Game_KeyRampStep;
    stick = keyValue;
  } else if (keyValue < 0.0f) {
    keyValue = keyValue + nx_Game_KeyReturnStep < 0.0f ? keyValue + nx_Game_KeyReturnStep : 0.0f;
    stick = keyValue;
  }
  if (plusHeld) {
    keyValue += nx_Game_KeyRampStep;
    stick = keyValue;
  } else if (keyValue > 0.0f) {
    keyValue = keyValue - nx_Game_KeyReturnStep > 0.0f ? keyValue - nx_Game_KeyReturnStep : 0.0f;
    stick = keyValue;
  }
}

// Whether touch `finger` lies strictly within `halfWidth` and `halfHeight` of (x, y).
bool nx_Game_FingerNear(const c_MyApp& app, int finger, float x, float y, float halfWidth,
                        float halfHeight) {
  float dx = static_cast<float>(app.m_touchX[finger]) - x;
  float dy = static_cast<float>(app.m_touchY[finger]) - y;
  return std::fabs(dx) < halfWidth && std::fabs(dy) < halfHeight;
}

// Half the drawn size of a frame of `image` at the current draw size; nothing for a slot
// outside the image table.
void nx_Game_HalfExtents(const c_MyApp& app, int image, float& halfWidth, float& halfHeight) {
  halfWidth = 0.0f;
  halfHeight = 0.0f;
  if (image < 0 || image * 3 + 1 >= app.m_imageInfo.Length()) return;
  halfWidth =
      app.m_imageScale * static_cast<float>(app.m_imageInfo[image * 3]) * app.m_drawScaleX * 0.5f;
  halfHeight = app.m_imageScale * static_cast<float>(app.m_imageInfo[image * 3 + 1]) *
               app.m_drawScaleY * 0.5f;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int c_MyApp::p_PlayKey(int button, int mode, int player) {
  if (player < -1) return 0;
  if (nx_Game_iCadeControls != 0 && nx_Game_iCadeControls != 1) return 0;
  const nx_Game_VirtualButton* entry = nx_Game_FindVirtualButton(button);
  if (entry == nullptr) return 0;
  bool iCadeOff = nx_Game_iCadeControls == 0;
  // The console's pad reports back through its own slot; its keys and buttons mean otherwise.
  if (button == nx_Game_BackButtonNumber && iCadeOff && nx_Game_isOuya == 1) {
    return m_iCadeButtons[nx_Game_BackSlot] != 0 ? 1 : 0;
  }
  for (int key : entry->keys) {
    if (key != 0 && nx_Game_KeyPressed(key)) return 1;
  }
  if (iCadeOff) {
    for (int key : entry->letterKeys) {
      if (key != 0 && nx_Game_KeyPressed(key)) return 1;
    }
  }
  if (nx_Game_ValidPad(player)) {
    int padBase = c_InputDevice::JoystickKeyBase + c_InputDevice::JoystickButtons * player;
    for (int padButton : entry->padButtons) {
      if (padButton >= 0 && nx_Game_KeyPressed(padBase + padButton)) return 1;
    }
    if (mode == 1 && iCadeOff && nx_Game_StickPressed(entry->stick, player)) return 1;
  }
  for (int slot : entry->slots) {
    if (slot >= 0 && m_iCadeButtons[slot] != 0) return 1;
  }
  return 0;
}

int c_MyApp::p_PlayKeyAll(int button, int mode) {
  int sum = 0;
  for (int player = 0; player < c_InputDevice::JoystickUnits; ++player) {
    sum += p_PlayKey(button, mode, player);
  }
  return sum;
}

int c_MyApp::p_AnalogueControl() {
  m_stickX = 0.0f;
  m_stickY = 0.0f;

  if (m_options[OptionTouchStick] == 1) {
    if (m_pointerDown == 0) m_anchorX = -1;
    if (m_pointerDown > 0 && m_anchorX < 0) {
      m_anchorX = m_mouseX;
      m_anchorY = m_mouseY;
    }
    if (m_pointerDown > 0 && m_anchorX >= 0) {
      m_stickX =
          (static_cast<float>(m_mouseX) - static_cast<float>(m_anchorX)) / nx_Game_TouchStickReach;
      m_stickY =
          (static_cast<float>(m_mouseY) - static_cast<float>(m_anchorY)) / nx_Game_TouchStickReach;
      if (std::fabs(m_stickX) < nx_Game_TouchStickDeadZone &&
          std::fabs(m_stickY) < nx_Game_TouchStickDeadZone) {
        m_stickX = 0.0f;
        m_stickY = 0.0f;
      }
      // Compared in 64 bits: the anchor may sit anywhere the pointer has been.
      int64_t mouseX = m_mouseX;
      int64_t mouseY = m_mouseY;
      if (mouseX < int64_t{m_anchorX} - nx_Game_AnchorLeash) m_anchorX -= nx_Game_AnchorCreep;
      if (mouseX > int64_t{m_anchorX} + nx_Game_AnchorLeash) m_anchorX += nx_Game_AnchorCreep;
      if (mouseY < int64_t{m_anchorY} - nx_Game_AnchorLeash) m_anchorY -= nx_Game_AnchorCreep;
      if (mouseY > int64_t{m_anchorY} + nx_Game_AnchorLeash) m_anchorY += nx_Game_AnchorCreep;
      if (m_anchorX < 0) {
        m_anchorX = m_mouseX;
        m_anchorY = m_mouseY;
      }
    }
    if (m_pointerDown > 0) {
      p_SetCol(0.0f, 100.0f, 250.0f, 0.25f);
      p_Oval(static_cast<float>(m_anchorX), static_cast<float>(m_anchorY), 12.0f, 12.0f);
      p_Oval(static_cast<float>(m_mouseX), static_cast<float>(m_mouseY), 8.0f, 8.0f);
    }
  }

  // The joypad overrides the touch stick.
  float joyX = nx_input_JoyX(0, 0);
  float joyY = nx_input_JoyY(0, 0);
  if (std::fabs(joyX) > nx_Game_StickDeadZone || std::fabs(joyY) > nx_Game_StickDeadZone) {
    m_stickX = joyX;
    m_stickY = -joyY;
  }

  nx_Game_RampAxis(m_keyStickY, m_stickY, p_PlayKey(0, 0, 0) != 0, p_PlayKey(8, 0, 0) != 0);
  nx_Game_RampAxis(m_keyStickX, m_stickX, p_PlayKey(3, 0, 0) != 0, p_PlayKey(5, 0, 0) != 0);
  m_stickX = nx_Game_Clamp(m_stickX, -1.0f, 1.0f);
  m_stickY = nx_Game_Clamp(m_stickY, -1.0f, 1.0f);
  m_keyStickX = nx_Game_Clamp(m_keyStickX, -1.0f, 1.0f);
  m_keyStickY = nx_Game_Clamp(m_keyStickY, -1.0f, 1.0f);

  if (nx_Game_DebugMode == 1 && (std::fabs(m_stickX) > 0.05f || std::fabs(m_stickY) > 0.05f)) {
    float centreX = nx_Game_jscrw - 64.0f;
    float centreY = nx_Game_jscrh - 64.0f;
    p_SetCol(0.0f, 180.0f, 250.0f, 0.5f);
    p_Oval(centreX, centreY, 12.0f, 12.0f);
    p_Oval(centreX + 52.0f * m_stickX, centreY + 52.0f * m_stickY, 8.0f, 8.0f);
  }
  return 0;
}

float c_MyApp::p_StickX(int stick, int pad) {
  if (!nx_Game_ValidPad(pad) || stick < 0 || stick > 1) return 0.0f;
  return nx_input_JoyX(stick, pad);
}

// Up on the first stick reads negative, as screen y does.
float c_MyApp::p_StickY(int stick, int pad) {
  if (!nx_Game_ValidPad(pad) || stick < 0 || stick > 1) return 0.0f;
  if (stick == 0) return -nx_input_JoyY(0, pad);
  return nx_input_JoyY(stick, pad);
}

bool c_MyApp::p_Button(int image, float x, float y, int frame) {
  p_DrawImg(image, x, y, static_cast<float>(frame));
  if (m_pointerDown <= 0) return false;
  float halfWidth;
  float halfHeight;
  nx_Game_HalfExtents(*this, image, halfWidth, halfHeight);
  for (int finger = 0; finger < m_touchX.Length(); ++finger) {
    if (nx_Game_FingerNear(*this, finger, x, y, halfWidth, halfHeight)) return true;
  }
  return false;
}

bool c_MyApp::p_Button2(float x, float y, int frame) {
  return p_Button(SlotIcons, x, y, frame);
}

bool c_MyApp::p_Button3(float x, float y, int frame) {
  return p_Button(SlotButtons, x, y, frame);
}

bool c_MyApp::p_Button0(int image, float x, float y, int frame) {
  p_DrawImg(image, x, y, static_cast<float>(frame));
  if (m_pointerDown <= 0) return false;
  float halfWidth;
  float halfHeight;
  nx_Game_HalfExtents(*this, image, halfWidth, halfHeight);
  return nx_Game_FingerNear(*this, 0, x, y, halfWidth, halfHeight);
}

// A finger is forgiven 6 units before the area and 12 after it.
bool c_MyApp::p_Touch(float x, float y, float width, float height) {
  p_Rect(x, y, width, height);
  for (int finger = 0; finger < m_touchDown.Length(); ++finger) {
    if (m_touchDown[finger] == 0) continue;
    float touchX = static_cast<float>(m_touchX[finger]);
    float touchY = static_cast<float>(m_touchY[finger]);
    if (touchX > x - 6.0f && touchX < x + width + 12.0f && touchY > y - 6.0f &&
        touchY < y + height + 12.0f) {
      return true;
    }
  }
  return false;
}

bool c_MyApp::p_Touch2(float y) {
  return p_Touch(24.0f, y, 180.0f, 24.0f);
}

bool c_MyApp::p_MouseIn_Centered(float centreX, float centreY, float width, float height) {
  for (int finger = 0; finger < m_touchDown.Length(); ++finger) {
    if (m_touchDown[finger] == 0) continue;
    if (nx_Game_FingerNear(*this, finger, centreX, centreY, width * 0.5f, height * 0.5f)) {
      return true;
    }
  }
  return false;
}

int c_MyApp::p_OnScreenControls() {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  m_options[OptionPadX] =
      nx_Game_ClampInt(m_options[OptionPadX], 32, nx_float_to_int_clamped(width - 32.0f));
  m_options[OptionPadHeight] =
      nx_Game_ClampInt(m_options[OptionPadHeight], 32, nx_float_to_int_clamped(height - 32.0f));
  m_options[OptionPadSize] = nx_Game_ClampInt(m_options[OptionPadSize], 8, 25);
  m_padX = m_options[OptionPadX];
  m_padY = nx_float_to_int_clamped(height - static_cast<float>(m_options[OptionPadHeight]));
  m_padScale = static_cast<float>(m_options[OptionPadSize]) / 10.0f;

  p_SetRot(0.0f);
  p_SetCol(255.0f, 255.0f, 255.0f, 0.6f);
  m_drawBlend = 1;
  p_SetSize(m_padScale);
  float padX = static_cast<float>(m_padX);
  float padY = static_cast<float>(m_padY);
  float reach = 32.0f * m_padScale;
  const nx_Game_PadDirection directions[] = {
      {4, padX - reach, padY, 3},
      {1, padX, padY - reach, 0},
      {9, padX, padY + reach, 8},
      {6, padX + reach, padY, 5},
  };
  for (const nx_Game_PadDirection& direction : directions) {
    if (p_Button(SlotDpad, direction.x, direction.y, direction.frame) && m_paused == 0) {
      m_iCadeButtons[direction.slot] = 1;
    }
  }
  p_DrawImg(SlotDpad, padX, padY, 5.0f);

  // While paused the pad can be moved with one finger and resized by spreading two.
  if (m_paused > 0) {
    p_SetSize(3.0f);
    if (p_Button0(SlotDpad, padX, padY, 0) && m_touchDown[1] == 0) {
      m_options[OptionPadX] = m_touchX[0];
      m_options[OptionPadHeight] =
          nx_float_to_int_clamped(height - static_cast<float>(m_touchY[0]));
    }
    if (m_touchDown[1] == 0) {
      m_pinchActive = 0;
      m_pinchLast = 0;
    }
    if (m_touchDown[0] != 0 && m_touchDown[1] != 0) {
      int64_t spread = int64_t{m_touchX[0]} - int64_t{m_touchX[1]};
      if (spread < 0) spread = -spread;
      int step = static_cast<int>(-(spread / 16));
      if (m_pinchActive == 1) m_options[OptionPadSize] += m_pinchLast - step;
      m_pinchLast = step;
      m_pinchActive = 1;
    }
  }

  p_SetSize(1.5f * m_padScale);
  float fireReach = 24.0f * m_padScale;
  if (p_Button(SlotDpad, width - (padX - fireReach), padY - fireReach, 0)) m_iCadeButtons[10] = 1;
  if (p_Button(SlotDpad, width - (padX + fireReach), padY + fireReach, 0)) m_iCadeButtons[11] = 1;
  return 0;
}

int c_MyApp::p_TiltControl() {
  float height = nx_Game_jscrh;
  p_SetRot(0.0f);
  p_SetCol(255.0f, 255.0f, 255.0f, 0.8f);
  m_drawBlend = 1;
  p_SetSize(1.5f);
  m_tiltX = nx_input_AccelX() - m_tiltRestX;
  m_tiltY = nx_input_AccelY() - m_tiltRestY;
  m_tiltSmoothX += (m_tiltX - m_tiltSmoothX) * 0.25f;
  if (std::fabs(m_tiltX - m_tiltSmoothX) < 0.005f) m_tiltSmoothX = m_tiltX;
  m_tiltSmoothY += (m_tiltY - m_tiltSmoothY) * 0.25f;
  if (std::fabs(m_tiltY - m_tiltSmoothY) < 0.005f) m_tiltSmoothY = m_tiltY;

  // Held calibration takes the current reading as the device's rest.
  if (p_Button2(24.0f, height - 24.0f, 7)) {
    m_tiltRestX = nx_input_AccelX();
    m_tiltRestY = nx_input_AccelY();
  }

  p_SetCol(100.0f, 255.0f, 100.0f, 0.6f);
  p_SetSize(1.0f);
  p_Oval(24.0f + 20.0f * m_tiltSmoothX, height - 24.0f + 20.0f * m_tiltSmoothY, 4.0f, 4.0f);
  return 0;
}
