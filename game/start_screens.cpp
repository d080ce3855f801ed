// The loading screen that every loader step records, and the "Click to Start" screen.
#include "game/my_app.h"

// <cmath> for placing the spinner's dots round the circle; <cstdint> for its angle sums.
#include <cmath>
#include <cstdint>

#include "framework/app.h"
#include "game/globals.h"
#include "runtime/numbers.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_Game_SpinnerDots = 11;
// Degrees between neighbouring dots, and the spinner's turn per update.
constexpr int nx_Game_SpinnerStep = 16;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// One ring of dots fading in from the first, dot i at angle `firstAngle` + 16 i. The angles
// are summed in 64 bits: the spinner's angle only grows.
void nx_Game_SpinnerRing(c_MyApp& app, int64_t firstAngle, float grey, float radius) {
  app.p_SetCol(grey, grey, grey);
  for (int dot = 0; dot < nx_Game_SpinnerDots; ++dot) {
    int64_t degrees = firstAngle + nx_Game_SpinnerStep * dot;
    float radians = static_cast<float>(degrees) * c_MyApp::RadiansPerDegree;
    app.p_Alpha(static_cast<float>(dot) / 10.0f);
    app.p_Oval(nx_Game_jscrw / 2.0f + std::sin(radians) * radius,
               nx_Game_jscrh / 2.0f - std::cos(radians) * radius, 8.0f, 8.0f);
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

// Mode 1 is the loading screen, whose two rings half a turn apart spin 16 degrees an update;
// mode 0 waits for a click in the middle half of the screen.
int c_MyApp::p_WaitStart(int mode) {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  p_CLS2D(40.0f, 40.0f, 80.0f, 1.0f);
  m_waitSize = nx_float_to_int_clamped(width > height ? height : width);
  int previousAngle = m_spinAngle;
  // The angle wraps instead of overflowing on a screen left up for a very long time.
  m_spinAngle = static_cast<int>(static_cast<unsigned>(m_spinAngle) + nx_Game_SpinnerStep);
  float radius = static_cast<float>(m_waitSize) / 4.0f;

  if (mode == 1) nx_Game_SpinnerRing(*this, int64_t{previousAngle} + 196, 250.0f, radius);

  p_SetCol(255.0f, 255.0f, 0.0f, 0.8f);
  float discRadius = 0.3f * static_cast<float>(m_waitSize);
  p_Oval(width / 2.0f, height / 2.0f, discRadius, discRadius);
  p_SetCol(250.0f, 160.0f, 60.0f, 0.7f);
  p_Rect(0.0f, 0.4f * height, width, 0.2f * height);
  p_ResetDraw();
  p_DrawImg(SlotStudioLogo, width / 2.0f, 0.48f * height, 0.0f);

  if (mode == 1) {
    nx_Game_SpinnerRing(*this, m_spinAngle, 50.0f, radius);
    return 0;
  }
  if (mode != 0) return 0;

  float centreX = width / 2.0f;
  float textY = 0.7f * height;
  p_SetCol(0.0f, 0.0f, 0.0f, 0.2f);
  p_Oval(centreX, textY, 136.0f, 24.0f);
  p_Oval(centreX, textY, 132.0f, 20.0f);
  p_Oval(centreX, textY, 128.0f, 16.0f);
  p_SetSize(2.0f);
  p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  p_Text(centreX, textY, String(u"Click to Start"), 1.0f, 1.0f);

  float pointerX = static_cast<float>(m_mouseX);
  float pointerY = static_cast<float>(m_mouseY);
  if (m_mouseHit >= 1 && pointerX >= 0.25f * width && pointerX <= 0.75f * width &&
      pointerY >= 0.25f * height && pointerY <= 0.75f * height) {
    m_pointerLatch = 1;
    m_gameMode = ModeMenu;
    p_Reload();
    nx_app_SetUpdateRate(60);
  }
  return 0;
}
