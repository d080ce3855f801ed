// The game's controls: the stick's dead zone, an unplugged pad and the key ramp, touch areas and
// the on-screen pad.
#include <gtest/gtest.h>

#include "framework/input.h"
#include "game/globals.h"
#include "support/game_harness.h"

namespace {

// Finger `finger` down at (x, y) in virtual units, as the frame maps it.
void Finger(c_MyApp* app, int finger, int x, int y) {
  app->m_pointerDown = app->m_touchDown[finger] = 1;
  app->m_touchX[finger] = x;
  app->m_touchY[finger] = y;
}

TEST(ControlsSteering, JoypadDeadZoneUnpluggingAndKeyRamp) {
  GameHarness game;
  c_MyApp* app = game.app;
  game.host.joysticks[0].present = true;
  for (float deflection : {0.15f, 0.16f, 0.0f}) {
    game.host.joysticks[0].x[0] = game.host.joysticks[0].y[0] = deflection;
    game.Update();
    app->p_AnalogueControl();
    EXPECT_EQ(app->m_stickY, deflection > 0.15f ? -deflection : 0.0f) << deflection;
  }
  // A pad that is unplugged lets go of its buttons and its stick.
  game.host.joysticks[0].buttons[3] = true;
  game.host.joysticks[0].x[0] = 0.5f;
  game.Update();
  EXPECT_TRUE(nx_input_JoyDown(3, 0) && nx_input_JoyX(0, 0) == 0.5f);
  game.host.joysticks[0].present = false;
  game.Update();
  EXPECT_FALSE(nx_input_JoyDown(3, 0) || nx_input_JoyX(0, 0) != 0.0f);

  // Seven updates of up reach full deflection; release returns by 0.2 without overshoot.
  game.KeyDown(38);
  for (int update = 0; update < 7; ++update) app->p_AnalogueControl();
  EXPECT_EQ(app->m_stickY, -1.0f);
  game.KeyUp(38);
  game.Update();
  for (float expected : {-0.8f, -0.6f, -0.4f, -0.2f, 0.0f, 0.0f}) {
    app->p_AnalogueControl();
    EXPECT_NEAR(app->m_stickY, expected, 1e-5f);
  }
}

TEST(ControlsTouch, StrictEdgesAndTheOnScreenPad) {
  GameHarness game;
  game.FinishLoading();
  c_MyApp* app = game.app;
  app->p_SetSize(1.0f);
  // An icon reaches 16 units from its centre; a touch area 6 before and 12 after it.
  for (int x : {115, 116}) {
    Finger(app, 3, x, 100);
    EXPECT_EQ(app->p_Button2(100.0f, 100.0f, 0), x == 115) << x;
  }
  const int touchCases[][3] = {{-6, 10, 0}, {111, 10, 1}, {112, 10, 0}, {50, -5, 1}, {50, 36, 0}};
  for (const auto& test : touchCases) {
    Finger(app, 3, test[0], test[1]);
    EXPECT_EQ(app->p_Touch(0.0f, 0.0f, 100.0f, 24.0f), test[2] == 1) << test[0] << "," << test[1];
  }
  Finger(app, 3, 60, 46);
  EXPECT_FALSE(app->p_MouseIn_Centered(50.0f, 50.0f, 20.0f, 10.0f));
  EXPECT_TRUE(app->p_MouseIn_Centered(50.0f, 50.0f, 21.0f, 10.0f));

  // The on-screen pad is not reached in this configuration; it runs directly.
  app->m_options[c_MyApp::OptionPadX] = 0;  // clamped to 32
  app->m_options[c_MyApp::OptionPadHeight] = 100;
  app->m_options[c_MyApp::OptionPadSize] = 10;
  Finger(app, 0, 64, 380);  // the right arrow
  app->p_OnScreenControls();
  EXPECT_EQ(app->m_iCadeButtons[5], 1);
  // Paused, the arrows press nothing; one finger moves the pad and two spread it.
  app->m_iCadeButtons[5] = 0;
  app->m_paused = 1;
  Finger(app, 0, 40, 370);
  app->p_OnScreenControls();
  EXPECT_EQ(app->m_iCadeButtons[5], 0);
  EXPECT_EQ(app->m_options[c_MyApp::OptionPadX], 40);
  EXPECT_EQ(app->m_options[c_MyApp::OptionPadHeight], 110);
  for (int spread : {32, 80}) {
    Finger(app, 1, 40 + spread, 370);
    app->p_OnScreenControls();
  }
  EXPECT_EQ(app->m_options[c_MyApp::OptionPadSize], 13);
}

}  // namespace
