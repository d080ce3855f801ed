// What a player meets around the games: the title menu, the option box, the pause menu, the
// credits, the badges and the start screens, and every way out of the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/globals.h"
#include "support/child_process.h"
#include "support/game_harness.h"

namespace {

using App = c_MyApp;
using Strings = std::vector<std::string>;

// Whether one text of the last update reads exactly `text`, spaces aside.
bool HasExactText(const GameHarness& game, std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  std::vector<std::string> texts = game.Texts();
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The title menu after its first update, and the option box opened from it and risen into
// place: its rows stand 40 apart from y = 128, the credits row at (W - 264, 258), the back
// button at (100, 60).
void OpenBox(GameHarness& game) {
  game.FinishLoading();
  game.Update();
  game.app->m_optionsOpen = 1;
  game.Update(30);
}

GameHarness* quitting = nullptr;

// The program ends with status 0 and without a final save on every way out; the only one of
// these that saves is the option box closing, which quits nothing even with back held on.
TEST(Quitting, EveryWayOutEndsWithStatusZeroAndWithoutASave) {
  // From the title menu, or the mode given; keys pressed together, then one held down.
  struct Way {
    const char* name;
    int startMode, console, optionBox;
    std::vector<int> pressed;
    int held, updates, status, saves, mode;
  };
  const Way ways[] = {
      {"F4 in a game", App::ModeStartGame, 0, 0, {115}, 0, 1, 0, 0, App::ModeInGame},
      {"close button", 0, 0, 0, {}, 432, 1, 0, 0, App::ModeMenu},
      {"back key", 0, 0, 0, {}, 416, 1, 0, 0, App::ModeMenu},
      {"Escape in the title menu", 0, 0, 0, {kEscape}, 0, 1, 0, 0, App::ModeMenu},
      {"the console asks first", 0, 1, 0, {kEscape}, 0, 3, 7, 0, App::ModeQuitDialog},
      {"dialog back", App::ModeQuitDialog, 0, 0, {kEscape}, 0, 1, 0, 0, App::ModeQuitDialog},
      {"confirm, back", App::ModeQuitDialog, 0, 0, {kEnter, kEscape}, 0, 1, 0, 0, App::ModeMenu},
      {"back held in the option box", 0, 0, 1, {}, kEscape, 3, 7, 1, App::ModeMenu},
  };
  for (const Way& way : ways) {
    ChildRun run = RunInChild([&way] {
      GameHarness game;
      game.FinishLoading();
      game.Update();
      quitting = &game;
      std::atexit([] {
        std::printf("saves %d mode %d\n", quitting->host.saveCount, quitting->app->m_gameMode);
      });
      if (way.startMode != 0) game.app->m_gameMode = way.startMode;
      nx_Game_isOuya = way.console;
      game.app->m_optionsOpen = way.optionBox;
      game.Update(way.startMode != 0 || way.optionBox != 0 ? 30 : 0);
      for (int key : way.pressed) game.Press(key);
      if (way.held != 0) game.KeyDown(way.held);
      game.Update(way.updates);
      std::exit(7);
    });
    EXPECT_EQ(run.status, way.status) << way.name;
    EXPECT_EQ(run.output,
              "saves " + std::to_string(way.saves) + " mode " + std::to_string(way.mode) + "\n")
        << way.name;
  }
}

// The carousel shows the three game types' pictures and then the cog's three layers, and whatever
// is drawn after it stands upright.
TEST(TitleMenu, KeysMoveAndConfirmOncePerPressAlongTheCarousel) {
  GameHarness game;
  game.FinishLoading();
  game.Update();
  // The score lists (the only texts with blue 100) keep the score panel's alpha: dimmed.
  std::vector<float> listAlphas;
  for (int glyph : game.RecordsOfKind(static_cast<float>(game.app->m_fontSlot))) {
    const float* record = game.Record(glyph);
    if (record[App::RecordBlue] == 100.0f) listAlphas.push_back(record[App::RecordAlpha]);
  }
  ASSERT_FALSE(listAlphas.empty());
  EXPECT_EQ(listAlphas, std::vector<float>(listAlphas.size(), 0.4f));
  std::vector<int> items = game.RecordsOfKind(App::SlotButtons);
  ASSERT_GE(items.size(), 6u);
  for (int item = 0; item < 6; ++item) {
    const float* record = game.Record(items[item]);
    EXPECT_EQ(record[App::RecordFrame], item < 3 ? item : item + 5);
  }
  const int logo = game.RecordsOfKind(static_cast<float>(App::SlotStudioLogo)).at(0);
  EXPECT_EQ(game.Record(logo)[App::RecordRotation], 0.0f);

  // Enter plays game type 1, confirming at half the volume of the other menu sounds; held, it
  // starts nothing more.
  RecordingAudio* audio = RecordingAudio::Install(game.app);
  game.KeyDown(kEnter);
  game.Update();
  EXPECT_EQ(game.app->m_gameMode, App::ModeStartGame);
  EXPECT_EQ(game.app->m_gameType, 1);
  EXPECT_EQ(audio->TakeVolumes(), Strings{"0.5"});
  game.app->m_gameMode = App::ModeMenu;
  game.Update(3);
  EXPECT_EQ(game.app->m_gameMode, App::ModeMenu);
  game.KeyUp(kEnter);
  game.Update();

  // Right moves on one item a press and stops at the cog, which hides both score lists and
  // opens the option box at its first row.
  audio->TakeVolumes();
  for (int press = 0; press < 4; ++press) game.Tap(kRight);
  EXPECT_EQ(audio->TakeVolumes().at(0), "1");
  EXPECT_EQ(game.app->m_menuSel, 4);
  EXPECT_EQ(game.app->m_gameType, 3);
  EXPECT_FALSE(game.HasText("Top") || game.HasText("Last"));
  game.app->m_optRow = 3;
  game.Press(kEnter);
  game.Update();
  EXPECT_EQ(game.app->m_optionsOpen, 1);
  EXPECT_EQ(game.app->m_optRow, 0);
  EXPECT_EQ(audio->TakeVolumes(), Strings{"0.5"});
}

TEST(TitleMenu, TapsSelectAndPlayDragsFlingAndTheLogoOpensTheCredits) {
  GameHarness game;
  game.FinishLoading();
  game.Update();
  // A tap selects; a second tap on the selected item plays it.
  game.Click(338, 312);
  EXPECT_EQ(game.app->m_menuSel, 2);
  EXPECT_EQ(game.app->m_gameMode, App::ModeMenu);
  game.Update(40);
  game.Click(250, 312);
  EXPECT_EQ(game.app->m_gameMode, App::ModeStartGame);
  EXPECT_EQ(game.app->m_gameType, 2);

  // A drag flings the carousel on; its release plays nothing.
  game.app->m_gameMode = App::ModeMenu;
  game.MouseMove(100, 300);
  game.MouseDown();
  for (int step = 0; step <= 8; ++step) {
    game.MouseMove(100.0f - 10.0f * step, 300);
    game.Update();
  }
  game.MouseUp();
  game.Update(30);
  EXPECT_GE(game.app->m_menuSel, 3);
  EXPECT_EQ(game.app->m_gameMode, App::ModeMenu);

  // Under a box the carousel's position chooses nothing.
  game.Click(570, 32);
  EXPECT_EQ(game.app->m_creditsOpen, 1);
  int selected = game.app->m_menuSel;
  game.app->m_menuPos = game.app->m_menuEased = 0.0f;
  game.Update();
  EXPECT_EQ(game.app->m_menuSel, selected);
}

// With music the sound row cycles through four modes, and the mode is saved when the box
// closes (the sixth field of the state); without music, a mode past "On" is out of range.
TEST(OptionBox, SoundModesAreSavedOnClosing) {
  GameHarness game;
  OpenBox(game);
  game.Click(150, 140);
  game.Update();
  for (const char* text : {"<[BACK]", "Sound : Off", "iCade : Off", "Fullscreen", "Credits"}) {
    EXPECT_TRUE(HasExactText(game, text)) << text;
  }
  nx_Game_HasMusic = 1;
  for (const char* text : {"Sound : SFX + Music", "Sound : SFX", "Sound : Music"}) {
    game.Tap(kEnter);
    EXPECT_TRUE(HasExactText(game, text)) << text;
  }
  game.Click(100, 60);
  EXPECT_EQ(game.app->m_optionsOpen, 0);
  EXPECT_EQ(game.host.saveCount, 1);
  EXPECT_EQ(game.host.state.rfind("0|0|0|0|0|3|", 0), 0u) << game.host.state;
  nx_Game_HasMusic = 0;
  game.Update();
  EXPECT_EQ(game.app->m_options[App::OptionSound], 0);
}

TEST(OptionBox, KeysActOncePerPressAndTheCreditsRowOpensTheCredits) {
  GameHarness game;
  OpenBox(game);
  for (int press = 0; press < 6; ++press) game.Tap(kDown);
  EXPECT_EQ(game.app->m_optRow, 4);
  game.Tap(kUp);
  game.KeyDown(kEnter);
  game.Update(4);
  game.KeyUp(kEnter);
  game.Update();
  EXPECT_EQ(game.host.windowOpens, 1);
  EXPECT_TRUE(HasExactText(game, "Windowed"));

  game.Click(400, 270);
  EXPECT_EQ(game.app->m_creditsOpen, 1);
  EXPECT_EQ(game.app->m_optionsOpen, 0);
  EXPECT_EQ(game.host.saveCount, 1);
}

// The console's overscan bar runs 256 wide from (256, 108), the shoulders step it; a saved
// value of any size comes back within its range.
TEST(OptionBox, TheConsoleOverscanStaysInItsRange) {
  GameHarness game;
  nx_Game_isOuya = 1;
  OpenBox(game);
  EXPECT_TRUE(game.HasText("L1 < Overscan > R1"));
  EXPECT_FALSE(game.HasText("iCade"));
  game.app->m_options[App::OptionOverscan] = 16;
  RecordingAudio* audio = RecordingAudio::Install(game.app);
  game.Click(384, 110);
  game.Update();
  EXPECT_EQ(audio->TakeVolumes(), Strings{"0.5"});
  EXPECT_EQ(game.app->m_options[App::OptionOverscan], 96);
  EXPECT_EQ(nx_Game_overscan, 96.0f);
  game.Tap('B');  // shoulder button 14
  EXPECT_EQ(game.app->m_options[App::OptionOverscan], 80);
  game.app->m_options[App::OptionOverscan] = INT_MIN;
  game.Tap('B');
  EXPECT_EQ(game.app->m_options[App::OptionOverscan], 1);
  nx_Game_isOuya = 0;
  nx_Game_overscan = 0.0f;
}

// Whether the last update drew a record of this kind at exactly this place.
bool Drawn(const GameHarness& game, float kind, float x, float y, float frame = 0.0f) {
  for (int index : game.RecordsOfKind(kind)) {
    const float* record = game.Record(index);
    if (record[App::RecordX] == x && record[App::RecordY] == y && record[App::RecordFrame] == frame)
      return true;
  }
  return false;
}

void StartGame(GameHarness& game) {
  game.FinishLoading();
  game.app->m_gameType = 2;
  game.app->m_gameMode = App::ModeStartGame;
  game.Update();
}

TEST(PauseMenu, PointerPausesAndResumesAndTheOptionsOpenOverIt) {
  GameHarness game;
  App* app = game.app;
  StartGame(game);
  game.Click(16.0f, 16.0f);
  game.Update(14);
  EXPECT_EQ(app->m_paused, 1);
  game.Click(320.0f, 248.0f);
  game.Update(12);
  EXPECT_EQ(app->m_paused, 0);

  game.Press(kEscape);
  game.Update(13);
  game.Tap(kRight);
  EXPECT_EQ(app->m_pauseSel, 1);
  game.Tap(kEnter);
  EXPECT_EQ(app->m_optionsOpen, 1);
  // The panel stays under the box; back closes the box alone, not the menu behind it.
  game.Update(35);
  EXPECT_TRUE(Drawn(game, App::KindRect, 320.0f - 140.0f, 248.0f - 52.0f));
  game.Tap(kEscape);
  EXPECT_EQ(app->m_optionsOpen, 0);
  EXPECT_EQ(app->m_pauseDir, 1);
}

// 360 units wide: the panel's centre line is x = 180, the buttons above it.
TEST(PauseMenu, PortraitStandsTheButtonsAboveAnUprightPanelAndBackResumes) {
  GameHarness game(480, 640);
  App* app = game.app;
  StartGame(game);
  game.Press(kEscape);
  game.Update(13);
  ASSERT_EQ(app->m_paused, 1);
  float y = static_cast<float>(app->m_pauseY);
  EXPECT_TRUE(Drawn(game, App::KindRect, 180.0f - 128.0f, y - 80.0f));
  EXPECT_TRUE(Drawn(game, App::SlotIcons, 180.0f - 96.0f, y - 96.0f, 1.0f));
  EXPECT_TRUE(Drawn(game, App::SlotIcons, 180.0f + 96.0f, y - 96.0f, 10.0f));
  EXPECT_TRUE(Drawn(game, App::SlotIcons, 180.0f, y, 3.0f));
  game.Tap(kEscape);
  EXPECT_EQ(app->m_pauseDir, -1);
  EXPECT_EQ(app->m_gameOver, 0);
}

// Eight lines show round the current one, wrapping before "End", which never shows; blank
// lines show nothing, so all eight read as one text.
TEST(Credits, ScrollThroughEveryLineAndClose) {
  GameHarness game;
  game.FinishLoading();
  game.app->m_creditsOpen = 1;
  game.Step(31);
  auto line = [](int index) {
    std::string text = nx_Game_CreditText[(index % 51 + 51) % 51].ToUtf8();
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
  };
  ASSERT_EQ(nx_Game_CreditText.Length(), 52);
  ASSERT_EQ(line(-1) + line(0) + line(50), "");
  for (int first = 0; first < 2 * 51; ++first) {
    game.app->m_creditsLine = first;
    game.app->m_creditsScroll = 0.0f;
    game.Update();
    std::string shown;
    for (int offset = -3; offset <= 4; ++offset) shown += line(first + offset);
    // The card's readout of the window and screen sizes comes just before the lines.
    EXPECT_EQ(game.Texts().back(), "640x480640x480" + shown) << first;
  }

  // A click closes the box, and so does confirm.
  game.Click(320, 240);
  EXPECT_EQ(game.app->m_creditsOpen, 0);
  game.app->m_creditsOpen = 1;
  game.Press(kEnter);
  game.Update();
  EXPECT_EQ(game.app->m_creditsOpen, 0);

  // While the card flies apart the box still takes a press: it clicks, and the pointer held on
  // to a carousel item then reaches nothing behind it.
  game.Update();
  ASSERT_GT(game.app->m_creditsSlide, 0);
  int ring = game.app->m_sfxNext;
  game.MouseMove(338, 100);
  game.MouseDown();
  game.Update();
  EXPECT_EQ(game.app->m_sfxNext, ring + 1);
  game.MouseMove(338, 312);
  game.Update();
  EXPECT_EQ(game.app->m_menuSel, 1);
  game.MouseUp();
}

// Banners slide in, stay fully shown from their 10th to their 230th update, slide out and free
// their slots at the 241st; they stack upwards in the lowest free slots, and with all 13 busy a
// badge is still earned.
TEST(Badges, BannersSlideStackAndFreeTheirSlots) {
  GameHarness game;
  game.FinishLoading();
  for (int badge = 0; badge <= 13; ++badge) game.app->p_AwardBadge(badge);
  EXPECT_TRUE(game.app->m_badges[13]);
  auto banners = [&game] {
    std::vector<std::pair<float, float>> places;
    for (int index : game.RecordsOfKind(App::KindRect)) {
      const float* record = game.Record(index);
      if (record[App::RecordBlue] == 80.0f && record[App::RecordScaleX] == 160.0f) {
        places.emplace_back(record[App::RecordX], record[App::RecordY]);
      }
    }
    return places;
  };
  std::vector<int> shown;
  for (int age = 2; age <= 241; ++age) {
    game.Update();
    ASSERT_EQ(banners().size(), 13u) << age;
    if (banners()[0].first == 0.0f) shown.push_back(age);
  }
  ASSERT_EQ(shown.size(), 221u);
  EXPECT_EQ(shown.front(), 10);
  EXPECT_EQ(banners().back().second, nx_Game_jscrh - 34.0f * 13);
  EXPECT_TRUE(game.HasText("Test Badge"));
  EXPECT_EQ(game.app->m_badgePopupTimer[0], 0);
}

// "Click to Start" takes a click inside the middle half of the screen, edges included, and
// reloads into the menu.
TEST(StartScreens, AClickInTheMiddleStarts) {
  GameHarness game;
  game.FinishLoading();
  App* app = game.app;
  app->m_gameMode = App::ModeClickToStart;
  nx_app_SetUpdateRate(5);
  game.Click(159.0f, 240.0f);
  game.Click(320.0f, 361.0f);
  EXPECT_TRUE(game.HasText("Click to Start"));
  EXPECT_EQ(app->m_gameMode, App::ModeClickToStart);
  game.Click(160.0f, 360.0f);
  EXPECT_EQ(
      (std::vector<int>{app->m_gameMode, app->m_pointerLatch, nx_app__updateRate, app->m_loadStep}),
      (std::vector<int>{App::ModeMenu, 1, 60, 2}));
}

}  // namespace
