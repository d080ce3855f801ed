// Tune composition. Each voice's patterns are written as 64-character rows in the player's
// own typewriter keyboard layout (q is the instrument's own pitch), so the text reads like
// the tune: see ParseTonal and ParseDrums for the symbols.
//
// The player picks every voice's pattern on its own, so within one tune all patterns follow
// the same four-bar chord plan (16 rows a bar); harmonic movement between patterns comes from
// the player's chord letters, which transpose every tonal voice together.

// <cstdio>/<cstdlib> to stop the generator on a malformed pattern; <cctype> for accents.
#include "tools/tune_assets.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------------------------
// Types

namespace {

enum Voice { kDrumsA = 0, kDrumsB = 1, kLead = 2, kAccompany = 3, kBass = 4 };

enum Column { kNote = 0, kVolume = 1, kEffect = 2, kParameter = 3 };

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

constexpr int kLeadVolume = 26;
constexpr int kAccompanyVolume = 17;
constexpr int kBassVolume = 26;

// Bright and running, in C: C | Am | F | G.
void ComposePastureRun(Composer& tune) {
  tune.Drums(0, kDrumsA, "k...s...k.k.s... k...s...k.k.s... k...s...k.k.s... k...s...k.k.s.s.");
  tune.Drums(1, kDrumsA, "k...s..kk...s... k...s...k.k.s... k...s..kk...s... k.k.s...k.k.S...");
  tune.Drums(2, kDrumsA, "K...s...k.k.s... k...s...k.k.s... k...s...k.k.s... k...s...k.k.s...");
  tune.JumpPair(2, kDrumsA, 48);
  tune.Drums(3, kDrumsA, "K...s...k.k.s... k...s...k.k.s... k...s...k.k.s... t.t.t.l.l.l.s.S.");

  tune.Drums(0, kDrumsB, "X.h.h.h.h.h.h.h. h.h.h.h.h.h.h.h. h.h.h.h.h.h.h.h. h.h.h.h.h.h.o...");
  tune.Drums(1, kDrumsB, "h.hhh.h.h.hho.h. h.hhh.h.h.hho.h. h.hhh.h.h.hho.h. h.hhh.h.o...o...");
  tune.Drums(2, kDrumsB, "x.h.c.h.h.h.c.h. h.h.c.h.h.h.c.h. h.h.c.h.h.h.c.h. h.h.c.h.c.c.C...");

  tune.Tonal(0, kLead, kLeadVolume,
             "e.t.i...t.e.t... y...i.y.e...r.e. r.y.i...o.i.y... t.u.o...u.t.r.w.");
  tune.Tonal(1, kLead, kLeadVolume,
             "i...t.i.o.i.t.e. y.../.i.y...e... r.y.i.y.r.y.i.o. o.../.u.t.r.w...");
  tune.Tonal(2, kLead, kLeadVolume,
             "q.q.e.q.t...e... q.q.e.q.y...t... q.q.r.q.y...i... o.i.u.t.r.e.w...");
  tune.JumpPair(2, kLead, 48);
  tune.Tonal(3, kLead, kLeadVolume,
             "q.q.e.q.t...e... q.q.e.q.y...t... q.q.r.q.y...i... t.t.u.t.O.../...");
  tune.Tonal(4, kLead, kLeadVolume,
             "e.......t....... y.......e....... r.......i....... t.......u...w...");

  tune.Tonal(0, kAccompany, kAccompanyVolume,
             "q.e.t.e.q.e.t.e. n.q.e.q.n.q.e.q. v.n.q.n.v.n.q.n. b.m.w.m.b.m.w.m.");
  tune.Tonal(1, kAccompany, kAccompanyVolume,
             "..t...e...t...e. ..e...q...e...q. ..q...n...q...n. ..w...m...w...m.");
  tune.Tonal(2, kAccompany, kAccompanyVolume,
             "q...e...t...i... n...q...e...y... v...n...q...r... b...m...w...t...");

  tune.Tonal(0, kBass, kBassVolume,
             "z...z.q.z...z.q. n...n.y.n...n.y. v...v.r.v...v.r. b...b.t.b...b.t.");
  tune.Tonal(1, kBass, kBassVolume,
             "z...c...b...c... n...q...e...q... v...n...q...n... b...m...w...m._.");
  tune.Tonal(2, kBass, kBassVolume,
             "z.z.q.z.z.z.q.z. n.n.y.n.n.n.y.n. ................ ................");
  tune.EndPattern(2, 31);
}

// Dark and driving, in C minor: Cm | Cm | Ab | Bb.
void ComposeCaveDigger(Composer& tune) {
  tune.Drums(0, kDrumsA, "k.....k.S.....k. k.....k.S.....k. k.....k.S.....k. k.....k.S...k.k.");
  tune.Drums(1, kDrumsA, "k.k...k.S...k... k.k...k.S...k... k.k...k.S...k... k.k...k.S.s.s.s.");
  tune.Drums(2, kDrumsA, "K.....k.S....... k.....k.S....... k.....k.S....... k.....k.S.......");
  tune.JumpPair(2, kDrumsA, 48);
  tune.Drums(3, kDrumsA, "K.....k.S....... k.....k.S....... k.....k.S....... t.t.t.l.l.l.S.S.");

  tune.Drums(0, kDrumsB, "h.h.h.h.h.h.h.h. h.h.h.h.h.h.o... h.h.h.h.h.h.h.h. h.h.h.h.h.h.o...");
  tune.Drums(1, kDrumsB, "hhhhhhhhhhhhhhhh hhhhhhhhhhhhhhhh hhhhhhhhhhhhhhhh hhhhhhhhhhhho...");
  tune.Drums(2, kDrumsB, "X...h...c...h... o...h...c...h... o...h...c...h... o...h...c.c.c...");

  tune.Tonal(0, kLead, kLeadVolume,
             "q...3.t.q...3.w. q.w.3.r.t...r.3. 6...i.6.3...q.3. 7...o.7.r...w.r.");
  tune.Tonal(1, kLead, kLeadVolume,
             "t.t.7.t.i...7.t. 3.r.t.3.w...q... q.3.6.i.0...i.6. 7.6.7.o.r/..w...");
  tune.Tonal(2, kLead, kLeadVolume,
             "q.q.q.w.3...q... 3.3.3.r.t...3... 6.6.6.t.3...q... 7.7.7.6.7...o...");
  tune.JumpPair(2, kLead, 48);
  tune.Tonal(3, kLead, kLeadVolume,
             "q.q.q.w.3...q... 3.3.3.r.t...3... 6.6.6.t.3...q... o.0.o.7.r.7.O.i.");
  tune.Tonal(4, kLead, kLeadVolume,
             "b.b.q.b.3.b.q.b. b.b.q.b.r.3.w.q. h.h.q.h.3.h.q.h. j.j.w.j.r.w.j.w.");

  tune.Tonal(0, kAccompany, kAccompanyVolume,
             "q.3.t.3.q.3.t.3. q.3.t.3.q.3.t.3. h.q.3.q.h.q.3.q. j.w.r.w.j.w.r.w.");
  tune.Tonal(1, kAccompany, kAccompanyVolume,
             "t...t...3...3... t...t...3...3... 3...3...q...q... r...r...w...w...");
  tune.Tonal(2, kAccompany, kAccompanyVolume,
             "t.3.t.3.t.3.t.3. t.3.t.3.t.3.t.3. 3.q.3.q.3.q.3.q. r.w.r.w.r.w.r.w.");

  tune.Tonal(0, kBass, kBassVolume,
             "z.z.z.z.z.z.z.z. z.z.z.z.d.d.x.x. h.h.h.h.h.h.h.h. j.j.j.j.j.j.j.j.");
  tune.Tonal(1, kBass, kBassVolume,
             "z.q.z.q.z.q.z.q. z.q.z.q.z.q.d.x. h.6.h.6.h.6.h.6. j.7.j.7.j.7.j._.");
  tune.Tonal(2, kBass, kBassVolume,
             "z...z.z.q...z.z. z...z.z.d.x.z... ................ ................");
  tune.EndPattern(2, 31);
}

// Bouncy, in C: C | F | C | G, with an after-beat accompaniment.
void ComposePlumberEsque(Composer& tune) {
  tune.Drums(0, kDrumsA, "k...s..k..k.s... k...s..k..k.s... k...s..k..k.s... k...s..k..k.s.s.");
  tune.Drums(1, kDrumsA, "k.....k.s.k..... k.....k.s.k..... k.....k.s.k..... k.....k.s.k.s.S.");
  tune.Drums(2, kDrumsA, "K...s...k...s... k...s...k...s... k...s...k...s... k...s...k...s...");
  tune.JumpPair(2, kDrumsA, 48);
  tune.Drums(3, kDrumsA, "K...s...k...s... k...s...k...s... k...s...k...s... k.k.s.s.t.t.l.S.");

  tune.Drums(0, kDrumsB, "X.h.h.h.h.h.h.h. h.h.h.h.h.h.h.h. h.h.h.h.h.h.h.h. h.h.h.h.h.h.o...");
  tune.Drums(1, kDrumsB, "h..h.h..h..h.h.. h..h.h..h..h.h.. h..h.h..h..h.h.. h..h.h..c.c.c...");
  tune.Drums(2, kDrumsB, "o.h.o.h.o.h.o.h. o.h.o.h.o.h.o.h. o.h.o.h.o.h.o.h. o.h.o.h.c...X...");

  tune.Tonal(0, kLead, kLeadVolume,
             "q.e.t...e.t.i... r.y.i...y.r.y... e.t.i.t.e.q.e.t. w...t...u.o.t...");
  tune.Tonal(1, kLead, kLeadVolume,
             "i.i...t...e...q. r...y.i.y...r... e.e...q...e...t. o.u.t.r.w...b...");
  tune.Tonal(2, kLead, kLeadVolume,
             "t.e.q.e.t...t... y.r.q.r.y...y... t.e.q.e.t.i.t.e. w.e.r.t.w...b...");
  tune.JumpPair(2, kLead, 48);
  tune.Tonal(3, kLead, kLeadVolume,
             "t.e.q.e.t...t... y.r.q.r.y...y... t.e.q.e.t.i.t.e. u.o.u.t/..o.I...");

  tune.Tonal(0, kAccompany, kAccompanyVolume,
             "..e...t...e...t. ..y...q...y...r. ..e...t...e...t. ..u...w...u...t.");
  tune.Tonal(1, kAccompany, kAccompanyVolume,
             "q.e.t.e.q.e.t.e. v.n.q.n.v.n.q.n. q.e.t.e.q.e.t.e. b.m.w.m.b.m.w.m.");
  tune.Tonal(2, kAccompany, kAccompanyVolume,
             "e...t...e...q... r...y...q...y... e...q...t...e... w...b...m...w...");

  tune.Tonal(0, kBass, kBassVolume,
             "z...b...z...b... v...q...v...q... z...b...z...b... b...w...b...x...");
  tune.Tonal(1, kBass, kBassVolume,
             "z.z.c.c.b.b.c.c. v.v.n.n.q.q.n.n. z.z.c.c.b.b.n.m. b.b.m.m.w.w._...");
  tune.Tonal(2, kBass, kBassVolume,
             "z...b.z...z.b... v...q.v...v.q... ................ ................");
  tune.EndPattern(2, 31);
}

TuneAsset Compose(const char* name, void (*compose)(Composer&)) {
  TuneAsset tune{name, TuneCells(static_cast<size_t>(kTuneFrames * kTuneFrameCells), 0)};
  Composer composer(tune.cells);
  compose(composer);
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
  tunes.push_back(Compose("Pasture Run/Tune_12", ComposePastureRun));
  tunes.push_back(Compose("Retro/Cave Digger", ComposeCaveDigger));
  tunes.push_back(Compose("Retro/PlumberEsque", ComposePlumberEsque));
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

TuneCells DecodeTunePicture(const std::vector<unsigned char>& rgba, int width, int height) {
  const bool strip = width == kTunePictureWidth && height == kTunePictureHeight;
  const bool sheet = width == 512 && height == 512;
  if ((!strip && !sheet) || rgba.size() != static_cast<size_t>(width) * height * 4) return {};
  const int framesAcross = width / 64;
  TuneCells cells(static_cast<size_t>(kTuneFrames * kTuneFrameCells), 0);
  for (int frame = 0; frame < kPlayedFrames; ++frame) {
    const int left = (frame % framesAcross) * 64;
    const int top = (frame / framesAcross) * 64;
    for (int row = 0; row < kTuneRows; ++row) {
      for (int x = 0; x < 64; ++x) {
        const unsigned char* pixel = &rgba[(static_cast<size_t>(top + row) * width + left + x) * 4];
        const int blueOverBlack = pixel[2] * pixel[3] / 255;
        cells[static_cast<size_t>(TuneCellIndex(frame, x / 8, row, x % 8))] = blueOverBlack >> 3;
      }
    }
  }
  return cells;
}
