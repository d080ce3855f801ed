// The pause menu over a running game: the shade, the sliding panel, resume, quit, the option
// box over it, and on the console the overscan control.
#include "game/my_app.h"

#include "framework/math.h"
// The virtual screen size, the console switch and its overscan.
#include "game/globals.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_Game_PauseStep = 24;
// Highlighted buttons.
constexpr int nx_Game_SelectQuit = -1;
constexpr int nx_Game_SelectResume = 0;
constexpr int nx_Game_SelectOptions = 1;

constexpr int nx_Game_IconQuit = 1;
constexpr int nx_Game_IconResume = 3;
constexpr int nx_Game_IconOptions = 10;
constexpr int nx_Game_IconHighlight = 6;

constexpr int nx_Game_OverscanLowest = 1;
constexpr int nx_Game_OverscanHighest = 96;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

int nx_Game_ClampOverscan(int overscan) {
  if (overscan < nx_Game_OverscanLowest) return nx_Game_OverscanLowest;
  if (overscan > nx_Game_OverscanHighest) return nx_Game_OverscanHighest;
  return overscan;
}

// One of the three buttons at scale 2, with the highlight behind it; true while pressed.
bool nx_Game_PauseButton(c_MyApp& app, float x, float y, int icon, bool highlighted, float red,
                         float green, float blue) {
  if (highlighted) {
    app.p_SetSize(2.5f);
    app.p_SetCol(255.0f, 255.0f, 100.0f, 1.0f);
    app.p_DrawImg(c_MyApp::SlotIcons, x, y, static_cast<float>(nx_Game_IconHighlight));
  }
  app.p_SetSize(2.0f);
  app.p_SetCol(red, green, blue, 1.0f);
  return app.p_Button2(x, y, icon);
}

// The console's overscan control, the option box's own shown above the panel.
void nx_Game_PauseOverscan(c_MyApp& app, float panelY) {
  float centre = nx_Game_jscrw / 2.0f;
  float textY = panelY - 150.0f;
  app.p_SetSize(2.0f);
  app.p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  app.p_Text(centre, textY, String(u"L1 <      Overscan      > R1"), 1.0f, 1.0f);
  app.p_SetSize(1.0f);
  app.p_SetCol(0.0f, 128.0f, 255.0f, 0.5f);
  float barY = textY + 16.0f;
  // A saved value may be anything; it is brought into range before a shoulder steps it.
  int overscan = nx_Game_ClampOverscan(app.m_options[c_MyApp::OptionOverscan]);
  if (app.p_Touch(centre - 128.0f, barY, 256.0f, 9.0f) && app.m_pointerLatch == 0) {
    app.m_pointerLatch = 1;
    overscan = overscan >= 32 ? nx_Game_OverscanLowest : nx_Game_OverscanHighest;
    app.p_PlaySFX2(98, 0.5f);
  }
  if (app.m_keyLatch == 0 && app.p_PlayKeyAll(14) != 0) {
    app.m_keyLatch = 1;
    overscan -= 16;
  } else if (app.m_keyLatch == 0 && app.p_PlayKeyAll(15) != 0) {
    app.m_keyLatch = 1;
    overscan += 16;
  }
  overscan = nx_Game_ClampOverscan(overscan);
  app.m_options[c_MyApp::OptionOverscan] = overscan;
  nx_Game_overscan = static_cast<float>(overscan);
  app.p_SetCol(255.0f, 255.0f, 0.0f, 0.75f);
  app.p_Rect(centre - 132.0f + 2.67f * static_cast<float>(overscan), barY - 4.0f, 8.0f, 16.0f);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int c_MyApp::p_PauseMenu() {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  float centre = width / 2.0f;

  p_SetCol(0.0f, 0.0f, 0.0f, static_cast<float>(nx_math_Abs(m_pauseY)) / (0.8f * height));
  p_Rect(0.0f, 0.0f, width, height);

  if (m_pauseDir == 1 && static_cast<float>(m_pauseY) < height / 2.0f) {
    m_pauseY += nx_Game_PauseStep;
  }
  if (m_pauseDir == -1) {
    if (m_pauseY < -63) {
      m_paused = 0;
    } else {
      m_pauseY -= nx_Game_PauseStep;
      if (m_pauseY < -32) m_paused = 0;
    }
  }

  float y = static_cast<float>(m_pauseY);
  float sideX = m_landscape == 1 ? 140.0f : 96.0f;
  float sideY = m_landscape == 1 ? 64.0f : 96.0f;
  if (m_landscape == 1) {
    p_SetCol(255.0f, 255.0f, 10.0f, 0.6f);
    p_Rect(centre - 128.0f, y - 64.0f, 256.0f, 8.0f);
    p_SetCol(255.0f, 150.0f, 10.0f, 0.7f);
    p_Rect(centre - 140.0f, y - 52.0f, 280.0f, 104.0f);
    p_SetCol(10.0f, 150.0f, 255.0f, 0.6f);
    p_Rect(centre - 128.0f, y + 56.0f, 256.0f, 8.0f);
  } else {
    p_SetCol(255.0f, 255.0f, 10.0f, 0.6f);
    p_Rect(centre - 96.0f, y - 92.0f, 192.0f, 8.0f);
    p_SetCol(255.0f, 150.0f, 10.0f, 0.7f);
    p_Rect(centre - 128.0f, y - 80.0f, 256.0f, 160.0f);
    p_SetCol(10.0f, 150.0f, 255.0f, 0.6f);
    p_Rect(centre - 96.0f, y + 84.0f, 192.0f, 8.0f);
  }

  if (nx_Game_isOuya == 1) nx_Game_PauseOverscan(*this, y);

  bool confirm = p_PlayKeyAll(10) != 0;
  bool left = p_PlayKeyAll(3) != 0;
  bool right = p_PlayKeyAll(5) != 0;
  bool up = p_PlayKeyAll(0) != 0;
  bool down = p_PlayKeyAll(8) != 0;

  bool resumePressed =
      nx_Game_PauseButton(*this, centre, y, nx_Game_IconResume, m_pauseSel == nx_Game_SelectResume,
                          50.0f, 50.0f, 250.0f);
  bool resumeByPointer = resumePressed && m_pointerLatch == 0;
  bool resumeByKey = m_pauseSel == nx_Game_SelectResume && confirm && m_keyLatch == 0;
  if (resumeByPointer || resumeByKey) {
    if (resumeByPointer) m_pointerLatch = 1;
    if (resumeByKey) m_keyLatch = 1;
    m_pauseDir = -1;
    p_PlaySFX(98, 0.5f, 0.5f, 0.0f);
  }
  if (m_pauseSel == nx_Game_SelectResume && m_keyLatch == 0) {
    if (left || up) {
      m_keyLatch = 1;
      m_pauseSel = nx_Game_SelectQuit;
      p_PlaySFX(98, 0.8f, 0.5f, 0.0f);
    } else if (right) {
      m_keyLatch = 1;
      m_pauseSel = nx_Game_SelectOptions;
      p_PlaySFX(98, 1.2f, 0.5f, 0.0f);
    }
  }

  bool quitPressed = nx_Game_PauseButton(*this, centre - sideX, y - sideY, nx_Game_IconQuit,
                                         m_pauseSel == nx_Game_SelectQuit, 255.0f, 50.0f, 50.0f);
  bool quitByPointer = quitPressed && m_pointerLatch == 0;
  bool quitByKey = m_pauseSel == nx_Game_SelectQuit && confirm && m_keyLatch == 0;
  if (quitByPointer || quitByKey) {
    if (quitByPointer) m_pointerLatch = 1;
    if (quitByKey) m_keyLatch = 1;
    m_paused = 0;
    m_pauseDir = -1;
    m_pauseY = -64;
    m_gameOver = 1;
    p_PlaySFX(98, 0.5f, 0.5f, 0.0f);
  }
  if (m_pauseSel == nx_Game_SelectQuit && m_keyLatch == 0 && (right || down)) {
    m_keyLatch = 1;
    m_pauseSel = nx_Game_SelectResume;
    p_PlaySFX(98, 0.8f, 0.5f, 0.0f);
  }

  bool optionsHighlighted = m_pauseSel == nx_Game_SelectOptions;
  float optionsX = centre + sideX;
  float optionsY = y - sideY;
  if (m_optionsOpen == 0) m_cogAngle += 0.2f;
  if (optionsHighlighted) {
    p_SetSize(2.5f);
    p_SetCol(255.0f, 255.0f, 100.0f, 1.0f);
    p_DrawImg(SlotIcons, optionsX, optionsY, static_cast<float>(nx_Game_IconHighlight));
  }
  p_SetSize(1.0f);
  p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  p_SetRot(0.66f * m_cogAngle);
  p_DrawImg(SlotButtons, optionsX, optionsY, 8.0f);
  p_SetRot(0.33f * m_cogAngle);
  p_DrawImg(SlotButtons, optionsX, optionsY, 9.0f);
  p_SetRot(0.0f);
  bool optionsPressed = nx_Game_PauseButton(*this, optionsX, optionsY, nx_Game_IconOptions, false,
                                            255.0f, 255.0f, 255.0f);
  // The box opens on its first row, as it does from the title menu.
  if (optionsPressed && m_pointerLatch == 0) {
    m_pointerLatch = 1;
    m_optionsOpen = 1;
    m_optRow = 0;
    p_PlaySFX(99, 1.0f, 1.0f, 0.0f);
  } else if (optionsHighlighted && confirm && m_keyLatch == 0) {
    m_keyLatch = 1;
    m_optionsOpen = 1;
    m_optRow = 0;
    p_PlaySFX(98, 0.5f, 0.5f, 0.0f);
  }
  if (optionsHighlighted && m_keyLatch == 0 && (left || down)) {
    m_keyLatch = 1;
    m_pauseSel = nx_Game_SelectResume;
    p_PlaySFX(98, 0.8f, 0.5f, 0.0f);
  }

  if (m_keyLatch == 0 && p_PlayKeyAll(99) != 0) {
    m_keyLatch = 1;
    m_pauseDir = -1;
    p_PlaySFX(98, 1.0f, 0.5f, 0.0f);
  }
  return 0;
}
