// The effect pools: sparks and floating numbers, the ripples that pour colour into the field's
// cells, and the star table.
#include "game/my_app.h"

// <cmath> for the sines, cosines and floors of the throws and rings.
#include <cmath>

#include "framework/random.h"
// The virtual screen size the stars are spread over.
#include "game/globals.h"
#include "runtime/numbers.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr float nx_Game_KindNumber = 99.0f;
// Kinds below this one are sparks, drawn from the "parts" sheet.
constexpr float nx_Game_KindsOfSparks = 10.0f;

// A ripple pours into the cells under 32 points of its ring, 11.25 degrees apart.
constexpr int nx_Game_RingPoints = 32;
constexpr float nx_Game_RingStep = 11.25f;

// The star records' slots; nothing else in the game reads them.
constexpr int nx_Game_StarFrame = 0;
constexpr int nx_Game_StarX = 1;
constexpr int nx_Game_StarY = 2;
constexpr int nx_Game_StarSize = 3;
constexpr int nx_Game_StarRotation = 5;
constexpr int nx_Game_StarSpin = 6;

// The pools take a new count only below this.
constexpr int nx_Game_PoolCountLimit = 500;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// A number in [0, high) drawn as a whole number, as frames and rotations are.
float nx_Game_RandomWhole(float high) {
  return static_cast<float>(nx_float_to_int_clamped(std::floor(nx_random_Rnd2(0.0f, high))));
}

// A pool's new count, or the current one; -1 when there is nothing to do.
int nx_Game_PoolCount(int requested, int& count) {
  if (requested >= 1 && requested < nx_Game_PoolCountLimit) count = requested;
  return count < 0 ? -1 : count;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int c_MyApp::p_FreeParticle() {
  for (int record = m_particleCount; record >= 0; --record) {
    if (m_particles[record * EffectFloats + ParticleKind] == 0.0f) return record;
  }
  return -1;
}

int c_MyApp::p_AddParticle(int kind, float x, float y, float velocityX, float velocityY, int value,
                           int colour, int life) {
  int record = p_FreeParticle();
  if (record < 0) return 0;
  float* particle = &m_particles[record * EffectFloats];
  particle[ParticleKind] = static_cast<float>(kind);
  particle[ParticleX] = x;
  particle[ParticleY] = y;
  particle[ParticleVelocityX] = velocityX;
  particle[ParticleVelocityY] = velocityY;
  particle[ParticleRotation] = nx_Game_RandomWhole(360.99f);
  particle[ParticleSpin] = nx_random_Rnd2(-7.0f, 7.0f);
  particle[ParticleLife] = static_cast<float>(life) + 1.0f;
  particle[ParticleColour] = static_cast<float>(colour);
  particle[ParticleValue] = static_cast<float>(value);
  return 0;
}

int c_MyApp::p_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed) {
  // Both draws come before the slot search, so a full pool still uses them up.
  if (angle == Absent) angle = nx_random_Rnd2(0.0f, 360.0f);
  if (speed == Absent) speed = nx_random_Rnd2(3.0f, 8.0f);
  int record = p_FreeParticle();
  if (record < 0) return 0;
  float* particle = &m_particles[record * EffectFloats];
  float radians = angle * RadiansPerDegree;
  particle[ParticleKind] = static_cast<float>(kind);
  particle[ParticleX] = x;
  particle[ParticleY] = y;
  // Angle 0 is straight up, and angles grow clockwise.
  particle[ParticleVelocityX] = speed * std::sin(radians);
  particle[ParticleVelocityY] = -speed * std::cos(radians);
  particle[ParticleRotation] = nx_random_Rnd2(0.0f, 360.0f);
  particle[ParticleSpin] = nx_random_Rnd2(-8.0f, 8.0f);
  particle[ParticleLife] = nx_random_Rnd2(0.7f, 1.3f);
  particle[ParticleColour] = static_cast<float>(colour);
  particle[ParticleValue] = nx_Game_RandomWhole(255.99f);
  return 0;
}

int c_MyApp::p_ResetParticles(int count) {
  int last = nx_Game_PoolCount(count, m_particleCount);
  for (int record = 0; record <= last; ++record) {
    m_particles[record * EffectFloats + ParticleKind] = 0.0f;
  }
  return 0;
}

int c_MyApp::p_DoParticles() {
  p_ResetDraw();
  for (int record = 0; record <= m_particleCount; ++record) {
    float* particle = &m_particles[record * EffectFloats];
    float kind = particle[ParticleKind];
    if (kind <= 0.0f) continue;
    particle[ParticleX] += particle[ParticleVelocityX];
    particle[ParticleY] += particle[ParticleVelocityY];
    particle[ParticleRotation] += particle[ParticleSpin];
    p_SetRot(kind == nx_Game_KindNumber ? 0.0f : particle[ParticleRotation]);
    float life = particle[ParticleLife];
    p_Alpha(life < 1.0f ? life : 1.0f);
    p_SetSize(1.0f);
    p_Ink(nx_float_to_int_clamped(particle[ParticleColour]), 1);
    if (kind < nx_Game_KindsOfSparks) {
      p_DrawImg(SlotParts, particle[ParticleX], particle[ParticleY], particle[ParticleValue]);
    }
    if (kind == nx_Game_KindNumber) {
      p_Text(particle[ParticleX], particle[ParticleY],
             String(nx_float_to_int_clamped(particle[ParticleValue])), 1.0f, 1.0f);
    }
    particle[ParticleLife] -= 0.01f;
    if (particle[ParticleLife] < 0.0f) particle[ParticleKind] = 0.0f;
  }
  p_ResetDraw();
  return 0;
}

int c_MyApp::p_AddRipple(float x, float y, int speed, int red, int green, int blue) {
  if (speed == -1) speed = nx_float_to_int_clamped(nx_random_Rnd2(6.0f, 16.0f));
  if (red == -1) red = nx_float_to_int_clamped(nx_random_Rnd2(0.0f, 255.0f));
  if (green == -1) green = nx_float_to_int_clamped(nx_random_Rnd2(0.0f, 255.0f));
  if (blue == -1) blue = nx_float_to_int_clamped(nx_random_Rnd2(0.0f, 255.0f));
  // Drawn whether or not a record is free, so a full pool keeps the sequence.
  float variation = nx_random_Rnd2(0.0f, 1.0f);
  int record = RippleCount - 1;
  while (record >= 0 && m_ripples[record * EffectFloats + RippleActive] != 0.0f) --record;
  if (record < 0) return 0;
  float* ripple = &m_ripples[record * EffectFloats];
  ripple[RippleActive] = 1.0f;
  ripple[RippleX] = x;
  ripple[RippleY] = y;
  ripple[RippleRadius] = 0.0f;
  ripple[RippleSpeed] = static_cast<float>(
      nx_float_to_int_clamped(variation * 3.0f - 1.0f + static_cast<float>(speed)));
  ripple[RippleIntensity] = 0.8f;
  ripple[RippleFade] = 0.02f;
  ripple[RippleRed] = static_cast<float>(red);
  ripple[RippleGreen] = static_cast<float>(green);
  ripple[RippleBlue] = static_cast<float>(blue);
  return 0;
}

int c_MyApp::p_AddRipple2(float x, float y, int red, int green, int blue) {
  return p_AddRipple(x, y, 4, red, green, blue);
}

int c_MyApp::p_AddRipple3(float x, float y, int speed, int green) {
  return p_AddRipple(x, y, speed, 255, green, 0);
}

int c_MyApp::p_AddRipple4(float x, float y, int speed, int green) {
  return p_AddRipple(x, y, speed, 0, green, 255);
}

int c_MyApp::p_DoRipples() {
  float cell = p_CellSize();
  float gridLeft = p_GridLeft();
  float gridTop = p_GridTop();
  for (int record = 0; record < RippleCount; ++record) {
    float* ripple = &m_ripples[record * EffectFloats];
    if (ripple[RippleActive] <= 0.0f) continue;
    ripple[RippleRadius] += ripple[RippleSpeed];
    ripple[RippleSpeed] *= 0.95f;
    ripple[RippleIntensity] -= ripple[RippleFade];
    float intensity = ripple[RippleIntensity];
    for (int point = 0; point < nx_Game_RingPoints; ++point) {
      float radians = static_cast<float>(point) * nx_Game_RingStep * RadiansPerDegree;
      float pointX = ripple[RippleX] + std::sin(radians) * ripple[RippleRadius];
      float pointY = ripple[RippleY] - std::cos(radians) * ripple[RippleRadius];
      int column = nx_float_to_int_clamped(
          static_cast<float>(nx_float_to_int_clamped(pointX - gridLeft)) / cell);
      int row = nx_float_to_int_clamped(
          static_cast<float>(nx_float_to_int_clamped(pointY - gridTop)) / cell);
      if (column < 0 || column >= GridSize || row < 0 || row >= GridSize) continue;
      float* slots = &m_grid[(row * GridSize + column) * CellFloats];
      slots[CellFlashRed] += ripple[RippleRed] * intensity;
      slots[CellFlashGreen] += ripple[RippleGreen] * intensity;
      slots[CellFlashBlue] += ripple[RippleBlue] * intensity;
    }
    if (intensity < 0.0f) ripple[RippleActive] = 0.0f;
  }
  return 0;
}

int c_MyApp::p_ResetStars(int count) {
  int last = nx_Game_PoolCount(count, m_starCount);
  for (int record = 0; record <= last; ++record) {
    float* star = &m_stars[record * EffectFloats];
    star[nx_Game_StarFrame] = nx_Game_RandomWhole(255.99f);
    star[nx_Game_StarX] = nx_random_Rnd2(-8.0f, nx_Game_jscrw + 8.0f);
    star[nx_Game_StarY] = nx_random_Rnd2(-8.0f, nx_Game_jscrh + 8.0f);
    star[nx_Game_StarSize] = nx_random_Rnd2(0.2f, 0.8f);
    star[nx_Game_StarRotation] = nx_random_Rnd2(0.0f, 360.0f);
    star[nx_Game_StarSpin] = nx_random_Rnd2(-0.5f, 0.5f);
  }
  return 0;
}
