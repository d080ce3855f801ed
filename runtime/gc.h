// The process-wide incremental mark-and-sweep collector that owns every framework and
// game object. Objects are made with gc_new and never deleted by hand.
#pragma once

// <cstdint> for the fixed-width counters; <new> and <utility> for placement construction.
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

// ---------------------------------------------------------------------------------------------
// Types

// Header of every collected object. `flags` holds the size in bytes (a multiple of 8) ORed
// with the colour in bit 0; static objects carry colour bits 3, which never match the mark bit.
// An object whose constructor is still running is on no list (`succ` is null).
struct gc_object {
  gc_object* succ = nullptr;
  gc_object* pred = nullptr;
  int flags = 0;

  gc_object() = default;
  gc_object(const gc_object&) = delete;
  gc_object& operator=(const gc_object&) = delete;
  virtual ~gc_object() = default;

  // Queue every object this one references (gc_mark_q on each).
  virtual void mark() {}
};

using gc_root_marker = void (*)();

// ---------------------------------------------------------------------------------------------
// Globals

constexpr int gc_trigger = 8 * 1024 * 1024;
constexpr int gc_static_colour = 3;

extern int gc_markbit;
extern int gc_new_bytes;
extern int gc_alloced_bytes;
extern int gc_max_alloced_bytes;
extern int gc_marked_bytes;
extern int gc_free_bytes;
extern bool gc_force_sweep;

// ---------------------------------------------------------------------------------------------
// Functions

// Raw block for a new object of `size` bytes: pays for it from the free list first.
void* gc_object_alloc(int size);
// Puts a freshly constructed object on the unmarked list, white.
void gc_object_register(gc_object* object, int size);
// Returns the block of a destroyed object to the small-block caches or the system.
void gc_object_free(void* block, int size);
// Returns a block whose object never finished construction.
void gc_object_abandon(void* block, int size);

// Greys a white object: the write barrier and the roots use it.
void gc_mark_q(gc_object* object);
// Marks an object black at once and visits its children (the host's delegate).
void gc_mark_now(gc_object* object);

// Roots: each module that keeps objects in globals registers one function that greys them.
void gc_add_root_marker(gc_root_marker marker);
void gc_mark();
void gc_init1();
void gc_init2();

// One incremental step, paced by allocation; a full collection past the trigger.
void gc_collect();
void gc_collect_all();

// Memory owned by an object outside its block (pixel copies, sound buffers) counts toward
// the full-collection trigger, so unreachable owners of big buffers do not pile up.
void gc_note_external_bytes(int64_t bytes);

// True when `address` is an object on the unmarked, queued or marked list (not yet garbage).
bool gc_is_object(const void* address);

// Objects on each list, for tests and diagnostics.
int gc_count_unmarked();
int gc_count_queued();
int gc_count_marked();
int gc_count_free();

// Constructs a T in a block of `size` bytes (at least sizeof(T); arrays keep their elements in
// the rest) and registers it; a block whose constructor throws goes back unused.
template <class T, class... Arguments>
T* gc_new_sized(int size, Arguments&&... arguments) {
  size = (size + 7) & ~7;
  void* block = gc_object_alloc(size);
  T* object;
  try {
    object = new (block) T(std::forward<Arguments>(arguments)...);
  } catch (...) {
    gc_object_abandon(block, size);
    throw;
  }
  gc_object_register(object, size);
  return object;
}

template <class T, class... Arguments>
T* gc_new(Arguments&&... arguments) {
  static_assert(sizeof(T) < (1 << 30), "collected objects are sized in 32 bits");
  return gc_new_sized<T>(static_cast<int>(sizeof(T)), std::forward<Arguments>(arguments)...);
}

template <class T>
inline void gc_mark_q(T* object) {
  gc_mark_q(static_cast<gc_object*>(object));
}

// Stores an object reference with the write barrier, so a reference stored during an
// unfinished cycle can never stay white behind a black object.
template <class T, class U>
inline T* gc_assign(T*& field, U* value) {
  gc_mark_q(static_cast<gc_object*>(value));
  field = value;
  return value;
}

template <class T>
inline T* gc_assign(T*& field, std::nullptr_t) {
  field = nullptr;
  return nullptr;
}
