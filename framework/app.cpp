// The application base, the delegate that creates the devices and forwards host events, and
// the module services: update rate, clock, end of run, state string and async sources.
#include "framework/app.h"

// <algorithm> and <cstdint> for growing the stack without overflow.
#include <algorithm>
#include <cstdint>

// The delegate creates and drives every device, so it needs their full definitions.
#include "devices/audio.h"
#include "devices/graphics.h"
#include "framework/audio.h"
#include "framework/graphics.h"
#include "framework/input.h"
#include "runtime/errors.h"

// ---------------------------------------------------------------------------------------------
// Globals

c_App* nx_app__app = nullptr;
c_GameDelegate* nx_app__delegate = nullptr;
NxGame* nx_app__game = nullptr;
int nx_app__updateRate = 0;
c_Stack* nx_asyncevent__sources = nullptr;
c_IAsyncEventSource* nx_asyncevent__current = nullptr;
c_Stack* c_Stack::m_NIL = nullptr;

namespace {

// Pressing the window's close button or the back key ends the run from inside the event, so
// no update ever sees these codes.
constexpr int nx_app_CloseKey = 432;
constexpr int nx_app_BackKey = 416;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

// c_App

c_App* c_App::m_new() {
  if (nx_app__app != nullptr) nxError(String(u"App has already been created"));
  gc_assign(nx_app__app, this);
  gc_assign(nx_app__delegate, gc_new<c_GameDelegate>()->m_new());
  if (nx_app__game != nullptr) nx_app__game->SetDelegate(nx_app__delegate);
  return this;
}

int c_App::p_OnCreate() {
  return 0;
}
int c_App::p_OnSuspend() {
  return 0;
}
int c_App::p_OnResume() {
  return 0;
}
int c_App::p_OnUpdate() {
  return 0;
}
int c_App::p_OnRender() {
  return 0;
}
int c_App::p_OnLoading() {
  return 0;
}

int c_App::p_OnClose() {
  nx_app_EndApp();
}

int c_App::p_OnBack() {
  nx_app_EndApp();
}

// c_GameDelegate

c_GameDelegate* c_GameDelegate::m_new() {
  return this;
}

void c_GameDelegate::mark() {
  gc_mark_q(m__graphics);
  gc_mark_q(m__audio);
  gc_mark_q(m__input);
}

void c_GameDelegate::StartGame() {
  gc_assign(m__graphics, gc_new<gxtkGraphics>());
  nx_graphics_SetGraphicsDevice(m__graphics);
  nx_graphics_SetFont(nullptr, 32);
  gc_assign(m__audio, gc_new<gxtkAudio>());
  nx_audio_SetAudioDevice(m__audio);
  gc_assign(m__input, gc_new<c_InputDevice>()->m_new());
  nx_input_SetInputDevice(m__input);
  nx_app__app->p_OnCreate();
}

void c_GameDelegate::SuspendGame() {
  nx_app__app->p_OnSuspend();
  m__audio->Suspend();
}

void c_GameDelegate::ResumeGame() {
  m__audio->Resume();
  nx_app__app->p_OnResume();
}

void c_GameDelegate::UpdateGame() {
  m__input->p_BeginUpdate();
  nx_app__app->p_OnUpdate();
  m__input->p_EndUpdate();
}

void c_GameDelegate::RenderGame() {
  int mode = m__graphics->BeginRender();
  if (mode != 1 && mode != 2) return;
  nx_graphics_BeginRender();
  if (mode == 1) {
    nx_app__app->p_OnRender();
  } else {
    nx_app__app->p_OnLoading();
  }
  nx_graphics_EndRender();
  m__graphics->EndRender();
}

void c_GameDelegate::KeyEvent(int event, int data) {
  switch (event) {
    case c_NxGameEvent::KeyDown:
      m__input->p_KeyEvent(event, data);
      if (data == nx_app_CloseKey || data == nx_app_BackKey) nx_app_EndApp();
      break;
    case c_NxGameEvent::KeyUp:
    case c_NxGameEvent::KeyChar:
      m__input->p_KeyEvent(event, data);
      break;
    default:
      break;
  }
}

void c_GameDelegate::MouseEvent(int event, int data, float x, float y) {
  m__input->p_MouseEvent(event, data, x, y);
}

void c_GameDelegate::TouchEvent(int event, int data, float x, float y) {
  m__input->p_TouchEvent(event, data, x, y);
}

void c_GameDelegate::MotionEvent(int event, int data, float x, float y, float z) {
  m__input->p_MotionEvent(event, data, x, y, z);
}

void c_GameDelegate::DiscardGraphics() {
  m__graphics->DiscardGraphics();
}

// c_Stack

c_Stack* c_Stack::m_new() {
  return this;
}

c_Stack* c_Stack::m_new2(Array<c_IAsyncEventSource*> data) {
  gc_assign(m_data, data);
  m_length = data.Length();
  return this;
}

void c_Stack::mark() {
  gc_mark_q(m_data);
}

int c_Stack::p_Length() {
  return m_length;
}

void c_Stack::p_Length2(int length) {
  if (length < 0) length = 0;
  if (length < m_length) {
    for (int i = length; i < m_length; ++i) m_data[i] = nullptr;
  } else if (length > m_data.Length()) {
    int64_t grown = 2 * static_cast<int64_t>(m_data.Length()) + 10;
    int capacity = static_cast<int>(std::max<int64_t>(length, grown));
    gc_assign(m_data, m_data.Resize(capacity));
  }
  m_length = length;
}

c_IAsyncEventSource* c_Stack::p_Get(int index) {
  if (index < 0 || index >= m_length) return nullptr;
  return m_data[index];
}

void c_Stack::p_Push(c_IAsyncEventSource* source) {
  int index = m_length;
  p_Length2(m_length + 1);
  gc_assign(m_data[index], source);
}

void c_Stack::p_RemoveEach(c_IAsyncEventSource* source) {
  int kept = 0;
  for (int i = 0; i < m_length; ++i) {
    c_IAsyncEventSource* entry = m_data[i];
    if (entry != source) gc_assign(m_data[kept++], entry);
  }
  p_Length2(kept);
}

// Module functions

void nx_app_MarkRoots() {
  gc_mark_q(nx_app__app);
  gc_mark_q(nx_app__delegate);
  gc_mark_q(nx_asyncevent__sources);
  gc_mark_q(nx_asyncevent__current);
  gc_mark_q(c_Stack::m_NIL);
}

int nx_app_SetUpdateRate(int hertz) {
  nx_app__updateRate = hertz;
  if (nx_app__game != nullptr) nx_app__game->SetUpdateRate(hertz);
  return 0;
}

int nx_app_Millisecs() {
  return nx_app__game != nullptr ? nx_app__game->Millisecs() : 0;
}

void nx_app_EndApp() {
  nxError(String());
}

String nx_app_LoadState() {
  return nx_app__game != nullptr ? nx_app__game->LoadState() : String();
}

int nx_app_SaveState(String state) {
  return nx_app__game != nullptr ? nx_app__game->SaveState(state) : -1;
}

void nx_asyncevent_AddAsyncEventSource(c_IAsyncEventSource* source) {
  nx_asyncevent__sources->p_Push(source);
}

void nx_asyncevent_RemoveAsyncEventSource(c_IAsyncEventSource* source) {
  if (source == nx_asyncevent__current) nx_asyncevent__current = nullptr;
  nx_asyncevent__sources->p_RemoveEach(source);
}

void nx_asyncevent_UpdateAsyncEvents() {
  if (nx_asyncevent__current != nullptr || nx_asyncevent__sources == nullptr) return;
  int i = 0;
  while (i < nx_asyncevent__sources->p_Length()) {
    c_IAsyncEventSource* source = nx_asyncevent__sources->p_Get(i);
    if (source == nullptr) {
      i += 1;
      continue;
    }
    gc_assign(nx_asyncevent__current, source);
    source->UpdateAsyncEvents();
    if (nx_asyncevent__current != nullptr) i += 1;
  }
  nx_asyncevent__current = nullptr;
}
