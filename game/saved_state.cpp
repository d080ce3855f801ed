// Saved settings, badges and scores: one string of numbers each followed by "|", in three
// blocks that each carry their own checksum, so a damaged block is reset on its own.
#include "game/my_app.h"

// <cstdint> for the checksums, which wrap modulo 2^32; <string> for building the text.
#include <cstdint>
#include <string>

#include "framework/app.h"
#include "game/globals.h"
#include "runtime/errors.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_Game_BadgeWords = 8;
constexpr int nx_Game_ScoresKept = 10;
constexpr int nx_Game_GameTypes = 3;
// The last lists follow the three top lists.
constexpr int nx_Game_LastListsStart = 30;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

void nx_Game_AppendField(std::string& text, uint32_t value) {
  text += std::to_string(static_cast<int32_t>(value));
  text += '|';
}

uint32_t nx_Game_Field(const Array<String>& fields, int index) {
  return static_cast<uint32_t>(fields[index].ToInt());
}

uint32_t nx_Game_BadgeWord(const Array<bool>& badges, int word) {
  uint32_t bits = 0;
  for (int bit = 0; bit < 32; ++bit) {
    if (badges[32 * word + bit]) bits |= 1u << bit;
  }
  return bits;
}

uint32_t nx_Game_TopWeight(int place) {
  return static_cast<uint32_t>(place + 4);
}

uint32_t nx_Game_LastWeight(int type, int place) {
  return static_cast<uint32_t>(type + 3 + place);
}

// A first run has no pad position or size yet; the overscan option is the console's only.
void nx_Game_RepairOptions(Array<int>& options) {
  if (options[c_MyApp::OptionPadX] < 64) options[c_MyApp::OptionPadX] = 64;
  if (options[c_MyApp::OptionPadHeight] < 64) options[c_MyApp::OptionPadHeight] = 64;
  if (options[c_MyApp::OptionPadSize] < 8) options[c_MyApp::OptionPadSize] = 10;
  if (options[c_MyApp::OptionOverscan] < 1) options[c_MyApp::OptionOverscan] = 64;
  if (nx_Game_isOuya == 1) {
    nx_Game_overscan = static_cast<float>(options[c_MyApp::OptionOverscan]);
  } else {
    options[c_MyApp::OptionOverscan] = 1;
    nx_Game_overscan = 0.0f;
  }
  int& oneToEight = options[c_MyApp::OptionOneToEight];
  if (oneToEight < 1 || oneToEight > 8) oneToEight = 2;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int c_MyApp::p_Save() {
  std::string text;
  uint32_t settingsSum = 0;
  for (int i = 0; i < OptionCount; ++i) {
    uint32_t value = static_cast<uint32_t>(m_options[i]);
    nx_Game_AppendField(text, value);
    settingsSum += static_cast<uint32_t>(i) * value;
  }
  nx_Game_AppendField(text, settingsSum);

  uint32_t badgeSum = 0;
  for (int word = 0; word < nx_Game_BadgeWords; ++word) {
    uint32_t bits = nx_Game_BadgeWord(m_badges, word);
    nx_Game_AppendField(text, bits);
    badgeSum += bits;
  }
  nx_Game_AppendField(text, badgeSum);

  for (int type = 0; type < nx_Game_GameTypes; ++type) {
    uint32_t scoreSum = 0;
    for (int place = 0; place < nx_Game_ScoresKept; ++place) {
      uint32_t top = static_cast<uint32_t>(m_highScores[10 * type + place]);
      uint32_t last =
          static_cast<uint32_t>(m_highScores[nx_Game_LastListsStart + 10 * type + place]);
      nx_Game_AppendField(text, top);
      nx_Game_AppendField(text, last);
      scoreSum += nx_Game_TopWeight(place) * top + nx_Game_LastWeight(type, place) * last;
    }
    nx_Game_AppendField(text, scoreSum);
  }

  String state(text.c_str());
  if (nx_Game_DebugMode == 1) nxPrint(state);
  // The player would otherwise never learn why the settings are gone next time.
  if (nx_app_SaveState(state) < 0) nxPrint(String(u"Settings could not be saved"));
  return 0;
}

// A block loads only when it is complete, its checksum ended by its "|", and so are the blocks
// before it: a string cut short loads the blocks before the cut and leaves the rest as they
// were. A complete block whose checksum fails is reset alone and the following blocks still
// load.
int c_MyApp::p_Load() {
  String state = nx_app_LoadState();
  Array<String> fields = state.Split(String(u"|"));
  int position = 0;
  if (nx_Game_DebugMode == 1) nxPrint(state);
  // The last field is what follows the final "|", so a field before it was ended by one.
  auto complete = [&fields](int checksumField) { return checksumField + 1 < fields.Length(); };

  bool loading = complete(OptionCount);
  if (loading) {
    uint32_t sum = 0;
    for (int i = 0; i < OptionCount; ++i) {
      m_options[i] = fields[i].ToInt();
      sum += static_cast<uint32_t>(i) * static_cast<uint32_t>(m_options[i]);
    }
    position = OptionCount + 1;
    if (sum == nx_Game_Field(fields, OptionCount)) {
      nxPrint(String(u"Settings Loaded"));
    } else {
      nxPrint(String(u"Settings Checksum Invalid"));
      for (int i = 0; i < OptionCount; ++i) m_options[i] = 0;
      m_options[OptionSound] = 1;
    }
  }
  nx_Game_RepairOptions(m_options);

  loading = loading && complete(position + nx_Game_BadgeWords);
  if (loading) {
    uint32_t sum = 0;
    for (int word = 0; word < nx_Game_BadgeWords; ++word) {
      uint32_t bits = nx_Game_Field(fields, position + word);
      for (int bit = 0; bit < 32; ++bit) m_badges[32 * word + bit] = ((bits >> bit) & 1u) != 0;
      sum += bits;
    }
    bool valid = sum == nx_Game_Field(fields, position + nx_Game_BadgeWords);
    position += nx_Game_BadgeWords + 1;
    if (valid) {
      nxPrint(String(u"Badges Loaded"));
    } else {
      nxPrint(String(u"Badge Checksum Invalid"));
      for (int badge = 0; badge < m_badges.Length(); ++badge) m_badges[badge] = false;
    }
  }

  for (int type = 0; type < nx_Game_GameTypes; ++type) {
    int checksumField = position + 2 * nx_Game_ScoresKept;
    loading = loading && complete(checksumField);
    if (!loading) break;
    uint32_t sum = 0;
    for (int place = 0; place < nx_Game_ScoresKept; ++place) {
      uint32_t top = nx_Game_Field(fields, position + 2 * place);
      uint32_t last = nx_Game_Field(fields, position + 2 * place + 1);
      m_highScores[10 * type + place] = static_cast<int>(top);
      m_highScores[nx_Game_LastListsStart + 10 * type + place] = static_cast<int>(last);
      sum += nx_Game_TopWeight(place) * top + nx_Game_LastWeight(type, place) * last;
    }
    position = checksumField + 1;
    String name = String(u"Highscore ") + String(type);
    if (sum == nx_Game_Field(fields, checksumField)) {
      nxPrint(name + String(u" Loaded"));
    } else {
      nxPrint(name + String(u" Checksum Invalid"));
      for (int place = 0; place < nx_Game_ScoresKept; ++place) {
        m_highScores[10 * type + place] = 0;
        m_highScores[nx_Game_LastListsStart + 10 * type + place] = 0;
      }
    }
  }
  return 0;
}
