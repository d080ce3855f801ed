// What the page's console, its browser tests and its figures can read of the running game: a
// few fields of the application and the web host's counts of updates and renders.
#include <emscripten.h>

#include <string>

#include "framework/app.h"
#include "framework/audio.h"
#include "game/my_app.h"
#include "host/web/web_game.h"

// ---------------------------------------------------------------------------------------------
// Public functions

// The game as one JSON object; the text stays valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* nx_web_Probe() {
  static std::string text;
  auto* app = static_cast<c_MyApp*>(nx_app__app);
  auto* host = static_cast<NxWebGame*>(NxGlfwGame::_glfwGame);
  if (app == nullptr || host == nullptr) return "{}";
  int ball = c_MyApp::EntityStride * c_MyApp::Ball;
  text = "{\"mode\":" + std::to_string(app->m_gameMode) +
         ",\"loading\":" + std::to_string(app->m_loadStep) +
         ",\"menuSel\":" + std::to_string(app->m_menuSel) +
         ",\"paused\":" + std::to_string(app->m_paused) +
         ",\"fullscreen\":" + std::to_string(app->m_fullscreen) +
         ",\"score\":" + std::to_string(app->m_score) +
         ",\"ballX\":" + std::to_string(app->m_players[ball + c_MyApp::EntityX]) +
         ",\"ballY\":" + std::to_string(app->m_players[ball + c_MyApp::EntityY]) +
         ",\"suspended\":" + (host->Suspended() ? "true" : "false") +
         ",\"updates\":" + std::to_string(host->updatesRun) +
         ",\"renders\":" + std::to_string(host->rendersRun) +
         ",\"renderMs\":" + std::to_string(host->lastRenderMs) + ",\"highScores\":[";
  for (int i = 0; i < app->m_highScores.Length(); ++i) {
    text += (i > 0 ? "," : "") + std::to_string(app->m_highScores[i]);
  }
  text += "]}";
  return text.c_str();
}

// Loads a sound file as the game would: 1 when it loaded, 0 when it was refused.
extern "C" EMSCRIPTEN_KEEPALIVE int nx_web_LoadSound(const char* path) {
  return nx_audio_LoadSound(String(path)) != nullptr ? 1 : 0;
}
