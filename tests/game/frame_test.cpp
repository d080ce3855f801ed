// The game's frame through the headless harness: window layouts and the replay scaled to them
// (records that draw nothing skipped), input in virtual units, iCade letters, the rate meters and
// the debug line drawn without allocation, the always-on keys and interruptions.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/graphics.h"
#include "framework/graphics.h"
#include "game/globals.h"
#include "runtime/gc.h"
#include "support/game_harness.h"

namespace {

using App = c_MyApp;
using Ints = std::vector<int>;
using Floats = std::vector<float>;

TEST(FrameLayout, WindowShapesGiveTheirVirtualScreensAndTheReplayFollows) {
  struct Case {
    int width, height, fitAxis, landscape;
    float overscan, scale, virtualWidth, virtualHeight;
  };
  for (const Case& c : {Case{640, 480, 1, 1, 0.0f, 1.0f, 640.0f, 480.0f},
                        Case{480, 640, 2, 0, 0.0f, 480.0f / 360.0f, 360.0f, 480.0f},
                        Case{1280, 720, 1, 1, 64.0f, 1.8f, 640.0f, 360.0f}}) {
    GameHarness game(c.width, c.height);
    App* app = game.app;
    nx_Game_overscan = c.overscan;
    app->p_CLS2D(App::Absent, 0.0f, 0.0f, 0.0f);
    app->m_drawBlend = 3;  // additive, which the replay must hand on to the device
    app->p_Rect(10.0f, 20.0f, 5.0f, 5.0f);
    // An image slot with no image, a kind that is nothing and a record cut short draw nothing.
    app->p_DrawImg(42, 8.0f, 0.0f, 0.0f);
    app->p_DrawImg(-5, 8.0f, 0.0f, 0.0f);
    app->p_Rect(16.0f, 0.0f, 4.0f, 4.0f);
    app->m_drawCount -= 1;
    game.Render();
    EXPECT_EQ((Floats{app->m_scaleX, app->m_scaleY, nx_Game_jscrw, nx_Game_jscrh}),
              (Floats{c.scale, c.scale, c.virtualWidth, c.virtualHeight}));
    EXPECT_EQ((Ints{app->m_fitAxis, app->m_landscape}), (Ints{c.fitAxis, c.landscape}));
    EXPECT_EQ(game.gl.blends.back(), static_cast<GLenum>(GL_ONE));
    // The record, after the clear: shifted by the overscan across and its share of the height
    // down (64 and 36 at 1280 x 720).
    const gxtkVertex& corner =
        nx_graphics_device->vertices[(game.gl.draws.back().count / 6 - 1) * 4];
    EXPECT_EQ(
        (Floats{corner.x, corner.y}),
        (Floats{10.0f * c.scale + c.overscan, 20.0f * c.scale + c.overscan * c.height / c.width}));
  }
  nx_Game_overscan = 0.0f;
}

TEST(FrameInput, PointerInVirtualUnitsAFreshPressWithoutMotionAndICadeLetters) {
  GameHarness game(1280, 960);
  game.FinishLoading();
  App* app = game.app;
  game.MouseMove(300.0f, 300.0f);
  game.MouseDown();
  game.Update();
  EXPECT_EQ((Ints{app->m_oldMouseX, app->m_oldMouseY, app->m_mouseX}), (Ints{150, 150, 150}));
  game.MouseMove(310.0f, 300.0f);
  game.Update();
  EXPECT_EQ((Ints{app->m_oldMouseX, app->m_mouseX}), (Ints{150, 155}));
  game.MouseUp();
  game.TouchDown(2, 64.0f, 32.0f);
  game.Update();
  EXPECT_EQ((Ints{app->m_touchDown[2], app->m_touchX[2], app->m_touchY[2], app->m_pointerDown,
                  app->m_touchX[0]}),
            (Ints{1, 32, 16, 1, App::AbsentInt}));
  game.TouchUp(2);

  // iCade letters in either case: a press and its release in one update cancel out.
  app->p_iCade(1);
  for (int letter : {'w', 'e', 'X'}) game.Char(letter);
  game.Update();
  EXPECT_EQ((Ints{app->m_iCadeButtons[0], app->m_iCadeButtons[8]}), (Ints{0, 2}));
  game.Char('W');
  game.Update(3);
  EXPECT_EQ(app->m_iCadeButtons[0], 2);
  game.Char('E');
  game.Update();
  EXPECT_EQ(app->m_iCadeButtons[0], 0);
  // Switching off clears the buttons.
  app->p_iCade(0);
  EXPECT_EQ(app->m_iCadeButtons[8], 0);
}

// F1 toggles the debug line, once however long it is held; it shows the render rate, which
// settles a little below the true 60 a second. Recording and rendering, the debug line and other
// text included, create no collected object.
TEST(FrameMeter, F1TogglesTheDebugLineWithTheRateAndDrawingAllocatesNothing) {
  GameHarness game;
  game.FinishLoading();
  App* app = game.app;
  EXPECT_GE(app->m_updateFps, 58);
  game.KeyDown(112);
  game.Step();
  EXPECT_TRUE(game.HasText(std::to_string(app->m_renderFpsAvg) + ":1.0,1.0"));
  EXPECT_GE(app->m_renderFpsAvg, 50);
  game.Step();
  game.KeyUp(112);
  ASSERT_EQ(nx_Game_DebugMode, 1);
  int before = gc_new_bytes;
  for (int frame = 0; frame < 300; ++frame) {
    game.Update();
    app->p_SetRot(static_cast<float>(frame));
    app->p_Text(100.0f, 100.0f, String(u"Score\\n12345"), 1.0f, 1.0f);
    game.Render();
  }
  EXPECT_TRUE(game.HasText("Score"));
  EXPECT_EQ(gc_new_bytes, before);
  game.Press(112);
  game.Step();
  EXPECT_EQ(nx_Game_DebugMode, 0);
}

TEST(FrameInterruptions, SuspendPausesARunningGameAndASizeChangeEndsIt) {
  GameHarness game;
  game.FinishLoading();
  App* app = game.app;
  EXPECT_EQ(game.host.UpdateRate(), 60);
  game.host.SuspendGame();
  EXPECT_EQ((Ints{game.host.UpdateRate(), game.host.saveCount, app->m_paused}), (Ints{5, 1, 0}));
  game.host.ResumeGame();
  EXPECT_EQ(game.host.UpdateRate(), 60);
  app->m_gameMode = App::ModeInGame;
  app->p_iCade(1);
  game.host.SuspendGame();
  EXPECT_EQ(nx_Game_iCadeControls, 0);
  game.host.ResumeGame();
  EXPECT_EQ((Ints{app->m_paused, app->m_pauseDir, app->m_pauseY}), (Ints{1, 1, 240}));

  // A size change during a game (F11 here) ends it in the menu and reloads every image.
  app->m_gameMode = App::ModeStartGame;
  game.Step();
  ASSERT_EQ(app->m_gameMode, App::ModeInGame);
  app->m_paused = 1;
  game.Press(122);
  game.Step();
  EXPECT_TRUE(game.host.fullscreen);
  EXPECT_EQ((Ints{app->m_screenWidth, app->m_gameMode, app->m_paused, app->m_loadStep}),
            (Ints{1366, App::ModeMenu, 0, 1}));
  game.FinishLoading();
  game.Press(122);
  game.Step();
  EXPECT_EQ(app->m_screenWidth, 640);
}

}  // namespace
