// The draw list through the headless harness: the record cap, text layout, right-aligned
// numbers and the loader.

#include <gtest/gtest.h>

#include <vector>

#include "game/globals.h"
#include "support/game_harness.h"

namespace {

using App = c_MyApp;

// Glyph `index` of the list lies at (x, y), give or take the rounding of the text direction.
void ExpectGlyphAt(const GameHarness& game, size_t index, float x, float y) {
  std::vector<int> glyphs = game.RecordsOfKind(static_cast<float>(game.app->m_fontSlot));
  ASSERT_LT(index, glyphs.size());
  EXPECT_NEAR(game.Record(glyphs[index])[App::RecordX], x, 1e-3f) << index;
  EXPECT_NEAR(game.Record(glyphs[index])[App::RecordY], y, 1e-3f) << index;
}

// 2,499 records fit; later ones, glyphs too, are dropped.
TEST(DrawList, TheRecordCapDropsLaterRecords) {
  GameHarness game;
  App* app = game.app;
  app->p_CLS2D(App::Absent, 0.0f, 0.0f, 0.0f);
  for (int i = 0; i < 2600; ++i) app->p_Rect(static_cast<float>(i), 0.0f, 1.0f, 1.0f);
  app->p_Text(0.0f, 0.0f, String(u"more"), 0.0f, 0.0f);
  EXPECT_EQ(app->m_drawCount, 37485);
  EXPECT_EQ(game.Record(2498)[App::RecordX], 2498.0f);
}

TEST(Text, WidthsKerningLinesRotationAndNumbers) {
  GameHarness game;
  App* app = game.app;
  auto write = [app](String text, float scale, float angle, float alignX, float alignY) {
    app->p_CLS2D(App::Absent, 0.0f, 0.0f, 0.0f);
    app->p_SetSize(scale);
    app->p_SetRot(angle);
    app->p_Text(100.0f, 100.0f, text, alignX, alignY);
  };
  // alignX 2 puts the measured width, truncated after every character, before x.
  struct Case {
    const char16_t* text;
    float scale, width;
  };
  for (const Case& c :
       {Case{u"Hi", 1.0f, 11.0f}, Case{u"mm", 1.0f, 18.0f}, Case{u"mm", 1.5f, 26.0f}}) {
    write(String(c.text), c.scale, 0.0f, 2.0f, 1.0f);
    ExpectGlyphAt(game, 0, 100.0f - c.width, 100.0f);
  }
  // A space and code 160 move the cursor without a glyph, code 0 neither; a backslash before
  // n breaks the line under the first line's start (alignY 0: half a line lower), before
  // anything else it is a glyph.
  const char16_t text[] = {u'A', u' ', 0, 160, u'~', u'\\', u'n', u'B', u'\\', u'x'};
  write(String(text, 10), 1.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_EQ(game.RecordsOfKind(static_cast<float>(app->m_fontSlot)).size(), 5u);
  ExpectGlyphAt(game, 1, 121.0f, 105.0f);
  ExpectGlyphAt(game, 2, 100.0f, 115.0f);
  EXPECT_EQ(game.Record(game.RecordCount() - 2)[App::RecordFrame], '\\' - 32.0f);

  EXPECT_EQ(app->p_rstr(42, 6, String(u"0")), String(u"000042"));
  EXPECT_EQ(app->p_rstr(1234567, 6, String(u"0")), String(u"234567"));
}

// The loader takes an asset or two a step, with the studio logo on the screen throughout; at
// 640 x 480, above 630, it loads the "-hd" files, frames of twice the design size.
TEST(Loader, AStepAnUpdateUnderTheStudioLogo) {
  GameHarness game;
  App* app = game.app;
  int steps = 0;
  for (; app->m_loadStep > 0 && steps < 100; ++steps) {
    game.Step();
    EXPECT_EQ(game.RecordsOfKind(static_cast<float>(App::SlotStudioLogo)).size(), 1u) << steps;
  }
  EXPECT_EQ(steps, 26);
  for (int slot : {App::SlotItems, App::SlotFont, App::SlotButtons, App::SlotMenu}) {
    ASSERT_NE(app->m_images[slot], nullptr) << slot;
  }
  EXPECT_EQ(app->m_images[App::SlotMenu]->m_width, 512);
}

}  // namespace
