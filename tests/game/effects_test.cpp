// The particle and ripple pools: slots, random draws, floating numbers and the ripples' colour
// poured into the field.
#include <gtest/gtest.h>

#include "support/game_harness.h"
#include "support/random_draws.h"

namespace {

using App = c_MyApp;

// A fresh game's pools are empty: 251 particle records, 50 ripples, and a clear grid.
class Effects : public testing::Test {
 protected:
  GameHarness game;
  App* app = game.app;

  float* Particle(int record) { return &app->m_particles[record * App::EffectFloats]; }
  float* Ripple(int record) { return &app->m_ripples[record * App::EffectFloats]; }
  void Throw(float angle) { app->p_ThrowParticle(10.0f, 20.0f, 1, 4, angle, App::Absent); }
};

TEST_F(Effects, ThePoolsTakeTheHighestFreeSlotAndAFullPoolStillDraws) {
  EXPECT_EQ(DrawsOf([&] { app->p_Gimme(7, 0.0f, 0.0f); }), 2);
  // Angle 0 is straight up and 90 to the right. A throw draws its speed, rotation, spin,
  // life and frame.
  EXPECT_EQ(DrawsOf([&] { Throw(0.0f); }), 5);
  EXPECT_EQ(DrawsOf([&] { Throw(90.0f); }), 5);
  EXPECT_NEAR(Particle(249)[App::ParticleVelocityX], 0.0f, 1e-5f);
  EXPECT_LE(Particle(249)[App::ParticleVelocityY], -3.0f);
  EXPECT_GE(Particle(248)[App::ParticleVelocityX], 3.0f);
  EXPECT_EQ(Particle(250)[App::ParticleKind], 99.0f);

  while (app->p_FreeParticle() >= 0) Throw(App::Absent);
  EXPECT_EQ(Particle(251)[App::ParticleKind], 0.0f);
  // The throw's angle and speed are drawn before the search for a slot.
  EXPECT_EQ(DrawsOf([&] { Throw(App::Absent); }), 2);
  EXPECT_EQ(DrawsOf([&] { app->p_Gimme(7, 0.0f, 0.0f); }), 0);

  // 500 is outside 1 to 499: the pool keeps its size but is cleared.
  app->p_ResetParticles(500);
  EXPECT_EQ(app->m_particleCount, 250);
  EXPECT_EQ(app->p_FreeParticle(), 250);

  // A ripple always draws its variation, and speed and colours given as -1 before it; a full
  // pool uses up the draw and creates nothing.
  EXPECT_EQ(DrawsOf([&] { app->p_AddRipple3(1.0f, 2.0f, 8, 100); }), 1);
  EXPECT_EQ(Ripple(App::RippleCount - 1)[App::RippleRed], 255.0f);
  EXPECT_EQ(DrawsOf([&] { app->p_AddRipple(1.0f, 2.0f, -1, -1, -1, -1); }), 5);
  while (Ripple(0)[App::RippleActive] == 0.0f) app->p_AddRipple4(1.0f, 2.0f, 4, 0);
  EXPECT_EQ(DrawsOf([&] { app->p_AddRipple2(50.0f, 60.0f, 1, 2, 3); }), 1);
  EXPECT_EQ(Ripple(0)[App::RippleX], 1.0f);
}

TEST_F(Effects, AFloatingNumberRisesForAHundredUpdatesThenGoes) {
  app->p_Gimme(7, 100.0f, 200.0f);
  int updates = 0;
  for (; Particle(250)[App::ParticleKind] != 0.0f && updates < 200; ++updates) {
    app->p_CLS2D(0.0f, 0.0f, 0.0f, 1.0f);
    app->p_DoParticles();
    ASSERT_TRUE(game.HasText("7")) << updates;
  }
  EXPECT_GE(updates, 100);
  EXPECT_LE(updates, 101);
  EXPECT_EQ(Particle(250)[App::ParticleY], 200.0f - 0.25f * updates);
  EXPECT_EQ(game.Record(0)[App::RecordRotation], 0.0f);
}

TEST_F(Effects, ARipplePoursItsColourIntoTheCellsUnderItsRing) {
  auto flashRed = [&](int x, int y) {
    return app->m_grid[(y * App::GridSize + x) * App::CellFloats + App::CellFlashRed];
  };
  // (320, 240) is the corner of cells 15 and 16 both ways; the first ring, at most 17 units
  // wide, stays within them, with the intensity of this update.
  app->p_AddRipple(320.0f, 240.0f, 16, 200, 0, 0);
  app->p_DoRipples();
  EXPECT_GT(flashRed(15, 15) * flashRed(16, 15) * flashRed(15, 16) * flashRed(16, 16), 0.0f);
  float total = flashRed(15, 15) + flashRed(16, 15) + flashRed(15, 16) + flashRed(16, 16);
  EXPECT_NEAR(total, 32.0f * 200.0f * 0.78f, 0.01f);
  app->p_DoRipples();
  EXPECT_GT(flashRed(14, 15) * flashRed(17, 16) * flashRed(15, 14) * flashRed(16, 17), 0.0f);
}

}  // namespace
