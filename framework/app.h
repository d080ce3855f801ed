// The seam between the host and the game: the application base class, the delegate that
// creates the devices and turns host events into application callbacks, and the module
// services the game calls directly (update rate, clock, end of run, state, async sources).
#pragma once

#include "host/game.h"
#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/string.h"

class gxtkGraphics;
class gxtkAudio;
class c_InputDevice;

// ---------------------------------------------------------------------------------------------
// Types

// The base of the game's application class. The callbacks return 0; the base versions do
// nothing.
class c_App : public Object {
 public:
  // Registers the application with the framework and the host; a second application is a
  // runtime error.
  c_App* m_new();

  virtual int p_OnCreate();
  virtual int p_OnSuspend();
  virtual int p_OnResume();
  virtual int p_OnUpdate();
  virtual int p_OnRender();
  int p_OnLoading();
  int p_OnClose();
  int p_OnBack();
};

// The framework's implementation of the host's delegate interface.
class c_GameDelegate : public NxGameDelegate {
 public:
  gxtkGraphics* m__graphics = nullptr;
  gxtkAudio* m__audio = nullptr;
  c_InputDevice* m__input = nullptr;

  c_GameDelegate* m_new();
  void mark() override;

  // Creates the graphics device, the default font, the audio device and the input device,
  // in that order, then the application's p_OnCreate.
  void StartGame() override;
  void SuspendGame() override;
  void ResumeGame() override;
  void UpdateGame() override;
  void RenderGame() override;
  void KeyEvent(int event, int data) override;
  void MouseEvent(int event, int data, float x, float y) override;
  void TouchEvent(int event, int data, float x, float y) override;
  void MotionEvent(int event, int data, float x, float y, float z) override;
  void DiscardGraphics() override;
};

// Something that delivers results of asynchronous work at the start of an update.
class c_IAsyncEventSource : public Object {
 public:
  virtual void UpdateAsyncEvents() = 0;
};

// A growable stack of event sources.
class c_Stack : public Object {
 public:
  Array<c_IAsyncEventSource*> m_data;
  int m_length = 0;

  // The shared empty stack (null in this system: nothing asks for it).
  static c_Stack* m_NIL;

  c_Stack* m_new();
  // Takes the array and its length as the stack's contents.
  c_Stack* m_new2(Array<c_IAsyncEventSource*> data);
  void mark() override;

  int p_Length();
  // Shrinking overwrites the dropped slots with null; growing past the backing array makes it
  // max(length, 2 * old length + 10) long.
  void p_Length2(int length);
  c_IAsyncEventSource* p_Get(int index);
  void p_Push(c_IAsyncEventSource* source);
  // Removes every occurrence of the source, keeping the order of the rest.
  void p_RemoveEach(c_IAsyncEventSource* source);
};

// ---------------------------------------------------------------------------------------------
// Globals

extern c_App* nx_app__app;
extern c_GameDelegate* nx_app__delegate;
extern NxGame* nx_app__game;
extern int nx_app__updateRate;
extern c_Stack* nx_asyncevent__sources;
extern c_IAsyncEventSource* nx_asyncevent__current;

// ---------------------------------------------------------------------------------------------
// Functions

// Greys the module's global objects; registered as a collector root by nxInit.
void nx_app_MarkRoots();

int nx_app_SetUpdateRate(int hertz);
int nx_app_Millisecs();
// Ends the run at once with exit status 0; nothing is saved on this path.
[[noreturn]] void nx_app_EndApp();
String nx_app_LoadState();
int nx_app_SaveState(String state);

void nx_asyncevent_AddAsyncEventSource(c_IAsyncEventSource* source);
// A source that removes itself while being updated clears nx_asyncevent__current, so the walk
// visits the index it vacated again.
void nx_asyncevent_RemoveAsyncEventSource(c_IAsyncEventSource* source);
// Runs every registered source once; does nothing when called from inside a source.
void nx_asyncevent_UpdateAsyncEvents();
