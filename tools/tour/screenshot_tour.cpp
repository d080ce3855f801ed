// Takes the README's pictures: the real game drawing into a real window under a virtual
// display, driven by scripted keys and the autopilot, each picture read back from the window
// just before it is shown. Usage: screenshot_tour <folder>; run from the repository root.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "devices/gl_seam.h"
#include "support/autopilot.h"
#include "support/game_harness.h"
#include "support/picture_writer.h"
#include "support/window.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_tour_Width = 640;
constexpr int nx_tour_Height = 480;
constexpr int nx_tour_KeyEnter = 13;
constexpr int nx_tour_KeyEscape = 27;
constexpr int nx_tour_KeyLeft = 37;
constexpr int nx_tour_KeyRight = 39;
// Button 15 (the right shoulder) on the keyboard: it opens the credits from the title menu.
constexpr int nx_tour_KeyCredits = 78;

// Where the next frame shown is written, empty for none.
std::string nx_tour_capturePath;
void (*nx_tour_realSwap)() = nullptr;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// Reads the finished frame before the swap hands it to the window.
void nx_tour_SwapAndCapture() {
  if (!nx_tour_capturePath.empty()) {
    std::vector<unsigned char> pixels(nx_tour_Width * nx_tour_Height * 4);
    glReadPixels(0, 0, nx_tour_Width, nx_tour_Height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // OpenGL's rows run bottom to top, a picture's top to bottom; the window has no alpha.
    std::vector<unsigned char> picture(pixels.size());
    int stride = nx_tour_Width * 4;
    for (int row = 0; row < nx_tour_Height; ++row) {
      const unsigned char* from = &pixels[(nx_tour_Height - 1 - row) * stride];
      std::copy(from, from + stride, &picture[row * stride]);
    }
    for (size_t i = 3; i < picture.size(); i += 4) picture[i] = 255;
    if (stbi_write_png(nx_tour_capturePath.c_str(), nx_tour_Width, nx_tour_Height, 4,
                       picture.data(), stride) == 0) {
      std::fprintf(stderr, "could not write %s\n", nx_tour_capturePath.c_str());
    } else {
      std::printf("%s\n", nx_tour_capturePath.c_str());
    }
    nx_tour_capturePath.clear();
  }
  nx_tour_realSwap();
}

void nx_tour_Capture(GameHarness& game, const std::string& folder, const char* name) {
  nx_tour_capturePath = folder + "/" + name;
  game.Render();
}

// Steps until `done` holds or `limit` updates have passed; false when it never held.
bool nx_tour_StepUntil(GameHarness& game, int limit, const std::function<bool()>& done) {
  for (int update = 0; update < limit; ++update) {
    if (done()) return true;
    game.Step();
  }
  return done();
}

// A press, seen released again before the next one acts.
void nx_tour_Tap(GameHarness& game, int code) {
  game.Press(code);
  game.Step(2);
}

int nx_tour_LiveParticles(const c_MyApp& app) {
  int live = 0;
  for (int i = 0; i <= app.m_particleCount; ++i) {
    if (app.m_particles[i * c_MyApp::EffectFloats + c_MyApp::ParticleKind] > 0.0f) live += 1;
  }
  return live;
}

bool nx_tour_ItemOnField(const c_MyApp& app) {
  for (int cell = 0; cell < c_MyApp::GridSize * c_MyApp::GridSize; ++cell) {
    const float* slots = app.m_grid.Data() + cell * c_MyApp::CellFloats;
    if (slots[c_MyApp::CellItem] > 0.0f && slots[c_MyApp::CellAppear] == 0.0f) return true;
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int main(int argc, char** argv) {
  std::string folder = argc > 1 ? argv[1] : "docs/pictures";
  GameHarness game(nx_tour_Width, nx_tour_Height);
  // From here on the device draws into a real window: a new context, so every surface loads
  // its texture again on first use.
  if (OpenTestWindow(nx_tour_Width, nx_tour_Height) == nullptr) {
    std::fprintf(stderr, "no display\n");
    return 1;
  }
  nx_glseam_table = nx_glseam_Real();
  nx_tour_realSwap = nx_glseam_table.SwapBuffers;
  nx_glseam_table.SwapBuffers = nx_tour_SwapAndCapture;
  c_MyApp& app = *game.app;

  nx_tour_StepUntil(game, 100, [&] { return app.m_loadStep >= 12; });
  nx_tour_Capture(game, folder, "loading.png");
  game.FinishLoading();
  game.Step(45);
  nx_tour_Capture(game, folder, "menu.png");

  for (int item = 1; item < 4; ++item) nx_tour_Tap(game, nx_tour_KeyRight);
  nx_tour_Tap(game, nx_tour_KeyEnter);
  game.Step(40);
  nx_tour_Capture(game, folder, "options.png");
  nx_tour_Tap(game, nx_tour_KeyEscape);
  game.Step(40);

  nx_tour_Tap(game, nx_tour_KeyCredits);
  game.Step(60);
  nx_tour_Capture(game, folder, "credits.png");
  nx_tour_Tap(game, nx_tour_KeyEnter);
  game.Step(40);

  // A game in full swing: items on the field, sparks flying, the combo running.
  Autopilot pilot(game);
  pilot.gameType = 2;
  pilot.hitsBeforeLosing = 1000;
  pilot.updatesBeforeQuitting = 0;
  bool swinging = false;
  for (int update = 0; update < 20000 && !swinging; ++update) {
    pilot.Update();
    swinging = app.m_gameMode == c_MyApp::ModeInGame && app.m_combo >= 8 &&
               nx_tour_ItemOnField(app) && nx_tour_LiveParticles(app) >= 20;
  }
  if (!swinging) std::fprintf(stderr, "the game never got going; the picture shows it as is\n");
  // A few updates after the next correct hit, while its sparks fly and its ripple spreads.
  int due = app.m_nextPaddle;
  for (int update = 0; update < 2000 && app.m_nextPaddle == due; ++update) pilot.Update();
  for (int update = 0; update < 6; ++update) pilot.Update();
  nx_tour_Capture(game, folder, "game.png");

  for (int key = 37; key <= 40; ++key) game.KeyUp(key);
  game.Press(nx_tour_KeyEscape);
  game.Step(20);
  nx_tour_Capture(game, folder, "pause.png");
  nx_tour_Tap(game, nx_tour_KeyLeft);
  nx_tour_Tap(game, nx_tour_KeyEnter);
  game.Step(60);
  nx_tour_Capture(game, folder, "gameover.png");
  return 0;
}
