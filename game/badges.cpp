// Badges: the catalogue, the award step, the banners that slide in when one is earned, and
// the badges panel.
#include "game/my_app.h"

// <cmath> for the distance left to ease the panel's scroll.
#include <cmath>

#include "game/globals.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_Game_BannerSlots = 13;
constexpr int nx_Game_BannerWidth = 160;
constexpr int nx_Game_BannerHeight = 32;
constexpr int nx_Game_BannerPitch = 34;
constexpr int nx_Game_BannerSlideSpeed = 16;
// A banner starts to leave after this many updates and is gone after BannerGone.
constexpr int nx_Game_BannerLeaves = 230;
constexpr int nx_Game_BannerGone = 240;
// The icon sheet holds this many badge frames.
constexpr int nx_Game_BadgeIcons = 64;

constexpr float nx_Game_PanelKeyScroll = 16.0f;
constexpr float nx_Game_PanelDragFactor = 1.5f;
constexpr float nx_Game_PanelEaseDivisor = 6.0f;
constexpr float nx_Game_PanelSnapDistance = 6.0f;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

// A badge is one entry here (name, "|", description) and an icon frame of the sheet.
String c_MyApp::p_BadgeID(int badge) {
  if (badge == 0) return String(u"Test Badge|This is a Test Badge which has no purpose.");
  return String();
}

String c_MyApp::p_BadgeName(int badge) {
  return p_BadgeID(badge).Split(String(u"|"))[0];
}

// A badge outside the catalogue has no description rather than a missing one.
String c_MyApp::p_BadgeDetail(int badge) {
  Array<String> parts = p_BadgeID(badge).Split(String(u"|"));
  if (parts.Length() < 2) return String();
  return parts[1];
}

// A badge is earned once: awarding it again shows no second banner. With every banner slot
// busy the badge is still earned, only without its banner.
int c_MyApp::p_AwardBadge(int badge) {
  if (badge < 0 || badge >= m_badges.Length() || m_badges[badge]) return 0;
  m_badges[badge] = true;
  for (int slot = 0; slot < nx_Game_BannerSlots; ++slot) {
    if (m_badgePopupTimer[slot] != 0) continue;
    m_badgePopupId[slot] = badge;
    m_badgePopupTimer[slot] = 1;
    break;
  }
  return 0;
}

// Banners stack up from the bottom edge, slot 0 lowest; each slides in from the left, stays
// and slides out again, and its slot is free after the update it leaves in.
int c_MyApp::p_ShowBadges() {
  p_ResetDraw();
  for (int slot = 0; slot < nx_Game_BannerSlots; ++slot) {
    if (m_badgePopupTimer[slot] <= 0) continue;
    int age = m_badgePopupTimer[slot] + 1;
    m_badgePopupTimer[slot] = age;
    int x = nx_Game_BannerSlideSpeed * age - nx_Game_BannerWidth;
    if (age > nx_Game_BannerLeaves) {
      x = nx_Game_BannerSlideSpeed * (nx_Game_BannerGone - age) - nx_Game_BannerWidth;
    }
    if (x > 0) x = 0;
    if (age > nx_Game_BannerGone) m_badgePopupTimer[slot] = 0;
    float left = static_cast<float>(x);
    float top = nx_Game_jscrh - static_cast<float>(nx_Game_BannerPitch * (slot + 1));
    p_SetCol(0.0f, 0.0f, 80.0f, 0.8f);
    p_Rect(left, top, static_cast<float>(nx_Game_BannerWidth),
           static_cast<float>(nx_Game_BannerHeight));
    p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
    int badge = m_badgePopupId[slot];
    p_Text(left + 16.0f, top + 4.0f, p_BadgeName(badge), 0.0f, 0.0f);
    if (badge >= 0 && badge < nx_Game_BadgeIcons) {
      p_SetSize(0.5f);
      p_DrawImg(SlotBadges, left + 144.0f, top + 16.0f, static_cast<float>(badge));
      p_SetSize(1.0f);
    }
  }
  return 0;
}

int c_MyApp::p_BadgesBox() {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  p_ResetDraw();
  p_SetCol(255.0f, 125.0f, 0.0f, 0.8f);
  p_Rect(0.1f * width, -1.0f, 0.8f * width, height + 2.0f);
  p_SetCol(100.0f, 0.0f, 0.0f, 0.8f);
  p_Rect(0.12f * width, -1.0f, 0.76f * width, height + 2.0f);
  p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);

  if (p_PlayKeyAll(8) != 0) m_badgeScroll -= nx_Game_PanelKeyScroll;
  if (p_PlayKeyAll(0) != 0) m_badgeScroll += nx_Game_PanelKeyScroll;
  if (m_wasMouseDown > 0 && static_cast<float>(m_mouseX) >= 0.12f * width) {
    m_badgeScroll -=
        nx_Game_PanelDragFactor * (static_cast<float>(m_oldMouseY) - static_cast<float>(m_mouseY));
  }
  if (m_badgeScroll < 0.0f) m_badgeScroll = 0.0f;

  m_badgeScrollShown += (m_badgeScroll - m_badgeScrollShown) / nx_Game_PanelEaseDivisor;
  if (std::fabs(m_badgeScroll - m_badgeScrollShown) < nx_Game_PanelSnapDistance) {
    m_badgeScrollShown = m_badgeScroll;
  }
  return 0;
}

// The hook for an outside achievement service, which this build does not have.
int c_MyApp::p_GC_Badges() {
  return 0;
}
