// The host in a web page: the browser drives the frames and each animation frame runs one
// pass of the desktop's fixed-rate schedule, suspension follows the page's visibility and
// focus, the state file lives on the browser's persistent storage, fullscreen is the page's.
#pragma once

#include "host/glfw_game.h"

// ---------------------------------------------------------------------------------------------
// Types

class NxWebGame : public NxGlfwGame {
 public:
  NxWebGame();

  // The page's run: GLFW start-up, the runtime's start-up and the frames handed to the browser.
  static int Main(int argc, const char** argv);

  // Opens the canvas, starts the game and returns; the browser calls Frame from then on.
  void Run() override;
  // The first call opens the canvas; later ones switch the page in or out of fullscreen on
  // the same canvas and context (a page cannot open a second window).
  void SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
                     int stencil, bool fullscreen) override;
  bool CanQuit() override;
  // Counted and timed for the page's figures.
  void UpdateGame() override;
  void RenderGame() override;
  String LoadState() override;
  // Saves as the desktop does, then hands the file to the browser's storage.
  int SaveState(String state) override;

  // One animation frame: one pass of the loop, unless the loop is waiting for an event and
  // none has come.
  void Frame();
  // The page was hidden or lost focus: suspends at once, as the next pass would (a hidden
  // page gets no frames).
  void PageChanged();

  int updatesRun = 0;
  int rendersRun = 0;
  // Milliseconds the last render took to hand its frame to the browser.
  double lastRenderMs = 0.0;
};
