// The desktop host on GLFW: the window, the fixed-rate main loop with its suspension, input
// callbacks, joystick polling, file paths and the asset loaders the devices call.
#pragma once

#include "host/game.h"
#include "host/loop_schedule.h"

// The window handle is only passed around here; its definition stays inside GLFW.
struct GLFWwindow;

// ---------------------------------------------------------------------------------------------
// Types

// A video mode, channels in red, green, blue order (bits per channel).
class NxGlfwVideoMode : public Object {
 public:
  int width = 0;
  int height = 0;
  int red = 0;
  int green = 0;
  int blue = 0;
};

class NxGlfwGame : public NxGame {
 public:
  NxGlfwGame();
  ~NxGlfwGame() override;

  void SetUpdateRate(int hertz) override;
  int Millisecs() override;
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override;
  void OpenUrl(String url) override;
  void SetMouseVisible(bool visible) override;
  String PathToFilePath(String path) override;

  // Decoded pixels of an image file, `depth` bytes a pixel as the file has them; null when the
  // file is missing or cannot be decoded. The caller frees the block with free().
  virtual unsigned char* LoadImageData(String path, int* width, int* height, int* depth);
  // Interleaved PCM of a .wav or .ogg file (chosen by extension); null on any failure. The
  // caller frees the block with free().
  virtual unsigned char* LoadAudioData(String path, int* length, int* channels, int* format,
                                       int* hertz);
  virtual void SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                             int depth, int stencil, bool fullscreen);
  virtual void Run();

  virtual NxGlfwVideoMode* GetGlfwDesktopMode();
  Array<NxGlfwVideoMode*> GetGlfwVideoModes();

  // One pass of the main loop after start: events, suspension, sleep or updates and a
  // render. False once the window is gone.
  bool RunIteration();
  // Replaces the clock and window the loop consults (tests); null restores GLFW's.
  void SetLoopPlatform(NxLoopPlatform* platform);
  GLFWwindow* Window() { return _window; }
  // Whether the current window has had a focus event yet (X11 delivers the first one a
  // little after the window opens; until then the window counts as focused).
  bool FocusKnown() { return _focusKnown; }

  // The input callbacks with GLFW 2's arguments (GLFW 3's adapters call them). They forward
  // through NxGame::_game.
  static void OnKey(int key, int action);
  static void OnChar(int chr, int action);
  // `x` and `y` are the pointer position at the time of the click. Positions are in
  // framebuffer pixels, the unit the game lays out by.
  static void OnMouseButton(int button, int action, double x, double y);
  static void OnMousePos(double x, double y);
  static int OnWindowClose();
  static void OnWindowFocus(bool focused);
  // A pointer coordinate in window units as a framebuffer coordinate (a scaled display has
  // more framebuffer pixels than window units); unchanged while either extent is unknown.
  static double ToFramebuffer(double coordinate, int windowExtent, int framebufferExtent);
  static int TransKey(int key);
  static int KeyToChar(int code);

  static NxGlfwGame* _glfwGame;

 protected:
  // Key-up for every key and mouse-up for every button still held, before the window that
  // would lose their releases goes.
  void ReleaseHeldInput();

  bool _iconified = false;
  double _nextUpdate = 0.0;
  double _updatePeriod = 0.0;
  GLFWwindow* _window = nullptr;
  bool _focusKnown = false;
  NxLoopPlatform* _platform = nullptr;
  // Which joystick ports had a pad at the last poll, so a pad that goes is cleared once.
  bool _joystickPresent[16] = {};
};

class NxZarnikGame : public NxGlfwGame {
 public:
  // The whole run: GLFW start-up, the runtime's start-up, the main loop and the end.
  static int Main(int argc, const char** argv);
};

// ---------------------------------------------------------------------------------------------
// Globals

// Incremented every time a window (and with it an OpenGL context) is opened, so surfaces can
// tell that their textures belong to an older context.
extern int glfwGraphicsSeq;
