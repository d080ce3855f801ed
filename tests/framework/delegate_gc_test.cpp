// A run of host events with a full collection after every one: nothing the game can still
// reach may be lost, which is what a store that skipped the write barrier would cause.
#include <gtest/gtest.h>

// <GLFW/glfw3.h> for the real window the graphics device draws into.
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <functional>
#include <string>
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
  // The game saves on every suspend; the store stays in memory, so the state file of the
  // folder the tests run in is never touched.
  std::string state;

  int SaveState(String text) override {
    state = text.ToUtf8();
    return 0;
  }
  String LoadState() override { return String(state.c_str()); }

  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float>,
                    Array<bool> buttons) override {
    if (port >= joystickUnits) return false;
    joyx[0] = static_cast<float>(port) + 0.5f;
    joyy[1] = -0.25f;
    // Never the back buttons (6, 7, 14): in the title menu back quits the game.
    for (int b = 0; b < buttons.Length(); ++b) {
      buttons[b] = (b + tick + port) % 3 == 0 && b != 6 && b != 7 && b != 14;
    }
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

void ExpectAlive(std::initializer_list<std::pair<gc_object*, const char*>> objects) {
  for (auto [object, what] : objects) {
    ASSERT_NE(object, nullptr) << what;
    EXPECT_TRUE(gc_is_object(object)) << what << " was collected while reachable";
  }
}

void ExpectEverythingReachableAlive() {
  c_GameDelegate* delegate = nx_app__delegate;
  ExpectAlive({{nx_app__app, "application"}, {delegate, "delegate"}});
  EXPECT_EQ(nx_graphics_device, delegate->m__graphics);
  EXPECT_EQ(nx_audio_device, delegate->m__audio);
  EXPECT_EQ(nx_input_device, delegate->m__input);
  c_InputDevice* input = nx_input_device;
  ExpectAlive({{delegate->m__graphics, "graphics device"},
               {delegate->m__audio, "audio device"},
               {input, "input device"},
               {nx_graphics_context, "graphics context"},
               {nx_graphics_context->m_matrixStack.Body(), "matrix stack"},
               {nx_asyncevent__sources, "source stack"},
               {nx_Game_CreditText.Body(), "credits"},
               {input->m_joyStates.Body(), "joystick states"},
               {input->m_keyDown.Body(), "key states"},
               {input->m_keyHit.Body(), "hit counts"},
               {input->m_keyHitQueue.Body(), "hit queue"},
               {input->m_charQueue.Body(), "character queue"},
               {input->m_rawTouchX.Body(), "touch x"},
               {input->m_rawTouchY.Body(), "touch y"}});
  for (int unit = 0; unit < 4; ++unit) {
    c_JoyState* state = input->m_joyStates[unit];
    ExpectAlive({{state, "joystick state"},
                 {state->m_joyx.Body(), "joystick x"},
                 {state->m_joyy.Body(), "joystick y"},
                 {state->m_joyz.Body(), "joystick z"},
                 {state->m_buttons.Body(), "joystick buttons"}});
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
    const std::function<void()> events[] = {
        [&] { host.KeyEvent(Event::KeyDown, 65 + i % 20); },
        [&] { host.KeyEvent(Event::KeyChar, 'a' + i % 26); },
        [&] { host.KeyEvent(Event::KeyUp, 65 + (i - 2) % 20); },
        [&] { host.MouseEvent(Event::MouseDown, 0, x, 10.0f); },
        [&] { host.MouseEvent(Event::MouseMove, -1, x, 20.0f); },
        [&] { host.MouseEvent(Event::MouseUp, 0, x, 20.0f); },
        [&] { host.TouchEvent(i % 24 == 6 ? Event::TouchDown : Event::TouchUp, 3, x, 5.0f); },
        [&] { host.MotionEvent(Event::MotionAccel, 0, 0.1f, 0.2f, 0.3f); },
        [&] { host.UpdateGame(); },
        [&] { host.UpdateGame(); },
        [&] { host.RenderGame(); },
        [&] { i % 48 == 11 ? (host.SuspendGame(), host.ResumeGame()) : host.UpdateGame(); }};
    events[i % 12]();
    ExpectEverythingReachableAlive();
    for (CountingSource* source : sources) ExpectAlive({{source, "async source"}});
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
