// The input device's bounds: codes, fingers, buttons and joystick units outside its arrays are
// refused by its queries and its event handlers alike.
#include <gtest/gtest.h>

#include "framework/app.h"
#include "framework/input.h"
#include "host/game.h"

namespace {

using Event = c_NxGameEvent;

class InputDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    nx_app__game = &host;
    device = gc_new<c_InputDevice>()->m_new();
    nx_input_SetInputDevice(device);
  }
  void TearDown() override {
    nx_input_SetInputDevice(nullptr);
    nx_app__game = nullptr;
  }
  void Key(int event, int code) { device->p_KeyEvent(event, code); }

  NxGame host;
  c_InputDevice* device = nullptr;
};

TEST_F(InputDevice, QueriesAndHandlersRejectCodesOutOfRange) {
  for (int code : {0, -1, 512, 100000}) {
    Key(Event::KeyDown, code);
    EXPECT_FALSE(nx_input_KeyDown(code)) << code;
    EXPECT_EQ(nx_input_KeyHit(code), 0) << code;
  }
  EXPECT_EQ(device->m_keyHitPut, 0);
  device->p_TouchEvent(Event::TouchDown, 32, 1.0f, 1.0f);
  device->p_TouchEvent(Event::TouchDown, -1, 1.0f, 1.0f);
  device->p_MouseEvent(Event::MouseDown, 2147483647, 1.0f, 1.0f);
  EXPECT_EQ(device->m_keyHitPut, 0);
  EXPECT_FALSE(nx_input_MouseDown(-1));
  EXPECT_FALSE(nx_input_TouchDown(2147483647));
  EXPECT_FALSE(nx_input_JoyDown(0, -1));
  EXPECT_EQ(nx_input_JoyHit(0, 8), 0);

  Key(Event::KeyDown, 416);
  EXPECT_TRUE(nx_input_TouchDown(32)) << "finger 32 reads code 416, inside the code space";
}

}  // namespace
