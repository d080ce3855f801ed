// The game's application class: the frame that runs on creation, every update, every render,
// and on suspend and resume.
#pragma once

#include "framework/app.h"

// ---------------------------------------------------------------------------------------------
// Types

class c_MyApp : public c_App {
 public:
  static constexpr int UpdateRate = 60;
  static constexpr int SuspendedUpdateRate = 5;

  // Registers the application (c_App::m_new).
  c_MyApp* m_new();

  int p_OnCreate() override;
  int p_OnSuspend() override;
  int p_OnResume() override;
  int p_OnUpdate() override;
  int p_OnRender() override;
};
