#include <gtest/gtest.h>

#include "runtime/gc.h"
#include "support/game_harness.h"

namespace {

using App = c_MyApp;

// The x of every glyph record, in order.
std::vector<float> GlyphXs(const GameHarness& game) {
  std::vector<float> xs;
  for (int index : game.RecordsOfKind(static_cast<float>(game.app->m_fontSlot))) {
    xs.push_back(game.Record(index)[App::RecordX]);
  }
  return xs;
}

TEST(DrawState, OptionalArgumentsAndResets) {
  GameHarness game;
  App* app = game.app;
  app->p_CLS2D(10.0f, 20.0f, 30.0f, 0.5f);
  app->p_SetSize(2.0f, App::Absent);
  EXPECT_EQ(app->m_drawScaleY, 2.0f);
  app->p_SetCol(1.0f, 2.0f, 3.0f, 0.25f);
  app->p_SetCol(255.0f, 0.0f, 0.0f, App::Absent);
  EXPECT_EQ(app->m_drawAlpha, 0.25f);
  app->p_SetRot(30.0f);
  EXPECT_EQ(app->m_drawRot, -30.0f);
  app->p_Rect(1.0f, 2.0f, 3.0f, 4.0f);

  app->p_CLS2D(App::Absent, 0.0f, 0.0f, 0.0f);
  EXPECT_EQ(app->m_clsRed, 10.0f);
  EXPECT_EQ(app->m_clsAlpha, 0.5f);
  EXPECT_EQ(app->m_drawCount, 0);
  EXPECT_EQ(app->m_drawScaleX, 1.0f);
  EXPECT_EQ(app->m_drawRot, 0.0f);
  EXPECT_EQ(app->m_drawAlpha, 1.0f);
  EXPECT_EQ(app->m_drawBlend, 1);
}

TEST(DrawList, RecordsCarryTheDrawState) {
  GameHarness game;
  App* app = game.app;
  app->p_CLS2D(0.0f, 0.0f, 0.0f, 1.0f);
  app->p_SetSize(1.5f, 2.5f);
  app->p_SetRot(90.0f);
  app->p_SetCol(10.0f, 20.0f, 30.0f, 0.75f);
  app->p_DrawImg(97, 100.0f, 50.0f, 6.0f);
  app->p_Oval(5.0f, 6.0f, 7.0f, 8.0f);
  ASSERT_EQ(game.RecordCount(), 2);
  const float* image = game.Record(0);
  const float expected[] = {97.0f, 100.0f, 50.0f, -90.0f, 1.5f, 2.5f, 6.0f, 0.75f};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(image[i], expected[i]) << "slot " << i;
  EXPECT_EQ(image[App::RecordRed], 10.0f);
  EXPECT_EQ(image[App::RecordBlue], 30.0f);
  EXPECT_EQ(image[App::RecordBlend], 1.0f);
  const float* oval = game.Record(1);
  EXPECT_EQ(oval[App::RecordKind], App::KindOval);
  EXPECT_EQ(oval[App::RecordScaleX], 7.0f);
  EXPECT_EQ(oval[App::RecordScaleY], 8.0f);
  EXPECT_EQ(oval[App::RecordFrame], 0.0f);
}

TEST(DrawList, KeepsAtMost2499Records) {
  GameHarness game;
  App* app = game.app;
  app->p_CLS2D(0.0f, 0.0f, 0.0f, 1.0f);
  for (int i = 0; i < 2600; ++i) app->p_Rect(static_cast<float>(i), 0.0f, 1.0f, 1.0f);
  EXPECT_EQ(app->m_drawCount, 37485);
  EXPECT_EQ(game.Record(2498)[App::RecordX], 2498.0f);
  app->p_Text(0.0f, 0.0f, String(u"more"), 0.0f, 0.0f);
  EXPECT_EQ(app->m_drawCount, 37485);
  app->p_CLS2D(App::Absent, 0.0f, 0.0f, 0.0f);
  app->p_Rect(0.0f, 0.0f, 1.0f, 1.0f);
  EXPECT_EQ(game.RecordCount(), 1);
}

// Text starts at x - width * alignX / 2, so alignX 2 puts the measured width before x.
TEST(Text, WidthsTruncateAfterEveryCharacter) {
  GameHarness game;
  App* app = game.app;
  struct Case {
    const char16_t* text;
    float scale;
    float width;
  } cases[] = {{u"Hi", 1.0f, 11.0f}, {u"mm", 1.0f, 18.0f}, {u"mm", 1.5f, 26.0f}};
  for (const Case& item : cases) {
    app->p_CLS2D(App::Absent, 0.0f, 0.0f, 0.0f);
    app->p_SetSize(item.scale);
    app->p_Text(100.0f, 50.0f, String(item.text), 2.0f, 1.0f);
    std::vector<float> xs = GlyphXs(game);
    ASSERT_EQ(xs.size(), 2u);
    EXPECT_NEAR(xs[0], 100.0f - item.width, 1e-4f) << item.width;
  }
  // The kerning moves the next glyph: H then i is 7 apart, m then m 9 apart.
  app->p_CLS2D(App::Absent, 0.0f, 0.0f, 0.0f);
  app->p_Text(0.0f, 0.0f, String(u"Him"), 0.0f, 1.0f);
  std::vector<float> xs = GlyphXs(game);
  ASSERT_EQ(xs.size(), 3u);
  EXPECT_NEAR(xs[1] - xs[0], 7.0f, 1e-4f);
  EXPECT_NEAR(xs[2] - xs[1], 4.0f, 1e-4f);
}

TEST(Text, GlyphsFramesAndSkippedCharacters) {
  GameHarness game;
  App* app = game.app;
  app->p_CLS2D(App::Absent, 0.0f, 0.0f, 0.0f);
  const char16_t text[] = {u'A', u' ', 0, 160, u'~', u'\\', u'x'};
  app->p_Text(0.0f, 0.0f, String(text, 7), 0.0f, 1.0f);
  std::vector<int> glyphs = game.RecordsOfKind(static_cast<float>(app->m_fontSlot));
  ASSERT_EQ(glyphs.size(), 4u);
  EXPECT_EQ(game.Record(glyphs[0])[App::RecordFrame], 'A' - 32.0f);
  EXPECT_EQ(game.Record(glyphs[1])[App::RecordFrame], '~' - 32.0f);
  EXPECT_EQ(game.Record(glyphs[2])[App::RecordFrame], '\\' - 32.0f);
  // The space and code 160 move the cursor, code 0 does not.
  EXPECT_NEAR(game.Record(glyphs[1])[App::RecordX], 21.0f, 1e-4f);
}

TEST(Text, LineBreakAlignmentAndRotation) {
  GameHarness game;
  App* app = game.app;
  app->p_CLS2D(App::Absent, 0.0f, 0.0f, 0.0f);
  app->p_Text(100.0f, 100.0f, String(u"A\\nB"), 0.0f, 1.0f);
  std::vector<int> glyphs = game.RecordsOfKind(static_cast<float>(app->m_fontSlot));
  ASSERT_EQ(glyphs.size(), 2u);
  const float* first = game.Record(glyphs[0]);
  const float* second = game.Record(glyphs[1]);
  EXPECT_NEAR(first[App::RecordX], 100.0f, 1e-4f);
  EXPECT_NEAR(first[App::RecordY], 100.0f, 1e-4f);
  EXPECT_NEAR(second[App::RecordX], 100.0f, 1e-4f);
  EXPECT_NEAR(second[App::RecordY], 110.0f, 1e-4f);

  // Centred both ways: "AB" is 14 wide, so A sits 7 left of x; alignY 0 puts the row half a
  // line below y.
  app->p_CLS2D(App::Absent, 0.0f, 0.0f, 0.0f);
  app->p_Text(100.0f, 100.0f, String(u"AB"), 1.0f, 0.0f);
  glyphs = game.RecordsOfKind(static_cast<float>(app->m_fontSlot));
  EXPECT_NEAR(game.Record(glyphs[0])[App::RecordX], 93.0f, 1e-4f);
  EXPECT_NEAR(game.Record(glyphs[0])[App::RecordY], 105.0f, 1e-4f);

  // A game angle of 90 runs the text down the screen, and the glyphs carry the rotation.
  app->p_CLS2D(App::Absent, 0.0f, 0.0f, 0.0f);
  app->p_SetRot(90.0f);
  app->p_Text(100.0f, 100.0f, String(u"AB"), 0.0f, 1.0f);
  glyphs = game.RecordsOfKind(static_cast<float>(app->m_fontSlot));
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_NEAR(game.Record(glyphs[1])[App::RecordX], 100.0f, 1e-4f);
  EXPECT_NEAR(game.Record(glyphs[1])[App::RecordY], 107.0f, 1e-4f);
  EXPECT_EQ(game.Record(glyphs[1])[App::RecordRotation], -90.0f);
}

TEST(Text, RightAlignedNumbersUseTheSharedCounter) {
  GameHarness game;
  App* app = game.app;
  EXPECT_EQ(app->p_rstr(42, 6, String(u"0")), String(u"000042"));
  EXPECT_EQ(app->m_i, 7);
  EXPECT_EQ(app->p_rstr(1234567, 6, String(u"0")), String(u"234567"));
  EXPECT_EQ(app->p_rstr(-5, 4, String(u" ")), String(u"  -5"));
  EXPECT_EQ(app->p_rstr(123, 6, String()), String(u"123"));
  EXPECT_EQ(app->p_rstr(123, 0, String(u"0")), String());
}

}  // namespace
