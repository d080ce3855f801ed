// The collector: four intrusive lists, allocation-paced marking and lazy destruction.

// <cstdlib> for the system allocator; <algorithm> for std::max; <vector> for the root table.
#include "runtime/gc.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Types

namespace {

// A list sentinel is a bare object: it is never marked, queued or freed.
struct gc_sentinel final : gc_object {};

struct gc_list {
  gc_sentinel head;
  gc_list() { head.succ = head.pred = &head; }
  bool empty() const { return head.succ == &head; }
  gc_object* first() { return head.succ; }
};

struct gc_cache_block {
  gc_cache_block* next;
};

// Bit 2 of `flags`, free because sizes are multiples of 8: the barrier reached an object whose
// constructor was still running, so it starts grey instead of white once registered.
constexpr int gc_grey_on_register = 4;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Globals

int gc_markbit = 1;
int gc_new_bytes = 0;
int gc_alloced_bytes = 0;
int gc_max_alloced_bytes = 0;
int gc_marked_bytes = 0;
int gc_free_bytes = 0;
bool gc_force_sweep = false;

namespace {

// The lists are built on first use: another module's static initialiser may allocate before
// this file's statics are constructed, and a later list constructor would then drop its objects.
gc_list& gc_unmarked_list() {
  static gc_list list;
  return list;
}
gc_list& gc_queued_list() {
  static gc_list list;
  return list;
}
gc_list& gc_marked_list() {
  static gc_list list;
  return list;
}
gc_list& gc_free_list() {
  static gc_list list;
  return list;
}

// Zero-initialised before any constructor runs, so it needs no first-use guard.
gc_cache_block* gc_cache[8];

std::vector<gc_root_marker>& gc_root_markers() {
  static std::vector<gc_root_marker> markers;
  return markers;
}

// ---------------------------------------------------------------------------------------------
// Internal functions

int gc_size_of(const gc_object* object) {
  return object->flags & ~7;
}

void gc_unlink(gc_object* object) {
  object->pred->succ = object->succ;
  object->succ->pred = object->pred;
}

void gc_append(gc_list& list, gc_object* object) {
  object->pred = list.head.pred;
  object->succ = &list.head;
  list.head.pred->succ = object;
  list.head.pred = object;
}

// Moves every object of `from` to the tail of `to`, leaving `from` empty.
void gc_splice(gc_list& from, gc_list& to) {
  if (from.empty()) return;
  gc_object* first = from.head.succ;
  gc_object* last = from.head.pred;
  first->pred = to.head.pred;
  to.head.pred->succ = first;
  last->succ = &to.head;
  to.head.pred = last;
  from.head.succ = from.head.pred = &from.head;
}

void gc_clear(gc_list& list) {
  list.head.succ = list.head.pred = &list.head;
}

int gc_count(const gc_list& list) {
  int count = 0;
  for (const gc_object* object = list.head.succ; object != &list.head; object = object->succ) {
    ++count;
  }
  return count;
}

bool gc_list_holds(const gc_list& list, const void* address) {
  for (const gc_object* object = list.head.succ; object != &list.head; object = object->succ) {
    if (object == address) return true;
  }
  return false;
}

// Static objects are never coloured; an object still under construction is on no list yet, so
// it is only flagged, and gc_object_register queues it. True when the object is white and
// listed, so the caller may move it.
bool gc_take_white(gc_object* object) {
  if (object == nullptr || (object->flags & 3) == gc_static_colour) return false;
  if (object->succ == nullptr) {
    object->flags |= gc_grey_on_register;
    return false;
  }
  if ((object->flags & 3) != gc_markbit) return false;
  object->flags ^= 1;
  gc_unlink(object);
  return true;
}

// Destruction is paid for by later allocations, a little at a time.
void gc_destroy(gc_object* object) {
  int size = gc_size_of(object);
  object->~gc_object();
  gc_object_free(object, size);
}

void gc_mark_queued(int limit) {
  while (gc_marked_bytes < limit && !gc_queued_list().empty()) {
    gc_object* object = gc_queued_list().first();
    gc_unlink(object);
    gc_append(gc_marked_list(), object);
    gc_marked_bytes += gc_size_of(object);
    object->mark();
  }
}

void gc_sweep() {
  if (gc_alloced_bytes != gc_marked_bytes) {
    gc_splice(gc_unmarked_list(), gc_free_list());
    gc_free_bytes += gc_alloced_bytes - gc_marked_bytes;
  }
  gc_splice(gc_marked_list(), gc_unmarked_list());
  gc_alloced_bytes = gc_marked_bytes;
  gc_marked_bytes = 0;
  gc_markbit ^= 1;
}

void gc_release_block(void* block, int size) {
  if (size >= 64) {
    std::free(block);
    return;
  }
  gc_cache_block* cached = static_cast<gc_cache_block*>(block);
  cached->next = gc_cache[size / 8];
  gc_cache[size / 8] = cached;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

void* gc_object_alloc(int size) {
  size = (size + 7) & ~7;
  // Saturates: a long run of allocations without a collection step must not wrap the count
  // (which would also postpone the full collection indefinitely).
  gc_new_bytes =
      static_cast<int>(std::min<int64_t>(static_cast<int64_t>(gc_new_bytes) + size, INT_MAX));

  int keep = std::max(gc_free_bytes - size, 0);
  while (gc_free_bytes > keep) {
    if (gc_free_list().empty()) {
      gc_free_bytes = 0;
      break;
    }
    gc_object* object = gc_free_list().first();
    gc_unlink(object);
    gc_destroy(object);
  }

  if (size < 64 && gc_cache[size / 8] != nullptr) {
    gc_cache_block* block = gc_cache[size / 8];
    gc_cache[size / 8] = block->next;
    return block;
  }
  // A zero-size request still needs room for the header the caller constructs.
  void* block = std::malloc(size > 0 ? static_cast<size_t>(size) : 8);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void gc_object_register(gc_object* object, int size) {
  size = (size + 7) & ~7;
  if (object->flags & gc_grey_on_register) {
    object->flags = size | (gc_markbit ^ 1);
    gc_append(gc_queued_list(), object);
  } else {
    object->flags = size | gc_markbit;
    gc_append(gc_unmarked_list(), object);
  }
  gc_alloced_bytes += size;
  gc_max_alloced_bytes = std::max(gc_max_alloced_bytes, gc_alloced_bytes);
}

void gc_object_free(void* block, int size) {
  gc_free_bytes -= size;
  gc_release_block(block, size);
}

void gc_object_abandon(void* block, int size) {
  gc_new_bytes -= size;
  gc_release_block(block, size);
}

void gc_mark_q(gc_object* object) {
  if (gc_take_white(object)) gc_append(gc_queued_list(), object);
}

void gc_mark_now(gc_object* object) {
  if (!gc_take_white(object)) return;
  gc_append(gc_marked_list(), object);
  gc_marked_bytes += gc_size_of(object);
  object->mark();
}

void gc_add_root_marker(gc_root_marker marker) {
  auto& markers = gc_root_markers();
  if (std::find(markers.begin(), markers.end(), marker) == markers.end()) {
    markers.push_back(marker);
  }
}

void gc_mark() {
  for (gc_root_marker marker : gc_root_markers()) marker();
}

void gc_init1() {
  gc_clear(gc_unmarked_list());
  gc_clear(gc_queued_list());
  gc_clear(gc_marked_list());
  gc_clear(gc_free_list());
}

void gc_init2() {
  gc_mark();
}

void gc_collect_all() {
  gc_mark_queued(INT_MAX);
  gc_sweep();
  gc_mark();
}

void gc_collect() {
  if (gc_new_bytes > gc_trigger) {
    gc_collect_all();
    gc_new_bytes = 0;
    return;
  }
  int64_t limit =
      (static_cast<int64_t>(gc_alloced_bytes) - gc_new_bytes) * gc_new_bytes / gc_trigger +
      gc_new_bytes;
  gc_mark_queued(static_cast<int>(std::clamp<int64_t>(limit, INT_MIN, INT_MAX)));
}

void gc_note_external_bytes(int64_t bytes) {
  if (bytes <= 0) return;
  int64_t total = static_cast<int64_t>(gc_new_bytes) + bytes;
  gc_new_bytes = static_cast<int>(std::min<int64_t>(total, INT_MAX));
}

bool gc_is_object(const void* address) {
  if (address == nullptr) return false;
  return gc_list_holds(gc_unmarked_list(), address) || gc_list_holds(gc_queued_list(), address) ||
         gc_list_holds(gc_marked_list(), address);
}

int gc_count_unmarked() {
  return gc_count(gc_unmarked_list());
}
int gc_count_queued() {
  return gc_count(gc_queued_list());
}
int gc_count_marked() {
  return gc_count(gc_marked_list());
}
int gc_count_free() {
  return gc_count(gc_free_list());
}
