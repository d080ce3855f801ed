// Lifetimes under the collector: what the barrier saves, when a full collection starts, how
// freed memory is paid back and reused, and a failed array construction.

#include <gtest/gtest.h>

#include <stdexcept>

#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/string.h"
#include "support/collector.h"

namespace {

int destroyed = 0;

struct Node : Object {
  Node* left = nullptr;
  Node* right = nullptr;
  Array<Node*> children;
  ~Node() override { ++destroyed; }
  void mark() override {
    gc_mark_q(left);
    gc_mark_q(right);
    gc_mark_q(children);
  }
};

// Two small size classes, so reuse of cached blocks can be told apart by size, and the
// smallest size that is never cached.
struct Tiny : Object {
  int value;
};
struct Small : Object {
  void* pointers[2];
};
struct Large : Object {
  void* pointers[4];
};

Node* root = nullptr;
// Holds the allocation that cleared the free list at the start of a test, so that it is not
// garbage the test would have to account for.
Array<int> keeper;
void MarkRoot() {
  gc_mark_q(root);
  gc_mark_q(keeper);
}

void Drain() {
  DrainFreeList();
  ASSERT_EQ(gc_count_free(), 0);
}

// Runs the marking of the current cycle to its end without sweeping.
void FinishMarking() {
  gc_new_bytes = 1 << 22;
  gc_collect();
  gc_new_bytes = 0;
  ASSERT_EQ(gc_count_queued(), 0);
}

class Collector : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_add_root_marker(MarkRoot);
    root = nullptr;
    keeper = Array<int>();
    gc_collect_all();
    gc_collect_all();
    gc_assign(keeper, Array<int>(gc_free_bytes / 4 + 1));
    ASSERT_EQ(gc_count_free(), 0);
    gc_assign(root, gc_new<Node>());
    destroyed = 0;
  }
};

TEST_F(Collector, BarrierSavesAWhiteObjectStoredIntoABlackOne) {
  FinishMarking();
  ASSERT_NE(root->flags & 1, gc_markbit) << "the root is black";

  // Without the barrier the store is invisible to the finished marking: this is what the
  // barrier exists for, and proves the scenario is real.
  root->left = gc_new<Node>();
  gc_collect_all();
  root->left = nullptr;
  Drain();
  EXPECT_EQ(destroyed, 1);

  FinishMarking();
  gc_assign(root->left, gc_new<Node>());
  gc_assign(root->left->children, Array<Node*>(2));
  gc_assign(root->left->children[1], gc_new<Node>());
  CollectEverything();
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(root->left->children.Length(), 2);
}

struct SelfRegistering : Node {
  SelfRegistering() { gc_assign(root->right, this); }
};

TEST_F(Collector, ObjectStoringItselfFromItsConstructorSurvivesUnderBothColours) {
  for (int cycle = 0; cycle < 2; ++cycle) {
    FinishMarking();
    SelfRegistering* object = gc_new<SelfRegistering>();
    CollectEverything();
    EXPECT_EQ(destroyed, cycle) << "markbit " << gc_markbit;
    EXPECT_EQ(root->right, object);
    EXPECT_TRUE(gc_is_object(object));
  }
}

TEST_F(Collector, FullCollectionStartsOnlyPastEightMebibytesAndStepsFollowAllocation) {
  gc_collect_all();
  gc_new<Node>();
  gc_new_bytes = gc_trigger;
  gc_collect();
  EXPECT_EQ(gc_new_bytes, gc_trigger) << "exactly the trigger is still an incremental step";
  EXPECT_EQ(gc_count_free(), 0);

  gc_new_bytes = gc_trigger + 1;
  gc_collect();
  EXPECT_EQ(gc_new_bytes, 0);
  EXPECT_EQ(gc_count_free(), 1);

  // Big buffers owned by objects bring the full collection forward too.
  gc_note_external_bytes(gc_trigger + 1);
  gc_collect();
  EXPECT_EQ(gc_new_bytes, 0);

  // Below the trigger a step marks about what was allocated since the last one, so a small
  // allocation never pays for marking everything.
  gc_assign(root->children, Array<Node*>(50));
  for (int i = 0; i < 50; ++i) gc_assign(root->children[i], gc_new<Node>());
  gc_collect_all();
  gc_new_bytes = 64;
  gc_collect();
  EXPECT_GT(gc_count_queued(), 0);
}

TEST_F(Collector, AllocationPaysForItselfFromTheFreeListAndReusesBlocksBySize) {
  const int node_size = root->flags & ~7;
  for (int i = 0; i < 10; ++i) gc_new<Node>();
  gc_collect_all();
  ASSERT_EQ(gc_free_bytes, 10 * node_size);

  gc_new<Node>();
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(gc_free_bytes, 9 * node_size);

  // Two and a half nodes' worth of allocation destroys three.
  Array<char> payment((5 * node_size / 2) - static_cast<int>(sizeof(ArrayBody<char>)));
  EXPECT_EQ(destroyed, 4);
  EXPECT_EQ(gc_count_free(), 6);

  Drain();
  gc_free_bytes = 1000;  // a count that outlived its list is forgotten, not trusted
  gc_new<Node>();
  EXPECT_EQ(gc_free_bytes, 0);

  // Small blocks are reused within their size class only; from 64 bytes on they go back to the
  // system, past the last size class.
  static_assert(sizeof(Tiny) < sizeof(Small) && sizeof(Small) < 64 && sizeof(Large) == 64);
  void* tiny = gc_new<Tiny>();
  for (int i = 0; i < 3; ++i) gc_new<Large>();
  gc_collect_all();
  Drain();
  EXPECT_NE(static_cast<void*>(gc_new<Small>()), tiny);
  EXPECT_EQ(static_cast<void*>(gc_new<Tiny>()), tiny);
  CollectEverything();  // a large block kept in a cache slot that does not exist breaks this
}

struct Refuses : Object {
  Refuses() { throw std::runtime_error("no"); }
};

TEST(Array, FailedConstructionLeavesNothingBehind) {
  const int live = gc_count_unmarked() + gc_count_queued() + gc_count_marked();
  const int new_bytes = gc_new_bytes;
  EXPECT_THROW(gc_new<Refuses>(), std::runtime_error);
  EXPECT_EQ(gc_count_unmarked() + gc_count_queued() + gc_count_marked(), live);
  EXPECT_EQ(gc_new_bytes, new_bytes);
  EXPECT_THROW(Array<int>(1 << 29), std::bad_alloc) << "past the 32-bit size of a body";
}

}  // namespace
