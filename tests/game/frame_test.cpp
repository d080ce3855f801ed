// The game's frame through the headless harness: the layout of windows of several shapes, the
// pointer in virtual units, iCade letters, the rate meter, the replay of the draw list, the
// always-on keys, suspension and the window-size change during a game.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/graphics.h"
#include "framework/app.h"
#include "framework/graphics.h"
#include "game/globals.h"
#include "support/child_process.h"
#include "support/game_harness.h"

namespace {

// The first vertex of every quad batch the device hands OpenGL, in window pixels.
struct QuadCorner {
  float x;
  float y;
};
std::vector<QuadCorner>& Corners() {
  static std::vector<QuadCorner> corners;
  return corners;
}

void WatchQuads(GLRecorder& gl) {
  Corners().clear();
  nx_glseam_table.DrawElements = [](GLenum mode, GLsizei count, GLenum, const GLvoid*) {
    GLRecorder* recorder = GLRecorder::Active();
    recorder->draws.push_back({mode, 0, count, true, recorder->texturing ? recorder->bound : 0});
    for (int quad = 0; quad < count / 6; ++quad) {
      const gxtkVertex& corner = nx_graphics_device->vertices[quad * 4];
      Corners().push_back({corner.x, corner.y});
    }
  };
  (void)gl;
}

// A whole record written straight into the list, as the drawing helpers would.
void PutRecord(c_MyApp* app, float kind, float x, float y, float sizeX, float sizeY, float blend) {
  float* record = app->m_drawList.Data() + app->m_drawCount;
  for (int i = 0; i < c_MyApp::DrawRecordFloats; ++i) record[i] = 0.0f;
  record[c_MyApp::RecordKind] = kind;
  record[c_MyApp::RecordX] = x;
  record[c_MyApp::RecordY] = y;
  record[c_MyApp::RecordScaleX] = sizeX;
  record[c_MyApp::RecordScaleY] = sizeY;
  record[c_MyApp::RecordAlpha] = 1.0f;
  record[c_MyApp::RecordRed] = 255.0f;
  record[c_MyApp::RecordGreen] = 255.0f;
  record[c_MyApp::RecordBlue] = 255.0f;
  record[c_MyApp::RecordBlend] = blend;
  app->m_drawCount += c_MyApp::DrawRecordFloats;
}

TEST(FrameLayout, WindowShapesGiveTheirVirtualScreens) {
  struct Case {
    int width, height;
    float overscan;
    float scale, virtualWidth, virtualHeight;
    int fitAxis, landscape;
  };
  const Case cases[] = {
      {640, 480, 0.0f, 1.0f, 640.0f, 480.0f, 1, 1},
      {480, 640, 0.0f, 480.0f / 360.0f, 360.0f, 480.0f, 2, 0},
      {1280, 720, 64.0f, 1.8f, 640.0f, 360.0f, 1, 1},
  };
  for (const Case& c : cases) {
    GameHarness game(c.width, c.height);
    nx_Game_overscan = c.overscan;
    game.Render();
    EXPECT_FLOAT_EQ(game.app->m_scaleX, c.scale) << c.width;
    EXPECT_FLOAT_EQ(game.app->m_scaleY, c.scale) << c.width;
    EXPECT_FLOAT_EQ(nx_Game_jscrw, c.virtualWidth) << c.width;
    EXPECT_FLOAT_EQ(nx_Game_jscrh, c.virtualHeight) << c.width;
    EXPECT_EQ(game.app->m_fitAxis, c.fitAxis) << c.width;
    EXPECT_EQ(game.app->m_landscape, c.landscape) << c.width;
  }
  nx_Game_overscan = 0.0f;
}

TEST(FrameLayout, ReplayScalesRecordsAndShiftsThemByTheOverscan) {
  GameHarness game(1280, 720);
  nx_Game_overscan = 64.0f;
  game.Render();
  c_MyApp* app = game.app;
  app->m_loadStep = 0;
  app->m_drawCount = 0;
  PutRecord(app, c_MyApp::KindRect, 10.0f, 20.0f, 5.0f, 5.0f, 1.0f);
  WatchQuads(game.gl);
  game.Render();
  // The clear rectangle comes first, then the record: 10 * 1.8 + 64 and 20 * 1.8 + 36.
  ASSERT_GE(Corners().size(), 2u);
  EXPECT_FLOAT_EQ(Corners()[1].x, 82.0f);
  EXPECT_FLOAT_EQ(Corners()[1].y, 72.0f);
  nx_Game_overscan = 0.0f;
}

TEST(FrameReplay, BlendKindsAndPartialRecords) {
  GameHarness game;
  c_MyApp* app = game.app;
  app->m_drawCount = 0;
  PutRecord(app, c_MyApp::KindRect, 0.0f, 0.0f, 4.0f, 4.0f, 3.0f);
  PutRecord(app, c_MyApp::KindRect, 8.0f, 0.0f, 4.0f, 4.0f, 1.0f);
  // An image slot with no image and a kind that is nothing draw nothing.
  PutRecord(app, 42.0f, 8.0f, 0.0f, 1.0f, 1.0f, 1.0f);
  PutRecord(app, -5.0f, 8.0f, 0.0f, 1.0f, 1.0f, 1.0f);
  WatchQuads(game.gl);
  game.Render();
  // Additive for the stored 3.0 only, alpha blending for the reset value 1.
  ASSERT_GE(game.gl.blends.size(), 2u);
  EXPECT_EQ(game.gl.blends[game.gl.blends.size() - 2], static_cast<GLenum>(GL_ONE));
  EXPECT_EQ(game.gl.blends.back(), static_cast<GLenum>(GL_ONE_MINUS_SRC_ALPHA));
  EXPECT_EQ(Corners().size(), 3u);

  // A record cut short at the end of the list is not drawn; the list itself survives a
  // second render unchanged.
  app->m_drawCount = 2 * c_MyApp::DrawRecordFloats + 14;
  WatchQuads(game.gl);
  game.Render();
  EXPECT_EQ(Corners().size(), 3u);
  WatchQuads(game.gl);
  game.Render();
  EXPECT_EQ(Corners().size(), 3u);
}

TEST(FramePointer, MapsToVirtualUnitsAndAFreshPressCarriesNoMotion) {
  GameHarness game(1280, 960);
  game.FinishLoading();
  game.MouseMove(200.0f, 100.0f);
  game.Update();
  EXPECT_EQ(game.app->m_mouseX, 100);
  EXPECT_EQ(game.app->m_mouseY, 50);
  game.MouseMove(300.0f, 300.0f);
  game.MouseDown();
  game.Update();
  EXPECT_EQ(game.app->m_mouseX, 150);
  EXPECT_EQ(game.app->m_oldMouseX, 150);
  EXPECT_EQ(game.app->m_oldMouseY, 150);
  EXPECT_EQ(game.app->m_pointerDown, 1);
  game.MouseMove(310.0f, 300.0f);
  game.Update();
  EXPECT_EQ(game.app->m_oldMouseX, 150);
  EXPECT_EQ(game.app->m_mouseX, 155);
  game.MouseUp();

  game.TouchDown(2, 64.0f, 32.0f);
  game.Update();
  EXPECT_EQ(game.app->m_touchDown[2], 1);
  EXPECT_EQ(game.app->m_touchX[2], 32);
  EXPECT_EQ(game.app->m_touchY[2], 16);
  EXPECT_EQ(game.app->m_pointerDown, 1);
  EXPECT_EQ(game.app->m_touchX[0], c_MyApp::AbsentInt);
  game.TouchUp(2);
  game.Update();
  EXPECT_EQ(game.app->m_touchDown[2], 0);
  EXPECT_EQ(game.app->m_pointerDown, 0);
}

TEST(FrameICade, LettersPressAndReleaseButtons) {
  GameHarness game;
  game.FinishLoading();
  game.app->p_iCade(1);
  EXPECT_EQ(nx_Game_iCadeControls, 1);
  game.Char('w');
  game.Char('e');
  game.Char('X');
  game.Update();
  EXPECT_EQ(game.app->m_iCadeButtons[0], 0);
  EXPECT_EQ(game.app->m_iCadeButtons[8], 2);
  EXPECT_EQ(game.app->m_iCadeChar, 0);
  game.Char('W');
  game.Update(3);
  EXPECT_EQ(game.app->m_iCadeButtons[0], 2);
  game.Char('E');
  game.Update();
  EXPECT_EQ(game.app->m_iCadeButtons[0], 0);

  // Switching off clears the buttons; switching on drops what was typed before.
  game.app->p_iCade(0);
  EXPECT_EQ(game.app->m_iCadeButtons[8], 0);
  game.Char('w');
  game.app->p_iCade(1);
  game.Update();
  EXPECT_EQ(game.app->m_iCadeButtons[0], 0);
  game.app->p_iCade(0);
}

TEST(FrameMeter, TwoUpdatesInOneMillisecondKeepTheRate) {
  GameHarness game;
  game.Update(2);
  int rate = game.app->m_updateFps;
  EXPECT_GE(rate, 58);
  int average = game.app->m_updateFpsAvg;
  game.host.UpdateGame();
  EXPECT_EQ(game.app->m_updateFps, rate);
  EXPECT_EQ(game.app->m_updateFpsAvg, (average * 9 + rate) / 10);
}

TEST(FrameKeys, F1ShowsTheDebugLineAndF11FlipsFullscreen) {
  GameHarness game;
  game.FinishLoading();
  game.Press(112);
  game.Step();
  EXPECT_EQ(nx_Game_DebugMode, 1);
  // The truncating smoothing settles a little below the true rate of about 60.
  std::string line = std::to_string(game.app->m_renderFpsAvg) + ":1.0,1.0";
  EXPECT_GE(game.app->m_renderFpsAvg, 1);
  EXPECT_TRUE(game.HasText(line)) << line;
  game.Press(112);
  game.Step();
  EXPECT_EQ(nx_Game_DebugMode, 0);

  game.Press(122);
  game.Update();
  EXPECT_TRUE(game.host.fullscreen);
  EXPECT_EQ(game.gl.windowWidth, 1366);
  game.Render();
  EXPECT_EQ(game.app->m_loadStep, 1);
  game.FinishLoading();
  game.Press(122);
  game.Step();
  EXPECT_FALSE(game.host.fullscreen);
  EXPECT_EQ(game.gl.windowWidth, 640);
  EXPECT_EQ(game.gl.windowHeight, 480);
}

TEST(FrameKeys, F4AndCloseEndTheRunWithoutASave) {
  for (int key : {115, 432}) {
    ChildRun run = RunInChild([key] {
      GameHarness game;
      game.FinishLoading();
      game.Press(key);
      game.Update();
      std::_Exit(7);
    });
    EXPECT_EQ(run.status, 0) << key;
  }
}

TEST(FrameSuspend, PausesARunningGameLowersTheRateAndSaves) {
  GameHarness game;
  game.FinishLoading();
  game.Suspend();
  EXPECT_EQ(game.host.UpdateRate(), 5);
  EXPECT_EQ(game.host.saveCount, 1);
  EXPECT_EQ(game.app->m_paused, 0);
  game.Resume();
  EXPECT_EQ(game.host.UpdateRate(), 60);

  game.app->m_gameMode = c_MyApp::ModeInGame;
  game.app->p_iCade(1);
  game.Suspend();
  EXPECT_EQ(game.app->m_paused, 1);
  EXPECT_EQ(game.app->m_pauseDir, 1);
  EXPECT_EQ(game.app->m_pauseY, 240);
  EXPECT_EQ(nx_Game_iCadeControls, 0);
  game.Resume();
  EXPECT_EQ(game.app->m_paused, 1);
}

TEST(FrameResize, ADuringGameSizeChangeReturnsToTheMenuAndReloads) {
  GameHarness game;
  game.FinishLoading();
  game.app->m_gameMode = c_MyApp::ModeInGame;
  game.app->m_paused = 1;
  game.Resize(800, 600);
  game.Render();
  EXPECT_EQ(game.app->m_gameMode, c_MyApp::ModeMenu);
  EXPECT_EQ(game.app->m_loadStep, 1);
  EXPECT_EQ(game.app->m_paused, 0);
  EXPECT_EQ(game.app->m_pauseY, -64);
  EXPECT_EQ(game.app->m_screenWidth, 800);
}

}  // namespace
