// The main loop's decisions driven by a fake clock and fake window state, and the forwarders'
// collector steps.
#include <gtest/gtest.h>

#include <unistd.h>

#include "recording_delegate.h"

namespace {

using Log = std::vector<std::string>;

class FakePlatform : public NxLoopPlatform {
 public:
  double Time() override { return now; }
  void PollEvents() override {}
  void WaitEvents() override { events->entries.push_back("wait"); }
  void Sleep(double seconds) override {
    events->entries.push_back("sleep");
    slept = seconds;
    now += seconds;
  }
  bool WindowOpen() override { return open; }
  bool WindowIconified() override { return iconified; }
  bool WindowFocused() override { return focused; }

  RecordedEvents* events = nullptr;
  double now = 100.0, slept = -1.0;
  bool open = true, iconified = false, focused = true;
};

class MainLoop : public ::testing::Test {
 protected:
  MainLoop() : host(&events) {
    platform.events = &events;
    host.SetLoopPlatform(&platform);
    host.StartGame();
  }

  // Runs one loop pass and returns what the delegate and platform saw.
  Log Iterate() {
    events.entries.clear();
    EXPECT_TRUE(host.RunIteration());
    return events.entries;
  }

  RecordedEvents events;
  FakePlatform platform;
  CountingHost host;
};

// At rate 0 every event renders once and the loop blocks; at a rate it sleeps until due, and
// catches up on a stall with at most four updates, but not on a suspension.
TEST_F(MainLoop, RateZeroBlocksARateSleepsUntilDueAndCatchesUpOnAStallButNotOnASuspension) {
  EXPECT_EQ(Iterate(), (Log{"render", "wait"}));
  EXPECT_EQ(Iterate(), (Log{"render", "wait"}));
  host.SetUpdateRate(50);
  EXPECT_EQ(Iterate(), (Log{"sleep"}));
  EXPECT_NEAR(platform.slept, 0.02, 1e-9);
  platform.now = host.NextUpdate();
  EXPECT_EQ(Iterate(), (Log{"update", "render"}));
  EXPECT_NEAR(host.NextUpdate(), 100.04, 1e-9);
  // Exactly on time: only a strictly positive delay sleeps.
  host.SetNextUpdate(platform.now);
  EXPECT_EQ(Iterate(), (Log{"update", "render"}));

  // A long stall runs four updates and restarts from now.
  host.SetUpdateRate(60);
  platform.now += 1.0;
  EXPECT_EQ(Iterate(), (Log{"update", "update", "update", "update", "render"}));
  EXPECT_DOUBLE_EQ(host.NextUpdate(), platform.now);
  // A fourth update that catches up keeps the schedule.
  host.SetUpdateRate(4);
  host.SetNextUpdate(platform.now - 0.75);
  EXPECT_EQ(Iterate(), (Log{"update", "update", "update", "update", "render"}));
  EXPECT_DOUBLE_EQ(host.NextUpdate(), platform.now + 0.25);

  // Iconified suspends without rendering, unfocused still renders; back, the schedule restarts
  // from now instead of catching up on the time away.
  host.SetUpdateRate(60);
  platform.iconified = true;
  EXPECT_EQ(Iterate(), (Log{"suspend", "wait"}));
  platform.now += 30.0;
  platform.iconified = false;
  EXPECT_EQ(Iterate(), (Log{"resume", "update", "render"}));
  EXPECT_DOUBLE_EQ(host.NextUpdate(), platform.now + 1.0 / 60);
  platform.focused = false;
  EXPECT_EQ(Iterate(), (Log{"suspend", "render", "wait"}));
}

TEST_F(MainLoop, MillisecsAreComputedInSixtyFourBitsAndWrapped) {
  platform.now = 1.5;
  EXPECT_EQ(host.Millisecs(), 1500);
  platform.now = 4294967.296 + 2.0;  // 2^32 ms plus two seconds
  EXPECT_NEAR(host.Millisecs(), 2000, 1);
  platform.now = 2147483.648 + 0.5;  // just past 2^31 ms: wraps to negative
  EXPECT_LT(host.Millisecs(), 0);
  // A clock past what 64 bits of milliseconds hold reads as the largest time the clamp allows,
  // not whatever an out-of-range conversion gives.
  platform.now = 9e12;
  int largest = host.Millisecs();
  EXPECT_NE(largest, 0);
  platform.now = 1e300;
  EXPECT_EQ(host.Millisecs(), largest);
}

class Forwarders : public ::testing::Test {
 protected:
  RecordedEvents events;
  CountingHost host{&events};
};

// A window reopened from inside an update forwards key releases; the collector must wait
// until the update itself has ended.
TEST_F(Forwarders, EventsInsideAnEventSkipTheCollectorStepAndAnEscapedExceptionEndsTheRun) {
  host.StartGame();
  host.collections = 0;
  events.onUpdate = [&] {
    host.KeyEvent(c_NxGameEvent::KeyUp, 37);
    host.MouseEvent(c_NxGameEvent::MouseUp, 0, 1, 1);
    EXPECT_EQ(host.collections, 0);
  };
  host.UpdateGame();
  EXPECT_EQ(host.collections, 1);
  host.KeyEvent(c_NxGameEvent::KeyDown, 37);
  EXPECT_EQ(host.collections, 2);

  // An exception that escapes an event ends the run with status -1 and says so; the console
  // line goes to standard output, which the death test does not read.
  events.onRender = [] { throw gc_new<ThrowableObject>(); };
  EXPECT_EXIT((dup2(STDERR_FILENO, STDOUT_FILENO), host.RenderGame()),
              ::testing::ExitedWithCode(255), "Uncaught Zarnik Exception");
}

// The date fills only as many fields as the array holds, and never more than its seven.
TEST(HostDate, FillsOnlyTheFieldsTheArrayHolds) {
  CountingHost host{nullptr};
  Array<int> shortDate(3);
  host.GetDate(shortDate);
  EXPECT_TRUE(shortDate[0] >= 2000 && shortDate[1] >= 1 && shortDate[1] <= 12);
  Array<int> longDate(9);
  longDate[7] = longDate[8] = -5;
  host.GetDate(longDate);
  EXPECT_EQ(std::vector<int>(longDate.Data() + 6, longDate.Data() + 9),
            (std::vector<int>{0, -5, -5}));
}

}  // namespace
