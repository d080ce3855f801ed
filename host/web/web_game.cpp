// The web host: the canvas through the browser's GLFW, one pass of the fixed-rate loop per
// animation frame, suspension from the page's visibility and focus, the state file on the
// browser's persistent storage (mounted and read by host/web/pre.js before the program starts).
#include "host/web/web_game.h"

// GLFW_INCLUDE_NONE: the host draws nothing, so it needs no OpenGL header.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
// The browser's main loop, the calls into the page's script and its touch events.
#include <emscripten.h>
#include <emscripten/html5.h>
// umask for the files the page writes.
#include <sys/stat.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "framework/app.h"
#include "framework/input.h"
#include "game/globals.h"
#include "game/my_app.h"
#include "host/program.h"
#include "runtime/errors.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

// The loop's view of the page. Events arrive between frames, so polling has nothing to do and
// waiting means letting frames pass until one has come.
class NxWebLoopPlatform final : public NxLoopPlatform {
 public:
  double Time() override { return glfwGetTime(); }
  void PollEvents() override {}
  void WaitEvents() override {
    waiting = true;
    EM_ASM(Module.nxPage.eventArrived = false);
  }
  // A frame that finds the next update not yet due simply ends; the next frame looks again.
  void Sleep(double) override {}
  bool WindowOpen() override { return true; }
  bool WindowIconified() override { return EM_ASM_INT(return document.hidden ? 1 : 0) != 0; }
  bool WindowFocused() override { return EM_ASM_INT(return Module.nxPage.focused ? 1 : 0) != 0; }

  // Whether the loop may run a pass now: always, unless it is waiting and nothing has come.
  bool Ready() {
    if (!waiting) return true;
    if (EM_ASM_INT(return Module.nxPage.eventArrived ? 1 : 0) == 0) return false;
    waiting = false;
    return true;
  }

 private:
  bool waiting = false;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

NxWebLoopPlatform nx_web_platform;
// Which touch (by the browser's identifier) holds each of the input device's finger slots; -1
// for none.
long nx_web_fingerTouch[c_InputDevice::Fingers];
// The folder host/web/pre.js mounts the browser's persistent storage on.
const char nx_web_statePath[] = "/saves/.zarnikstate";

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

void nx_web_Frame() {
  static_cast<NxWebGame*>(NxGlfwGame::_glfwGame)->Frame();
}

// The slot of a touch: the one it holds, or for a new touch the lowest free one; -1 when all
// are taken (that touch is then ignored).
int nx_web_FingerOf(long identifier, bool down) {
  for (int finger = 0; finger < c_InputDevice::Fingers; ++finger) {
    if (nx_web_fingerTouch[finger] == identifier) return finger;
  }
  if (!down) return -1;
  for (int finger = 0; finger < c_InputDevice::Fingers; ++finger) {
    if (nx_web_fingerTouch[finger] == -1) {
      nx_web_fingerTouch[finger] = identifier;
      return finger;
    }
  }
  return -1;
}

// Touches go to the game as touches, in canvas pixels like the pointer.
EM_BOOL nx_web_Touch(int type, const EmscriptenTouchEvent* event, void*) {
  double cssWidth = 0.0;
  double cssHeight = 0.0;
  int width = 0;
  int height = 0;
  emscripten_get_element_css_size("#canvas", &cssWidth, &cssHeight);
  emscripten_get_canvas_element_size("#canvas", &width, &height);
  if (cssWidth <= 0.0 || cssHeight <= 0.0 || NxGame::_game == nullptr) return EM_TRUE;
  int code = c_NxGameEvent::TouchMove;
  if (type == EMSCRIPTEN_EVENT_TOUCHSTART) code = c_NxGameEvent::TouchDown;
  if (type == EMSCRIPTEN_EVENT_TOUCHEND || type == EMSCRIPTEN_EVENT_TOUCHCANCEL) {
    code = c_NxGameEvent::TouchUp;
  }
  for (int i = 0; i < event->numTouches; ++i) {
    const EmscriptenTouchPoint& touch = event->touches[i];
    if (touch.isChanged == 0) continue;
    int finger = nx_web_FingerOf(touch.identifier, code == c_NxGameEvent::TouchDown);
    if (finger < 0) continue;
    if (code == c_NxGameEvent::TouchUp) nx_web_fingerTouch[finger] = -1;
    auto x = static_cast<float>(static_cast<double>(touch.targetX) * width / cssWidth);
    auto y = static_cast<float>(static_cast<double>(touch.targetY) * height / cssHeight);
    NxGame::_game->TouchEvent(code, finger, x, y);
  }
  // Handled: the browser neither scrolls nor makes mouse events of it.
  return EM_TRUE;
}

// On a touch screen the game runs with its own touch configuration (the on-screen pad and
// the touch areas), and touches reach it as touches instead of as the mouse.
void nx_web_UseTouchScreen() {
  nx_Game_OnScreenControls = 1;
  std::fill(std::begin(nx_web_fingerTouch), std::end(nx_web_fingerTouch), -1L);
  EM_ASM(Module.nxPage.takeTouches());
  emscripten_set_touchstart_callback("#canvas", nullptr, EM_TRUE, nx_web_Touch);
  emscripten_set_touchmove_callback("#canvas", nullptr, EM_TRUE, nx_web_Touch);
  emscripten_set_touchend_callback("#canvas", nullptr, EM_TRUE, nx_web_Touch);
  emscripten_set_touchcancel_callback("#canvas", nullptr, EM_TRUE, nx_web_Touch);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

// The page's script calls this when the page left fullscreen without the game asking (the
// player's Escape), or refused to enter it: the game then knows it is in a window, and its
// next switch asks for fullscreen again.
extern "C" EMSCRIPTEN_KEEPALIVE void nx_web_FullscreenLeft() {
  auto* app = static_cast<c_MyApp*>(nx_app__app);
  if (app != nullptr) app->m_fullscreen = 0;
}

// The page's script calls this when the page is hidden or loses focus.
extern "C" EMSCRIPTEN_KEEPALIVE void nx_web_PageChanged() {
  if (NxGlfwGame::_glfwGame != nullptr) {
    static_cast<NxWebGame*>(NxGlfwGame::_glfwGame)->PageChanged();
  }
}

NxWebGame::NxWebGame() {
  SetLoopPlatform(&nx_web_platform);
}

int NxWebGame::Main(int argumentCount, const char** arguments) {
  // The browser's runtime starts with every permission bit masked, which would save the state
  // file unreadable; a desktop session's usual mask instead.
  umask(022);
  if (glfwInit() != GLFW_TRUE) {
    nxPrint(String(u"glfwInit failed"));
    return -1;
  }
  // The one host game object lives as long as the page.
  NxWebGame* game = new NxWebGame();
  try {
    nx_std_main(argumentCount, arguments);
    if (EM_ASM_INT(return Module.nxPage.touchScreen ? 1 : 0) != 0) nx_web_UseTouchScreen();
    if (game->Delegate() != nullptr) game->Run();
  } catch (ThrowableObject* exception) {
    game->Die(exception);
  }
  return 0;
}

void NxWebGame::Run() {
  SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  StartGame();
  RenderGame();
  // Frames at the browser's own rate; main returns and the page keeps running.
  emscripten_set_main_loop(nx_web_Frame, 0, 0);
}

void NxWebGame::SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                              int depth, int stencil, bool fullscreen) {
  if (_window == nullptr) {
    NxGlfwGame::SetGlfwWindow(width, height, red, green, blue, alpha, depth, stencil, false);
    return;
  }
  ReleaseHeldInput();
  EM_ASM({ Module.nxPage.setFullscreen($0 != 0); }, fullscreen ? 1 : 0);
}

bool NxWebGame::CanQuit() {
  return false;
}

void NxWebGame::UpdateGame() {
  ++updatesRun;
  NxGlfwGame::UpdateGame();
}

void NxWebGame::RenderGame() {
  double start = emscripten_get_now();
  NxGlfwGame::RenderGame();
  lastRenderMs = emscripten_get_now() - start;
  ++rendersRun;
}

String NxWebGame::LoadState() {
  return LoadString(String(nx_web_statePath));
}

int NxWebGame::SaveState(String state) {
  std::vector<unsigned char> bytes;
  state.Save(bytes);
  int result = nx_data_SaveAtomically(nx_web_statePath, bytes);
  if (result == 0) EM_ASM(Module.nxPage.flushSaves());
  return result;
}

void NxWebGame::Frame() {
  if (nx_web_platform.Ready()) RunIteration();
}

void NxWebGame::PageChanged() {
  if (_suspended) return;
  if (nx_web_platform.WindowIconified()) {
    _iconified = true;
    SuspendGame();
  } else if (!nx_web_platform.WindowFocused()) {
    SuspendGame();
  }
}
