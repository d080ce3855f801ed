// The platform-neutral host game object: its flags, the delegate it forwards every host
// event to, and the services (clock, files, state file) the framework asks of the platform.
#pragma once

// <cstdio> for the FILE handles the file services hand out; <string> and <vector> for the
// byte-level state file writer.
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/string.h"

// ---------------------------------------------------------------------------------------------
// Types

// The event codes shared by the host, the framework's delegate and the input device.
struct c_NxGameEvent {
  static constexpr int KeyDown = 1;
  static constexpr int KeyUp = 2;
  static constexpr int KeyChar = 3;
  static constexpr int MouseDown = 4;
  static constexpr int MouseUp = 5;
  static constexpr int MouseMove = 6;
  static constexpr int TouchDown = 7;
  static constexpr int TouchUp = 8;
  static constexpr int TouchMove = 9;
  static constexpr int MotionAccel = 10;
};

// What the host calls; the framework's delegate implements it. The base versions do nothing.
class NxGameDelegate : public Object {
 public:
  virtual void StartGame() {}
  virtual void SuspendGame() {}
  virtual void ResumeGame() {}
  virtual void UpdateGame() {}
  virtual void RenderGame() {}
  virtual void KeyEvent(int, int) {}
  virtual void MouseEvent(int, int, float, float) {}
  virtual void TouchEvent(int, int, float, float) {}
  virtual void MotionEvent(int, int, float, float, float) {}
  virtual void DiscardGraphics() {}
};

class NxGame {
 public:
  NxGame();
  NxGame(const NxGame&) = delete;
  NxGame& operator=(const NxGame&) = delete;
  virtual ~NxGame();

  virtual void SetDelegate(NxGameDelegate* delegate);
  virtual NxGameDelegate* Delegate();
  virtual void SetKeyboardEnabled(bool enabled);
  virtual bool KeyboardEnabled();
  virtual void SetUpdateRate(int hertz);
  virtual int UpdateRate();
  virtual bool Started();
  virtual bool Suspended();
  virtual int Millisecs();
  virtual void GetDate(Array<int> date);
  virtual int SaveState(String state);
  virtual String LoadState();
  virtual String LoadString(String path);
  virtual bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                            Array<bool> buttons);
  virtual void OpenUrl(String url);
  virtual void SetMouseVisible(bool visible);
  // Whether the game may end the process when the player quits: a desktop program goes back
  // to the desktop; a page has nothing to go back to.
  virtual bool CanQuit();
  virtual String PathToFilePath(String path);
  virtual FILE* OpenFile(String path, String mode);
  virtual unsigned char* LoadData(String path, int* length);
  [[noreturn]] virtual void Die(ThrowableObject* exception);
  virtual void gc_collect();
  virtual void StartGame();
  virtual void SuspendGame();
  virtual void ResumeGame();
  virtual void UpdateGame();
  virtual void RenderGame();
  virtual void KeyEvent(int event, int data);
  virtual void MouseEvent(int event, int data, float x, float y);
  virtual void TouchEvent(int event, int data, float x, float y);
  virtual void MotionEvent(int event, int data, float x, float y, float z);
  virtual void DiscardGraphics();

  static NxGame* _game;

 protected:
  NxGameDelegate* _delegate = nullptr;
  bool _keyboardEnabled = false;
  int _updateRate = 0;
  bool _started = false;
  bool _suspended = false;
  // How many forwarders are running; the collector steps only when the outermost ends, so
  // it never runs while an event is being delivered.
  int _eventDepth = 0;
};

// ---------------------------------------------------------------------------------------------
// Functions

// Turns a game asset path into a data path ("zarnik://data/..." unless already absolute).
String nx_data_FixDataPath(String path);
// Maps a data path to a file path: the three "zarnik:" schemes to their folders, any other
// "zarnik:" path to "" (no file), everything else unchanged.
String nx_data_PathToFilePath(String path);
// Replaces the file at `path` with `bytes` so that either the old or the whole new content
// is there afterwards: 0 on success, -1 when the new file cannot be created beside it, -2
// when not all of it could be written and made durable. Temporaries that killed saves left
// beside it are removed first.
int nx_data_SaveAtomically(const std::string& path, const std::vector<unsigned char>& bytes);
