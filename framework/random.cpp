// The linear congruential generator behind every random draw of the game.
#include "framework/random.h"

// <cstdint> for the unsigned 32-bit step, whose wrap is the generator's modulus.
#include <cstdint>

// ---------------------------------------------------------------------------------------------
// Globals

int nx_random_Seed = 1234;

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// The step is done in unsigned arithmetic: the sequence depends on the wrap mod 2^32, which
// signed overflow would leave undefined.
float nx_random_Next() {
  uint32_t seed = static_cast<uint32_t>(nx_random_Seed) * 1664525u + 1013904223u;
  nx_random_Seed = static_cast<int>(seed);
  return static_cast<float>(seed >> 8) * (1.0f / 16777216.0f);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

float nx_random_Rnd() {
  return nx_random_Next();
}

float nx_random_Rnd2(float low, float high) {
  return low + (high - low) * nx_random_Next();
}

float nx_random_Rnd3(float range) {
  return nx_random_Next() * range;
}
