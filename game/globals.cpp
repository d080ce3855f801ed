// The game's globals and the credits text shown by the credits box.
#include "game/globals.h"

#include "host/game.h"

// ---------------------------------------------------------------------------------------------
// Globals

int nx_Game_isOuya = 0;
int nx_Game_OnScreenControls = 0;
int nx_Game_AccelerometerControls = 0;
int nx_Game_HasMusic = 0;
int nx_Game_DebugMode = 0;
int nx_Game_iCadeControls = 0;
float nx_Game_overscan = 0.0f;
float nx_Game_rawscrw = 640.0f;
float nx_Game_rawscrh = 480.0f;
float nx_Game_jscrw = 640.0f;
float nx_Game_jscrh = 480.0f;
Array<String> nx_Game_CreditText;

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// The scroller wraps before the last line, so "End" is a terminator and never shown.
const char16_t* const nx_Game_CreditLines[] = {
    u"",
    u"Game Design and Code",
    u"The Vexadrome team",
    u"",
    u"-=-=-",
    u"",
    u"Named By",
    u"The Vexadrome team",
    u"",
    u"-=-=-",
    u"",
    u"Built With",
    u"C++ with GCC and CMake",
    u"GLFW and OpenGL",
    u"GoogleTest",
    u"Mesa for testing",
    u"Debian",
    u"",
    u"-=-=-",
    u"",
    u"Graphics",
    u"The Vexadrome team",
    u"drawn by our asset tools",
    u"stb_image and zlib",
    u"",
    u"Font",
    u"The Vexadrome team",
    u"",
    u"-=-=-",
    u"",
    u"Audio",
    u"The Vexadrome team",
    u"synthesised by our tools",
    u"",
    u"Audio Tools",
    u"OpenAL Soft",
    u"libvorbis, libvorbisfile",
    u"from Xiph.Org",
    u"",
    u"-=-=-",
    u"",
    u"Thanks To",
    u"Everyone Who Played",
    u"The open-source authors",
    u"of every library here",
    u"",
    u"-=-=-",
    u"",
    u"Thank You",
    u"For Playing",
    u"",
    u"End",
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

Array<String> nx_Game_MakeCreditText() {
  constexpr int count =
      static_cast<int>(sizeof(nx_Game_CreditLines) / sizeof(nx_Game_CreditLines[0]));
  static_assert(count == 52, "the credits box scrolls through 52 lines");
  Array<String> lines(count);
  for (int i = 0; i < count; ++i) lines[i] = String(nx_Game_CreditLines[i]);
  return lines;
}

void nx_Game_MarkRoots() {
  gc_mark_q(nx_Game_CreditText);
}

bool nx_Game_CanQuit() {
  return NxGame::_game == nullptr || NxGame::_game->CanQuit();
}
