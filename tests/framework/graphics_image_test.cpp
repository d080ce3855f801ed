// Cutting surfaces into frames: strips, padding, centring, the whole-surface flag, and the
// grab walk over an atlas with its error for frames outside the surface.

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/recording_graphics_device.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Pair;

namespace {

std::vector<std::pair<int, int>> Places(c_Image* image) {
  std::vector<std::pair<int, int>> places;
  for (int i = 0; i < image->m_frames.Length(); ++i) {
    places.emplace_back(image->m_frames[i]->m_x, image->m_frames[i]->m_y);
  }
  return places;
}

c_Image* Strip(int width, int height, int frames, int flags) {
  return gc_new<c_Image>()->m_new()->p_Init(BlankSurface(width, height), frames, flags);
}

TEST(Image, PaddedStripFramesSitOneInsideTheirCells) {
  c_Image* font = Strip(576, 10, 96, ImageFlagPadX | ImageFlagPadY);
  EXPECT_EQ(font->m_width, 4);
  EXPECT_EQ(font->m_height, 8);
  ASSERT_EQ(font->m_frames.Length(), 96);
  EXPECT_THAT(Places(font)[0], Pair(1, 1));
  EXPECT_THAT(Places(font)[1], Pair(7, 1));
  EXPECT_THAT(Places(font)[2], Pair(13, 1));
  EXPECT_THAT(Places(font)[95], Pair(571, 1));

  EXPECT_EQ(Strip(10, 10, 0, 0), nullptr);
  EXPECT_EQ(Strip(10, 10, -3, 0), nullptr);
}

TEST(Image, OnlyAnUnpaddedSingleFrameIsTheWholeSurface) {
  EXPECT_EQ(Strip(32, 16, 1, 0)->m_flags, ImageFlagWhole);
  EXPECT_EQ(Strip(32, 16, 1, ImageFlagPadX)->m_flags, ImageFlagPadX);
  EXPECT_EQ(Strip(32, 16, 1, ImageFlagPadY)->m_flags, ImageFlagPadY);
  EXPECT_EQ(Strip(32, 16, 2, 0)->m_flags, 0);

  c_Image* atlas = Strip(64, 64, 1, 0);
  EXPECT_EQ(atlas->p_GrabImage(0, 0, 64, 64, 1, 0)->m_flags, ImageFlagWhole);
  EXPECT_EQ(atlas->p_GrabImage(0, 0, 32, 64, 1, 0)->m_flags, 0);
}

TEST(Image, CentreSetsTheHandleAfterPaddingAndIsNotKept) {
  c_Image* image = Strip(16, 16, 1, ImageFlagCentre);
  EXPECT_EQ(image->m_handleX, 8.0f);
  EXPECT_EQ(image->m_handleY, 8.0f);
  EXPECT_EQ(image->m_flags & ImageFlagCentre, 0);
  EXPECT_EQ(image->m_flags, ImageFlagWhole);

  c_Image* padded = Strip(18, 18, 1, ImageFlagCentre | ImageFlagPadX | ImageFlagPadY);
  EXPECT_EQ(padded->m_handleX, 8.0f);
  EXPECT_EQ(padded->m_handleY, 8.0f);

  padded->p_SetHandle(1.5f, -2);
  EXPECT_EQ(padded->m_handleX, 1.5f);
  EXPECT_EQ(padded->m_handleY, -2.0f);
}

TEST(Image, GrabWalksRowsFromTheStartAndWrapsToColumnZero) {
  c_Image* atlas = Strip(128, 64, 1, 0);
  c_Image* grabbed = atlas->p_GrabImage(64, 0, 32, 32, 5, 0);
  ASSERT_NE(grabbed, nullptr);
  EXPECT_THAT(Places(grabbed),
              ElementsAre(Pair(64, 0), Pair(96, 0), Pair(0, 32), Pair(32, 32), Pair(64, 32)));
  EXPECT_EQ(grabbed->m_source, atlas);
  EXPECT_EQ(grabbed->m_surface, atlas->m_surface);
  EXPECT_EQ(grabbed->m_width, 32);

  // A padded source offsets every grabbed frame by its own frame's corner.
  c_Image* padded = Strip(66, 34, 1, ImageFlagPadX | ImageFlagPadY);
  EXPECT_THAT(Places(padded->p_GrabImage(0, 0, 32, 32, 2, ImageFlagPadX)),
              ElementsAre(Pair(2, 1), Pair(34, 1)));

  // Every cell of the atlas can be taken, exactly to its edges.
  EXPECT_EQ(atlas->p_GrabImage(0, 0, 32, 32, 8, 0)->m_frames.Length(), 8);

  EXPECT_EQ(Strip(128, 64, 2, 0)->p_GrabImage(0, 0, 8, 8, 1, 0), nullptr);
}

// The runtime error goes to standard output; the child sends that to the stream the death
// test watches.
void GrabInChild(int x, int y, int width, int height, int frames) {
  dup2(STDERR_FILENO, STDOUT_FILENO);
  Strip(128, 64, 1, 0)->p_GrabImage(x, y, width, height, frames, 0);
}

TEST(ImageDeathTest, FramesOutsideTheSurfaceEndTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* line = "Zarnik Runtime Error : Image frame outside surface";
  // Past the bottom after wrapping.
  EXPECT_EXIT(GrabInChild(64, 0, 32, 32, 7), ::testing::ExitedWithCode(255), line);
  // Taller than the atlas, and wider than it.
  EXPECT_EXIT(GrabInChild(0, 0, 32, 65, 1), ::testing::ExitedWithCode(255), line);
  EXPECT_EXIT(GrabInChild(0, 0, 129, 32, 1), ::testing::ExitedWithCode(255), line);
  // Starting outside, or with a negative size that would walk backwards.
  EXPECT_EXIT(GrabInChild(-32, 0, 32, 32, 1), ::testing::ExitedWithCode(255), line);
  EXPECT_EXIT(GrabInChild(0, 64, 32, 32, 1), ::testing::ExitedWithCode(255), line);
  EXPECT_EXIT(GrabInChild(64, 0, -32, 32, 2), ::testing::ExitedWithCode(255), line);
}

}  // namespace
