// The one shared pseudo-random generator: a 32-bit linear congruential sequence whose draws
// are part of the game's behaviour, so every run with the same seed plays the same.
#pragma once

// ---------------------------------------------------------------------------------------------
// Globals

// The generator state; the game reseeds it by storing here (start value 1234).
extern int nx_random_Seed;

// ---------------------------------------------------------------------------------------------
// Functions

// Each call advances the seed once and returns a float in [0, 1) with 24 significant bits.
float nx_random_Rnd();
// low + (high - low) * r.
float nx_random_Rnd2(float low, float high);
// r * range.
float nx_random_Rnd3(float range);
