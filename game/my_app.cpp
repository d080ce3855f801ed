// The application's frame: creation, the always-on keys of every update, suspension's update
// rate and the render.
#include "game/my_app.h"

#include "framework/graphics.h"
#include "framework/input.h"
#include "game/globals.h"
#include "runtime/errors.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_Game_KeyF1 = 112;
constexpr int nx_Game_KeyF4 = 115;
constexpr int nx_Game_KeyClose = 432;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

c_MyApp* c_MyApp::m_new() {
  c_App::m_new();
  return this;
}

int c_MyApp::p_OnCreate() {
  nx_app_SetUpdateRate(UpdateRate);
  return 0;
}

// While suspended the host runs no updates; the low rate only matters to a host that would.
int c_MyApp::p_OnSuspend() {
  nx_app_SetUpdateRate(SuspendedUpdateRate);
  return 0;
}

int c_MyApp::p_OnResume() {
  nx_app_SetUpdateRate(UpdateRate);
  return 0;
}

// Quitting ends the run at once, without a save: the state was saved when it last changed.
int c_MyApp::p_OnUpdate() {
  if (nx_input_KeyHit(nx_Game_KeyF4) != 0 || nx_input_KeyHit(nx_Game_KeyClose) != 0) {
    nxError(String());
  }
  if (nx_input_KeyHit(nx_Game_KeyF1) != 0) nx_Game_DebugMode = 1 - nx_Game_DebugMode;
  nx_asyncevent_UpdateAsyncEvents();
  return 0;
}

int c_MyApp::p_OnRender() {
  nx_graphics_Cls(0.0f, 0.0f, 0.0f);
  return 0;
}
