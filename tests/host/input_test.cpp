// Key translation, the events the input callbacks derive, and the joystick arrangement.
#include <gtest/gtest.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cmath>

#include "host/joystick.h"
#include "recording_delegate.h"

namespace {

using Log = std::vector<std::string>;

// A key without a framework code gives 0, and no code leaves the input device's key range.
TEST(TransKey, GlfwKeysMapToTheFrameworkCodes) {
  // clang-format off
  const int table[][2] = {
      {GLFW_KEY_SPACE, 32}, {GLFW_KEY_APOSTROPHE, 222}, {GLFW_KEY_COMMA, 188},
      {GLFW_KEY_MINUS, 189}, {GLFW_KEY_PERIOD, 190}, {GLFW_KEY_SLASH, 191},
      {GLFW_KEY_SEMICOLON, 186}, {GLFW_KEY_EQUAL, 187}, {GLFW_KEY_LEFT_BRACKET, 219},
      {GLFW_KEY_BACKSLASH, 220}, {GLFW_KEY_RIGHT_BRACKET, 221}, {GLFW_KEY_GRAVE_ACCENT, 192},
      {GLFW_KEY_ESCAPE, 27}, {GLFW_KEY_F1, 112}, {GLFW_KEY_F11, 122}, {GLFW_KEY_F12, 123},
      {GLFW_KEY_UP, 38}, {GLFW_KEY_DOWN, 40}, {GLFW_KEY_LEFT, 37}, {GLFW_KEY_RIGHT, 39},
      {GLFW_KEY_LEFT_SHIFT, 16}, {GLFW_KEY_RIGHT_SHIFT, 16}, {GLFW_KEY_LEFT_CONTROL, 17},
      {GLFW_KEY_RIGHT_CONTROL, 17}, {GLFW_KEY_TAB, 9}, {GLFW_KEY_ENTER, 13},
      {GLFW_KEY_BACKSPACE, 8}, {GLFW_KEY_INSERT, 45}, {GLFW_KEY_DELETE, 46}, {GLFW_KEY_PAGE_UP, 33},
      {GLFW_KEY_PAGE_DOWN, 34}, {GLFW_KEY_HOME, 36}, {GLFW_KEY_END, 35}, {GLFW_KEY_0, '0'},
      {GLFW_KEY_9, '9'}, {GLFW_KEY_A, 'A'}, {GLFW_KEY_Z, 'Z'}, {GLFW_KEY_F13, 0}, {GLFW_KEY_F25, 0},
      {GLFW_KEY_LEFT_ALT, 0}, {GLFW_KEY_RIGHT_ALT, 0}, {GLFW_KEY_KP_0, 0}, {GLFW_KEY_KP_ENTER, 0},
      {GLFW_KEY_KP_ADD, 0}, {GLFW_KEY_NUM_LOCK, 0}, {GLFW_KEY_CAPS_LOCK, 0},
      {GLFW_KEY_SCROLL_LOCK, 0}, {GLFW_KEY_PAUSE, 0}, {GLFW_KEY_LEFT_SUPER, 0},
      {GLFW_KEY_RIGHT_SUPER, 0}, {GLFW_KEY_MENU, 0}, {GLFW_KEY_WORLD_1, 0}, {GLFW_KEY_UNKNOWN, 0},
      {GLFW_KEY_LAST + 1, 0}, {GLFW_KEY_PRINT_SCREEN, 0}};
  // clang-format on
  for (const auto& entry : table) {
    EXPECT_EQ(NxGlfwGame::TransKey(entry[0]), entry[1]) << "GLFW key " << entry[0];
  }
  for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST; ++key) {
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

TEST_F(Callbacks, KeyPressesReleasesAndRepeats) {
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
}

TEST_F(Callbacks, MouseButtonsAboveTwoAreIgnoredAndPositionsTruncated) {
  NxGlfwGame::OnMouseButton(0, GLFW_PRESS, 10.9, 20.2);
  NxGlfwGame::OnMouseButton(2, GLFW_RELEASE, -3.7, 4.0);
  NxGlfwGame::OnMouseButton(3, GLFW_PRESS, 1.0, 1.0);
  NxGlfwGame::OnMouseButton(7, GLFW_RELEASE, 1.0, 1.0);
  NxGlfwGame::OnMousePos(5.99, 6.5);
  NxGlfwGame::OnMousePos(1e300, NAN);
  EXPECT_EQ(events.entries, (Log{"mouse 4 0 10 20", "mouse 5 2 -3 4", "mouse 6 -1 5 6",
                                 "mouse 6 -1 1000000000 0"}));
}

struct Unit {
  Array<float> x{2}, y{2}, z{2};
  Array<bool> buttons{32};
};

// Each arranged as (left x, right x, left y, right y, left z, right z).
std::vector<float> Arranged(const float* axes, int count) {
  Unit unit;
  nx_joystick_Arrange(axes, count, nullptr, 0, unit.x, unit.y, unit.z, unit.buttons);
  return {unit.x[0], unit.x[1], unit.y[0], unit.y[1], unit.z[0], unit.z[1]};
}

TEST(Joystick, AxisArrangementsByCountWithTheOddAxesUpPositive) {
  const float axes[8] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f};
  // Four axes: the third is the right stick's y.
  EXPECT_EQ(Arranged(axes, 4), (std::vector<float>{0.1f, -0.4f, -0.2f, 0.3f, 0, 0}));
  EXPECT_EQ(Arranged(axes, 5), (std::vector<float>{0.1f, 0.5f, -0.2f, -0.4f, 0.3f, 0}));
  EXPECT_EQ(Arranged(axes, 8), (std::vector<float>{0.1f, -0.4f, -0.2f, 0.5f, 0.3f, -0.6f}));
}

TEST(Joystick, ButtonsBeyondTheCountOrTheArrayAreLeftAlone) {
  unsigned char pressed[40];
  for (unsigned char& b : pressed) b = GLFW_PRESS;
  pressed[1] = GLFW_RELEASE;
  Unit unit;
  unit.buttons[10] = true;
  nx_joystick_Arrange(nullptr, 0, pressed, 3, unit.x, unit.y, unit.z, unit.buttons);
  EXPECT_TRUE(unit.buttons[0]);
  EXPECT_FALSE(unit.buttons[1]);
  EXPECT_TRUE(unit.buttons[2]);
  EXPECT_FALSE(unit.buttons[3]);
  EXPECT_TRUE(unit.buttons[10]);

  // More buttons than a unit has, and arrays shorter than a unit: no index leaves them.
  Array<float> one(1);
  Array<bool> few(4);
  const float axes[2] = {0.5f, 0.5f};
  nx_joystick_Arrange(axes, 2, pressed, 40, one, one, Array<float>(), few);
  EXPECT_TRUE(few[3]);
  nx_joystick_Arrange(nullptr, 0, pressed, 40, unit.x, unit.y, unit.z, unit.buttons);
  EXPECT_TRUE(unit.buttons[31]);
}

}  // namespace
