// The draw list: the draw state, the 15-float records every update writes for the render to
// replay, text layout with the game's own kerning, and the loading of images and the font.
#include "game/my_app.h"

// <cmath> for the sines and cosines of text direction.
#include <cmath>

#include "framework/graphics.h"
#include "game/globals.h"
#include "runtime/numbers.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

// One step of the loader: an image (its design-pixel frame size and frame count) or the font
// (its advance and line height in virtual units) into a slot, and a sound effect, each where
// given. Step n of the loader is entry n - 1.
struct nx_Game_LoaderStep {
  int slot;
  const char16_t* file;
  int width;
  int height;
  int frames;
  bool font;
  int effect;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

// A window side above these many pixels loads the next larger set of image files.
constexpr int nx_Game_HdThreshold = 630;
constexpr int nx_Game_Hd2Threshold = 1230;

constexpr int nx_Game_FontCell = 16;
constexpr int nx_Game_FontGlyphs = 128;
constexpr int nx_Game_FirstGlyph = 33;
constexpr int nx_Game_LastGlyph = 159;
// The font's first cell shows the space.
constexpr int nx_Game_FontFirstChar = 32;

constexpr int nx_Game_LogoJingle = 96;

constexpr int nx_Game_NoEffect = -1;
constexpr nx_Game_LoaderStep nx_Game_LoaderSteps[] = {
    {c_MyApp::SlotIcons, u"common/icons", 32, 32, 16, false, nx_Game_LogoJingle},
    {c_MyApp::SlotButtons, u"common/Buttons", 64, 64, 16, false, nx_Game_NoEffect},
    {c_MyApp::SlotDpad, u"common/dpad", 32, 32, 16, false, nx_Game_NoEffect},
    {c_MyApp::SlotStudioLogo, u"common/KOBULogo", 256, 256, 1, false, nx_Game_NoEffect},
    {c_MyApp::SlotTestcard, u"common/Testcard_Circle", 256, 256, 1, false, nx_Game_NoEffect},
    {c_MyApp::SlotFont, u"fonts/pixelkit", 7, 10, 0, true, nx_Game_NoEffect},
    {0, nullptr, 0, 0, 0, false, 1},
    {0, nullptr, 0, 0, 0, false, 95},
    {0, nullptr, 0, 0, 0, false, 98},
    {0, nullptr, 0, 0, 0, false, 99},
    {c_MyApp::SlotMenu, u"menu", 256, 256, 4, false, nx_Game_NoEffect},
    {c_MyApp::SlotLogo, u"logo", 256, 128, 1, false, nx_Game_NoEffect},
    {c_MyApp::SlotParts, u"parts", 8, 8, 256, false, nx_Game_NoEffect},
    {c_MyApp::SlotBadges, u"BadgesA", 64, 64, 64, false, nx_Game_NoEffect},
    {0, nullptr, 0, 0, 0, false, 2},
    {0, nullptr, 0, 0, 0, false, 3},
    {0, nullptr, 0, 0, 0, false, 4},
    {0, nullptr, 0, 0, 0, false, 5},
    {0, nullptr, 0, 0, 0, false, 6},
    {c_MyApp::SlotItems, u"gfx", 16, 16, 16, false, nx_Game_NoEffect},
    {0, nullptr, 0, 0, 0, false, 7},
    {0, nullptr, 0, 0, 0, false, 8},
    {0, nullptr, 0, 0, 0, false, 9},
    {0, nullptr, 0, 0, 0, false, 10},
    {0, nullptr, 0, 0, 0, false, 11},
};
static_assert(sizeof(nx_Game_LoaderSteps) / sizeof(nx_Game_LoaderSteps[0]) == 25,
              "the loader takes 25 updates");

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// Narrow letters pull the next one closer, wide ones push it away.
int nx_Game_Kerning(int character) {
  switch (character) {
    case 'm':
    case 'w':
      return 2;
    case 'M':
    case 'W':
      return 1;
    case 'f':
    case 'i':
    case 'l':
      return -3;
    case 's':
    case 'j':
    case 'k':
    case 'r':
    case 't':
    case 'n':
    case 'z':
      return -1;
    default:
      return 0;
  }
}

// Appends one record with the current draw state, unless the list is full: a full list drops
// the rest of the update's records without notice.
void nx_Game_AppendRecord(c_MyApp& app, float kind, float x, float y, float sizeX, float sizeY,
                          float frame) {
  if (app.m_drawCount > c_MyApp::DrawListLastStart) return;
  float* record = app.m_drawList.Data() + app.m_drawCount;
  record[c_MyApp::RecordKind] = kind;
  record[c_MyApp::RecordX] = x;
  record[c_MyApp::RecordY] = y;
  record[c_MyApp::RecordRotation] = app.m_drawRot;
  record[c_MyApp::RecordScaleX] = sizeX;
  record[c_MyApp::RecordScaleY] = sizeY;
  record[c_MyApp::RecordFrame] = frame;
  record[c_MyApp::RecordAlpha] = app.m_drawAlpha;
  record[c_MyApp::RecordRed] = app.m_drawRed;
  record[c_MyApp::RecordGreen] = app.m_drawGreen;
  record[c_MyApp::RecordBlue] = app.m_drawBlue;
  record[c_MyApp::RecordBlend] = static_cast<float>(app.m_drawBlend);
  app.m_drawCount += c_MyApp::DrawRecordFloats;
}

// Files carry a suffix per resolution level; there is no fall-back to another level.
String nx_Game_ImageFile(const String& path, int hdLevel) {
  if (hdLevel == 2) return path + String(u"-hd.png");
  if (hdLevel == 4) return path + String(u"-hd2.png");
  return path + String(u".png");
}

// Larger windows get images with more file pixels per design pixel, drawn scaled down.
void nx_Game_ChooseResolution(c_MyApp& app) {
  int width = nx_graphics_DeviceWidth();
  int height = nx_graphics_DeviceHeight();
  app.m_hdLevel = 1;
  app.m_imageScale = 1.0f;
  if (width > nx_Game_HdThreshold || height > nx_Game_HdThreshold) {
    app.m_hdLevel = 2;
    app.m_imageScale = 0.5f;
  }
  if (width > nx_Game_Hd2Threshold || height > nx_Game_Hd2Threshold) {
    app.m_hdLevel = 4;
    app.m_imageScale = 0.25f;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int c_MyApp::p_ResetDraw() {
  m_drawScaleX = 1.0f;
  m_drawScaleY = 1.0f;
  m_drawRot = 0.0f;
  m_drawRed = 255.0f;
  m_drawGreen = 255.0f;
  m_drawBlue = 255.0f;
  m_drawAlpha = 1.0f;
  m_drawBlend = 1;
  return 0;
}

int c_MyApp::p_CLS2D(float red, float green, float blue, float alpha) {
  if (red != Absent) {
    m_clsRed = red;
    m_clsGreen = green;
    m_clsBlue = blue;
    m_clsAlpha = alpha;
  }
  p_ResetDraw();
  m_drawCount = 0;
  return 0;
}

int c_MyApp::p_SetSize(float scaleX, float scaleY) {
  m_drawScaleX = scaleX;
  m_drawScaleY = scaleY == Absent ? scaleX : scaleY;
  return 0;
}

// Stored negated, so that a positive game angle turns drawings clockwise on the screen.
int c_MyApp::p_SetRot(float angle) {
  m_drawRot = -angle;
  return 0;
}

int c_MyApp::p_SetCol(float red, float green, float blue, float alpha) {
  m_drawRed = red;
  m_drawGreen = green;
  m_drawBlue = blue;
  if (alpha != Absent) m_drawAlpha = alpha;
  return 0;
}

int c_MyApp::p_Alpha(float alpha) {
  m_drawAlpha = alpha;
  return 0;
}

int c_MyApp::p_DrawImg(int slot, float x, float y, float frame) {
  nx_Game_AppendRecord(*this, static_cast<float>(slot), x, y, m_drawScaleX, m_drawScaleY, frame);
  return 0;
}

int c_MyApp::p_Rect(float x, float y, float width, float height) {
  nx_Game_AppendRecord(*this, KindRect, x, y, width, height, 0.0f);
  return 0;
}

int c_MyApp::p_Oval(float x, float y, float radiusX, float radiusY) {
  nx_Game_AppendRecord(*this, KindOval, x, y, radiusX, radiusY, 0.0f);
  return 0;
}

// Multi-line text is aligned as a whole by the width of the complete string, so every line
// starts under the first line's start.
int c_MyApp::p_Text(float x, float y, String text, float alignX, float alignY) {
  int advance = m_imageInfo[m_fontSlot * 3];
  int lineHeight = m_imageInfo[m_fontSlot * 3 + 1];
  float angle = -m_drawRot;
  // The appended space lets a trailing backslash look ahead like any other.
  String padded = text + String(u" ");

  int width = 0;
  for (int i = 0; i < text.Length(); ++i) {
    width = nx_float_to_int_clamped(static_cast<float>(nx_Game_Kerning(text[i]) + advance) *
                                        m_drawScaleX +
                                    static_cast<float>(width));
  }

  float along = (angle - 90.0f) * RadiansPerDegree;
  float across = angle * RadiansPerDegree;
  float alignedX = x + std::sin(along) * static_cast<float>(width) * alignX / 2.0f;
  float alignedY = y - std::cos(along) * static_cast<float>(width) * alignX / 2.0f;
  float lineSize = static_cast<float>(lineHeight) * m_drawScaleY;
  float startX = alignedX + std::sin(across) * lineSize * (alignY - 1.0f) / 2.0f;
  float startY = alignedY - std::cos(across) * lineSize * (alignY - 1.0f) / 2.0f;

  float lineRadians = (180.0f + angle) * RadiansPerDegree;
  float lineStepX = std::sin(lineRadians);
  float lineStepY = -std::cos(lineRadians);
  float stepRadians = (90.0f + angle) * RadiansPerDegree;
  float stepX = std::sin(stepRadians);
  float stepY = -std::cos(stepRadians);

  float cursorX = startX;
  float cursorY = startY;
  int lines = 0;
  int length = padded.Length();
  for (int i = 0; i < length; ++i) {
    int character = padded[i];
    if (character == '\\' && padded[i + 1] == 'n') {
      lines += 1;
      float lineOffset = lineSize * static_cast<float>(lines);
      cursorX = startX + lineStepX * lineOffset;
      cursorY = startY + lineStepY * lineOffset;
      i += 1;
      continue;
    }
    if (character == 0) continue;
    if (character >= nx_Game_FirstGlyph && character <= nx_Game_LastGlyph) {
      nx_Game_AppendRecord(*this, static_cast<float>(m_fontSlot), cursorX, cursorY, m_drawScaleX,
                           m_drawScaleY, static_cast<float>(character - nx_Game_FontFirstChar));
    }
    float move = static_cast<float>(nx_Game_Kerning(character) + advance) * m_drawScaleX;
    cursorX += stepX * move;
    cursorY += stepY * move;
  }
  return 0;
}

// The pad repetition runs in the shared loop counter, which callers may find at width + 1.
String c_MyApp::p_rstr(int value, int width, String pad) {
  String padded;
  for (m_i = 0; m_i <= width; ++m_i) padded = padded + pad;
  if (width <= 0) return String();
  padded = padded + String(value);
  // An empty pad leaves fewer characters than the width: the number is then kept whole.
  int from = padded.Length() - width;
  return padded.Slice(from > 0 ? from : 0);
}

int c_MyApp::p_LoadImg(int slot, String path, int width, int height, int frames, int flags) {
  String file = nx_Game_ImageFile(path, m_hdLevel);
  gc_assign(m_images[slot], nullptr);
  gc_assign(m_images[slot],
            nx_graphics_LoadImage2(file, width * m_hdLevel, height * m_hdLevel, frames, flags));
  m_imageInfo[slot * 3] = width * m_hdLevel;
  m_imageInfo[slot * 3 + 1] = height * m_hdLevel;
  m_imageInfo[slot * 3 + 2] = frames;
  return 0;
}

// The advance and line height are in virtual units, whatever the file's resolution.
int c_MyApp::p_LoadFont(int slot, String path, int advance, int lineHeight) {
  String file = nx_Game_ImageFile(path, m_hdLevel);
  int cell = nx_Game_FontCell * m_hdLevel;
  gc_assign(m_images[slot],
            nx_graphics_LoadImage2(file, cell, cell, nx_Game_FontGlyphs, ImageFlagCentre));
  m_imageInfo[slot * 3] = advance;
  m_imageInfo[slot * 3 + 1] = lineHeight;
  m_imageInfo[slot * 3 + 2] = nx_Game_FontGlyphs;
  m_fontSlot = slot;
  return 0;
}

// The loading screen needs the logo, and all text needs the font, before the loader starts.
int c_MyApp::p_Reload() {
  m_clsRed = 0.0f;
  m_clsGreen = 0.0f;
  m_clsBlue = 0.0f;
  m_clsAlpha = 1.0f;
  nx_Game_ChooseResolution(*this);
  p_LoadImg(SlotStudioLogo, String(u"common/KOBULogo"), 256, 256, 1, ImageFlagCentre);
  p_LoadFont(SlotFont, String(u"fonts/pixelkit"), 7, 10);
  m_loadStep = 1;
  return 0;
}

// One asset per update, so that no update stalls for long and the loading screen moves.
int c_MyApp::p_Loader() {
  nx_Game_ChooseResolution(*this);
  constexpr int stepCount =
      static_cast<int>(sizeof(nx_Game_LoaderSteps) / sizeof(nx_Game_LoaderSteps[0]));
  if (m_loadStep >= 1 && m_loadStep <= stepCount) {
    const nx_Game_LoaderStep& step = nx_Game_LoaderSteps[m_loadStep - 1];
    if (step.font) {
      p_LoadFont(step.slot, String(step.file), step.width, step.height);
    } else if (step.file != nullptr) {
      p_LoadImg(step.slot, String(step.file), step.width, step.height, step.frames,
                ImageFlagCentre);
    }
    if (step.effect >= 0) p_LoadSFX(step.effect);
    // Once per run: a reload for a new window size shows the logo silently.
    if (step.slot == SlotStudioLogo && m_logoJinglePlayed == 0) {
      p_PlaySFX(nx_Game_LogoJingle, 1.0f, 1.0f, 0.0f);
      m_logoJinglePlayed = 1;
    }
  } else {
    m_loadStep = 0;
  }
  if (m_loadStep > 0) m_loadStep += 1;
  p_WaitStart(1);
  return 0;
}
