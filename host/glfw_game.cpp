// The desktop host on GLFW 3: the window and its context, the main loop, the input callbacks
// (adapted to the GLFW 2 arguments the framework's events were defined by), joysticks, video
// modes and the desktop's URL opener.
#include "host/glfw_game.h"

// GLFW_INCLUDE_NONE: the host draws nothing, so it needs no OpenGL header.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

// fork/exec for the URL opener; nanosleep for the loop's sleep.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "host/joystick.h"
#include "runtime/errors.h"
#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

class NxGlfwLoopPlatform final : public NxLoopPlatform {
 public:
  double Time() override { return glfwGetTime(); }
  void PollEvents() override { glfwPollEvents(); }
  void WaitEvents() override { glfwWaitEvents(); }

  void Sleep(double seconds) override {
    // The loop recomputes the delay after every sleep, so a cap only bounds the conversion.
    double capped = std::clamp(seconds, 0.0, 1.0);
    std::timespec delay{};
    delay.tv_sec = static_cast<time_t>(capped);
    delay.tv_nsec = static_cast<long>((capped - static_cast<double>(delay.tv_sec)) * 1e9);
    if (delay.tv_nsec > 999999999L) delay.tv_nsec = 999999999L;
    nanosleep(&delay, nullptr);
  }

  bool WindowOpen() override {
    GLFWwindow* window = Window();
    return window != nullptr && glfwWindowShouldClose(window) == GLFW_FALSE;
  }

  bool WindowIconified() override {
    GLFWwindow* window = Window();
    return window != nullptr && glfwGetWindowAttrib(window, GLFW_ICONIFIED) != 0;
  }

  bool WindowFocused() override {
    GLFWwindow* window = Window();
    if (window == nullptr) return false;
    if (!NxGlfwGame::_glfwGame->FocusKnown()) return true;
    return glfwGetWindowAttrib(window, GLFW_FOCUSED) != 0;
  }

 private:
  static GLFWwindow* Window() {
    return NxGlfwGame::_glfwGame == nullptr ? nullptr : NxGlfwGame::_glfwGame->Window();
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Globals

int glfwGraphicsSeq = 0;
NxGlfwGame* NxGlfwGame::_glfwGame = nullptr;

namespace {

NxGlfwLoopPlatform nx_glfw_platform;
constexpr int nx_glfw_closeKey = 432;
constexpr int nx_glfw_maxVideoModes = 1024;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// Pointer positions arrive as doubles; the framework has always seen whole pixels.
float nx_glfw_Pixel(double coordinate) {
  if (std::isnan(coordinate)) return 0.0f;
  double clamped = std::clamp(coordinate, -1e9, 1e9);
  return static_cast<float>(static_cast<int>(clamped));
}

// The game lays out by framebuffer pixels, which a scaled display makes more numerous than the
// window's units, so the pointer is reported in framebuffer pixels too.
void nx_glfw_ToFramebuffer(GLFWwindow* window, double& x, double& y) {
  int windowWidth = 0;
  int windowHeight = 0;
  int framebufferWidth = 0;
  int framebufferHeight = 0;
  glfwGetWindowSize(window, &windowWidth, &windowHeight);
  glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
  x = NxGlfwGame::ToFramebuffer(x, windowWidth, framebufferWidth);
  y = NxGlfwGame::ToFramebuffer(y, windowHeight, framebufferHeight);
}

void nx_glfw_CursorPosition(GLFWwindow* window, double& x, double& y) {
  glfwGetCursorPos(window, &x, &y);
  nx_glfw_ToFramebuffer(window, x, y);
}

void nx_glfw_KeyCallback(GLFWwindow*, int key, int, int action, int) {
  NxGlfwGame::OnKey(key, action == GLFW_REPEAT ? GLFW_PRESS : action);
}

// Text is UTF-16 and queued characters above 0xFFFF stand for the cursor and editing keys
// (65536 + key code), so a character beyond 16 bits would read as one of those keys.
void nx_glfw_CharCallback(GLFWwindow*, unsigned int codepoint) {
  if (codepoint > 0xFFFFu) return;
  NxGlfwGame::OnChar(static_cast<int>(codepoint), GLFW_PRESS);
}

void nx_glfw_MouseButtonCallback(GLFWwindow* window, int button, int action, int) {
  double x = 0.0;
  double y = 0.0;
  nx_glfw_CursorPosition(window, x, y);
  NxGlfwGame::OnMouseButton(button, action, x, y);
}

void nx_glfw_CursorPosCallback(GLFWwindow* window, double x, double y) {
  nx_glfw_ToFramebuffer(window, x, y);
  NxGlfwGame::OnMousePos(x, y);
}

// GLFW 3 cannot refuse a close from its callback, so the request is withdrawn afterwards;
// the framework decides what the close key means.
void nx_glfw_CloseCallback(GLFWwindow* window) {
  NxGlfwGame::OnWindowClose();
  glfwSetWindowShouldClose(window, GLFW_FALSE);
}

void nx_glfw_FocusCallback(GLFWwindow*, int focused) {
  NxGlfwGame::OnWindowFocus(focused != 0);
}

// Hints persist between windows in GLFW 3 and default to a deeper framebuffer, so every one
// the window depends on is set for each window.
void nx_glfw_SetWindowHints(int red, int green, int blue, int alpha, int depth, int stencil,
                            bool fullscreen) {
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_RED_BITS, red);
  glfwWindowHint(GLFW_GREEN_BITS, green);
  glfwWindowHint(GLFW_BLUE_BITS, blue);
  glfwWindowHint(GLFW_ALPHA_BITS, alpha);
  glfwWindowHint(GLFW_DEPTH_BITS, depth);
  glfwWindowHint(GLFW_STENCIL_BITS, stencil);
  glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
  // Version 1.0 with any profile gets a compatibility context: the renderer is fixed-function.
  glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_API);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_ANY_PROFILE);
  // A windowed window is shown only once it stands at its centred position.
  glfwWindowHint(GLFW_VISIBLE, fullscreen ? GLFW_TRUE : GLFW_FALSE);
}

void nx_glfw_InstallCallbacks(GLFWwindow* window) {
  glfwSetKeyCallback(window, nx_glfw_KeyCallback);
  glfwSetCharCallback(window, nx_glfw_CharCallback);
  glfwSetMouseButtonCallback(window, nx_glfw_MouseButtonCallback);
  glfwSetCursorPosCallback(window, nx_glfw_CursorPosCallback);
  glfwSetWindowCloseCallback(window, nx_glfw_CloseCallback);
  glfwSetWindowFocusCallback(window, nx_glfw_FocusCallback);
}

NxGlfwVideoMode* nx_glfw_VideoMode(const GLFWvidmode* mode) {
  NxGlfwVideoMode* record = gc_new<NxGlfwVideoMode>();
  if (mode != nullptr) {
    record->width = mode->width;
    record->height = mode->height;
    record->red = mode->redBits;
    record->green = mode->greenBits;
    record->blue = mode->blueBits;
  }
  return record;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

NxGlfwGame::NxGlfwGame() : _platform(&nx_glfw_platform) {
  _glfwGame = this;
}

NxGlfwGame::~NxGlfwGame() {
  if (_glfwGame == this) _glfwGame = nullptr;
}

void NxGlfwGame::SetLoopPlatform(NxLoopPlatform* platform) {
  _platform = platform != nullptr ? platform : &nx_glfw_platform;
}

void NxGlfwGame::SetUpdateRate(int hertz) {
  _updateRate = hertz;
  if (hertz == 0) return;
  _updatePeriod = 1.0 / hertz;
  _nextUpdate = _platform->Time() + _updatePeriod;
}

// In 64 bits, then wrapped: a 32-bit product of the clock would be undefined after 24.8 days.
int NxGlfwGame::Millisecs() {
  double seconds = _platform->Time();
  if (!(seconds > 0.0)) return 0;
  double milliseconds = std::min(seconds * 1000.0, 9e15);
  auto wrapped = static_cast<uint32_t>(static_cast<uint64_t>(milliseconds));
  return static_cast<int>(wrapped);
}

// A pad that GLFW's mapping database knows is read through its mapping, so every such pad
// numbers its buttons alike; any other keeps its raw numbering.
bool NxGlfwGame::PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                              Array<bool> buttons) {
  if (port < 0 || port > GLFW_JOYSTICK_LAST) return false;
  NxJoystickSeam& glfw = nx_joystick_table;
  if (glfw.JoystickPresent(port) == GLFW_FALSE) {
    if (_joystickPresent[port]) nx_joystick_Clear(joyx, joyy, joyz, buttons);
    _joystickPresent[port] = false;
    return false;
  }
  _joystickPresent[port] = true;
  GLFWgamepadstate gamepad{};
  if (glfw.JoystickIsGamepad(port) == GLFW_TRUE &&
      glfw.GetGamepadState(port, &gamepad) == GLFW_TRUE) {
    nx_joystick_ArrangeGamepad(gamepad, joyx, joyy, joyz, buttons);
    return true;
  }
  int axisCount = 0;
  const float* axes = glfw.GetJoystickAxes(port, &axisCount);
  if (axes == nullptr) axisCount = 0;
  int buttonCount = 0;
  const unsigned char* buttonStates = glfw.GetJoystickButtons(port, &buttonCount);
  if (buttonStates == nullptr) buttonCount = 0;
  nx_joystick_Arrange(axes, axisCount, buttonStates, buttonCount, joyx, joyy, joyz, buttons);
  return true;
}

// The opener runs without a shell, so nothing in the address is ever interpreted as a
// command. A grandchild runs it so the game neither waits for the browser nor leaves a zombie.
void NxGlfwGame::OpenUrl(String url) {
  std::string address = url.ToUtf8();
  // An empty address or one that reads as an option of the opener is not an address.
  if (address.empty() || address[0] == '-' || address.find('\0') != std::string::npos) return;
  char program[] = "xdg-open";
  char* arguments[] = {program, address.data(), nullptr};
  pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    pid_t grandchild = fork();
    if (grandchild == 0) {
      execvp(program, arguments);
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

void NxGlfwGame::SetMouseVisible(bool visible) {
  if (_window == nullptr) return;
  glfwSetInputMode(_window, GLFW_CURSOR, visible ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_HIDDEN);
}

String NxGlfwGame::PathToFilePath(String path) {
  return nx_data_PathToFilePath(path);
}

void NxGlfwGame::ReleaseHeldInput() {
  if (_window == nullptr) return;
  for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST; ++key) {
    int code = TransKey(key);
    if (code != 0 && glfwGetKey(_window, key) == GLFW_PRESS) {
      KeyEvent(c_NxGameEvent::KeyUp, code);
    }
  }
  for (int button = GLFW_MOUSE_BUTTON_1; button <= GLFW_MOUSE_BUTTON_3; ++button) {
    if (glfwGetMouseButton(_window, button) != GLFW_PRESS) continue;
    double x = 0.0;
    double y = 0.0;
    nx_glfw_CursorPosition(_window, x, y);
    MouseEvent(c_NxGameEvent::MouseUp, button, nx_glfw_Pixel(x), nx_glfw_Pixel(y));
  }
}

void NxGlfwGame::SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                               int depth, int stencil, bool fullscreen) {
  ReleaseHeldInput();
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* desktop = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
  if (_window != nullptr) {
    glfwDestroyWindow(_window);
    _window = nullptr;
  }
  nx_glfw_SetWindowHints(red, green, blue, alpha, depth, stencil, fullscreen);
  GLFWwindow* window = fullscreen ? glfwCreateWindow(width, height, "", monitor, nullptr)
                                  : glfwCreateWindow(width, height, "Vexadrome", nullptr, nullptr);
  // Going on without a window would only end the run later as if it had succeeded.
  if (window == nullptr) {
    nxPrint(String(u"glfwCreateWindow failed"));
    glfwTerminate();
    std::exit(-1);
  }
  _window = window;
  _focusKnown = false;
  ++glfwGraphicsSeq;
  glfwMakeContextCurrent(window);
  if (!fullscreen) {
    if (desktop != nullptr) {
      glfwSetWindowPos(window, (desktop->width - width) / 2, (desktop->height - height) / 2);
    }
    glfwShowWindow(window);
  }
  nx_glfw_InstallCallbacks(window);
}

void NxGlfwGame::Run() {
  SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  StartGame();
  RenderGame();
  while (RunIteration()) {
  }
}

bool NxGlfwGame::RunIteration() {
  NxLoopPlatform& platform = *_platform;
  platform.PollEvents();
  if (!platform.WindowOpen()) return false;

  if (platform.WindowIconified()) {
    if (!_suspended) {
      _iconified = true;
      SuspendGame();
    }
  } else if (platform.WindowFocused()) {
    if (_suspended) {
      _iconified = false;
      ResumeGame();
      // No catch-up for the time spent suspended.
      _nextUpdate = platform.Time();
    }
  } else if (!_suspended) {
    SuspendGame();
  }

  if (_updateRate == 0 || _suspended) {
    if (!_iconified) RenderGame();
    platform.WaitEvents();
    return true;
  }

  // Only a strictly positive delay sleeps; events are polled again before the update.
  double delay = _nextUpdate - platform.Time();
  if (delay > 0.0) {
    platform.Sleep(delay);
    return true;
  }

  constexpr int maxUpdates = 4;
  bool stillBehind = false;
  for (int update = 1; update <= maxUpdates; ++update) {
    _nextUpdate += _updatePeriod;
    UpdateGame();
    if (_updateRate == 0 || _nextUpdate - platform.Time() > 0.0) break;
    stillBehind = update == maxUpdates;
  }
  RenderGame();
  // A machine that cannot keep up slows the game down rather than skipping updates.
  if (stillBehind && _updateRate != 0) _nextUpdate = platform.Time();
  return true;
}

NxGlfwVideoMode* NxGlfwGame::GetGlfwDesktopMode() {
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  return nx_glfw_VideoMode(monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr);
}

Array<NxGlfwVideoMode*> NxGlfwGame::GetGlfwVideoModes() {
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  int count = 0;
  const GLFWvidmode* modes = monitor != nullptr ? glfwGetVideoModes(monitor, &count) : nullptr;
  if (modes == nullptr) count = 0;
  count = std::min(count, nx_glfw_maxVideoModes);
  Array<NxGlfwVideoMode*> result(count);
  for (int i = 0; i < count; ++i) gc_assign(result[i], nx_glfw_VideoMode(&modes[i]));
  return result;
}

void NxGlfwGame::OnKey(int key, int action) {
  int code = TransKey(key);
  if (code == 0 || NxGame::_game == nullptr) return;
  if (action == GLFW_RELEASE) {
    NxGame::_game->KeyEvent(c_NxGameEvent::KeyUp, code);
  } else if (action == GLFW_PRESS || action == GLFW_REPEAT) {
    NxGame::_game->KeyEvent(c_NxGameEvent::KeyDown, code);
    int character = KeyToChar(code);
    if (character != 0) NxGame::_game->KeyEvent(c_NxGameEvent::KeyChar, character);
  }
}

void NxGlfwGame::OnChar(int chr, int action) {
  if (action != GLFW_PRESS || NxGame::_game == nullptr) return;
  NxGame::_game->KeyEvent(c_NxGameEvent::KeyChar, chr);
}

void NxGlfwGame::OnMouseButton(int button, int action, double x, double y) {
  if (button < 0 || button > 2 || NxGame::_game == nullptr) return;
  float pixelX = nx_glfw_Pixel(x);
  float pixelY = nx_glfw_Pixel(y);
  if (action == GLFW_RELEASE) {
    NxGame::_game->MouseEvent(c_NxGameEvent::MouseUp, button, pixelX, pixelY);
  } else if (action == GLFW_PRESS) {
    NxGame::_game->MouseEvent(c_NxGameEvent::MouseDown, button, pixelX, pixelY);
  }
}

void NxGlfwGame::OnMousePos(double x, double y) {
  if (NxGame::_game == nullptr) return;
  NxGame::_game->MouseEvent(c_NxGameEvent::MouseMove, -1, nx_glfw_Pixel(x), nx_glfw_Pixel(y));
}

double NxGlfwGame::ToFramebuffer(double coordinate, int windowExtent, int framebufferExtent) {
  if (windowExtent <= 0 || framebufferExtent <= 0) return coordinate;
  return coordinate * framebufferExtent / windowExtent;
}

int NxGlfwGame::OnWindowClose() {
  if (NxGame::_game != nullptr) {
    NxGame::_game->KeyEvent(c_NxGameEvent::KeyDown, nx_glfw_closeKey);
    NxGame::_game->KeyEvent(c_NxGameEvent::KeyUp, nx_glfw_closeKey);
  }
  return 0;
}

void NxGlfwGame::OnWindowFocus(bool) {
  if (_glfwGame != nullptr) _glfwGame->_focusKnown = true;
}
