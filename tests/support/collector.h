// The collector run to the end with everything it found unreachable destroyed at once, for the
// tests that count what survives or want a lost object's later use caught by the sanitizer.
#pragma once

#include "runtime/array.h"
#include "runtime/gc.h"

// Destroys everything waiting on the free list: one allocation pays at least its own size.
inline void DrainFreeList() {
  if (gc_free_bytes > 0) Array<int> payment(gc_free_bytes / 4 + 1);
}

// Two full cycles, since the first may keep objects that died after being marked.
inline void CollectEverything() {
  gc_collect_all();
  gc_collect_all();
  DrainFreeList();
}
