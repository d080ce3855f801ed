// The headless game: the host's event order without a window, input scripted by tests.
#include "support/game_harness.h"

// <cstdlib> for choosing OpenAL Soft's silent backend before the audio device opens.
#include <cstdlib>
#include <sstream>

#include "framework/app.h"
#include "framework/audio.h"
#include "framework/input.h"
#include "host/program.h"
#include "support/collector.h"

// ---------------------------------------------------------------------------------------------
// Public functions

// HarnessHost

bool HarnessHost::PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float>,
                               Array<bool> buttons) {
  if (port < 0 || port >= 4 || !joysticks[port].present) return false;
  const HarnessJoystick& pad = joysticks[port];
  for (int stick = 0; stick < 2; ++stick) {
    joyx[stick] = pad.x[stick];
    joyy[stick] = pad.y[stick];
  }
  for (int button = 0; button < buttons.Length() && button < 32; ++button)
    buttons[button] = pad.buttons[button];
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
  mode->width = 1366;
  mode->height = 768;
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

// RecordingAudio

RecordingAudio* RecordingAudio::Install(c_MyApp* app) {
  RecordingAudio* audio = gc_new<RecordingAudio>();
  audio->app_ = app;
  nx_audio_SetAudioDevice(audio);
  return audio;
}

std::vector<std::string> RecordingAudio::TakeVolumes() {
  std::vector<std::string> volumes;
  for (const std::string& call : calls) {
    if (call.rfind("volume", 0) == 0) volumes.push_back(call.substr(call.rfind(' ') + 1));
  }
  calls.clear();
  return volumes;
}

int RecordingAudio::PlaySample(gxtkSample* sample, int channel, int flags) {
  effects.push_back(-1);
  rates.push_back(0.0f);
  for (int n = 0; n < app_->m_sfx.Length(); ++n) {
    if (app_->m_sfx[n] != nullptr && app_->m_sfx[n]->m_sample == sample) effects.back() = n;
  }
  Log("play", channel, static_cast<float>(flags));
  return gxtkAudio::PlaySample(sample, channel, flags);
}

int RecordingAudio::SetRate(int channel, float rate) {
  if (!rates.empty()) rates.back() = rate;
  return Log("rate", channel, rate);
}

int RecordingAudio::Log(const char* what, int channel, float value) {
  std::ostringstream line;
  line << what << ' ' << channel << ' ' << value;
  calls.push_back(line.str());
  return 0;
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

void GameHarness::MouseDown() {
  host.MouseEvent(c_NxGameEvent::MouseDown, 0, nx_input_device->p_MouseX(),
                  nx_input_device->p_MouseY());
}

void GameHarness::MouseUp() {
  host.MouseEvent(c_NxGameEvent::MouseUp, 0, nx_input_device->p_MouseX(),
                  nx_input_device->p_MouseY());
}

void GameHarness::Click(float x, float y) {
  MouseMove(x, y);
  MouseDown();
  Update();
  MouseUp();
}

void GameHarness::TouchUp(int finger) {
  host.TouchEvent(c_NxGameEvent::TouchUp, finger, nx_input_device->p_TouchX(finger),
                  nx_input_device->p_TouchY(finger));
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
  for (int i = 0; i < RecordCount(); ++i) {
    bool glyph = Record(i)[c_MyApp::RecordKind] == static_cast<float>(app->m_fontSlot);
    if (glyph && !inRun) texts.emplace_back();
    if (glyph) texts.back().push_back(static_cast<char>(Record(i)[c_MyApp::RecordFrame] + 32));
    inRun = glyph;
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
