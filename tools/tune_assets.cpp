// Tune composition. Each voice's patterns are written as 64-character rows in the player's
// own typewriter keyboard layout (q is the instrument's own pitch), so the text reads like
// the tune: see Composer::Tonal and Composer::Drums for the symbols.
//
// The player picks every voice's pattern on its own, so within one tune all patterns follow
// the same four-bar chord plan (16 rows a bar); harmonic movement between patterns comes from
// the player's chord letters, which transpose every tonal voice together.

// <cstdio>/<cstdlib> to stop the generator on a malformed pattern; <cctype> for accents;
// <iterator> for std::size over a score's voices.
#include "tools/tune_assets.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

// ---------------------------------------------------------------------------------------------
// Types

namespace {

enum Voice { kDrumsA = 0, kDrumsB = 1, kLead = 2, kAccompany = 3, kBass = 4 };

enum Column { kNote = 0, kVolume = 1, kEffect = 2, kParameter = 3 };

// One tune as written: each voice's patterns frame by frame, in the symbols of
// Composer::Drums and Composer::Tonal.
struct TuneScore {
  const char* name;  // as the game starts it, e.g. "Retro/Cave Digger"
  const char* drumsA[4];
  const char* drumsB[3];
  const char* lead[5];
  const char* accompany[3];
  const char* bass[3];
};

// ---------------------------------------------------------------------------------------------
// Globals

// Notes 1..31 in the player's chord-letter order; a cell holds at most 31.
constexpr char kKeys[] = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=";

constexpr int kEffectSlideUp = 1;
constexpr int kEffectSlideDown = 2;
constexpr int kEffectFastSlideDown = 4;
constexpr int kEffectEndPattern = 8;
constexpr int kEffectJump = 27;
constexpr int kVolumeCut = 31;

// The player reads 63 frames; frame 63 is never decoded.
constexpr int kPlayedFrames = 63;

// The arrangement every tune shares: frame 2 of the kick-and-snare voice and of the lead
// turns into frame 3 at row 48 on alternate plays, and the pattern ends after row 31.
constexpr int kJumpFrame = 2;
constexpr int kJumpRow = 48;
constexpr int kEndRow = 31;

constexpr int kLeadVolume = 26;
constexpr int kAccompanyVolume = 17;
constexpr int kBassVolume = 26;

// Bright and running, in C: C | Am | F | G.
const TuneScore kPastureRun = {
    "Pasture Run/Tune_12",
    {"k...s...k.k.s... k...s...k.k.s... k...s...k.k.s... k...s...k.k.s.s.",
     "k...s..kk...s... k...s...k.k.s... k...s..kk...s... k.k.s...k.k.S...",
     "K...s...k.k.s... k...s...k.k.s... k...s...k.k.s... k...s...k.k.s...",
     "K...s...k.k.s... k...s...k.k.s... k...s...k.k.s... t.t.t.l.l.l.s.S."},
    {"X.h.h.h.h.h.h.h. h.h.h.h.h.h.h.h. h.h.h.h.h.h.h.h. h.h.h.h.h.h.o...",
     "h.hhh.h.h.hho.h. h.hhh.h.h.hho.h. h.hhh.h.h.hho.h. h.hhh.h.o...o...",
     "x.h.c.h.h.h.c.h. h.h.c.h.h.h.c.h. h.h.c.h.h.h.c.h. h.h.c.h.c.c.C..."},
    {"e.t.i...t.e.t... y...i.y.e...r.e. r.y.i...o.i.y... t.u.o...u.t.r.w.",
     "i...t.i.o.i.t.e. y.../.i.y...e... r.y.i.y.r.y.i.o. o.../.u.t.r.w...",
     "q.q.e.q.t...e... q.q.e.q.y...t... q.q.r.q.y...i... o.i.u.t.r.e.w...",
     "q.q.e.q.t...e... q.q.e.q.y...t... q.q.r.q.y...i... t.t.u.t.O.../...",
     "e.......t....... y.......e....... r.......i....... t.......u...w..."},
    {"q.e.t.e.q.e.t.e. n.q.e.q.n.q.e.q. v.n.q.n.v.n.q.n. b.m.w.m.b.m.w.m.",
     "..t...e...t...e. ..e...q...e...q. ..q...n...q...n. ..w...m...w...m.",
     "q...e...t...i... n...q...e...y... v...n...q...r... b...m...w...t..."},
    {"z...z.q.z...z.q. n...n.y.n...n.y. v...v.r.v...v.r. b...b.t.b...b.t.",
     "z...c...b...c... n...q...e...q... v...n...q...n... b...m...w...m._.",
     "z.z.q.z.z.z.q.z. n.n.y.n.n.n.y.n. ................ ................"},
};

// Dark and driving, in C minor: Cm | Cm | Ab | Bb.
const TuneScore kCaveDigger = {
    "Retro/Cave Digger",
    {"k.....k.S.....k. k.....k.S.....k. k.....k.S.....k. k.....k.S...k.k.",
     "k.k...k.S...k... k.k...k.S...k... k.k...k.S...k... k.k...k.S.s.s.s.",
     "K.....k.S....... k.....k.S....... k.....k.S....... k.....k.S.......",
     "K.....k.S....... k.....k.S....... k.....k.S....... t.t.t.l.l.l.S.S."},
    {"h.h.h.h.h.h.h.h. h.h.h.h.h.h.o... h.h.h.h.h.h.h.h. h.h.h.h.h.h.o...",
     "hhhhhhhhhhhhhhhh hhhhhhhhhhhhhhhh hhhhhhhhhhhhhhhh hhhhhhhhhhhho...",
     "X...h...c...h... o...h...c...h... o...h...c...h... o...h...c.c.c..."},
    {"q...3.t.q...3.w. q.w.3.r.t...r.3. 6...i.6.3...q.3. 7...o.7.r...w.r.",
     "t.t.7.t.i...7.t. 3.r.t.3.w...q... q.3.6.i.0...i.6. 7.6.7.o.r/..w...",
     "q.q.q.w.3...q... 3.3.3.r.t...3... 6.6.6.t.3...q... 7.7.7.6.7...o...",
     "q.q.q.w.3...q... 3.3.3.r.t...3... 6.6.6.t.3...q... o.0.o.7.r.7.O.i.",
     "b.b.q.b.3.b.q.b. b.b.q.b.r.3.w.q. h.h.q.h.3.h.q.h. j.j.w.j.r.w.j.w."},
    {"q.3.t.3.q.3.t.3. q.3.t.3.q.3.t.3. h.q.3.q.h.q.3.q. j.w.r.w.j.w.r.w.",
     "t...t...3...3... t...t...3...3... 3...3...q...q... r...r...w...w...",
     "t.3.t.3.t.3.t.3. t.3.t.3.t.3.t.3. 3.q.3.q.3.q.3.q. r.w.r.w.r.w.r.w."},
    {"z.z.z.z.z.z.z.z. z.z.z.z.d.d.x.x. h.h.h.h.h.h.h.h. j.j.j.j.j.j.j.j.",
     "z.q.z.q.z.q.z.q. z.q.z.q.z.q.d.x. h.6.h.6.h.6.h.6. j.7.j.7.j.7.j._.",
     "z...z.z.q...z.z. z...z.z.d.x.z... ................ ................"},
};

// Bouncy, in C: C | F | C | G, with an after-beat accompaniment.
const TuneScore kPlumberEsque = {
    "Retro/PlumberEsque",
    {"k...s..k..k.s... k...s..k..k.s... k...s..k..k.s... k...s..k..k.s.s.",
     "k.....k.s.k..... k.....k.s.k..... k.....k.s.k..... k.....k.s.k.s.S.",
     "K...s...k...s... k...s...k...s... k...s...k...s... k...s...k...s...",
     "K...s...k...s... k...s...k...s... k...s...k...s... k.k.s.s.t.t.l.S."},
    {"X.h.h.h.h.h.h.h. h.h.h.h.h.h.h.h. h.h.h.h.h.h.h.h. h.h.h.h.h.h.o...",
     "h..h.h..h..h.h.. h..h.h..h..h.h.. h..h.h..h..h.h.. h..h.h..c.c.c...",
     "o.h.o.h.o.h.o.h. o.h.o.h.o.h.o.h. o.h.o.h.o.h.o.h. o.h.o.h.c...X..."},
    {"q.e.t...e.t.i... r.y.i...y.r.y... e.t.i.t.e.q.e.t. w...t...u.o.t...",
     "i.i...t...e...q. r...y.i.y...r... e.e...q...e...t. o.u.t.r.w...b...",
     "t.e.q.e.t...t... y.r.q.r.y...y... t.e.q.e.t.i.t.e. w.e.r.t.w...b...",
     "t.e.q.e.t...t... y.r.q.r.y...y... t.e.q.e.t.i.t.e. u.o.u.t/..o.I..."},
    {"..e...t...e...t. ..y...q...y...r. ..e...t...e...t. ..u...w...u...t.",
     "q.e.t.e.q.e.t.e. v.n.q.n.v.n.q.n. q.e.t.e.q.e.t.e. b.m.w.m.b.m.w.m.",
     "e...t...e...q... r...y...q...y... e...q...t...e... w...b...m...w..."},
    {"z...b...z...b... v...q...v...q... z...b...z...b... b...w...b...x...",
     "z.z.c.c.b.b.c.c. v.v.n.n.q.q.n.n. z.z.c.c.b.b.n.m. b.b.m.m.w.w._...",
     "z...b.z...z.b... v...q.v...v.q... ................ ................"},
};

// ---------------------------------------------------------------------------------------------
// Internal functions

[[noreturn]] void FailTune(const char* reason, const std::string& text) {
  std::fprintf(stderr, "vexadrome_assets: bad tune pattern (%s): %s\n", reason, text.c_str());
  std::exit(1);
}

class Composer {
 public:
  explicit Composer(TuneCells& cells) : cells_(cells) {}

  void Set(int frame, int voice, int row, int column, int value) {
    if (frame < 0 || frame >= kPlayedFrames || voice < 0 || voice >= kTuneBands || row < 0 ||
        row >= kTuneRows || column < 0 || column >= kTuneColumns || value < 0 || value > 31) {
      FailTune("cell out of range", std::to_string(frame) + "/" + std::to_string(voice));
    }
    cells_[static_cast<size_t>(TuneCellIndex(frame, voice, row, column))] = value;
  }

  int Get(int frame, int voice, int row, int column) const {
    return cells_[static_cast<size_t>(TuneCellIndex(frame, voice, row, column))];
  }

  // Letters and digits are notes at `volume` (a capital letter is an accent); '.' leaves the
  // row empty so the note rings on and fades; '/' and '\' bend the sounding note up or down a
  // little every row; '_' drops it fast; '!' silences it.
  void Tonal(int frame, int voice, int volume, const std::string& text) {
    const std::string rows = Rows(text);
    for (int row = 0; row < kTuneRows; ++row) {
      const char symbol = rows[static_cast<size_t>(row)];
      const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(symbol)));
      const char* found = std::strchr(kKeys, key);
      if (symbol == '.') continue;
      if (found && key != '\0') {
        Set(frame, voice, row, kNote, static_cast<int>(found - kKeys) + 1);
        Set(frame, voice, row, kVolume, key != symbol ? Accent(volume) : volume);
      } else if (symbol == '/') {
        Set(frame, voice, row, kEffect, kEffectSlideUp);
        Set(frame, voice, row, kParameter, 5);
      } else if (symbol == '\\') {
        Set(frame, voice, row, kEffect, kEffectSlideDown);
        Set(frame, voice, row, kParameter, 5);
      } else if (symbol == '_') {
        Set(frame, voice, row, kEffect, kEffectFastSlideDown);
        Set(frame, voice, row, kParameter, 2);
      } else if (symbol == '!') {
        Set(frame, voice, row, kVolume, kVolumeCut);
      } else {
        FailTune("unknown tonal symbol", text);
      }
    }
  }

  // One letter per drum of the kit, in the kit's sample order: k kick, s snare, h closed hat,
  // o open hat, c clap, l low tom, t high tom, x crash; a capital letter is an accent.
  void Drums(int frame, int voice, const std::string& text) {
    static const char kDrumLetters[] = "kshocltx";
    static const int kDrumNotes[] = {13, 15, 17, 18, 20, 22, 24, 25};
    // Hats sit under the backbeat; the kick and snare carry it.
    static const int kDrumVolumes[] = {26, 24, 13, 15, 21, 22, 22, 20};
    const std::string rows = Rows(text);
    for (int row = 0; row < kTuneRows; ++row) {
      const char symbol = rows[static_cast<size_t>(row)];
      if (symbol == '.') continue;
      const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(symbol)));
      const char* found = std::strchr(kDrumLetters, letter);
      if (!found || letter == '\0') FailTune("unknown drum symbol", text);
      const size_t drum = static_cast<size_t>(found - kDrumLetters);
      Set(frame, voice, row, kNote, kDrumNotes[drum]);
      Set(frame, voice, row, kVolume,
          letter != symbol ? Accent(kDrumVolumes[drum]) : kDrumVolumes[drum]);
    }
  }

  // A pattern pair: `frame` switches to `frame + 1` at `row` on the odd plays of a section,
  // and `frame + 1` switches back at its first row on the even plays, so the variation ending
  // of `frame + 1` closes every second bar. Rows before `row` are copied so both frames agree
  // wherever the player may read either.
  void JumpPair(int frame, int voice, int row) {
    for (int copied = 0; copied < row; ++copied) {
      for (int column = 0; column < 4; ++column) {
        Set(frame + 1, voice, copied, column, Get(frame, voice, copied, column));
      }
    }
    Set(frame, voice, row, kEffect, kEffectJump);
    Set(frame, voice, row, kParameter, 1);
    Set(frame + 1, voice, 0, kEffect, kEffectJump);
    Set(frame + 1, voice, 0, kParameter, 2);
  }

  // Ends the whole pattern after `row`. Put on the bass, the last voice of a step, so every
  // other voice has already played the same row.
  void EndPattern(int frame, int row) {
    Set(frame, kBass, row, kEffect, kEffectEndPattern);
    Set(frame, kBass, row, kParameter, 0);
  }

 private:
  static int Accent(int volume) { return volume + 4 > 30 ? 30 : volume + 4; }

  // Spaces and bar lines are only for the reader.
  static std::string Rows(const std::string& text) {
    std::string rows;
    for (char symbol : text) {
      if (symbol != ' ' && symbol != '|') rows.push_back(symbol);
    }
    if (rows.size() != static_cast<size_t>(kTuneRows)) FailTune("not 64 rows", text);
    return rows;
  }

  TuneCells& cells_;
};

// A null lead pattern leaves that frame silent.
void Perform(const TuneScore& score, Composer& tune) {
  for (int frame = 0; frame < static_cast<int>(std::size(score.drumsA)); ++frame) {
    tune.Drums(frame, kDrumsA, score.drumsA[frame]);
    if (frame == kJumpFrame) tune.JumpPair(frame, kDrumsA, kJumpRow);
  }
  for (int frame = 0; frame < static_cast<int>(std::size(score.drumsB)); ++frame) {
    tune.Drums(frame, kDrumsB, score.drumsB[frame]);
  }
  for (int frame = 0; frame < static_cast<int>(std::size(score.lead)); ++frame) {
    if (score.lead[frame] != nullptr) tune.Tonal(frame, kLead, kLeadVolume, score.lead[frame]);
    if (frame == kJumpFrame) tune.JumpPair(frame, kLead, kJumpRow);
  }
  for (int frame = 0; frame < static_cast<int>(std::size(score.accompany)); ++frame) {
    tune.Tonal(frame, kAccompany, kAccompanyVolume, score.accompany[frame]);
  }
  for (int frame = 0; frame < static_cast<int>(std::size(score.bass)); ++frame) {
    tune.Tonal(frame, kBass, kBassVolume, score.bass[frame]);
  }
  tune.EndPattern(kJumpFrame, kEndRow);
}

TuneAsset Compose(const TuneScore& score) {
  TuneAsset tune{score.name, TuneCells(static_cast<size_t>(kTuneFrames * kTuneFrameCells), 0)};
  Composer composer(tune.cells);
  Perform(score, composer);
  return tune;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int TuneCellIndex(int frame, int band, int row, int column) {
  return frame * kTuneFrameCells + band * (kTuneRows * kTuneColumns) + row * kTuneColumns + column;
}

std::vector<TuneAsset> ComposeTunes() {
  std::vector<TuneAsset> tunes;
  tunes.push_back(Compose(kPastureRun));
  tunes.push_back(Compose(kCaveDigger));
  tunes.push_back(Compose(kPlumberEsque));
  return tunes;
}

std::vector<unsigned char> EncodeTunePicture(const TuneCells& cells) {
  std::vector<unsigned char> rgba(static_cast<size_t>(kTunePictureWidth) * kTunePictureHeight * 4);
  for (int frame = 0; frame < kTuneFrames; ++frame) {
    for (int band = 0; band < kTuneBands; ++band) {
      for (int row = 0; row < kTuneRows; ++row) {
        for (int column = 0; column < kTuneColumns; ++column) {
          const size_t index = static_cast<size_t>(TuneCellIndex(frame, band, row, column));
          const int value = index < cells.size() ? cells[index] : 0;
          const int x = frame * 64 + band * kTuneColumns + column;
          unsigned char* pixel = &rgba[(static_cast<size_t>(row) * kTunePictureWidth + x) * 4];
          // Red and green are not read; they tint each voice so the picture can be read by eye.
          pixel[0] = static_cast<unsigned char>(value ? 60 + 30 * (band % 6) : 0);
          pixel[1] = static_cast<unsigned char>(value ? 40 + 24 * column : 0);
          // The middle of the value's blue range survives a small rounding either way.
          pixel[2] = static_cast<unsigned char>(8 * (value & 31) + 4);
          pixel[3] = 255;
        }
      }
    }
  }
  return rgba;
}
