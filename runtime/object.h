// The base of every framework and game class: a collected object with identity, order and a
// debug text.
#pragma once

#include "runtime/gc.h"
#include "runtime/string.h"

// ---------------------------------------------------------------------------------------------
// Types

class Object : public gc_object {
 public:
  virtual bool Equals(Object* other) { return this == other; }
  // Orders objects by identity; only its sign carries meaning.
  virtual int Compare(Object* other) {
    if (this == other) return 0;
    return reinterpret_cast<uintptr_t>(this) < reinterpret_cast<uintptr_t>(other) ? -1 : 1;
  }
  virtual String debug() { return String(u"+Object\n"); }
};

// The one exception type of the runtime; one that escapes a host event ends the run.
class ThrowableObject : public Object {};
