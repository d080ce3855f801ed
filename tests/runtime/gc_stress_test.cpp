// A random object graph rewired through the barrier while marking is under way: after every
// full collection nothing reachable may be gone, and once the garbage has settled exactly the
// reachable set is alive.

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <set>
#include <vector>

#include "runtime/array.h"
#include "runtime/object.h"
#include "support/collector.h"

namespace {

std::set<int> living;

// 64 bytes or more, so a freed vertex goes back to the system allocator and a read of one
// that was freed too early is caught by the address sanitizer, not hidden in a cache.
struct Vertex : Object {
  int id;
  Vertex* edges[3] = {};
  Array<Vertex*> list;
  explicit Vertex(int number) : id(number) { living.insert(id); }
  ~Vertex() override { living.erase(id); }
  void mark() override {
    for (Vertex* edge : edges) gc_mark_q(edge);
    gc_mark_q(list);
  }
};
static_assert(sizeof(Vertex) >= 64);

Array<Vertex*> roots;

std::set<int> Reachable() {
  std::set<int> seen;
  std::vector<Vertex*> pending(roots.Data(), roots.Data() + roots.Length());
  while (!pending.empty()) {
    Vertex* next = pending.back();
    pending.pop_back();
    if (next == nullptr || !seen.insert(next->id).second) continue;
    pending.insert(pending.end(), std::begin(next->edges), std::end(next->edges));
    pending.insert(pending.end(), next->list.Data(), next->list.Data() + next->list.Length());
  }
  return seen;
}

TEST(CollectorStress, ExactlyTheReachableSetSurvives) {
  gc_add_root_marker([] { gc_mark_q(roots); });
  gc_assign(roots, Array<Vertex*>(12));
  std::mt19937 random(20240611);
  auto pick = [&random](int count) { return static_cast<int>(random() % unsigned(count)); };
  // A few random edges from a random root, stopping short of null: only reachable vertices
  // are ever touched.
  auto walk = [&pick] {
    Vertex* vertex = roots[pick(roots.Length())];
    for (int hops = pick(8); hops > 0 && vertex != nullptr; --hops) {
      int edge = pick(4);
      Vertex* next = edge < 3                    ? vertex->edges[edge]
                     : vertex->list.Length() > 0 ? vertex->list[pick(vertex->list.Length())]
                                                 : nullptr;
      if (next != nullptr) vertex = next;
    }
    return vertex;
  };
  // A reference field of a reachable vertex, or now and then a root; null when the walk ends
  // on nothing or on an empty list.
  auto slot = [&]() -> Vertex** {
    Vertex* holder = pick(16) == 0 ? nullptr : walk();
    if (holder == nullptr) return &roots[pick(roots.Length())];
    int field = pick(4);
    if (field < 3) return &holder->edges[field];
    return holder->list.Length() == 0 ? nullptr : &holder->list[pick(holder->list.Length())];
  };
  int nextId = 0;
  for (int round = 1; round <= 60; ++round) {
    for (int step = 0; step < 500; ++step) {
      Vertex** target = slot();
      int action = pick(10);
      if (action < 3) {
        // Inserted in front of the old occupant, so the graph grows as well as churns.
        Vertex* vertex = gc_new<Vertex>(nextId++);
        if (target == nullptr) continue;
        gc_assign(vertex->edges[pick(3)], *target);
        gc_assign(*target, vertex);
      } else if (action < 7) {
        if (target != nullptr) gc_assign(*target, action == 3 ? nullptr : walk());
      } else if (action == 7) {
        Vertex* vertex = walk();
        if (vertex != nullptr) gc_assign(vertex->list, vertex->list.Resize(pick(4)));
      } else {
        gc_collect();
      }
    }
    gc_collect_all();
    gc_new_bytes = 0;
    std::set<int> reachable = Reachable();
    for (int id : reachable) ASSERT_EQ(living.count(id), 1u) << "vertex " << id << " freed";
    if (round % 5 != 0) continue;

    gc_collect_all();
    DrainFreeList();
    ASSERT_EQ(gc_count_free(), 0);
    ASSERT_EQ(living, reachable) << "round " << round;
  }
  EXPECT_GT(living.size(), 20u) << "the graph stayed big enough to mean something";
}

}  // namespace
