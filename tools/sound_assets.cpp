// Sound synthesis for the game. Effects are short arcade-style sounds built from oscillators,
// noise, sweeps and envelopes; instruments are drum one-shots (four kits of eight, in the
// order the music player triggers them) and seamless tonal loops tuned so that the player's
// note 13 is their own pitch.

// <cmath> for the sweeps; <cstdio> for the numbered file names; <algorithm> for std::min.
#include "tools/sound_assets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/png_writer.h"
#include "tools/synth.h"
#include "tools/tune_assets.h"
#include "tools/wav_writer.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

using synth::AttackDecay;
using synth::Buffer;
using synth::Filter;
using synth::Noise;
using synth::Oscillator;
using synth::Partial;
using synth::Render;
using synth::Shape;

// What makes one drum kit sound unlike the others.
struct DrumKit {
  double kickStart, kickEnd, kickSweep, kickDecay;  // Hz, Hz, seconds, seconds
  double snareTone, snareNoiseCutoff, snareDecay;
  double hatCutoff, hatDecay, openHatDecay;
  double lowTom, highTom, tomDecay;
  double crashDecay;
  Shape toneShape;  // body of kick, snare and toms
  int noiseHold;    // samples each noise value is held: above 1 gives a grainier, chip noise
  uint32_t seed;
};

// One note of a run of blips (see BlipRun).
struct BlipNote {
  double frequency;
  double seconds;
  double decay;
};

struct TonalInstrument {
  const char* name;
  double frequency;  // the pitch of note 13
  std::vector<Partial> partials;
  int vibratoCycles;
  double vibratoDepth;
  int tremoloCycles;
  double tremoloDepth;
};

// ---------------------------------------------------------------------------------------------
// Globals

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;
constexpr double kPeakDb = -3.0;

// Note 13 of each tonal voice: lead C5, accompaniment C4, bass C3.
constexpr double kLeadPitch = 523.2511;
constexpr double kAccompanyPitch = 261.6256;
constexpr double kBassPitch = 130.8128;

// ---------------------------------------------------------------------------------------------
// Internal functions

// Noise that holds each value for `hold` samples, deterministic from `seed`.
class HeldNoise {
 public:
  HeldNoise(uint32_t seed, int hold) : noise_(seed), hold_(hold < 1 ? 1 : hold) {}
  double Next() {
    if (count_++ % hold_ == 0) value_ = noise_.Next();
    return value_;
  }

 private:
  Noise noise_;
  int hold_;
  int count_ = 0;
  double value_ = 0.0;
};

void Save(const std::string& path, Buffer sound, double peakDb = kPeakDb, double fadeOutMs = 8.0) {
  synth::FinishOneShot(sound, kRate, 2.0, fadeOutMs, peakDb);
  WriteWavFile(path, kRate, synth::ToPcm(sound));
}

// A pitched blip: `shape` at a frequency that falls from `drop` times `frequency` to it.
Buffer Blip(double seconds, double frequency, double drop, double dropTime, double decay,
            Shape shape) {
  Oscillator oscillator(kRate);
  return Render(kRate, seconds, [&](double t) {
    const double f = frequency * (1.0 + (drop - 1.0) * std::exp(-t / dropTime));
    return oscillator.Next(f, shape) * AttackDecay(t, 0.002, decay);
  });
}

// Blips of one timbre, each `spacing` seconds after the one before, mixed in at `gain`.
Buffer BlipRun(const std::vector<BlipNote>& notes, double spacing, double drop, double dropTime,
               Shape shape, double gain = 1.0) {
  Buffer out;
  for (size_t i = 0; i < notes.size(); ++i) {
    const BlipNote& note = notes[i];
    synth::MixInto(out, Blip(note.seconds, note.frequency, drop, dropTime, note.decay, shape), gain,
                   i * spacing, kRate);
  }
  return out;
}

// --- sound effects ---------------------------------------------------------------------------

// Bright enough at 0.75 and not shrill at 2: a short pulse "bonk" with a sine an octave up.
Buffer PaddleHit() {
  Oscillator body(kRate), ring(kRate);
  Filter tone(kRate);
  return Render(kRate, 0.22, [&](double t) {
    const double f = 392.0 * (1.0 + 0.6 * std::exp(-t / 0.010));
    const double pulse = tone.Lowpass(body.Next(f, Shape::kPulse25), 3200.0);
    return (0.65 * pulse + 0.35 * ring.Next(2.0 * f, Shape::kSine)) * AttackDecay(t, 0.001, 0.045);
  });
}

Buffer ComboLost() {
  Oscillator oscillator(kRate);
  Filter filter(kRate);
  return Render(kRate, 0.65, [&](double t) {
    const double f = 440.0 * std::pow(0.5, t / 0.55);
    const double cutoff = 600.0 + 1800.0 * (0.5 + 0.5 * std::sin(2.0 * kPi * 7.0 * t));
    const double level = t < 0.45 ? 1.0 : std::exp(-(t - 0.45) / 0.06);
    return filter.Lowpass(oscillator.Next(f, Shape::kSquare), cutoff, 2.0) * level;
  });
}

Buffer BlockHit() {
  Noise noise(0xB10C);
  Filter click(kRate);
  Oscillator body(kRate);
  return Render(kRate, 0.13, [&](double t) {
    const double snap = click.Bandpass(noise.Next(), 2400.0, 1.5) * AttackDecay(t, 0.0005, 0.012);
    const double thud = body.Next(300.0 * (1.0 + 0.5 * std::exp(-t / 0.008)), Shape::kTriangle) *
                        AttackDecay(t, 0.001, 0.035);
    return 0.8 * snap + thud;
  });
}

Buffer BallLost() {
  Oscillator tone(kRate), wobble(kRate);
  Noise noise(0xBA11);
  Filter filter(kRate);
  return Render(kRate, 1.3, [&](double t) {
    const double f = 60.0 + 740.0 * std::exp(-t / 0.35);
    const double tremolo = 0.75 + 0.25 * wobble.Next(9.0, Shape::kSine);
    const double source = tone.Next(f, Shape::kSquare) + 0.3 * noise.Next();
    const double level = t < 0.9 ? 1.0 : std::exp(-(t - 0.9) / 0.12);
    return filter.Lowpass(source, 300.0 + 3000.0 * std::exp(-t / 0.4)) * tremolo * level;
  });
}

Buffer WrongPaddle() {
  Oscillator first(kRate), second(kRate);
  Filter filter(kRate);
  return Render(kRate, 0.38, [&](double t) {
    const double buzz = first.Next(110.0, Shape::kSaw) + second.Next(117.0, Shape::kSaw);
    const double level = t < 0.28 ? 1.0 : std::exp(-(t - 0.28) / 0.03);
    return filter.Lowpass(buzz, 1600.0) * level;
  });
}

Buffer Power() {
  static const double kSteps[] = {0, 4, 7, 12, 16, 19, 24, 28};
  Oscillator lead(kRate), octave(kRate);
  Filter filter(kRate);
  return Render(kRate, 0.7, [&](double t) {
    const int step = std::min(7, static_cast<int>(t / 0.05));
    const double inStep = t - step * 0.05;
    const double f = 261.63 * synth::Semitones(kSteps[step]) * (1.0 + 0.02 * inStep / 0.05);
    const double level = step < 7 ? 1.0 : AttackDecay(inStep, 0.0, 0.12);
    return (0.7 * filter.Lowpass(lead.Next(f, Shape::kPulse25), 4500.0) +
            0.3 * octave.Next(2.0 * f, Shape::kSine)) *
           level * (0.8 + 0.2 * std::min(1.0, inStep / 0.002) * std::exp(-inStep / 0.02));
  });
}

Buffer Bonus() {
  Oscillator oscillator(kRate);
  return Render(kRate, 0.55, [&](double t) {
    if (t < 0.07) return 0.8 * oscillator.Next(987.77, Shape::kSquare);
    return oscillator.Next(1318.51, Shape::kSquare) * AttackDecay(t - 0.07, 0.0, 0.14);
  });
}

Buffer Bomb() {
  HeldNoise crackle(0xB0B, 3);
  Noise hiss(0xB0C);
  Filter rumble(kRate), air(kRate);
  Oscillator boom(kRate);
  return Render(kRate, 1.0, [&](double t) {
    const double body = rumble.Lowpass(crackle.Next(), 120.0 + 3800.0 * std::exp(-t / 0.12));
    const double tail = air.Lowpass(hiss.Next(), 900.0) * AttackDecay(t, 0.002, 0.45);
    const double thump =
        boom.Next(30.0 + 60.0 * std::exp(-t / 0.08), Shape::kSine) * AttackDecay(t, 0.003, 0.25);
    return (1.4 * body + 0.3 * tail) * AttackDecay(t, 0.002, 0.35) + 0.9 * thump;
  });
}

Buffer Reverse() {
  Oscillator oscillator(kRate), sub(kRate);
  return Render(kRate, 0.6, [&](double t) {
    const double f = 520.0 * std::pow(2.0, 0.6 * std::sin(2.0 * kPi * 1.7 * t + kPi / 2) +
                                               0.08 * std::sin(2.0 * kPi * 18.0 * t));
    const double level = t < 0.5 ? 1.0 : std::exp(-(t - 0.5) / 0.025);
    return (0.7 * oscillator.Next(f, Shape::kTriangle) + 0.3 * sub.Next(f / 2, Shape::kPulse25)) *
           level;
  });
}

Buffer Repair() {
  return BlipRun({{783.99, 0.22, 0.06}, {1046.5, 0.22, 0.06}, {1318.51, 0.22, 0.06}}, 0.11, 0.6,
                 0.02, Shape::kTriangle);
}

Buffer Ready() {
  return BlipRun({{659.26, 0.18, 0.07}, {880.0, 0.25, 0.09}}, 0.15, 1.0, 0.01, Shape::kTriangle);
}

Buffer SoftTick() {
  return Blip(0.09, 1200.0, 1.5, 0.004, 0.015, Shape::kSine);
}

// The logo: a rising arpeggio over a bass note, landing on a ringing chord with a sparkle.
Buffer LogoJingle() {
  Buffer out = BlipRun({{523.25, 0.25, 0.08},
                        {659.26, 0.25, 0.08},
                        {783.99, 0.25, 0.08},
                        {1046.5, 0.25, 0.08},
                        {1318.51, 0.25, 0.08}},
                       0.085, 1.03, 0.01, Shape::kPulse25, 0.6);
  const double chord[] = {523.25, 659.26, 783.99, 1046.5};
  for (double f : chord) {
    Oscillator tone(kRate), shimmer(kRate);
    Buffer note = Render(kRate, 1.35, [&](double t) {
      const double vibrato = 1.0 + 0.004 * std::sin(2.0 * kPi * 5.5 * t) * std::min(1.0, t / 0.3);
      return (0.6 * tone.Next(f * vibrato, Shape::kSquare) +
              0.4 * shimmer.Next(2.0 * f, Shape::kSine)) *
             AttackDecay(t, 0.004, 0.45);
    });
    synth::MixInto(out, note, 0.3, 0.45, kRate);
  }
  Oscillator bass(kRate);
  synth::MixInto(out,
                 Render(kRate, 1.7,
                        [&](double t) {
                          return bass.Next(130.81, Shape::kTriangle) * AttackDecay(t, 0.005, 0.6);
                        }),
                 0.7, 0.0, kRate);
  Noise sparkleNoise(0x5A4C);
  Filter sparkleFilter(kRate);
  synth::MixInto(out,
                 Render(kRate, 0.6,
                        [&](double t) {
                          return sparkleFilter.Bandpass(sparkleNoise.Next(), 7000.0, 4.0) *
                                 AttackDecay(t, 0.01, 0.15);
                        }),
                 0.5, 0.45, kRate);
  return out;
}

// Two quick rising notes; at a rate of 0.5 they still read as a confirmation.
Buffer MenuConfirm() {
  return BlipRun({{659.26, 0.07, 0.03}, {987.77, 0.14, 0.04}}, 0.05, 1.0, 0.01, Shape::kPulse25);
}

Buffer MenuMove() {
  return Blip(0.06, 880.0, 1.2, 0.004, 0.014, Shape::kSquare);
}

void WriteEffects(const std::string& folder) {
  struct Effect {
    int number;
    Buffer (*make)();
  };
  static const Effect kEffects[] = {
      {1, SoftTick},    {2, PaddleHit}, {3, ComboLost},   {4, BlockHit},     {5, BallLost},
      {6, WrongPaddle}, {7, Power},     {8, Bonus},       {9, Bomb},         {10, Reverse},
      {11, Repair},     {95, Ready},    {96, LogoJingle}, {98, MenuConfirm}, {99, MenuMove}};
  for (const Effect& effect : kEffects) {
    char name[32];
    std::snprintf(name, sizeof name, "/sfx/%03d.wav", effect.number);
    Save(folder + name, effect.make(), kPeakDb, effect.number == 96 ? 40.0 : 8.0);
  }
}

// --- drum kits -------------------------------------------------------------------------------

Buffer Kick(const DrumKit& kit) {
  Oscillator body(kRate);
  Noise click(kit.seed ^ 0x1);
  return Render(kRate, 0.45, [&](double t) {
    const double f = kit.kickEnd + (kit.kickStart - kit.kickEnd) * std::exp(-t / kit.kickSweep);
    return body.Next(f, kit.toneShape == Shape::kSine ? Shape::kSine : Shape::kTriangle) *
               AttackDecay(t, 0.001, kit.kickDecay) +
           0.3 * click.Next() * AttackDecay(t, 0.0005, 0.003);
  });
}

Buffer Snare(const DrumKit& kit) {
  Oscillator tone(kRate);
  HeldNoise noise(kit.seed ^ 0x2, kit.noiseHold);
  Filter filter(kRate);
  return Render(kRate, 0.3, [&](double t) {
    const double body =
        tone.Next(kit.snareTone * (1.0 + 0.3 * std::exp(-t / 0.01)), kit.toneShape) *
        AttackDecay(t, 0.001, 0.04);
    const double rattle =
        filter.Lowpass(noise.Next(), kit.snareNoiseCutoff) * AttackDecay(t, 0.001, kit.snareDecay);
    return 0.6 * body + rattle;
  });
}

Buffer Hat(const DrumKit& kit, double seconds, double decay, uint32_t salt) {
  HeldNoise noise(kit.seed ^ salt, kit.noiseHold);
  Filter filter(kRate);
  Oscillator metal1(kRate), metal2(kRate);
  return Render(kRate, seconds, [&](double t) {
    const double metal =
        0.25 * (metal1.Next(3140.0, Shape::kSquare) * metal2.Next(4270.0, Shape::kSquare));
    return filter.Highpass(noise.Next() + metal, kit.hatCutoff) * AttackDecay(t, 0.0005, decay);
  });
}

Buffer Clap(const DrumKit& kit) {
  HeldNoise noise(kit.seed ^ 0x5, kit.noiseHold);
  Filter filter(kRate);
  return Render(kRate, 0.35, [&](double t) {
    // Three quick bursts and a tail, like several hands not quite together.
    double level = AttackDecay(t - 0.024, 0.001, 0.09);
    for (int burst = 0; burst < 3; ++burst) {
      level += 0.8 * AttackDecay(t - burst * 0.008, 0.0005, 0.004);
    }
    return filter.Bandpass(noise.Next(), 1300.0, 1.2) * level;
  });
}

Buffer Tom(const DrumKit& kit, double frequency) {
  Oscillator body(kRate);
  Noise skin(kit.seed ^ static_cast<uint32_t>(frequency));
  return Render(kRate, 0.45, [&](double t) {
    const double f = frequency * (1.0 + 0.5 * std::exp(-t / 0.03));
    return body.Next(f, kit.toneShape) * AttackDecay(t, 0.001, kit.tomDecay) +
           0.15 * skin.Next() * AttackDecay(t, 0.0005, 0.01);
  });
}

Buffer Crash(const DrumKit& kit) {
  HeldNoise noise(kit.seed ^ 0x8, kit.noiseHold);
  Filter filter(kRate);
  Oscillator m1(kRate), m2(kRate), m3(kRate);
  return Render(kRate, 1.2, [&](double t) {
    const double metal = m1.Next(2217.0, Shape::kSquare) * m2.Next(3319.0, Shape::kSquare) *
                         m3.Next(587.0, Shape::kSquare);
    return filter.Highpass(noise.Next() + 0.4 * metal, 3000.0) *
           AttackDecay(t, 0.002, kit.crashDecay);
  });
}

void WriteDrumKit(const std::string& folder, int number, const DrumKit& kit) {
  const std::string prefix = folder + "/inst/d" + std::to_string(number) + "-";
  // Sample order is the player's drum note order: 13, 15, 17, 18, 20, 22, 24, 25.
  Save(prefix + "1.wav", Kick(kit));
  Save(prefix + "2.wav", Snare(kit));
  Save(prefix + "3.wav", Hat(kit, 0.12, kit.hatDecay, 0x3), -5.0);
  Save(prefix + "4.wav", Hat(kit, 0.5, kit.openHatDecay, 0x4), -5.0);
  Save(prefix + "5.wav", Clap(kit));
  Save(prefix + "6.wav", Tom(kit, kit.lowTom));
  Save(prefix + "7.wav", Tom(kit, kit.highTom));
  Save(prefix + "8.wav", Crash(kit), -4.0, 30.0);
}

void WriteDrumKits(const std::string& folder) {
  // 1 punchy, 2 chip (square bodies, grainy noise), 3 deep electronic, 4 short and dry.
  const DrumKit kits[] = {
      {160, 50, 0.030, 0.14, 190, 6000, 0.08, 7000, 0.030, 0.16, 110, 165, 0.16, 0.45,
       Shape::kTriangle, 1, 0x1111},
      {220, 60, 0.020, 0.10, 240, 9000, 0.06, 6000, 0.020, 0.12, 130, 196, 0.10, 0.35,
       Shape::kSquare, 4, 0x2222},
      {120, 42, 0.060, 0.30, 170, 4500, 0.12, 8000, 0.040, 0.22, 90, 140, 0.25, 0.55, Shape::kSine,
       1, 0x3333},
      {180, 65, 0.015, 0.07, 210, 5000, 0.045, 9000, 0.015, 0.08, 150, 220, 0.08, 0.25,
       Shape::kTriangle, 2, 0x4444},
  };
  for (int i = 0; i < 4; ++i) WriteDrumKit(folder, i + 1, kits[i]);
}

// --- tonal instruments -----------------------------------------------------------------------

std::vector<Partial> Harmonics(int count, double (*amplitude)(int)) {
  std::vector<Partial> partials;
  for (int h = 1; h <= count; ++h) {
    const double a = amplitude(h);
    if (a != 0.0) partials.push_back({h, a});
  }
  return partials;
}

double SawAmplitude(int h) {
  return 1.0 / h;
}
double SquareAmplitude(int h) {
  return h % 2 ? 1.0 / h : 0.0;
}
double TriangleAmplitude(int h) {
  return h % 2 ? ((h / 2) % 2 ? -1.0 : 1.0) / (h * h) : 0.0;
}
double Pulse25Amplitude(int h) {
  return std::fabs(std::sin(kPi * h * 0.25)) / h;
}
double Pulse12Amplitude(int h) {
  return std::fabs(std::sin(kPi * h * 0.125)) / h;
}
double MellowSawAmplitude(int h) {
  return std::exp(-h / 4.0) / h;
}
double RoundSawAmplitude(int h) {
  return std::exp(-h / 5.0) / h;
}

std::vector<Partial> WithDetunedCopies(std::vector<Partial> partials,
                                       const std::vector<int>& detunes, double level) {
  const size_t base = partials.size();
  for (int detune : detunes) {
    for (size_t i = 0; i < base; ++i) {
      partials.push_back({partials[i].harmonic, partials[i].amplitude * level, detune});
    }
  }
  return partials;
}

void WriteTonalInstruments(const std::string& folder) {
  const std::vector<Partial> organ = {{1, 1.0}, {2, 0.6}, {3, 0.4}, {4, 0.3}, {6, 0.2}, {8, 0.15}};
  const std::vector<Partial> sub = {{1, 1.0}, {2, 0.35}, {3, 0.12}};
  const TonalInstrument instruments[] = {
      {"lead1", kLeadPitch, Harmonics(9, SquareAmplitude), 5, 0.4, 0, 0.0},
      {"lead2", kLeadPitch, WithDetunedCopies(Harmonics(9, SawAmplitude), {2}, 0.5), 0, 0.0, 0,
       0.0},
      {"lead3", kLeadPitch, Harmonics(9, Pulse25Amplitude), 6, 0.3, 0, 0.0},
      {"accompany1", kAccompanyPitch, Harmonics(15, TriangleAmplitude), 0, 0.0, 4, 0.15},
      {"accompany2", kAccompanyPitch, organ, 0, 0.0, 6, 0.2},
      {"accompany3", kAccompanyPitch,
       WithDetunedCopies(Harmonics(12, MellowSawAmplitude), {1, 3}, 0.7), 0, 0.0, 0, 0.0},
      {"bass1", kBassPitch, Harmonics(12, RoundSawAmplitude), 0, 0.0, 0, 0.0},
      {"bass2", kBassPitch, Harmonics(9, SquareAmplitude), 0, 0.0, 0, 0.0},
      {"bass3", kBassPitch, sub, 0, 0.0, 0, 0.0},
      {"bass4", kBassPitch, Harmonics(14, Pulse12Amplitude), 0, 0.0, 0, 0.0},
  };
  for (const TonalInstrument& instrument : instruments) {
    Buffer tone = synth::LoopedTone(kRate, instrument.frequency, 1.0, instrument.partials,
                                    instrument.vibratoCycles, instrument.vibratoDepth,
                                    instrument.tremoloCycles, instrument.tremoloDepth);
    synth::Normalise(tone, kPeakDb);
    WriteWavFile(folder + "/inst/" + instrument.name + ".wav", kRate, synth::ToPcm(tone));
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

void GenerateSoundAssets(const std::string& folder) {
  WriteEffects(folder);
  WriteDrumKits(folder);
  WriteTonalInstruments(folder);
  for (const TuneAsset& tune : ComposeTunes()) {
    WritePngFile(folder + "/tunes/" + tune.name + ".png", kTunePictureWidth, kTunePictureHeight,
                 EncodeTunePicture(tune.cells));
  }
}
