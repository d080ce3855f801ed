// The option box: the panel that rises over the title menu or the pause menu with its back
// row, the sound, iCade, window and credits rows, and on the console the overscan setting.
#include "game/my_app.h"

// <cstddef> for the length of a button list.
#include <cstddef>

#include "game/globals.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_Game_BoxOpenSlide = 30;
constexpr int nx_Game_SoundSelect = 99;
constexpr int nx_Game_SoundConfirm = 98;
// The confirm sound is the menus' softer one.
constexpr float nx_Game_ConfirmVolume = 0.5f;
constexpr float nx_Game_RowTextX = 100.0f;
// A row's rectangle starts this far left of its text.
constexpr float nx_Game_RowTextInset = 16.0f;
constexpr float nx_Game_RowWidth = 180.0f;
constexpr float nx_Game_RowHeight = 24.0f;
constexpr float nx_Game_RowSpacing = 40.0f;
// The buttons that activate a highlighted row.
constexpr int nx_Game_ActionButtons[] = {10, 11, 12, 13, 14, 15};
// The buttons that close the box while the back row is highlighted.
constexpr int nx_Game_CloseButtons[] = {15, 10, 11};
// The buttons whose holding keeps the box's key latch set.
constexpr int nx_Game_HeldButtons[] = {0, 3, 5, 8, 10, 11, 12, 13, 14, 15, 16, 17, 99};
constexpr int nx_Game_OverscanLowest = 1;
constexpr int nx_Game_OverscanHighest = 96;
constexpr int nx_Game_OverscanStep = 16;
// A tap on the bar jumps to the far end from this value on.
constexpr int nx_Game_OverscanTapFlip = 32;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

template <std::size_t Count>
bool nx_Game_AnyHeld(c_MyApp& app, const int (&buttons)[Count]) {
  for (int button : buttons) {
    if (app.p_PlayKeyAll(button) != 0) return true;
  }
  return false;
}

int nx_Game_ClampOverscan(int overscan) {
  if (overscan < nx_Game_OverscanLowest) return nx_Game_OverscanLowest;
  if (overscan > nx_Game_OverscanHighest) return nx_Game_OverscanHighest;
  return overscan;
}

void nx_Game_SetBoxLatches(c_MyApp& app, int value) {
  app.m_optKeyLatch = value;
  app.m_optPtrLatch = value;
}

// Every way out of the box saves, so that a change made in it survives a quit that follows.
void nx_Game_CloseBox(c_MyApp& app) {
  app.m_optionsOpen = 0;
  nx_Game_SetBoxLatches(app, 1);
  app.p_PlaySFX(nx_Game_SoundSelect, 1.0f, 1.0f, 0.0f);
  app.p_Save();
}

// Records one row and tells whether it was activated: by a touch on it, which also
// highlights it, or by an action button while it is highlighted. Some rows also wait for the
// box's key latch before a touch counts.
bool nx_Game_OptionRow(c_MyApp& app, int row, float textX, float top, const String& text,
                       bool needsKeyLatch) {
  bool highlighted = app.m_optRow == row;
  app.p_SetSize(1.0f);
  if (highlighted) {
    app.p_SetCol(0.0f, 180.0f, 255.0f, 0.5f);
  } else {
    app.p_SetCol(0.0f, 0.0f, 160.0f, 0.5f);
  }
  bool touched =
      app.p_Touch(textX - nx_Game_RowTextInset, top, nx_Game_RowWidth, nx_Game_RowHeight);
  app.p_SetSize(2.0f);
  app.p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  app.p_Text(textX, top + 2.0f, text, 0.0f, 0.0f);
  if (touched) app.m_optRow = row;
  bool pressed =
      highlighted && app.m_optKeyLatch == 0 && nx_Game_AnyHeld(app, nx_Game_ActionButtons);
  if (app.m_optPtrLatch != 0) return false;
  if (needsKeyLatch && app.m_optKeyLatch != 0) return false;
  return touched || pressed;
}

// Marks at the four corners of the virtual screen show where the overscan leaves the picture.
void nx_Game_CornerMarks(c_MyApp& app, float width, float height) {
  app.p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  app.p_Rect(0.0f, 0.0f, 8.0f, 16.0f);
  app.p_Rect(0.0f, 0.0f, 16.0f, 8.0f);
  app.p_Rect(width - 8.0f, 0.0f, 8.0f, 16.0f);
  app.p_Rect(width - 16.0f, 0.0f, 16.0f, 8.0f);
  app.p_Rect(0.0f, height - 16.0f, 8.0f, 16.0f);
  app.p_Rect(0.0f, height - 8.0f, 16.0f, 8.0f);
  app.p_Rect(width - 8.0f, height - 16.0f, 8.0f, 16.0f);
  app.p_Rect(width - 16.0f, height - 8.0f, 16.0f, 8.0f);
}

// The console's overscan: a bar to tap between the extremes, the shoulder buttons to step.
void nx_Game_OverscanRow(c_MyApp& app, float width, float slide) {
  float centreX = 0.6f * width;
  float rowY = 12.0f * slide - 268.0f;
  app.p_SetSize(2.0f);
  app.p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  app.p_Text(centreX, rowY, String(u"L1 <      Overscan      > R1"), 1.0f, 1.0f);

  // A saved value may be anything; it is brought into range before it is stepped.
  int overscan = nx_Game_ClampOverscan(app.m_options[c_MyApp::OptionOverscan]);
  float barY = rowY + 16.0f;
  app.p_SetSize(1.0f);
  app.p_SetCol(0.0f, 128.0f, 255.0f, 0.5f);
  if (app.p_Touch(centreX - 128.0f, barY, 256.0f, 9.0f) && app.m_optPtrLatch == 0) {
    app.m_optPtrLatch = 1;
    app.p_PlaySFX(nx_Game_SoundConfirm, 1.0f, nx_Game_ConfirmVolume, 0.0f);
    overscan =
        overscan >= nx_Game_OverscanTapFlip ? nx_Game_OverscanLowest : nx_Game_OverscanHighest;
  }
  if (app.m_optKeyLatch == 0) {
    if (app.p_PlayKeyAll(14) != 0) {
      overscan -= nx_Game_OverscanStep;
      app.m_optKeyLatch = 1;
    } else if (app.p_PlayKeyAll(15) != 0) {
      overscan += nx_Game_OverscanStep;
      app.m_optKeyLatch = 1;
    }
  }
  overscan = nx_Game_ClampOverscan(overscan);
  app.m_options[c_MyApp::OptionOverscan] = overscan;
  nx_Game_overscan = static_cast<float>(overscan);

  app.p_SetCol(255.0f, 255.0f, 0.0f, 0.75f);
  app.p_Rect(centreX - 132.0f + 2.67f * static_cast<float>(overscan), barY - 3.5f, 8.0f, 16.0f);
}

String nx_Game_SoundText(int mode) {
  if (nx_Game_HasMusic == 1) {
    switch (mode) {
      case 1:
        return String(u"Sound : SFX + Music");
      case 2:
        return String(u"Sound : SFX");
      case 3:
        return String(u"Sound : Music");
      default:
        return String(u"Sound : Off");
    }
  }
  return String(mode == 1 ? u"Sound : On" : u"Sound : Off");
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int c_MyApp::p_OptionBox() {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  float slide = static_cast<float>(m_optionsSlide);
  bool console = nx_Game_isOuya == 1;
  p_SetRot(0.0f);
  p_SetSize(1.0f);
  if (console) nx_Game_CornerMarks(*this, width, height);

  // Nothing held while the box is up reaches the screen behind it, and nothing acts on the
  // box while it is still moving.
  m_keyLatch = 1;
  m_pointerLatch = 1;
  if (m_optionsSlide != nx_Game_BoxOpenSlide) nx_Game_SetBoxLatches(*this, 1);

  p_SetCol(150.0f, 75.0f, 0.0f, 0.85f);
  p_Rect(50.0f, 720.0f - 24.0f * slide, width - 100.0f, height);

  const int soundRow = 1;
  const int iCadeRow = console ? 0 : soundRow + 1;
  const int windowRow = console ? soundRow + 1 : iCadeRow + 1;
  // The credits box belongs to the title menu; over the pause menu the row is not shown.
  const int creditsRow = m_gameMode == ModeMenu ? windowRow + 1 : 0;
  const int lastRow = creditsRow != 0 ? creditsRow : windowRow;
  // The highlight may come from the box's last use with other rows shown.
  if (m_optRow < 0) m_optRow = 0;
  if (m_optRow > lastRow) m_optRow = lastRow;

  m_cogAngle += 0.2f;
  float backX = 12.0f * slide - 260.0f;
  p_SetSize(m_optRow == 0 ? 2.0f : 1.5f);
  p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  p_SetRot(0.66f * m_cogAngle);
  p_DrawImg(SlotButtons, backX, 60.0f, 8.0f);
  p_SetRot(0.33f * m_cogAngle);
  p_DrawImg(SlotButtons, backX, 60.0f, 9.0f);
  p_SetRot(0.0f);
  bool backPressed = p_Button2(backX, 60.0f, 10);
  p_SetSize(2.0f);
  p_Text(backX + 76.0f, 60.0f, String(u"<[BACK]"), 0.0f, 1.0f);
  if ((backPressed || p_PlayKeyAll(99) != 0) && m_optKeyLatch == 0 && m_optPtrLatch == 0) {
    nx_Game_CloseBox(*this);
  }

  if (console) nx_Game_OverscanRow(*this, width, slide);

  float rowTop = 848.0f - 24.0f * slide;
  int modes = nx_Game_HasMusic == 1 ? 4 : 2;
  int sound = m_options[OptionSound];
  if (sound < 0 || sound >= modes) sound = 0;
  m_options[OptionSound] = sound;
  if (nx_Game_OptionRow(*this, soundRow, nx_Game_RowTextX, rowTop, nx_Game_SoundText(sound),
                        true)) {
    m_options[OptionSound] = nx_Game_HasMusic == 1 ? (sound + 1) % 4 : 1 - sound;
    nx_Game_SetBoxLatches(*this, 1);
    // Played after the change, so that switching the sound on is heard.
    p_PlaySFX(nx_Game_SoundSelect, 1.0f, 1.0f, 0.0f);
  }

  if (iCadeRow != 0) {
    float top = rowTop + nx_Game_RowSpacing * static_cast<float>(iCadeRow - 1);
    String text(nx_Game_iCadeControls == 1 ? u"iCade : On" : u"iCade : Off");
    if (nx_Game_OptionRow(*this, iCadeRow, nx_Game_RowTextX, top, text, false)) {
      p_iCade(nx_Game_iCadeControls == 1 ? 0 : 1);
      for (int button = 0; button < m_iCadeButtons.Length(); ++button) m_iCadeButtons[button] = 0;
      nx_Game_SetBoxLatches(*this, 1);
      p_PlaySFX(nx_Game_SoundSelect, 1.0f, 1.0f, 0.0f);
    }
  }

  float windowTop = rowTop + nx_Game_RowSpacing * static_cast<float>(windowRow - 1);
  String windowText(m_fullscreen == 1 ? u"Windowed" : u"Fullscreen");
  if (nx_Game_OptionRow(*this, windowRow, nx_Game_RowTextX, windowTop, windowText, false)) {
    p_FullscreenFlip();
    nx_Game_SetBoxLatches(*this, 1);
    p_PlaySFX(nx_Game_SoundSelect, 1.0f, 1.0f, 0.0f);
  }

  if (creditsRow != 0 && nx_Game_OptionRow(*this, creditsRow, width - 264.0f, windowTop + 50.0f,
                                           String(u"Credits"), true)) {
    m_creditsOpen = 1;
    m_optionsOpen = 0;
    nx_Game_SetBoxLatches(*this, 0);
    p_Save();
  }

  if (m_optKeyLatch == 0) {
    if (m_optRow == 0 && nx_Game_AnyHeld(*this, nx_Game_CloseButtons)) {
      nx_Game_CloseBox(*this);
    } else if (p_PlayKeyAll(0) != 0 || p_PlayKeyAll(3) != 0) {
      if (m_optRow > 0) m_optRow -= 1;
      m_optKeyLatch = 1;
      p_PlaySFX(nx_Game_SoundSelect, 1.0f, 1.0f, 0.0f);
    } else if (p_PlayKeyAll(8) != 0 || p_PlayKeyAll(5) != 0) {
      if (m_optRow < lastRow) m_optRow += 1;
      m_optKeyLatch = 1;
      p_PlaySFX(nx_Game_SoundSelect, 1.0f, 1.0f, 0.0f);
    }
  }

  if (m_pointerDown == 0) m_optPtrLatch = 0;
  if (!nx_Game_AnyHeld(*this, nx_Game_HeldButtons)) m_optKeyLatch = 0;
  p_ResetDraw();
  return 0;
}
