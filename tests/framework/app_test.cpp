// Registration of the application, the async source walk, the source stack and start-up
// values, and the shared generator, whose sequence is part of the game's behaviour: its values
// must never drift, whatever the compiler does with integer overflow.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "framework/app.h"
#include "framework/math.h"
#include "framework/random.h"
#include "game/globals.h"
#include "host/game.h"
#include "host/program.h"
#include "support/collector.h"

namespace {

class Framework : public ::testing::Test {
 protected:
  void SetUp() override {
    nxInit();
    ASSERT_EQ(nx_app__game, &host);
  }
  void TearDown() override { nx_app__game = nullptr; }
  NxGame host;
};

TEST_F(Framework, StartValuesGlobalsThatSurviveCollectionAndRegistration) {
  ASSERT_NE(nx_asyncevent__sources, nullptr);
  EXPECT_EQ((std::vector<int>{nx_random_Seed, nx_app__app != nullptr,
                              nx_asyncevent__sources->p_Length(), nx_Game_CreditText.Length()}),
            (std::vector<int>{1234, 0, 0, 52}));
  // Two collections: objects made during the first cycle are spared by it.
  CollectEverything();
  EXPECT_TRUE(gc_is_object(nx_Game_CreditText.Body()));
  EXPECT_TRUE(gc_is_object(nx_asyncevent__sources));

  // Registration hands the delegate to the host once.
  c_App* app = gc_new<c_App>()->m_new();
  EXPECT_EQ(nx_app__app, app);
  ASSERT_NE(nx_app__delegate, nullptr);
  EXPECT_EQ(host.Delegate(), nx_app__delegate);
  EXPECT_EXIT(gc_new<c_App>()->m_new(), ::testing::ExitedWithCode(255), "");
}

// A source that counts its visits and may remove itself (or others) while being updated.
class CountingSource : public c_IAsyncEventSource {
 public:
  int visits = 0;
  bool removeSelf = false;
  void UpdateAsyncEvents() override {
    ++visits;
    nx_asyncevent_UpdateAsyncEvents();
    if (removeSelf) nx_asyncevent_RemoveAsyncEventSource(this);
  }
};

TEST_F(Framework, AsyncWalkRevisitsTheSlotASourceVacatedAndTheStackClearsDroppedSlots) {
  nx_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(nx_asyncevent__current, nullptr);

  CountingSource* first = gc_new<CountingSource>();
  CountingSource* second = gc_new<CountingSource>();
  CountingSource* third = gc_new<CountingSource>();
  first->removeSelf = true;
  nx_asyncevent_AddAsyncEventSource(first);
  nx_asyncevent_AddAsyncEventSource(second);
  nx_asyncevent_AddAsyncEventSource(third);
  gc_collect_all();

  nx_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(first->visits, 1);
  EXPECT_EQ(second->visits, 1) << "the source moved into the vacated slot is not skipped";
  EXPECT_EQ(third->visits, 1) << "a nested call from inside a source does nothing";
  EXPECT_EQ(nx_asyncevent__current, nullptr);
  EXPECT_EQ(nx_asyncevent__sources->p_Length(), 2);
  EXPECT_TRUE(gc_is_object(third)) << "registered sources are kept alive by the stack";

  c_Stack* stack = gc_new<c_Stack>()->m_new();
  stack->p_Push(first);
  stack->p_Push(first);
  stack->p_Length2(1);
  EXPECT_EQ(stack->m_data[1], nullptr) << "a dropped slot must not keep its object alive";
}

constexpr float kStep = 1.0f / 16777216.0f;

TEST(Random, SequenceAndRangesFromTheStartSeedWrapWithoutOverflow) {
  nx_random_Seed = 1234;
  EXPECT_EQ(nx_random_Rnd(), 11984094 * kStep);
  EXPECT_EQ(nx_random_Rnd2(10.0f, 20.0f), 10.0f + 10.0f * (3473103 * kStep));
  EXPECT_EQ(nx_random_Rnd3(100.0f), 12575225 * kStep * 100.0f);
  EXPECT_EQ(nx_random_Seed, static_cast<int>(3219257635u));
  nx_random_Seed = -1;
  EXPECT_EQ(nx_random_Rnd(), 3954061 * kStep);
  EXPECT_EQ(nx_random_Seed, 1012239698);
}

// Negating the smallest integer must wrap instead of overflowing.
TEST(Math, AbsOfTheSmallestIntegerWraps) {
  EXPECT_EQ(nx_math_Abs(-7), 7);
  EXPECT_EQ(nx_math_Abs(INT_MIN), INT_MIN);
}

}  // namespace
