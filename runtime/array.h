// Fixed-length collected arrays of ints, floats, bools, strings or object references.
// `Array<T>` is a small handle; the body it points at is a collected object.
#pragma once

// <cstring> for copying plain element blocks; <type_traits> to tell object references apart.
#include <cstring>
#include <type_traits>

#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Functions used by the templates

// Ends the run with the runtime error for an index outside an array.
[[noreturn]] void nx_array_index_error();

// ---------------------------------------------------------------------------------------------
// Types

// Aligned to 8 so that the elements after it are aligned on 32-bit targets (the web build) too.
template <class T>
class alignas(8) ArrayBody final : public gc_object {
 public:
  int length;

  explicit ArrayBody(int count) : length(count) {
    T* elements = Data();
    for (int i = 0; i < count; ++i) new (&elements[i]) T();
  }
  ~ArrayBody() override {
    T* elements = Data();
    for (int i = 0; i < length; ++i) elements[i].~T();
  }

  T* Data() { return reinterpret_cast<T*>(this + 1); }
  const T* Data() const { return reinterpret_cast<const T*>(this + 1); }

  void mark() override {
    if constexpr (std::is_pointer_v<T>) {
      T* elements = Data();
      for (int i = 0; i < length; ++i) gc_mark_q(elements[i]);
    }
  }

  // Every empty array of one element type is this one static body, which the collector never
  // queues, moves or frees.
  static ArrayBody* Empty() {
    static ArrayBody* body = [] {
      static ArrayBody empty(0);
      empty.flags = static_cast<int>(sizeof(ArrayBody)) | gc_static_colour;
      return &empty;
    }();
    return body;
  }

  static ArrayBody* Create(int count) {
    if (count < 1) return Empty();
    static_assert(sizeof(ArrayBody) % 8 == 0, "elements follow the header at 8-byte alignment");
    int64_t bytes =
        static_cast<int64_t>(sizeof(ArrayBody)) + static_cast<int64_t>(count) * sizeof(T);
    if (bytes > (1 << 30)) throw std::bad_alloc();
    return gc_new_sized<ArrayBody>(static_cast<int>(bytes), count);
  }
};

template <class T>
class Array {
 public:
  Array() : body_(ArrayBody<T>::Empty()) {}
  explicit Array(int length) : body_(ArrayBody<T>::Create(length)) {}
  Array(const T* elements, int length) : body_(ArrayBody<T>::Create(length)) {
    for (int i = 0; i < body_->length; ++i) body_->Data()[i] = elements[i];
  }

  int Length() const { return body_->length; }
  T* Data() { return body_->Data(); }
  const T* Data() const { return body_->Data(); }
  ArrayBody<T>* Body() const { return body_; }

  T& operator[](int index) {
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(body_->length)) {
      nx_array_index_error();
    }
    return body_->Data()[index];
  }
  const T& operator[](int index) const {
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(body_->length)) {
      nx_array_index_error();
    }
    return body_->Data()[index];
  }

  // A new array of `length` holding as many old elements as fit, then zero elements.
  Array Resize(int length) const {
    Array result(length);
    int kept = length < Length() ? length : Length();
    for (int i = 0; i < kept; ++i) result.body_->Data()[i] = body_->Data()[i];
    return result;
  }

  bool operator==(const Array& other) const { return body_ == other.body_; }
  bool operator!=(const Array& other) const { return body_ != other.body_; }

 private:
  ArrayBody<T>* body_;
};

template <class T>
inline void gc_mark_q(const Array<T>& array) {
  gc_mark_q(static_cast<gc_object*>(array.Body()));
}

// Stores an array in a field with the write barrier.
template <class T>
inline Array<T>& gc_assign(Array<T>& field, const Array<T>& value) {
  gc_mark_q(value);
  field = value;
  return field;
}
