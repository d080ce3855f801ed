// Counts the draws a call makes from the shared generator, for the tests that pin down the
// number of draws (which is part of the game's behaviour).
#pragma once

#include "framework/random.h"

// The generator is left as the call left it; at most 100000 draws are counted.
template <class Call>
int DrawsOf(Call call) {
  int before = nx_random_Seed;
  call();
  int after = nx_random_Seed;
  nx_random_Seed = before;
  int draws = 0;
  for (; nx_random_Seed != after && draws < 100000; ++draws) nx_random_Rnd();
  return draws;
}
