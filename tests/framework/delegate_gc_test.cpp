// A run of host events with a full collection after every one: nothing the game can still
// reach may be lost, which is what a store that skipped the write barrier would cause.
#include <gtest/gtest.h>

// <GLFW/glfw3.h> for the real window the graphics device draws into.
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <vector>

#include "devices/audio.h"
#include "devices/graphics.h"
#include "framework/app.h"
#include "framework/audio.h"
#include "framework/graphics.h"
#include "framework/input.h"
#include "game/globals.h"
#include "host/glfw_game.h"
#include "host/program.h"

namespace {

using Event = c_NxGameEvent;

// The real desktop host, with two scripted joysticks and a collector step that finishes the
// cycle, destroys everything unreachable at once, and then marks the roots black again so the
// next event stores into black objects.
class SoakHost : public NxGlfwGame {
 public:
  int tick = 0;
  int joystickUnits = 2;

  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float>,
                    Array<bool> buttons) override {
    if (port >= joystickUnits) return false;
    joyx[0] = static_cast<float>(port) + 0.5f;
    joyy[1] = -0.25f;
    for (int b = 0; b < buttons.Length(); ++b) buttons[b] = (b + tick + port) % 3 == 0;
    return true;
  }

  void gc_collect() override {
    NxGame::gc_collect();
    ::gc_collect_all();
    // Big enough to pay for the whole free list, so lost objects are destroyed right now and
    // a later use of one is caught by the address sanitizer.
    Array<int> flush(1 << 18);
    NxGame::gc_collect();
  }
};

// Registered between events, when the roots are black: a white object stored into a black
// stack survives only through the write barrier.
class CountingSource : public c_IAsyncEventSource {
 public:
  int visits = 0;
  void UpdateAsyncEvents() override { ++visits; }
};

void ExpectAlive(gc_object* object, const char* what) {
  ASSERT_NE(object, nullptr) << what;
  EXPECT_TRUE(gc_is_object(object)) << what << " was collected while reachable";
}

template <class T>
void ExpectAlive(const Array<T>& array, const char* what) {
  ASSERT_GT(array.Length(), 0) << what;
  ExpectAlive(array.Body(), what);
}

void ExpectEverythingReachableAlive() {
  ExpectAlive(nx_app__app, "application");
  ExpectAlive(nx_app__delegate, "delegate");
  ExpectAlive(nx_app__delegate->m__graphics, "graphics device");
  ExpectAlive(nx_app__delegate->m__audio, "audio device");
  ExpectAlive(nx_app__delegate->m__input, "input device");
  EXPECT_EQ(nx_graphics_device, nx_app__delegate->m__graphics);
  EXPECT_EQ(nx_audio_device, nx_app__delegate->m__audio);
  EXPECT_EQ(nx_input_device, nx_app__delegate->m__input);
  ExpectAlive(nx_graphics_context, "graphics context");
  ExpectAlive(nx_graphics_context->m_matrixStack, "matrix stack");
  ExpectAlive(nx_asyncevent__sources, "source stack");
  ExpectAlive(nx_Game_CreditText, "credits");

  c_InputDevice* input = nx_input_device;
  ExpectAlive(input->m_joyStates, "joystick states");
  ExpectAlive(input->m_keyDown, "key states");
  ExpectAlive(input->m_keyHit, "hit counts");
  ExpectAlive(input->m_keyHitQueue, "hit queue");
  ExpectAlive(input->m_charQueue, "character queue");
  ExpectAlive(input->m_rawTouchX, "touch x");
  ExpectAlive(input->m_rawTouchY, "touch y");
  for (int unit = 0; unit < 4; ++unit) {
    c_JoyState* state = input->m_joyStates[unit];
    ExpectAlive(state, "joystick state");
    ExpectAlive(state->m_joyx, "joystick x");
    ExpectAlive(state->m_joyy, "joystick y");
    ExpectAlive(state->m_joyz, "joystick z");
    ExpectAlive(state->m_buttons, "joystick buttons");
  }
}

TEST(DelegateCollection, NothingReachableIsLostAcrossEvents) {
  setenv("ALSOFT_DRIVERS", "null", 1);
  ASSERT_EQ(glfwInit(), GLFW_TRUE);
  SoakHost host;
  nxInit();
  gc_mark();
  nxMain();
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  host.gc_collect();
  host.StartGame();
  ASSERT_TRUE(host.Started());
  ExpectEverythingReachableAlive();

  // The harness must have teeth: an object nothing refers to is gone after one event.
  gc_object* orphan = gc_new<c_JoyState>();
  host.KeyEvent(Event::KeyChar, 'o');
  EXPECT_FALSE(gc_is_object(orphan));

  host.KeyEvent(Event::KeyDown, 90);
  std::vector<CountingSource*> sources;
  for (int i = 0; i < 160 && !::testing::Test::HasFailure(); ++i) {
    host.tick = i;
    // The second one goes into a backing array that is already black.
    if (i == 40 || i == 60) {
      sources.push_back(gc_new<CountingSource>());
      nx_asyncevent_AddAsyncEventSource(sources.back());
    }
    float x = static_cast<float>(i % 640);
    switch (i % 12) {
      case 0:
        host.KeyEvent(Event::KeyDown, 65 + i % 20);
        break;
      case 1:
        host.KeyEvent(Event::KeyChar, 'a' + i % 26);
        break;
      case 2:
        host.KeyEvent(Event::KeyUp, 65 + (i - 2) % 20);
        break;
      case 3:
        host.MouseEvent(Event::MouseDown, 0, x, 10.0f);
        break;
      case 4:
        host.MouseEvent(Event::MouseMove, -1, x, 20.0f);
        break;
      case 5:
        host.MouseEvent(Event::MouseUp, 0, x, 20.0f);
        break;
      case 6:
        host.TouchEvent(i % 24 == 6 ? Event::TouchDown : Event::TouchUp, 3, x, 5.0f);
        break;
      case 7:
        host.MotionEvent(Event::MotionAccel, 0, 0.1f, 0.2f, 0.3f);
        break;
      case 8:
      case 9:
        host.UpdateGame();
        break;
      case 10:
        host.RenderGame();
        break;
      case 11:
        if (i % 48 == 11) {
          host.SuspendGame();
          host.ResumeGame();
        } else {
          host.UpdateGame();
        }
        break;
    }
    ExpectEverythingReachableAlive();
    for (CountingSource* source : sources) ExpectAlive(source, "async source");
  }

  EXPECT_TRUE(nx_input_KeyDown(90)) << "a key held through the run stays down";
  EXPECT_EQ(nx_input_JoyX(0, 1), 1.5f);
  EXPECT_EQ(nx_input_JoyY(1, 0), -0.25f);
  EXPECT_EQ(host.UpdateRate(), 60);
  ASSERT_EQ(sources.size(), 2u);
  EXPECT_GT(sources[1]->visits, 0) << "every update walks the registered sources";
  EXPECT_GT(sources[0]->visits, sources[1]->visits);
}

}  // namespace
