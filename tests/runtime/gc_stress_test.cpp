// A random object graph rewired through the barrier while marking is under way: after every
// full collection nothing reachable may be gone, and once the garbage has settled exactly the
// reachable set is alive.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "runtime/array.h"
#include "runtime/object.h"
#include "support/collector.h"

namespace {

std::set<int>& Living() {
  static std::set<int> ids;
  return ids;
}

// 64 bytes or more, so a freed vertex goes back to the system allocator and a read of one
// that was freed too early is caught by the address sanitizer, not hidden in a cache.
struct Vertex : Object {
  int id;
  Vertex* edges[3] = {};
  Array<Vertex*> list;
  explicit Vertex(int number) : id(number) { Living().insert(id); }
  ~Vertex() override { Living().erase(id); }
  void mark() override {
    for (Vertex* edge : edges) gc_mark_q(edge);
    gc_mark_q(list);
  }
};
static_assert(sizeof(Vertex) >= 64);

Array<Vertex*> roots;
void MarkRoots() {
  gc_mark_q(roots);
}

void Reach(Vertex* vertex, std::set<int>& seen) {
  std::vector<Vertex*> pending{vertex};
  while (!pending.empty()) {
    Vertex* next = pending.back();
    pending.pop_back();
    if (next == nullptr || !seen.insert(next->id).second) continue;
    for (Vertex* edge : next->edges) pending.push_back(edge);
    for (int i = 0; i < next->list.Length(); ++i) pending.push_back(next->list[i]);
  }
}

std::set<int> Reachable() {
  std::set<int> seen;
  for (int i = 0; i < roots.Length(); ++i) Reach(roots[i], seen);
  return seen;
}

class Mutator {
 public:
  explicit Mutator(unsigned seed) : random_(seed) {}

  void Step() {
    Vertex** slot = Slot();
    int action = Pick(10);
    if (action < 3) {
      // Inserted in front of the old occupant, so the graph grows as well as churns.
      Vertex* vertex = gc_new<Vertex>(next_id_++);
      if (slot == nullptr) return;
      gc_assign(vertex->edges[Pick(3)], *slot);
      gc_assign(*slot, vertex);
    } else if (action < 7) {
      if (slot != nullptr) gc_assign(*slot, action == 3 ? nullptr : Walk());
    } else if (action == 7) {
      Vertex* vertex = Walk();
      if (vertex != nullptr) gc_assign(vertex->list, vertex->list.Resize(Pick(4)));
    } else {
      gc_collect();
    }
  }

 private:
  int Pick(int count) { return static_cast<int>(random_() % static_cast<unsigned>(count)); }

  // A few random edges from a random root, stopping short of null: only reachable vertices
  // are ever touched.
  Vertex* Walk() {
    Vertex* vertex = roots[Pick(roots.Length())];
    for (int hops = Pick(8); hops > 0 && vertex != nullptr; --hops) {
      int edge = Pick(4);
      Vertex* next = nullptr;
      if (edge < 3) {
        next = vertex->edges[edge];
      } else if (vertex->list.Length() > 0) {
        next = vertex->list[Pick(vertex->list.Length())];
      }
      if (next != nullptr) vertex = next;
    }
    return vertex;
  }

  // A reference field of a reachable vertex, or now and then a root; null when the walk ends
  // on nothing or on an empty list.
  Vertex** Slot() {
    Vertex* holder = Pick(16) == 0 ? nullptr : Walk();
    if (holder == nullptr) return &roots[Pick(roots.Length())];
    int slot = Pick(4);
    if (slot < 3) return &holder->edges[slot];
    if (holder->list.Length() == 0) return nullptr;
    return &holder->list[Pick(holder->list.Length())];
  }

  std::mt19937 random_;
  int next_id_ = 0;
};

TEST(CollectorStress, ExactlyTheReachableSetSurvives) {
  gc_add_root_marker(MarkRoots);
  gc_assign(roots, Array<Vertex*>(12));
  Mutator mutator(20240611);
  for (int round = 1; round <= 60; ++round) {
    for (int step = 0; step < 500; ++step) mutator.Step();
    gc_collect_all();
    gc_new_bytes = 0;
    std::set<int> reachable = Reachable();
    for (int id : reachable) ASSERT_EQ(Living().count(id), 1u) << "vertex " << id << " freed";
    if (round % 5 != 0) continue;

    gc_collect_all();
    DrainFreeList();
    ASSERT_EQ(gc_count_free(), 0);
    ASSERT_EQ(Living(), reachable) << "round " << round;
  }
  EXPECT_GT(Living().size(), 20u) << "the graph stayed big enough to mean something";
}

}  // namespace
