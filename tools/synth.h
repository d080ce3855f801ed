// The sound generator's building blocks: oscillators, a fixed noise sequence, filters,
// envelopes, and the finishing pass that gives every sound the same level and clean edges.
// Everything is plain double maths with no clock or system randomness, so a run always
// produces the same samples.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/lcg.h"

namespace synth {

// ---------------------------------------------------------------------------------------------
// Types

using Buffer = std::vector<double>;

class Noise {
 public:
  explicit Noise(uint32_t seed) : lcg_(seed) {}
  // White noise in [-1, 1).
  double Next();

 private:
  Lcg lcg_;
};

enum class Shape { kSine, kTriangle, kSaw, kSquare, kPulse25, kPulse12 };

// A phase accumulator, so the frequency may change every sample without clicks. The edges of
// saw and pulse shapes are smoothed (polyBLEP) to keep fast sweeps from aliasing harshly.
class Oscillator {
 public:
  explicit Oscillator(int sampleRate, double startPhase = 0.0)
      : sampleRate_(sampleRate), phase_(startPhase) {}
  double Next(double frequency, Shape shape);

 private:
  int sampleRate_;
  double phase_;
};

// A topology-preserving state-variable filter: stable for any cutoff below Nyquist, so
// sweeping it is safe.
class Filter {
 public:
  explicit Filter(int sampleRate) : sampleRate_(sampleRate) {}
  double Lowpass(double input, double cutoff, double resonance = 0.707);
  double Bandpass(double input, double cutoff, double resonance = 0.707);
  double Highpass(double input, double cutoff, double resonance = 0.707);

 private:
  void Step(double input, double cutoff, double resonance);
  int sampleRate_;
  double state1_ = 0.0, state2_ = 0.0;
  double low_ = 0.0, band_ = 0.0, high_ = 0.0;
};

// One sine partial of a looping tone: `harmonic` times the fundamental, plus `detuneCycles`
// whole cycles per loop, which keeps a detuned partial seamless at the loop point.
struct Partial {
  int harmonic;
  double amplitude;
  int detuneCycles = 0;
};

// ---------------------------------------------------------------------------------------------
// Public functions

// Linear attack to 1, then exponential decay with time constant `decay`; 0 before t = 0.
double AttackDecay(double t, double attack, double decay);
// Ratio for a pitch `semitones` above a reference.
double Semitones(double semitones);

// Samples of `generate(t)` for t = i / sampleRate over `seconds`.
Buffer Render(int sampleRate, double seconds, const std::function<double(double)>& generate);
// Adds `from` times `gain` into `into` starting at `startSeconds`, growing `into` as needed.
void MixInto(Buffer& into, const Buffer& from, double gain, double startSeconds, int sampleRate);

// The finishing pass of a one-shot sound: its mean is taken out under a window that is zero
// at both ends (so the edges stay silent and the DC is gone), it fades in and out over the
// given milliseconds, and it is scaled to the peak `peakDb` dBFS.
void FinishOneShot(Buffer& sound, int sampleRate, double fadeInMs, double fadeOutMs, double peakDb);
// Scales to the peak `peakDb` dBFS without touching the shape (for loops, whose ends must
// stay as they are).
void Normalise(Buffer& sound, double peakDb);

// A tone whose whole length is one loop: every partial, and the vibrato, run a whole number of
// cycles over it, so it repeats without a seam. Its pitch is `frequency` to within a few
// hundredths of a semitone (the loop is sized for the cycle count). Every partial is a sine
// starting at phase 0, so the first sample is silent as well.
Buffer LoopedTone(int sampleRate, double frequency, double loopSeconds,
                  const std::vector<Partial>& partials, int vibratoCycles, double vibratoDepth,
                  int tremoloCycles, double tremoloDepth);

// Rounds to 16-bit PCM, clamping anything outside [-1, 1].
std::vector<int16_t> ToPcm(const Buffer& sound);

}  // namespace synth
