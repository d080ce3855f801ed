// The one fixed linear congruential generator behind every "random" detail the asset
// generator draws or plays (the same one the game uses), so each run gives the same bits.
#pragma once

#include <cstdint>

// ---------------------------------------------------------------------------------------------
// Types

class Lcg {
 public:
  explicit Lcg(uint32_t seed) : m_state(seed) {}
  // Wraps modulo 2^32, which the unsigned arithmetic defines.
  uint32_t Next() {
    m_state = m_state * 1664525u + 1013904223u;
    return m_state;
  }
  // Uniform in [low, high).
  double Range(double low, double high) {
    return low + (high - low) * static_cast<double>(Next() >> 8) / 16777216.0;
  }
  int Below(int count) {
    if (count <= 0) return 0;
    return static_cast<int>((Next() >> 8) % static_cast<uint32_t>(count));
  }

 private:
  uint32_t m_state;
};
