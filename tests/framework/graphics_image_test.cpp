// Cutting surfaces into frames: strips, padding, centring, the whole-surface flag, and the
// grab walk over an atlas with its error for frames outside the surface.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "devices/surface.h"
#include "framework/image.h"
#include "support/child_process.h"

using ::testing::ElementsAre;
using ::testing::Pair;

namespace {

c_Image* Strip(int width, int height, int frames, int flags) {
  gxtkSurface* surface = gc_new<gxtkSurface>();
  surface->width = width;
  surface->height = height;
  return gc_new<c_Image>()->m_new()->p_Init(surface, frames, flags);
}

std::vector<std::pair<int, int>> Places(c_Image* image, int count) {
  std::vector<std::pair<int, int>> places;
  for (int i = 0; i < count; ++i)
    places.emplace_back(image->m_frames[i]->m_x, image->m_frames[i]->m_y);
  return places;
}

TEST(Image, StripsPadCentreAndMarkTheWholeSurface) {
  c_Image* font = Strip(576, 10, 96, ImageFlagPadX | ImageFlagPadY);
  EXPECT_EQ(font->m_width, 4);
  EXPECT_EQ(font->m_height, 8);
  EXPECT_THAT(Places(font, 3), ElementsAre(Pair(1, 1), Pair(7, 1), Pair(13, 1)));
  EXPECT_EQ(Strip(10, 10, 0, 0), nullptr);

  c_Image* centred = Strip(16, 16, 1, ImageFlagCentre);
  EXPECT_EQ(centred->m_handleX, 8.0f);
  EXPECT_EQ(centred->m_handleY, 8.0f);
  EXPECT_EQ(centred->m_flags, ImageFlagWhole) << "the centre bit is not kept";
  EXPECT_EQ(Strip(32, 16, 1, ImageFlagPadX)->m_flags, ImageFlagPadX);
  EXPECT_EQ(Strip(32, 16, 2, 0)->m_flags, 0);
}

TEST(Image, GrabWalksRowsWrapsToColumnZeroAndRefusesFramesOutsideTheSurface) {
  c_Image* atlas = Strip(128, 64, 1, 0);
  c_Image* grabbed = atlas->p_GrabImage(64, 0, 32, 32, 5, 0);
  ASSERT_NE(grabbed, nullptr);
  EXPECT_THAT(Places(grabbed, 5),
              ElementsAre(Pair(64, 0), Pair(96, 0), Pair(0, 32), Pair(32, 32), Pair(64, 32)));
  EXPECT_EQ(grabbed->m_source, atlas);
  EXPECT_EQ(atlas->p_GrabImage(0, 0, 32, 32, 8, 0)->m_frames.Length(), 8) << "exactly to the edges";
  EXPECT_EQ(atlas->p_GrabImage(0, 0, 128, 64, 1, 0)->m_flags, ImageFlagWhole);

  // A padded source offsets every grabbed frame by its own frame's corner.
  c_Image* padded = Strip(66, 34, 1, ImageFlagPadX | ImageFlagPadY);
  EXPECT_THAT(Places(padded->p_GrabImage(0, 0, 32, 32, 2, 0), 2),
              ElementsAre(Pair(1, 1), Pair(33, 1)));
  EXPECT_EQ(Strip(128, 64, 2, 0)->p_GrabImage(0, 0, 8, 8, 1, 0), nullptr);

  // Frames outside the surface end the program.
  const int grabs[][5] = {
      {64, 0, 32, 32, 7}, {0, 0, 129, 32, 1}, {-32, 0, 32, 32, 1}, {64, 0, -32, 32, 2}};
  for (const auto& g : grabs) {
    ChildRun run =
        RunInChild([&] { Strip(128, 64, 1, 0)->p_GrabImage(g[0], g[1], g[2], g[3], g[4], 0); });
    EXPECT_EQ(run.status, 255) << g[0] << " " << g[2] << " " << g[4];
    EXPECT_EQ(run.output, "Zarnik Runtime Error : Image frame outside surface\n\n");
  }
}

}  // namespace
