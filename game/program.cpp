// The program's start-up: every module global of the framework and the game set to its start
// value, the collector roots that keep their objects alive, and the application object.
#include "host/program.h"

#include "framework/app.h"
#include "framework/audio.h"
#include "framework/graphics.h"
#include "framework/input.h"
#include "framework/random.h"
#include "game/globals.h"
#include "game/my_app.h"
#include "host/game.h"

// ---------------------------------------------------------------------------------------------
// Public functions

// The order is that of the modules' start values; no window exists yet. Storing through the
// write barrier keeps a second call (a test restarting the program) safe in a running cycle.
void nxInit() {
  gc_add_root_marker(nx_app_MarkRoots);
  gc_add_root_marker(nx_input_MarkRoots);
  gc_add_root_marker(nx_Game_MarkRoots);

  gc_assign(nx_app__app, nullptr);
  gc_assign(nx_app__delegate, nullptr);
  nx_app__game = NxGame::_game;
  nx_graphics_Init();
  nx_audio_Init();
  gc_assign(nx_audio_device, nullptr);
  gc_assign(nx_input_device, nullptr);
  nx_Game_isOuya = 0;
  nx_Game_overscan = 0.0f;
  nx_app__updateRate = 0;
  nx_Game_HasMusic = VEXADROME_HAS_MUSIC;
  nx_Game_DebugMode = 0;
  nx_Game_rawscrw = 640.0f;
  nx_Game_rawscrh = 480.0f;
  nx_Game_jscrw = 640.0f;
  nx_Game_jscrh = 480.0f;
  nx_Game_iCadeControls = 0;
  gc_assign(nx_asyncevent__current, nullptr);
  gc_assign(nx_asyncevent__sources, gc_new<c_Stack>()->m_new());
  gc_assign(c_Stack::m_NIL, nullptr);
  nx_random_Seed = 1234;
  gc_assign(nx_Game_CreditText, nx_Game_MakeCreditText());
  nx_Game_OnScreenControls = 0;
  nx_Game_AccelerometerControls = 0;
}

int nxMain() {
  gc_new<c_MyApp>()->m_new();
  return 0;
}
