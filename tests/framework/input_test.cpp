// The input device's rules as the game relies on them: one hit per press, queue limits,
// the pointer mirrors, joystick polling and the lifetime of hits and characters.
#include <gtest/gtest.h>

#include <vector>

#include "framework/app.h"
#include "framework/input.h"
#include "host/game.h"

namespace {

using Event = c_NxGameEvent;
using Ints = std::vector<int>;

// A host with scripted joysticks: units listed in `present` report the given buttons.
class JoystickHost : public NxGame {
 public:
  std::vector<bool> present = std::vector<bool>(4, false);
  std::vector<std::vector<int>> pressed = std::vector<std::vector<int>>(4);
  std::vector<int> polled;

  bool PollJoystick(int port, Array<float> joyx, Array<float>, Array<float>,
                    Array<bool> buttons) override {
    polled.push_back(port);
    if (!present[port]) return false;
    joyx[0] = 0.25f * static_cast<float>(port + 1);
    for (int b = 0; b < buttons.Length(); ++b) buttons[b] = false;
    for (int b : pressed[port]) buttons[b] = true;
    return true;
  }
};

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

  JoystickHost host;
  c_InputDevice* device = nullptr;
};

TEST_F(InputDevice, AutoRepeatCountsOneHitAndAHitBetweenUpdatesIsSeenByOneUpdate) {
  Key(Event::KeyDown, 65);
  Key(Event::KeyChar, 'a');
  Key(Event::KeyDown, 65);
  Key(Event::KeyChar, 'a');
  EXPECT_EQ((Ints{device->p_KeyHit(65), device->p_KeyDown(65)}), (Ints{1, 1}));

  // A hit and release between updates is seen by exactly one update.
  Key(Event::KeyDown, 32);
  Key(Event::KeyUp, 32);
  Key(Event::KeyUp, 32);
  device->p_BeginUpdate();
  EXPECT_EQ((Ints{nx_input_KeyHit(32), nx_input_KeyDown(32)}), (Ints{1, 0}));
  device->p_EndUpdate();
  EXPECT_EQ(nx_input_KeyHit(32), 0);
  Key(Event::KeyDown, 32);
  EXPECT_EQ(nx_input_KeyHit(32), 1) << "a release must make the next press count again";
}

TEST_F(InputDevice, HitQueueHoldsThirtyThreeAndCharacterQueueThirtyTwo) {
  for (int code = 100; code < 140; ++code) Key(Event::KeyDown, code);
  // A dropped hit is not counted either, but down states are still kept.
  EXPECT_EQ((Ints{device->m_keyHitPut, device->p_KeyHit(132), device->p_KeyHit(133),
                  device->p_KeyDown(139)}),
            (Ints{33, 1, 0, 1}));
  device->p_EndUpdate();
  Key(Event::KeyDown, 200);
  EXPECT_EQ(device->p_KeyHit(200), 1) << "the queue is empty again after the update";

  // The character queue holds thirty-two, and the update clears it.
  for (int i = 0; i < 40; ++i) Key(Event::KeyChar, 1000 + i);
  int count = 0;
  while (int character = device->p_GetChar()) {
    EXPECT_EQ(character, 1000 + count);
    ++count;
  }
  EXPECT_EQ(count, 32);
  Key(Event::KeyChar, 'x');
  device->p_EndUpdate();
  EXPECT_EQ(nx_input_GetChar(), 0) << "characters not taken by the update are lost";
}

TEST_F(InputDevice, LeftButtonAndFingerZeroAreOnePointer) {
  device->p_MouseEvent(Event::MouseDown, 0, 12.0f, 34.0f);
  EXPECT_EQ((Ints{nx_input_TouchDown(0), nx_input_KeyHit(384), nx_input_MouseHit(0)}),
            (Ints{1, 1, 1}));

  device->p_TouchEvent(Event::TouchUp, 0, 0.0f, 0.0f);
  EXPECT_FALSE(nx_input_MouseDown(0)) << "releasing finger 0 releases the left button";
  EXPECT_EQ(nx_input_MouseX(), 12.0f) << "a release does not move the pointer";

  device->p_EndUpdate();
  device->p_TouchEvent(Event::TouchDown, 0, 5.0f, 6.0f);
  EXPECT_EQ((Ints{nx_input_MouseHit(0), static_cast<int>(nx_input_MouseX())}), (Ints{1, 5}));
  device->p_MouseEvent(Event::MouseDown, 1, 0.0f, 0.0f);
  EXPECT_TRUE(nx_input_KeyDown(2));
  EXPECT_EQ(nx_input_KeyHit(384), 1) << "the right button has no finger mirror";
}

TEST_F(InputDevice, JoystickButtonsBecomeKeyCodesWithOneHitPerPress) {
  host.present[0] = host.present[1] = true;
  host.pressed[1] = {3};
  // Button 3 of unit 1 is code 3 | 256 | (1 << 5); holding it adds no hit.
  device->p_BeginUpdate();
  EXPECT_EQ((Ints{nx_input_JoyHit(3, 1), device->p_KeyHit(291), nx_input_JoyDown(3, 1)}),
            (Ints{1, 1, 1}));
  EXPECT_EQ(nx_input_JoyX(0, 1), 0.5f);
  device->p_EndUpdate();
  device->p_BeginUpdate();
  EXPECT_EQ((Ints{nx_input_JoyHit(3, 1), nx_input_JoyDown(3, 1)}), (Ints{0, 1}));
  device->p_EndUpdate();

  // Polling stops at the first missing unit; one no longer polled holds no button or stick.
  host.present[0] = false;
  device->p_BeginUpdate();
  EXPECT_EQ((Ints{nx_input_JoyDown(3, 1), host.polled.back()}), (Ints{0, 0}));
  EXPECT_EQ(nx_input_JoyX(0, 1), 0.0f);
}

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
