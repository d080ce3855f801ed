// The credits box (a test card that flies together, with the credits scrolling over it) and
// the console's quit dialog.
#include "game/my_app.h"

// <algorithm> for the larger screen side and the colour clamps.
#include <algorithm>
// <cmath> for the distance that fades the credits lines.
#include <cmath>

#include "framework/graphics.h"
#include "game/globals.h"
#include "runtime/errors.h"
#include "runtime/numbers.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

// A line of the quit dialog and how far below the line before it it stands.
struct nx_Game_QuitLine {
  float below;
  const char16_t* text;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_Game_SlideOpen = 30;
// The cells reach their full size this many steps into the opening.
constexpr int nx_Game_CellGrowSteps = 20;
constexpr float nx_Game_CellsAcrossLongSide = 12.0f;
// How far each step of the slide still to go moves the circle and the credits up.
constexpr float nx_Game_CardRise = 24.0f;
constexpr float nx_Game_CreditsLineHeight = 16.0f;
constexpr float nx_Game_ScrollPerUpdate = 0.3f;
constexpr float nx_Game_ScrollHeldExtra = 1.5f;
constexpr int nx_Game_FirstLineShown = -3;
constexpr int nx_Game_LastLineShown = 4;

constexpr int nx_Game_SoundClick = 99;

constexpr nx_Game_QuitLine nx_Game_QuitDialogLines[] = {
    {36.0f, u"Are you absolutely sure"}, {20.0f, u"you want to quit the game?"},
    {28.0f, u"Isn't this fun?"},         {38.0f, u"It'll be a shame to see you go."},
    {38.0f, u"Press (A) to Quit"},       {20.0f, u"or (O) to return to the fun!"},
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

float nx_Game_ColourLevel(float level) {
  return std::clamp(level, 0.0f, 255.0f);
}

// A strip of colour along the card's border: it runs the cell's whole length along the border,
// so neighbouring strips join into one band, and keeps `inset` clear on either side across it.
void nx_Game_BorderStrip(c_MyApp& app, float left, float top, float size, float inset,
                         bool alongRow, float red, float green, float blue) {
  app.p_SetCol(nx_Game_ColourLevel(red), nx_Game_ColourLevel(green), nx_Game_ColourLevel(blue));
  if (alongRow) {
    app.p_Rect(left, top + inset, size, size - 2.0f * inset);
  } else {
    app.p_Rect(left + inset, top, size - 2.0f * inset, size);
  }
}

// The grid of the test card. Every cell starts `away` units per cell of its distance from the
// centre further out, so the card gathers as the box opens and scatters as it closes.
void nx_Game_TestCardCells(c_MyApp& app, int slide, float away, float alpha) {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  float cell = std::max(width, height) / nx_Game_CellsAcrossLongSide;
  int columns = nx_float_to_int_clamped(width / cell);
  int rows = nx_float_to_int_clamped(height / cell);
  float size = slide < nx_Game_CellGrowSteps
                   ? static_cast<float>(slide) / static_cast<float>(nx_Game_CellGrowSteps) * cell
                   : cell;
  // Insets shrink with the cells, so a growing cell keeps its proportions.
  float unit = size / cell;
  // A card two cells wide or high has no inner border cells, and so no steps to take.
  float columnStep = columns > 2 ? 512.0f / static_cast<float>(columns - 2) : 0.0f;
  float rowStep = rows > 2 ? 512.0f / static_cast<float>(rows - 2) : 0.0f;
  float greyStep = columns > 2 ? 255.0f / static_cast<float>(columns - 2) : 0.0f;
  float spacing = cell + away;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      float centreX =
          width * 0.5f +
          (static_cast<float>(column) + 0.5f - static_cast<float>(columns) * 0.5f) * spacing;
      float centreY = height * 0.5f +
                      (static_cast<float>(row) + 0.5f - static_cast<float>(rows) * 0.5f) * spacing;
      float left = centreX - size * 0.5f;
      float top = centreY - size * 0.5f;
      bool edgeColumn = column == 0 || column == columns - 1;
      bool edgeRow = row == 0 || row == rows - 1;
      if (!edgeColumn && !edgeRow) {
        app.p_SetCol(255.0f, 255.0f, 255.0f, alpha);
        app.p_Rect(left, top, size, size);
        float inset = 2.0f * unit;
        app.p_SetCol(128.0f, 128.0f, 128.0f);
        app.p_Rect(left + inset, top + inset, size - 2.0f * inset, size - 2.0f * inset);
        continue;
      }
      app.p_SetCol(0.0f, 0.0f, 0.0f, alpha);
      app.p_Rect(left, top, size, size);
      if (edgeColumn && edgeRow) continue;
      float inset = 8.0f * unit;
      // Steps count from the first inner cell; a falling level mirrors the rising one.
      float across = static_cast<float>(column - 1);
      float acrossMirrored = static_cast<float>(columns - 2 - column);
      float down = static_cast<float>(row - 1);
      float downMirrored = static_cast<float>(rows - 2 - row);
      if (row == 0) {
        nx_Game_BorderStrip(app, left, top, size, inset, true, across * columnStep,
                            acrossMirrored * columnStep, 0.0f);
      } else if (row == rows - 1) {
        // The ramp ends in white at the last inner cell.
        float grey = (across + 1.0f) * greyStep;
        nx_Game_BorderStrip(app, left, top, size, inset, true, grey, grey, grey);
      } else if (column == 0) {
        nx_Game_BorderStrip(app, left, top, size, inset, false, 0.0f, downMirrored * rowStep,
                            down * rowStep);
      } else {
        nx_Game_BorderStrip(app, left, top, size, inset, false, downMirrored * rowStep, 0.0f,
                            down * rowStep);
      }
    }
  }
}

// The circle, the logos, the turning cogs and the resolution read-out, all riding with the
// circle as it drops into place. The circle fills most of the screen's short side; the lens
// and the read-out hold text at the font's own size and so keep theirs.
void nx_Game_TestCardArtwork(c_MyApp& app, float away, float alpha) {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  float centreX = width * 0.5f;
  float centreY = height * 0.5f - nx_Game_CardRise * away;
  // The circle image's scale: 1.4 where the short side allows it, smaller on a low window.
  float circle = std::min(1.4f, std::min(width, height) / 260.0f);
  // The circle image's disc has a radius of 124 and its inner ring one of 92.
  float radius = 124.0f * circle;
  app.p_SetCol(0.0f, 0.0f, 0.0f, alpha * 0.3f);
  app.p_Oval(centreX + 3.0f * circle, centreY + 4.0f * circle, radius + 2.0f, radius + 2.0f);
  app.p_SetCol(255.0f, 255.0f, 255.0f, alpha);
  app.p_SetSize(circle);
  app.p_DrawImg(c_MyApp::SlotTestcard, centreX, centreY, 0.0f);
  // A dark lens inside the inner ring keeps the credits legible over the colour bars.
  app.p_SetCol(0.0f, 0.0f, 0.0f, alpha * 0.7f);
  app.p_Oval(centreX, centreY + 2.0f, std::min(126.0f, 90.0f * circle),
             std::min(58.0f, 42.0f * circle));
  app.p_SetCol(255.0f, 255.0f, 255.0f, alpha);
  app.p_SetSize(0.4f);
  app.p_DrawImg(c_MyApp::SlotLogo, centreX, centreY - 68.0f * circle, 0.0f);
  app.p_SetSize(0.18f * circle);
  app.p_DrawImg(c_MyApp::SlotStudioLogo, centreX, centreY + 70.0f * circle, 0.0f);

  // Beside the circle: the read-outs above, the cogs below, winding into place with the slide.
  float side = std::min(214.0f, width * 0.5f - 50.0f);
  float cogY = centreY + 48.0f * circle;
  app.p_SetSize(0.5f * circle);
  app.p_SetRot(away * 12.0f);
  app.p_DrawImg(c_MyApp::SlotButtons, centreX - side, cogY, 8.0f);
  app.p_SetRot(-away * 12.0f);
  app.p_DrawImg(c_MyApp::SlotButtons, centreX + side, cogY, 9.0f);
  app.p_SetRot(0.0f);
  app.p_SetSize(1.0f);
  String window =
      String(nx_graphics_DeviceWidth()) + String(u" x ") + String(nx_graphics_DeviceHeight());
  String screen = String(nx_float_to_int_clamped(width)) + String(u" x ") +
                  String(nx_float_to_int_clamped(height));
  float readoutY = centreY - 48.0f * circle;
  app.p_SetCol(0.0f, 0.0f, 0.0f, alpha * 0.8f);
  app.p_Oval(centreX - side, readoutY, 40.0f, 10.0f);
  app.p_Oval(centreX + side, readoutY, 40.0f, 10.0f);
  app.p_SetCol(255.0f, 255.0f, 255.0f, alpha);
  app.p_Text(centreX - side, readoutY, window, 1.0f, 1.0f);
  app.p_Text(centreX + side, readoutY, screen, 1.0f, 1.0f);
}

// The line shown at `offset` from the first line: the text wraps before its last line, which
// is never shown. The sum is taken wide so that no line number can overflow it.
int nx_Game_CreditsLineIndex(int firstLine, int offset, int wrap) {
  long long index = (static_cast<long long>(firstLine) + offset) % wrap;
  if (index < 0) index += wrap;
  return static_cast<int>(index);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int c_MyApp::p_CreditBox() {
  int slide = m_creditsSlide;
  float away = static_cast<float>(nx_Game_SlideOpen - slide);
  float alpha = static_cast<float>(slide) / static_cast<float>(nx_Game_SlideOpen);
  p_ResetDraw();
  nx_Game_TestCardCells(*this, slide, away, alpha);
  nx_Game_TestCardArtwork(*this, away, alpha);

  m_creditsScroll -= nx_Game_ScrollPerUpdate;
  if (p_PlayKeyAll(8) != 0 || p_PlayKeyAll(0) != 0) m_creditsScroll -= nx_Game_ScrollHeldExtra;
  if (m_creditsScroll < -nx_Game_CreditsLineHeight) {
    m_creditsScroll += nx_Game_CreditsLineHeight;
    m_creditsLine += 1;
  }
  int wrap = nx_Game_CreditText.Length() - 1;
  for (int offset = nx_Game_FirstLineShown; offset <= nx_Game_LastLineShown; ++offset) {
    float lineOffset = nx_Game_CreditsLineHeight * static_cast<float>(offset);
    float fade = 1.0f - (std::fabs(m_creditsScroll + lineOffset) / 40.0f - 0.3f);
    p_SetCol(255.0f, 255.0f, 255.0f, std::clamp(fade, 0.0f, 1.0f));
    p_Text(nx_Game_jscrw * 0.5f + 24.0f,
           nx_Game_jscrh * 0.5f - nx_Game_CardRise * away + lineOffset + m_creditsScroll,
           nx_Game_CreditText[nx_Game_CreditsLineIndex(m_creditsLine, offset, wrap)], 0.8f, 0.8f);
  }

  // A box flying apart still takes a press, so one press cannot close it and act behind it.
  if (m_pointerDown > 0 && m_pointerLatch == 0) {
    m_pointerLatch = 1;
    m_creditsOpen = 0;
    p_PlaySFX2(nx_Game_SoundClick, 1.0f);
  }
  if (m_keyLatch == 0 &&
      (p_PlayKeyAll(15) != 0 || p_PlayKeyAll(10) != 0 || p_PlayKeyAll(11) != 0)) {
    m_keyLatch = 1;
    m_creditsOpen = 0;
    // Effects are heard only in the sound modes that let them through.
    p_PlaySFX2(nx_Game_SoundClick, 1.0f);
  }
  return 0;
}

// The clear alpha is 0 rather than below it: the window is left as it was and the dialog is
// drawn over the last picture.
int c_MyApp::p_OuyaQuit() {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  p_CLS2D(180.0f, 180.0f, 180.0f, 0.0f);
  p_SetSize(3.0f);
  p_DrawImg(SlotTestcard, width * 0.5f, height * 0.5f, 0.0f);
  float x = static_cast<float>(nx_float_to_int_clamped(width * 0.65f));
  float y = static_cast<float>(nx_float_to_int_clamped(height * 0.3f));
  p_Text(x, y, String(u"It looks like you're"), 1.0f, 1.0f);
  y += 32.0f;
  p_Text(x, y, String(u"trying to QUIT!"), 1.0f, 1.0f);
  p_SetSize(2.0f);
  for (const nx_Game_QuitLine& line : nx_Game_QuitDialogLines) {
    y += line.below;
    p_Text(x, y, String(line.text), 1.0f, 1.0f);
  }

  // Both answers are read against the latches as they were: confirm and quit held together
  // return to the menu and still end the program.
  if (m_keyLatch == 0 && m_pointerLatch == 0) {
    if (p_PlayKeyAll(10) != 0) {
      m_gameMode = ModeMenu;
      m_keyLatch = 1;
      m_pointerLatch = 1;
    }
    if (p_PlayKeyAll(11) != 0 || p_PlayKeyAll(12) != 0 || p_PlayKeyAll(99) != 0) {
      nxError(String());
    }
  }
  return 0;
}
