// Array bodies: zeroed on creation, copied on resize, released with their strings, and left
// alone when construction fails.

#include <gtest/gtest.h>

#include <stdexcept>

#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/string.h"

namespace {

TEST(Array, NewArraysHoldZeroElementsAndResizeKeepsWhatFits) {
  Array<String> strings(5);
  ASSERT_EQ(strings.Length(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(strings[i].Length(), 0);
  EXPECT_EQ(Array<String>(0), Array<String>()) << "the shared empty body";

  // Resizing keeps what fits and zeroes the rest.
  const int values[] = {7, 8, 9};
  Array<int> numbers(values, 3);
  Array<int> longer = numbers.Resize(5);
  EXPECT_NE(longer, numbers);
  EXPECT_EQ(longer[2], 9);
  EXPECT_EQ(longer[4], 0);
  Array<int> shorter = numbers.Resize(2);
  EXPECT_EQ(shorter.Length(), 2);
  EXPECT_EQ(shorter[1], 8);
  EXPECT_EQ(numbers[2], 9) << "the original is untouched";
  EXPECT_EQ(numbers.Resize(-1), Array<int>());
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
