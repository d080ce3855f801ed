// The number helpers the game calls by name: absolute value and the larger of two, for
// integers and floats.
#pragma once

// ---------------------------------------------------------------------------------------------
// Functions

// The absolute value of the most negative int does not exist; it stays as it is (wrapping in
// unsigned arithmetic) instead of overflowing.
inline int nx_math_Abs(int value) {
  if (value >= 0) return value;
  return static_cast<int>(0u - static_cast<unsigned>(value));
}
inline float nx_math_Abs2(float value) {
  return value >= 0.0f ? value : -value;
}
inline int nx_math_Max(int first, int second) {
  return first > second ? first : second;
}
inline float nx_math_Max2(float first, float second) {
  return first > second ? first : second;
}
