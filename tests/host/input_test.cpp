// Key translation, the events the input callbacks derive, the joystick arrangement, gamepads
// played from recordings, and the pointer's scaling to framebuffer pixels.
#include <gtest/gtest.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "host/joystick.h"
#include "recording_delegate.h"

namespace {

using Log = std::vector<std::string>;

// Letters, digits and F1 to F12 keep their codes and the rest are picked one by one; a key
// without a framework code gives 0, and no code leaves the input device's key range.
TEST(TransKey, GlfwKeysMapToTheFrameworkCodes) {
  const int table[][2] = {{GLFW_KEY_A, 'A'},   {GLFW_KEY_Z, 'Z'},
                          {GLFW_KEY_0, '0'},   {GLFW_KEY_ESCAPE, 27},
                          {GLFW_KEY_F12, 123}, {GLFW_KEY_GRAVE_ACCENT, 192},
                          {GLFW_KEY_F13, 0},   {GLFW_KEY_LAST + 1, 0}};
  for (const auto& entry : table) {
    EXPECT_EQ(NxGlfwGame::TransKey(entry[0]), entry[1]) << "GLFW key " << entry[0];
  }
  for (int key = GLFW_KEY_UNKNOWN; key <= GLFW_KEY_LAST; ++key) {
    int code = NxGlfwGame::TransKey(key);
    EXPECT_TRUE(code >= 0 && code < 256) << key;
  }
}

class Callbacks : public ::testing::Test {
 protected:
  Callbacks() : host(&events) {
    host.StartGame();
    events.entries.clear();
  }
  RecordedEvents events;
  CountingHost host;
};

TEST_F(Callbacks, KeyPressesReleasesAndRepeatsAndMouseButtonsUpToTwo) {
  NxGlfwGame::OnKey(GLFW_KEY_PAGE_UP, GLFW_PRESS);
  NxGlfwGame::OnKey(GLFW_KEY_PAGE_UP, GLFW_REPEAT);
  NxGlfwGame::OnKey(GLFW_KEY_PAGE_UP, GLFW_RELEASE);
  NxGlfwGame::OnKey(GLFW_KEY_DELETE, GLFW_PRESS);
  NxGlfwGame::OnKey(GLFW_KEY_A, GLFW_PRESS);
  NxGlfwGame::OnKey(GLFW_KEY_LEFT_ALT, GLFW_PRESS);
  NxGlfwGame::OnKey(GLFW_KEY_LEFT_ALT, GLFW_RELEASE);
  EXPECT_EQ(NxGlfwGame::OnWindowClose(), 0);  // the close button is refused
  EXPECT_EQ(events.entries, (Log{"key 1 33", "key 3 65569", "key 1 33", "key 3 65569", "key 2 33",
                                 "key 1 46", "key 3 127", "key 1 65", "key 1 432", "key 2 432"}));

  // Mouse buttons above two are ignored, and positions truncated.
  events.entries.clear();
  NxGlfwGame::OnMouseButton(2, GLFW_RELEASE, -3.7, 4.0);
  NxGlfwGame::OnMouseButton(3, GLFW_PRESS, 1.0, 1.0);
  NxGlfwGame::OnMousePos(1e300, NAN);
  EXPECT_EQ(events.entries, (Log{"mouse 5 2 -3 4", "mouse 6 -1 1000000000 0"}));
}

struct Unit {
  Array<float> x{2}, y{2}, z{2};
  Array<bool> buttons{32};
};

// What GLFW reports for each port, through the pad's mapping when `gamepad` is set, and raw.
struct RecordedPad {
  bool present = false, gamepad = false;
  GLFWgamepadstate state{};
  std::vector<float> axes;
  std::vector<unsigned char> buttons;
} recordedPads[GLFW_JOYSTICK_LAST + 1];

class Pads : public ::testing::Test {
 protected:
  Pads() : saved_(nx_joystick_table) {
    for (RecordedPad& pad : recordedPads) pad = RecordedPad();
    NxJoystickSeam& t = nx_joystick_table;
    t.JoystickPresent = [](int port) { return int(recordedPads[port].present); };
    t.JoystickIsGamepad = [](int port) { return int(recordedPads[port].gamepad); };
    t.GetGamepadState = [](int port, GLFWgamepadstate* state) {
      *state = recordedPads[port].state;
      return GLFW_TRUE;
    };
    t.GetJoystickAxes = [](int port, int* count) {
      *count = static_cast<int>(recordedPads[port].axes.size());
      return static_cast<const float*>(recordedPads[port].axes.data());
    };
    t.GetJoystickButtons = [](int port, int* count) {
      *count = static_cast<int>(recordedPads[port].buttons.size());
      return static_cast<const unsigned char*>(recordedPads[port].buttons.data());
    };
  }
  ~Pads() override { nx_joystick_table = saved_; }

  // The unit after one poll: (left x, right x, left y, right y, left z, right z) and the
  // numbers of the buttons held.
  std::pair<std::vector<float>, std::vector<int>> Poll(int port) {
    polled = host.PollJoystick(port, unit.x, unit.y, unit.z, unit.buttons);
    std::vector<int> held;
    for (int b = 0; b < unit.buttons.Length(); ++b) {
      if (unit.buttons[b]) held.push_back(b);
    }
    return {{unit.x[0], unit.x[1], unit.y[0], unit.y[1], unit.z[0], unit.z[1]}, held};
  }

  RecordedEvents events;
  CountingHost host{&events};
  Unit unit;
  bool polled = false;

 private:
  NxJoystickSeam saved_;
};

// Such a pad's raw numbering puts Guide and the stick clicks on the game's direction buttons
// 8 to 10, and its d-pad on a hat the host does not report; through its mapping it steers. A pad
// the database does not know is read raw, and one that is gone is cleared once.
TEST_F(Pads, RecognisedPadsUseTheGameNumberingOthersTheirOwnAndGonePadsAreCleared) {
  RecordedPad& pad = recordedPads[0];
  pad.present = pad.gamepad = true;
  pad.buttons = std::vector<unsigned char>(11, GLFW_PRESS);
  float* axes = pad.state.axes;
  axes[GLFW_GAMEPAD_AXIS_LEFT_X] = 0.5f;
  axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = -1.0f;  // pushed up
  axes[GLFW_GAMEPAD_AXIS_RIGHT_X] = -0.25f;
  axes[GLFW_GAMEPAD_AXIS_RIGHT_Y] = 0.75f;
  axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;  // at rest
  axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 1.0f;  // fully pulled
  // Buttons the raw numbering puts elsewhere, each alone: where the game must see them.
  const int expected[][2] = {{GLFW_GAMEPAD_BUTTON_START, 7},
                             {GLFW_GAMEPAD_BUTTON_DPAD_LEFT, 8},
                             {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, 11},
                             {GLFW_GAMEPAD_BUTTON_GUIDE, 14}};
  unit.buttons[20] = true;  // left from an earlier reading: nothing of the pad is there
  for (const auto& entry : expected) {
    for (unsigned char& button : pad.state.buttons) button = GLFW_RELEASE;
    pad.state.buttons[entry[0]] = GLFW_PRESS;
    EXPECT_EQ(Poll(0).second, std::vector<int>{entry[1]}) << "GLFW button " << entry[0];
  }
  // Sticks with up positive, triggers from 0 at rest to 1.
  EXPECT_EQ(Poll(0).first, (std::vector<float>{0.5f, -0.25f, 1.0f, -0.75f, 0.0f, 1.0f}));

  // More axes and buttons than a unit holds are left out, and fewer read no further.
  pad.gamepad = false;
  pad.axes = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f};
  pad.buttons = std::vector<unsigned char>(40, GLFW_RELEASE);
  pad.buttons[2] = pad.buttons[8] = pad.buttons[39] = GLFW_PRESS;
  EXPECT_EQ(Poll(0), (std::pair<std::vector<float>, std::vector<int>>{
                         {0.1f, -0.4f, -0.2f, 0.5f, 0.3f, -0.6f}, {2, 8}}));
  pad.buttons = std::vector<unsigned char>(9, GLFW_RELEASE);
  pad.buttons[8] = GLFW_PRESS;
  EXPECT_EQ(Poll(0).second, std::vector<int>{8});
  pad.present = false;
  EXPECT_EQ(Poll(0), (std::pair<std::vector<float>, std::vector<int>>{{0, 0, 0, 0, 0, 0}, {}}));
  EXPECT_FALSE(polled);
  // A port never present, or none at all, leaves the unit untouched.
  unit.x[0] = 0.5f;
  for (int port : {-1, 2, GLFW_JOYSTICK_LAST + 1}) {
    EXPECT_FALSE(host.PollJoystick(port, unit.x, unit.y, unit.z, unit.buttons));
  }
  EXPECT_EQ(unit.x[0], 0.5f);
}

TEST(Pointer, WindowUnitsBecomeFramebufferPixels) {
  EXPECT_EQ(NxGlfwGame::ToFramebuffer(100.5, 640, 1280), 201.0);
  EXPECT_EQ(NxGlfwGame::ToFramebuffer(33.0, 640, 960), 49.5);
  // Before a window has a size, the position is passed on rather than divided by 0.
  EXPECT_EQ(NxGlfwGame::ToFramebuffer(100.0, 0, 0), 100.0);
  EXPECT_EQ(NxGlfwGame::ToFramebuffer(100.0, 640, 0), 100.0);
}

}  // namespace
