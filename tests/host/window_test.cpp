// The GLFW window on the test display: size, centring, a new context on every reopen, the
// releases of input held across a reopen, the cursor and the device queries.
#include <gtest/gtest.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "recording_delegate.h"

namespace {

using Log = std::vector<std::string>;

class Window : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    glfwInitHint(GLFW_JOYSTICK_HAT_BUTTONS, GLFW_FALSE);
    initialised_ = glfwInit() == GLFW_TRUE;
  }
  static void TearDownTestSuite() {
    if (initialised_) glfwTerminate();
  }
  void SetUp() override {
    if (!initialised_) GTEST_SKIP() << "no display";
    host.StartGame();
  }
  void TearDown() override {
    if (host.Window() != nullptr) glfwDestroyWindow(host.Window());
  }

  static bool initialised_;
  RecordedEvents events;
  CountingHost host{&events};
};

bool Window::initialised_ = false;

TEST_F(Window, OpensCentredAndResizableWithANewCurrentContext) {
  NxGlfwVideoMode* desktop = host.GetGlfwDesktopMode();
  int sequence = glfwGraphicsSeq;
  host.SetMouseVisible(false);  // without a window: nothing to hide
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  ASSERT_NE(host.Window(), nullptr);
  EXPECT_EQ(glfwGraphicsSeq, sequence + 1);
  EXPECT_EQ(glfwGetCurrentContext(), host.Window());
  int width = 0, height = 0, x = 0, y = 0;
  glfwGetWindowSize(host.Window(), &width, &height);
  glfwGetWindowPos(host.Window(), &x, &y);
  EXPECT_EQ((std::vector<int>{width, height, x, y}),
            (std::vector<int>{640, 480, (desktop->width - 640) / 2, (desktop->height - 480) / 2}));
  EXPECT_EQ(glfwGetWindowAttrib(host.Window(), GLFW_RESIZABLE), GLFW_TRUE);
  // Until X11 delivers the new window's first focus event, it counts as focused.
  EXPECT_FALSE(host.FocusKnown());
}

// A key held on the test display through XTest; GLFW loses its release with the old window,
// so the reopen itself must deliver it.
TEST_F(Window, KeysHeldAcrossAReopenGetTheirReleaseFirst) {
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  glfwFocusWindow(host.Window());
  // Whether the display delivered a press, given up after ten seconds.
  auto pressed = [&](auto query, int button) {
    for (int wait = 0; wait < 200 && query(host.Window(), button) != GLFW_PRESS; ++wait) {
      glfwWaitEventsTimeout(0.05);
    }
    return query(host.Window(), button) == GLFW_PRESS;
  };
  if (std::system("xdotool keydown Left >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xdotool";
  if (!pressed(glfwGetKey, GLFW_KEY_LEFT)) {
    std::system("xdotool keyup Left >/dev/null 2>&1");
    GTEST_SKIP() << "the display did not deliver the key to the window";
  }
  int x = 0, y = 0;
  glfwGetWindowPos(host.Window(), &x, &y);
  std::string press = "xdotool mousemove " + std::to_string(x + 10) + " " + std::to_string(y + 20) +
                      " mousedown 1 >/dev/null 2>&1";
  bool button = std::system(press.c_str()) == 0 && pressed(glfwGetMouseButton, GLFW_MOUSE_BUTTON_1);
  events.entries.clear();
  int sequence = glfwGraphicsSeq;
  events.onRender = [&] { EXPECT_EQ(glfwGraphicsSeq, sequence); };
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  std::system("xdotool keyup Left mouseup 1 >/dev/null 2>&1");
  ASSERT_FALSE(events.entries.empty());
  EXPECT_EQ(events.entries.front(), "key 2 37");
  EXPECT_TRUE(button) << "the display delivered the key but not the mouse press";
  EXPECT_EQ(events.entries.back(), "mouse 5 0 10 20");
  EXPECT_EQ(glfwGraphicsSeq, sequence + 1);
}

// Going on without a window would end the run later with status 0, as if all were well.
TEST_F(Window, WindowThatCannotOpenEndsTheRunWithStatusMinusOne) {
  // The child re-runs the program for this test alone, so it does not shut down GLFW on the
  // display connection it would otherwise share with this process.
  ::testing::FLAGS_gtest_death_test_style = "threadsafe";
  // The console line goes to standard output, which the death test does not read.
  EXPECT_EXIT(
      (dup2(STDERR_FILENO, STDOUT_FILENO), host.SetGlfwWindow(0, 0, 8, 8, 8, 0, 0, 0, false)),
      ::testing::ExitedWithCode(255), "glfwCreateWindow failed");
}

}  // namespace
