// The title menu: the background, logo and score panel sliding in, the carousel of the three
// game types and the options cog, and the ways out of it (a game, options, credits, quitting).
#include "game/my_app.h"

// <cmath> for the items' distances from the centre and the length of the score lists.
#include <cmath>
// <climits> for a nearest distance that every item beats.
#include <climits>

#include "framework/input.h"
#include "game/globals.h"
#include "runtime/errors.h"
#include "runtime/numbers.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr float nx_Game_ScorePanelWidth = 140.0f;
constexpr float nx_Game_ItemSpacing = 88.0f;
constexpr int nx_Game_MenuItems = 4;
constexpr int nx_Game_CogItem = 4;
constexpr int nx_Game_GameTypes = 3;
constexpr int nx_Game_ListLength = 10;
// The top-ten lists of the three game types come first, then their last-ten lists.
constexpr int nx_Game_LastListOffset = 30;
constexpr int nx_Game_ScoreWidth = 11;
constexpr int nx_Game_KeyEscape = 27;
constexpr int nx_Game_SoundSelect = 99;
constexpr int nx_Game_SoundConfirm = 98;
// The confirm sound is the menus' softer one.
constexpr float nx_Game_ConfirmVolume = 0.5f;
// A snap is over once the carousel as shown is this close to its target.
constexpr float nx_Game_SnapDone = 32.0f;
// The carousel follows a drag only past this much movement in an update.
constexpr float nx_Game_DragThreshold = 2.0f;
// The pointer latch's mark of a pointer that has dragged the carousel rather than pressed.
constexpr int nx_Game_DragLatch = 2;
// The buttons that confirm the selected item.
constexpr int nx_Game_ConfirmButtons[] = {10, 11, 12, 13, 16, 17};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

bool nx_Game_BoxOpen(const c_MyApp& app) {
  return app.m_creditsOpen == 1 || app.m_optionsOpen == 1 || app.m_badgesOpen == 1;
}

void nx_Game_PlaySelect(c_MyApp& app) {
  app.p_PlaySFX(nx_Game_SoundSelect, 1.0f, 1.0f, 0.0f);
}

// A heading ("Top 10", or `single` when there is one line) and `lines` scores of the list
// that starts at `first`, each line ended by the text's line break.
String nx_Game_ScoreList(c_MyApp& app, const String& heading, const String& single, int first,
                         int lines) {
  const String lineBreak(u"\\n");
  String text = (lines == 1 ? single : heading + String(lines)) + lineBreak;
  for (int line = 0; line < lines; ++line) {
    text = text + app.p_rstr(app.m_highScores[first + line], nx_Game_ScoreWidth, String(u" ")) +
           lineBreak;
  }
  return text;
}

// As many list lines as fit between the lists' top and the screen's middle, 1 to 10.
int nx_Game_ListLines(const c_MyApp& app, float height) {
  int lineHeight = 0;
  if (app.m_fontSlot >= 0 && app.m_fontSlot * 3 + 1 < app.m_imageInfo.Length()) {
    lineHeight = app.m_imageInfo[app.m_fontSlot * 3 + 1];
  }
  int listLineHeight = nx_float_to_int_clamped(1.5f * static_cast<float>(lineHeight));
  if (listLineHeight <= 0) return 1;
  float room = (height - 90.0f) - height / 2.0f;
  int lines = nx_float_to_int_clamped(std::floor(room / static_cast<float>(listLineHeight)));
  if (lines < 1) return 1;
  if (lines > nx_Game_ListLength) return nx_Game_ListLength;
  return lines;
}

// The selected item acts: a game type starts its game, the cog opens the option box.
void nx_Game_ConfirmItem(c_MyApp& app) {
  app.m_keyLatch = 1;
  app.m_pointerLatch = 1;
  app.p_PlaySFX(nx_Game_SoundConfirm, 1.0f, nx_Game_ConfirmVolume, 0.0f);
  if (app.m_menuSel == nx_Game_CogItem) {
    app.m_optionsOpen = 1;
    app.m_optRow = 0;
  } else {
    app.m_gameType = app.m_menuSel;
    app.m_gameMode = c_MyApp::ModeStartGame;
  }
}

// Scrolls the carousel to the selected item.
void nx_Game_SnapToSelection(c_MyApp& app) {
  app.m_menuSnap = app.m_menuSel;
  app.m_menuPos = static_cast<float>(1 - app.m_menuSel) * nx_Game_ItemSpacing;
  app.m_menuVel = 0.0f;
  app.m_menuDrag = 0.0f;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int c_MyApp::p_Menu() {
  p_CLS2D(0.0f, 0.0f, 80.0f, 1.0f);
  if (m_menuSlide < 0) {
    m_menuSlide = nx_float_to_int_clamped(static_cast<float>(m_menuSlide) + 0.25f);
  }
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  float slide = static_cast<float>(m_menuSlide);

  // On the desktop, back quits; the console asks first.
  if (m_keyLatch == 0 && m_pointerLatch == 0) {
    bool back = p_PlayKeyAll(99) != 0;
    if (nx_Game_isOuya == 1 && nx_input_KeyHit(nx_Game_KeyEscape) != 0) back = true;
    // A page has nothing to quit to, and there Escape often means leaving fullscreen.
    if (back && nx_Game_isOuya != 1 && !nx_Game_CanQuit()) back = false;
    if (back) {
      if (nx_Game_isOuya != 1) nxError(String());
      m_gameMode = ModeQuitDialog;
      m_keyLatch = 1;
      m_pointerLatch = 1;
    }
  }

  p_SetSize(3.0f);
  p_Alpha(0.4f);
  p_DrawImg(SlotMenu, width / 2.0f, height / 2.0f + 16.0f * slide, 0.0f);
  p_Alpha(1.0f);
  p_SetSize(1.5f);
  p_DrawImg(SlotLogo, 0.4f * width, 0.2f * height + 12.0f * slide, 0.0f);
  float panelX = width - nx_Game_ScorePanelWidth - 4.0f * slide;
  p_SetCol(0.0f, 0.0f, 0.0f, 0.4f);
  p_Rect(panelX, 0.0f, nx_Game_ScorePanelWidth, height);

  if (m_gameType >= 1 && m_gameType <= nx_Game_GameTypes && m_menuSel != nx_Game_CogItem) {
    int lines = nx_Game_ListLines(*this, height);
    int first = nx_Game_ListLength * (m_gameType - 1);
    p_SetSize(1.5f);
    // The lists keep the panel's alpha, so they read as dimmed text behind the carousel.
    if (!nx_Game_BoxOpen(*this)) {
      p_SetCol(255.0f, 200.0f, 100.0f);
      p_Text(panelX + 20.0f, 60.0f,
             nx_Game_ScoreList(*this, String(u"Top "), String(u"Highscore"), first, lines), 0.0f,
             0.0f);
    }
    if (m_badgesOpen == 0) {
      p_SetCol(200.0f, 255.0f, 100.0f);
      p_Text(panelX + 20.0f, height / 2.0f + 20.0f,
             nx_Game_ScoreList(*this, String(u"Last "), String(u"Last"),
                               first + nx_Game_LastListOffset, lines),
             0.0f, 0.0f);
    }
  }

  if (m_menuSel < 1 || m_menuSel > nx_Game_MenuItems) m_menuSel = 1;
  if (m_menuSel == nx_Game_CogItem) {
    m_cogAngle += 0.5f;
  } else {
    m_gameType = m_menuSel;
  }

  if (m_pointerDown == 0) m_menuDrag = 0.0f;
  m_menuPos += m_menuVel;
  m_menuEased -= (m_menuEased - m_menuPos) * 0.125f;
  if (m_menuVel != 0.0f) {
    m_menuVel *= 0.2f;
    if (std::fabs(m_menuVel) < 3.0f) m_menuVel = 0.0f;
  }

  bool landscape = m_landscape == 1;
  float centreX = (width - nx_Game_ScorePanelWidth) / 2.0f;
  float centreY = landscape ? 0.65f * height : 0.6f * height;
  // A box over the carousel hides it, and its position then chooses nothing.
  bool itemsShown = !nx_Game_BoxOpen(*this);
  int nearest = 0;
  int nearestDistance = INT_MAX;
  bool playButtonShown = false;
  for (int item = 1; item <= nx_Game_MenuItems && itemsShown; ++item) {
    float offset = m_menuEased + nx_Game_ItemSpacing * static_cast<float>(item - 1);
    float x = landscape ? centreX + offset : centreX;
    float y = landscape ? centreY : centreY + offset;
    float along = landscape ? x : y;
    if (item == 1 &&
        along > (landscape ? 0.75f * (width - nx_Game_ScorePanelWidth) : 0.75f * height)) {
      m_menuPos -= 8.0f;
      m_menuSel = 1;
    }
    if (item == nx_Game_MenuItems && along < (landscape ? 0.25f * width : 0.45f * height)) {
      m_menuPos += 8.0f;
      m_menuSel = nx_Game_MenuItems;
    }

    bool selected = item == m_menuSel;
    float scale = selected ? 1.75f : 1.0f;
    p_SetSize(scale);
    p_SetRot(0.0f);
    float dx = x - centreX;
    float dy = y - centreY;
    int distance = nx_float_to_int_clamped(std::sqrt(dx * dx + dy * dy));
    if (distance < nearestDistance) {
      nearest = item;
      nearestDistance = distance;
    }
    float alpha = 1.0f - static_cast<float>(distance) / 480.0f;
    if (alpha < 0.5f) alpha = 0.5f;
    if (alpha > 1.0f || selected) alpha = 1.0f;
    p_SetCol(255.0f, 255.0f, 255.0f, alpha);
    if (item == nx_Game_CogItem) {
      p_SetRot(0.66f * m_cogAngle);
      p_DrawImg(SlotButtons, x, y, 8.0f);
      p_SetRot(0.33f * m_cogAngle);
      p_DrawImg(SlotButtons, x, y, 9.0f);
      p_SetRot(m_cogAngle);
      p_DrawImg(SlotButtons, x, y, 10.0f);
      p_SetRot(0.0f);
    } else {
      p_DrawImg(SlotButtons, x, y, static_cast<float>(item - 1));
    }

    float frameWidth = static_cast<float>(m_imageInfo[SlotButtons * 3]);
    float frameHeight = static_cast<float>(m_imageInfo[SlotButtons * 3 + 1]);
    bool hit = m_pointerDown > 0 && p_MouseIn_Centered(x, y, frameWidth * m_imageScale * scale,
                                                       frameHeight * m_imageScale * scale);
    if (selected && item != nx_Game_CogItem && !playButtonShown) {
      playButtonShown = true;
      p_SetSize(3.0f, 2.5f);
      p_SetCol(100.0f, 255.0f, 100.0f, 0.3f);
      if (p_Button2(x, y, 3)) hit = true;
    }
    if (hit && !selected && m_pointerLatch == 0) {
      m_menuSel = item;
      nx_Game_SnapToSelection(*this);
      m_keyLatch = 1;
      m_pointerLatch = 1;
      nx_Game_PlaySelect(*this);
    } else if (hit && selected && m_keyLatch == 0 && m_pointerLatch == 0) {
      nx_Game_ConfirmItem(*this);
    }
  }

  if (itemsShown && nearest != m_menuSel && m_menuSnap == 0) {
    m_menuSel = nearest;
    nx_Game_PlaySelect(*this);
  }
  if (m_menuSnap != 0 && std::fabs(m_menuEased - m_menuPos) < nx_Game_SnapDone) m_menuSnap = 0;

  if (m_keyLatch == 0 && m_pointerLatch == 0 && !nx_Game_BoxOpen(*this)) {
    int step = 0;
    if (p_PlayKeyAll(0) != 0 || p_PlayKeyAll(3) != 0) {
      step = -1;
    } else if (p_PlayKeyAll(8) != 0 || p_PlayKeyAll(5) != 0) {
      step = 1;
    }
    if (step != 0) {
      m_menuSel += step;
      if (m_menuSel < 1) m_menuSel = 1;
      if (m_menuSel > nx_Game_MenuItems) m_menuSel = nx_Game_MenuItems;
      m_keyLatch = 1;
      nx_Game_PlaySelect(*this);
      nx_Game_SnapToSelection(*this);
    }
  }

  if (m_keyLatch == 0 && !nx_Game_BoxOpen(*this)) {
    for (int button : nx_Game_ConfirmButtons) {
      if (p_PlayKeyAll(button) != 0) {
        nx_Game_ConfirmItem(*this);
        break;
      }
    }
  }

  if (m_keyLatch == 0 && !nx_Game_BoxOpen(*this) && p_PlayKeyAll(15) != 0) {
    m_keyLatch = 1;
    nx_Game_PlaySelect(*this);
    m_creditsOpen = 1;
  }
  p_SetRot(0.0f);
  p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  p_SetSize(0.35f);
  if (p_Button(SlotStudioLogo, width - 70.0f, 32.0f + 4.0f * slide, 0) && m_pointerLatch == 0 &&
      m_creditsOpen == 0) {
    m_pointerLatch = 1;
    nx_Game_PlaySelect(*this);
    m_creditsOpen = 1;
  }

  if (!nx_Game_BoxOpen(*this) && m_pointerDown > 0) {
    float movement = landscape ? static_cast<float>(m_mouseX) - static_cast<float>(m_oldMouseX)
                               : static_cast<float>(m_mouseY) - static_cast<float>(m_oldMouseY);
    m_menuDrag = 1.5f * movement;
    if (std::fabs(m_menuDrag) > nx_Game_DragThreshold) {
      m_menuVel += m_menuDrag;
      m_pointerLatch = nx_Game_DragLatch;
    }
  }
  return 0;
}
