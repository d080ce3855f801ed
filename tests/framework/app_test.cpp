// Registration of the application, the delegate's event routing and update bracket, the
// async source walk, the source stack and start-up values.
#include <gtest/gtest.h>

#include <vector>

#include "framework/app.h"
#include "framework/input.h"
#include "framework/random.h"
#include "game/globals.h"
#include "host/game.h"
#include "host/program.h"

namespace {

using Event = c_NxGameEvent;

// Records what every update saw of one key, so the lifetime of a hit is visible.
class WatchingApp : public c_App {
 public:
  std::vector<int> hits;
  int p_OnUpdate() override {
    hits.push_back(nx_input_KeyHit(65));
    return 0;
  }
};

class Framework : public ::testing::Test {
 protected:
  void SetUp() override {
    nxInit();
    ASSERT_EQ(nx_app__game, &host);
  }
  void TearDown() override {
    nx_input_SetInputDevice(nullptr);
    nx_app__game = nullptr;
  }
  // A delegate with only the input device: enough for key routing and the update bracket.
  c_GameDelegate* InputOnlyDelegate() {
    c_GameDelegate* delegate = nx_app__delegate;
    gc_assign(delegate->m__input, gc_new<c_InputDevice>()->m_new());
    nx_input_SetInputDevice(delegate->m__input);
    return delegate;
  }

  NxGame host;
};

TEST_F(Framework, StartValuesGlobalsThatSurviveCollectionAndRegistration) {
  EXPECT_EQ(nx_random_Seed, 1234);
  EXPECT_EQ(nx_app__app, nullptr);
  ASSERT_NE(nx_asyncevent__sources, nullptr);
  EXPECT_EQ(nx_asyncevent__sources->p_Length(), 0);
  ASSERT_EQ(nx_Game_CreditText.Length(), 52);
  gc_collect_all();
  EXPECT_TRUE(gc_is_object(nx_Game_CreditText.Body()));
  EXPECT_TRUE(gc_is_object(nx_asyncevent__sources));

  // Registration hands the delegate to the host once.
  c_App* app = gc_new<c_App>()->m_new();
  EXPECT_EQ(nx_app__app, app);
  ASSERT_NE(nx_app__delegate, nullptr);
  EXPECT_EQ(host.Delegate(), nx_app__delegate);
  EXPECT_EQ(nx_app__delegate->m__graphics, nullptr);
  EXPECT_EXIT(gc_new<c_App>()->m_new(), ::testing::ExitedWithCode(255), "");
}

TEST_F(Framework, KeyHitsLiveForExactlyOneUpdate) {
  WatchingApp* app = gc_new<WatchingApp>();
  app->m_new();
  c_GameDelegate* delegate = InputOnlyDelegate();
  delegate->KeyEvent(Event::KeyDown, 65);
  delegate->KeyEvent(Event::KeyUp, 65);
  delegate->KeyEvent(Event::MouseDown, 65);
  delegate->UpdateGame();
  delegate->UpdateGame();
  EXPECT_EQ(app->hits, (std::vector<int>{1, 0}));
}

TEST_F(Framework, CloseAndBackKeysEndTheRunWithStatusZero) {
  gc_new<c_App>()->m_new();
  c_GameDelegate* delegate = InputOnlyDelegate();
  delegate->KeyEvent(Event::KeyDown, 431);
  EXPECT_TRUE(nx_input_KeyDown(431));
  EXPECT_EXIT(delegate->KeyEvent(Event::KeyDown, 432), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(delegate->KeyEvent(Event::KeyDown, 416), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(nx_app__app->p_OnBack(), ::testing::ExitedWithCode(0), "");
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
  EXPECT_EQ(stack->p_Get(1), nullptr);
  EXPECT_EQ(stack->p_Get(-1), nullptr);
}

}  // namespace
