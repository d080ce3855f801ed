// The input device's bounds: codes, fingers, buttons and joystick units outside its arrays are
// refused by its queries and its event handlers alike, and its queues stop at their limits.
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

TEST_F(InputDevice, CodesOutOfRangeAreRefusedRepeatsAddNoHitAndTheQueuesHoldTheirLimits) {
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

  // A key already down, as the desktop's auto-repeat sends it, adds no hit; a flood of presses
  // fills the hit queue at 33 and the character queue at 32, and every down state is kept.
  Key(Event::KeyDown, 65);
  Key(Event::KeyDown, 65);
  EXPECT_EQ(device->p_KeyHit(65), 1);
  for (int code = 100; code < 140; ++code) Key(Event::KeyDown, code);
  for (int i = 0; i < 40; ++i) Key(Event::KeyChar, 1000 + i);
  int characters = 0;
  while (device->p_GetChar() != 0) ++characters;
  EXPECT_EQ(std::make_pair(device->m_keyHitPut, characters), std::make_pair(33, 32));
  EXPECT_TRUE(device->p_KeyDown(139));
}

}  // namespace
