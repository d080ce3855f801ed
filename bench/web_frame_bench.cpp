// The game's heaviest frame, timed in the browser: the page-side twin of game_frame_bench.cpp.
// The autopilot plays the real game headless to the same heaviest state (the same game type,
// hits and parked finale), keeps that frame's draw records, and the game then draws them
// through the web page's real path (the browser's GLFW, its emulation of the fixed-function
// pipeline, WebGL). Built by scripts/web-figures.sh, which reads the line it prints.

#include <GLFW/glfw3.h>
// emscripten_get_now for the clock the page's own figures use.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/bench_runs.h"
#include "bench/played_frame.h"
#include "framework/app.h"
#include "host/program.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kWarmUpFrames = 20;
constexpr int kFrames = 200;
constexpr int kRounds = 5;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int main() {
  bench_Capture capture = bench_PlayedFrame(kWidth, kHeight);
  if (glfwInit() != GLFW_TRUE) return 1;
  // The page's canvas and the real game, assets loaded, with the captured frame as its list.
  NxGlfwGame* host = new NxGlfwGame();
  nx_std_main(0, nullptr);
  host->SetGlfwWindow(kWidth, kHeight, 8, 8, 8, 0, 0, 0, false);
  host->StartGame();
  host->RenderGame();
  auto* app = static_cast<c_MyApp*>(nx_app__app);
  for (int step = 0; step < 200 && app->m_loadStep > 0; ++step) {
    host->UpdateGame();
    host->RenderGame();
  }
  int count = std::min(static_cast<int>(capture.records.size()), app->m_drawList.Length());
  std::copy(capture.records.begin(), capture.records.begin() + count, app->m_drawList.Data());
  app->m_drawCount = count;
  app->m_clsRed = capture.clear[0];
  app->m_clsGreen = capture.clear[1];
  app->m_clsBlue = capture.clear[2];
  app->m_clsAlpha = capture.clear[3];

  for (int frame = 0; frame < kWarmUpFrames; ++frame) host->RenderGame();
  glFinish();
  // Besides the whole render, the time spent in the calls themselves: the page's side (the
  // emulation of the fixed-function pipeline and the WebGL calls), as against the drawing the
  // browser does with them, which runs in its own process and is waited for at the end.
  std::vector<double> rounds;
  std::vector<double> calls;
  for (int round = 0; round < kRounds; ++round) {
    double inCalls = 0.0;
    double start = emscripten_get_now();
    for (int frame = 0; frame < kFrames; ++frame) {
      double call = emscripten_get_now();
      host->RenderGame();
      inCalls += emscripten_get_now() - call;
    }
    glFinish();
    rounds.push_back((emscripten_get_now() - start) * 1000.0 / kFrames);
    calls.push_back(inCalls * 1000.0 / kFrames);
  }
  std::printf("web_frame records=%d render_us=%.1f calls_us=%.1f\n", capture.heaviestRecords,
              bench_Median(rounds), bench_Median(calls));
  return 0;
}
