// Conversions of floating-point values into ints that are defined for every input.
#pragma once

// <climits> for the int range the conversion clamps to.
#include <climits>

// ---------------------------------------------------------------------------------------------
// Public functions

// Truncates toward zero like a plain cast, but NaN gives 0 and values beyond the int range
// give INT_MIN or INT_MAX: converting such a value with a cast is undefined behaviour.
// Every float and every double in the int range arrives here exactly, so callers passing
// floats get the same answer as a float-only version would give.
inline int nx_float_to_int_clamped(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0) return INT_MAX;
  if (value <= -2147483648.0) return INT_MIN;
  return static_cast<int>(value);
}
