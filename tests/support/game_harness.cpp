// The headless game: the host's event order without a window, input scripted by tests.
#include "support/game_harness.h"

// <cstdlib> for choosing OpenAL Soft's silent backend before the audio device opens.
#include <cstdlib>

#include "framework/app.h"
#include "framework/input.h"
#include "host/program.h"
#include "support/collector.h"

// ---------------------------------------------------------------------------------------------
// Public functions

// HarnessHost

bool HarnessHost::PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                               Array<bool> buttons) {
  if (port < 0 || port >= 4 || !joysticks[port].present) return false;
  const HarnessJoystick& pad = joysticks[port];
  for (int stick = 0; stick < 2; ++stick) {
    joyx[stick] = pad.x[stick];
    joyy[stick] = pad.y[stick];
    joyz[stick] = pad.z[stick];
  }
  for (int button = 0; button < buttons.Length() && button < 32; ++button) {
    buttons[button] = pad.buttons[button];
  }
  return true;
}

int HarnessHost::SaveState(String text) {
  saveCount += 1;
  if (saveResult == 0) state = text.ToUtf8();
  return saveResult;
}

void HarnessHost::SetGlfwWindow(int width, int height, int, int, int, int, int, int,
                                bool fullscreenWindow) {
  recorder->windowWidth = width;
  recorder->windowHeight = height;
  fullscreen = fullscreenWindow;
  windowOpens += 1;
  ++glfwGraphicsSeq;
}

NxGlfwVideoMode* HarnessHost::GetGlfwDesktopMode() {
  NxGlfwVideoMode* mode = gc_new<NxGlfwVideoMode>();
  mode->width = desktopWidth;
  mode->height = desktopHeight;
  mode->red = mode->green = mode->blue = 8;
  return mode;
}

void HarnessHost::gc_collect() {
  NxGame::gc_collect();
  if (!collectEveryEvent) return;
  ::gc_collect_all();
  DrainFreeList();
  NxGame::gc_collect();
}

// GameHarness

GameHarness::GameHarness(int width, int height, const std::string& state) {
  setenv("ALSOFT_DRIVERS", "null", 0);
  host.recorder = &gl;
  // A black window to read back, for the music loader's decoding through the device.
  gl.windowPixel = [](int, int) { return 0u; };
  host.state = state;
  nxInit();
  gc_mark();
  nxMain();
  host.SetGlfwWindow(width, height, 8, 8, 8, 0, 0, 0, false);
  host.windowOpens = 0;
  host.StartGame();
  app = static_cast<c_MyApp*>(nx_app__app);
  Render();
}

GameHarness::~GameHarness() = default;

void GameHarness::Update(int count) {
  for (int i = 0; i < count; ++i) {
    updates_ += 1;
    host.clockMs = static_cast<int>(static_cast<long long>(updates_) * 1000 / 60);
    host.UpdateGame();
    std::vector<int> releases;
    releases.swap(pendingReleases_);
    for (int code : releases) KeyUp(code);
  }
}

void GameHarness::Render() {
  gl.draws.clear();
  gl.blends.clear();
  host.RenderGame();
}

void GameHarness::Step(int count) {
  for (int i = 0; i < count; ++i) {
    Update();
    Render();
  }
}

void GameHarness::FinishLoading() {
  for (int i = 0; i < 200 && app->m_loadStep > 0; ++i) Step();
}

void GameHarness::Press(int code) {
  KeyDown(code);
  pendingReleases_.push_back(code);
}

void GameHarness::MouseDown(int button) {
  host.MouseEvent(c_NxGameEvent::MouseDown, button, nx_input_device->p_MouseX(),
                  nx_input_device->p_MouseY());
}

void GameHarness::MouseUp(int button) {
  host.MouseEvent(c_NxGameEvent::MouseUp, button, nx_input_device->p_MouseX(),
                  nx_input_device->p_MouseY());
}

void GameHarness::Click(float x, float y) {
  MouseMove(x, y);
  MouseDown();
  Update();
  MouseUp();
}

void GameHarness::TouchDown(int finger, float x, float y) {
  host.TouchEvent(c_NxGameEvent::TouchDown, finger, x, y);
}

void GameHarness::TouchUp(int finger) {
  host.TouchEvent(c_NxGameEvent::TouchUp, finger, nx_input_device->p_TouchX(finger),
                  nx_input_device->p_TouchY(finger));
}

void GameHarness::Resize(int width, int height) {
  gl.windowWidth = width;
  gl.windowHeight = height;
}

std::vector<int> GameHarness::RecordsOfKind(float kind) const {
  std::vector<int> found;
  for (int i = 0; i < RecordCount(); ++i) {
    if (Record(i)[c_MyApp::RecordKind] == kind) found.push_back(i);
  }
  return found;
}

std::vector<std::string> GameHarness::Texts() const {
  std::vector<std::string> texts;
  bool inRun = false;
  float font = static_cast<float>(app->m_fontSlot);
  for (int i = 0; i < RecordCount(); ++i) {
    const float* record = Record(i);
    if (record[c_MyApp::RecordKind] != font) {
      inRun = false;
      continue;
    }
    if (!inRun) texts.emplace_back();
    inRun = true;
    texts.back().push_back(static_cast<char>(static_cast<int>(record[c_MyApp::RecordFrame]) + 32));
  }
  return texts;
}

bool GameHarness::HasText(const std::string& text) const {
  std::string wanted;
  for (char c : text) {
    if (c != ' ' && c != '\n') wanted.push_back(c);
  }
  for (const std::string& drawn : Texts()) {
    if (drawn.find(wanted) != std::string::npos) return true;
  }
  return false;
}
