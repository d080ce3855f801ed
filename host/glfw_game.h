// The desktop host on GLFW: the window, the fixed-rate main loop with its suspension, input
// callbacks, joystick polling, file paths and the asset loaders the devices call.
#pragma once

#include "host/game.h"

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

  NxGlfwVideoMode* GetGlfwDesktopMode();
  Array<NxGlfwVideoMode*> GetGlfwVideoModes();

  static NxGlfwGame* _glfwGame;

 protected:
  bool _iconified = false;
  double _nextUpdate = 0.0;
  double _updatePeriod = 0.0;
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
