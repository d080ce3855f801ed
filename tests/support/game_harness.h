// The real game driven update by update without a window: a host with a scripted clock,
// joysticks, window and state store, a recording stand-in for OpenGL and a recording audio
// device. Tests and benchmarks script input, run updates and renders, and read the game's
// fields and records.
#pragma once

#include <string>
#include <vector>

#include "devices/audio.h"
#include "devices/graphics_recorder.h"
#include "game/my_app.h"
#include "host/glfw_game.h"

// ---------------------------------------------------------------------------------------------
// Types

// The input device's codes of the keys the menus and the ball answer to.
enum HarnessKey { kEnter = 13, kEscape = 27, kLeft = 37, kUp = 38, kRight = 39, kDown = 40 };

// One joystick unit as the host reports it: axes in the input device's arrangement.
struct HarnessJoystick {
  bool present = false;
  float x[2] = {};
  float y[2] = {};
  bool buttons[32] = {};
};

class HarnessHost : public NxGlfwGame {
 public:
  int clockMs = 0;
  HarnessJoystick joysticks[4];
  // The state store: what LoadState answers and the last string saved.
  std::string state;
  int saveCount = 0;
  // What SaveState reports (0 success, -1 or -2 the state file's failures).
  int saveResult = 0;
  bool fullscreen = false;
  int windowOpens = 0;
  // Finishes the collector's cycle after every host event, destroys what it found unreachable
  // at once and marks the roots again, so the next event stores into black objects: a store
  // that skipped the write barrier loses its object within one event.
  bool collectEveryEvent = false;
  GLRecorder* recorder = nullptr;

  int Millisecs() override { return clockMs; }
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override;
  int SaveState(String text) override;
  String LoadState() override { return String(state.c_str()); }
  void SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
                     int stencil, bool fullscreen) override;
  // A 1366 x 768 desktop.
  NxGlfwVideoMode* GetGlfwDesktopMode() override;
  void gc_collect() override;
};

// The real audio device, with the channel operations the game makes written down in order
// ("stop 3 0", "volume 3 0.5"), and which of the game's effects each play started (-1 for none)
// at what rate.
class RecordingAudio : public gxtkAudio {
 public:
  // A recorder installed as the game's device.
  static RecordingAudio* Install(c_MyApp* app);

  std::vector<std::string> calls;
  std::vector<int> effects;
  std::vector<float> rates;

  // The volumes set since the last call, as written down.
  std::vector<std::string> TakeVolumes();

  int PlaySample(gxtkSample* sample, int channel, int flags) override;
  int StopChannel(int channel) override { return Log("stop", channel, 0.0f); }
  int SetVolume(int channel, float volume) override { return Log("volume", channel, volume); }
  int SetPan(int channel, float pan) override { return Log("pan", channel, pan); }
  int SetRate(int channel, float rate) override;

 private:
  int Log(const char* what, int channel, float value);

  c_MyApp* app_ = nullptr;
};

class GameHarness {
 public:
  // The window size, and the state the store holds when the game starts. The game is
  // created and rendered once, as the host does before the first update.
  explicit GameHarness(int width = 640, int height = 480, const std::string& state = "");
  GameHarness(const GameHarness&) = delete;
  GameHarness& operator=(const GameHarness&) = delete;

  GLRecorder gl;
  HarnessHost host;
  c_MyApp* app = nullptr;

  // One update (the clock moves on by a sixtieth of a second first), then the releases of
  // the presses scripted before it.
  void Update(int count = 1);
  // One render; `gl` then holds that render's batches only.
  void Render();
  // Updates and a render after each, as the host runs them.
  void Step(int count = 1);
  // Steps until the asset loader has finished (at most 200 steps).
  void FinishLoading();

  // Keys by the input device's codes. A press goes down now and comes up after the next
  // update, so that update sees it held and hit; a tap also lets the release be seen, so the
  // next press acts.
  void KeyDown(int code) { host.KeyEvent(c_NxGameEvent::KeyDown, code); }
  void KeyUp(int code) { host.KeyEvent(c_NxGameEvent::KeyUp, code); }
  void Press(int code);
  void Tap(int code) {
    Press(code);
    Update(2);
  }
  void Char(int character) { host.KeyEvent(c_NxGameEvent::KeyChar, character); }
  // The pointer in window pixels; buttons and fingers come up where they are.
  void MouseMove(float x, float y) { host.MouseEvent(c_NxGameEvent::MouseMove, -1, x, y); }
  void MouseDown();
  void MouseUp();
  void Click(float x, float y);
  void TouchDown(int finger, float x, float y) {
    host.TouchEvent(c_NxGameEvent::TouchDown, finger, x, y);
  }
  void TouchUp(int finger);

  // One slot of an entity of the play field (c_MyApp::Ball, LeftPaddle, RightPaddle).
  float& Entity(int entity, int slot) {
    return app->m_players[entity * c_MyApp::EntityStride + slot];
  }
  // The draw records of the last update.
  int RecordCount() const { return app->m_drawCount / c_MyApp::DrawRecordFloats; }
  const float* Record(int index) const {
    return app->m_drawList.Data() + index * c_MyApp::DrawRecordFloats;
  }
  // Indices of the records of one kind (an image slot, or c_MyApp::KindRect, KindOval).
  std::vector<int> RecordsOfKind(float kind) const;
  // The texts the last update wrote with the current font, one per run of glyph records
  // (characters without a glyph, such as spaces, do not appear).
  std::vector<std::string> Texts() const;
  bool HasText(const std::string& text) const;

 private:
  std::vector<int> pendingReleases_;
  int updates_ = 0;
};
