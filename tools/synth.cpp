// Synthesis primitives of the sound generator.

// <cmath> for the oscillators and filters; <algorithm> for clamping.
#include "tools/synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------------------------
// Internal functions

// The polyBLEP correction around a step at phase 0 (`increment` is the phase step per sample).
double PolyBlep(double phase, double increment) {
  if (increment <= 0.0) return 0.0;
  if (phase < increment) {
    const double t = phase / increment;
    return t + t - t * t - 1.0;
  }
  if (phase > 1.0 - increment) {
    const double t = (phase - 1.0) / increment;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

double WrapPhase(double phase) {
  return phase - std::floor(phase);
}

double PulseWave(double phase, double increment, double duty) {
  double value = phase < duty ? 1.0 : -1.0;
  value += PolyBlep(phase, increment);
  value -= PolyBlep(WrapPhase(phase - duty), increment);
  // Centre the wave so a narrow pulse carries no DC of its own.
  return value - (2.0 * duty - 1.0);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

double Noise::Next() {
  return static_cast<double>(lcg_.Next() >> 8) / 8388608.0 - 1.0;
}

double Oscillator::Next(double frequency, Shape shape) {
  const double increment = std::clamp(frequency / sampleRate_, 0.0, 0.5);
  const double phase = phase_;
  phase_ = WrapPhase(phase_ + increment);
  switch (shape) {
    case Shape::kSine:
      return std::sin(2.0 * kPi * phase);
    case Shape::kTriangle:
      return 1.0 - 4.0 * std::fabs(WrapPhase(phase + 0.25) - 0.5);
    case Shape::kSaw:
      return 2.0 * phase - 1.0 - PolyBlep(phase, increment);
    case Shape::kSquare:
      return PulseWave(phase, increment, 0.5);
    case Shape::kPulse25:
      return PulseWave(phase, increment, 0.25);
    case Shape::kPulse12:
      return PulseWave(phase, increment, 0.125);
  }
  return 0.0;
}

void Filter::Step(double input, double cutoff, double resonance) {
  const double limited = std::clamp(cutoff, 10.0, 0.45 * sampleRate_);
  const double g = std::tan(kPi * limited / sampleRate_);
  const double k = 1.0 / std::max(resonance, 0.1);
  const double a1 = 1.0 / (1.0 + g * (g + k));
  const double a2 = g * a1;
  const double a3 = g * a2;
  const double v3 = input - state2_;
  const double v1 = a1 * state1_ + a2 * v3;
  const double v2 = state2_ + a2 * state1_ + a3 * v3;
  state1_ = 2.0 * v1 - state1_;
  state2_ = 2.0 * v2 - state2_;
  low_ = v2;
  band_ = v1;
  high_ = input - k * v1 - v2;
}

double Filter::Lowpass(double input, double cutoff, double resonance) {
  Step(input, cutoff, resonance);
  return low_;
}

double Filter::Bandpass(double input, double cutoff, double resonance) {
  Step(input, cutoff, resonance);
  return band_;
}

double Filter::Highpass(double input, double cutoff, double resonance) {
  Step(input, cutoff, resonance);
  return high_;
}

double AttackDecay(double t, double attack, double decay) {
  if (t < 0.0) return 0.0;
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / decay);
}

double Semitones(double semitones) {
  return std::pow(2.0, semitones / 12.0);
}

Buffer Render(int sampleRate, double seconds, const std::function<double(double)>& generate) {
  const int count = static_cast<int>(std::clamp(seconds, 0.0, 60.0) * sampleRate);
  Buffer out(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) out[static_cast<size_t>(i)] = generate(double(i) / sampleRate);
  return out;
}

void MixInto(Buffer& into, const Buffer& from, double gain, double startSeconds, int sampleRate) {
  const size_t start = static_cast<size_t>(std::clamp(startSeconds, 0.0, 60.0) * sampleRate);
  if (into.size() < start + from.size()) into.resize(start + from.size(), 0.0);
  for (size_t i = 0; i < from.size(); ++i) into[start + i] += gain * from[i];
}

void FinishOneShot(Buffer& sound, int sampleRate, double fadeInMs, double fadeOutMs,
                   double peakDb) {
  const size_t count = sound.size();
  if (count < 2) return;
  // A Hann window: zero at both ends, so removing the mean under it keeps the edges silent.
  Buffer window(count);
  double windowSum = 0.0;
  for (size_t i = 0; i < count; ++i) {
    window[i] = 0.5 - 0.5 * std::cos(2.0 * kPi * double(i) / double(count - 1));
    windowSum += window[i];
  }
  const size_t fadeIn = std::min(count / 2, size_t(fadeInMs * sampleRate / 1000.0) + 1);
  const size_t fadeOut = std::min(count / 2, size_t(fadeOutMs * sampleRate / 1000.0) + 1);
  auto fade = [&](size_t i) {
    double gain = 1.0;
    if (i < fadeIn) gain = std::min(gain, double(i) / double(fadeIn));
    if (count - 1 - i < fadeOut) gain = std::min(gain, double(count - 1 - i) / double(fadeOut));
    return 0.5 - 0.5 * std::cos(kPi * gain);
  };
  for (size_t i = 0; i < count; ++i) sound[i] *= fade(i);
  // The mean is taken after the fades, so that what is removed is what remains audible.
  double sum = 0.0;
  for (double value : sound) sum += value;
  const double offset = sum / windowSum;
  for (size_t i = 0; i < count; ++i) sound[i] -= offset * window[i];
  Normalise(sound, peakDb);
}

void Normalise(Buffer& sound, double peakDb) {
  double peak = 0.0;
  for (double value : sound) peak = std::max(peak, std::fabs(value));
  if (peak <= 0.0) return;
  const double gain = std::pow(10.0, peakDb / 20.0) / peak;
  for (double& value : sound) value *= gain;
}

Buffer LoopedTone(int sampleRate, double frequency, double loopSeconds,
                  const std::vector<Partial>& partials, int vibratoCycles, double vibratoDepth,
                  int tremoloCycles, double tremoloDepth) {
  const int cycles = std::max(1, static_cast<int>(std::lround(frequency * loopSeconds)));
  const int count = static_cast<int>(std::lround(cycles * double(sampleRate) / frequency));
  Buffer out(static_cast<size_t>(count), 0.0);
  for (int i = 0; i < count; ++i) {
    const double position = double(i) / double(count);
    // The vibrato bends the phase by a sine that itself runs whole cycles, so the phase at the
    // loop point is again a whole number of turns.
    const double bend = vibratoDepth * std::sin(2.0 * kPi * vibratoCycles * position);
    const double tremolo =
        1.0 - tremoloDepth * 0.5 * (1.0 - std::cos(2.0 * kPi * tremoloCycles * position));
    double value = 0.0;
    for (const Partial& partial : partials) {
      const double turns = double(partial.harmonic * cycles + partial.detuneCycles) * position;
      value += partial.amplitude * std::sin(2.0 * kPi * turns + partial.harmonic * bend);
    }
    out[static_cast<size_t>(i)] = value * tremolo;
  }
  return out;
}

std::vector<int16_t> ToPcm(const Buffer& sound) {
  std::vector<int16_t> out(sound.size());
  for (size_t i = 0; i < sound.size(); ++i) {
    const double scaled = std::clamp(sound[i], -1.0, 1.0) * 32767.0;
    out[i] = static_cast<int16_t>(std::lround(scaled));
  }
  return out;
}

}  // namespace synth
