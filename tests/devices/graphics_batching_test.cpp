// The device's batching, its state changes, its limits on what it is given and its pixel
// read-back and write, seen through a recording OpenGL table.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>
#include <limits>

#include "devices/graphics.h"
#include "host/glfw_game.h"
#include "graphics_recorder.h"

namespace {

class GraphicsBatching : public ::testing::Test {
 protected:
  GLRecorder gl;
  gxtkGraphics* device = nullptr;

  void SetUp() override {
    glfwGraphicsSeq = 1;
    device = gc_new<gxtkGraphics>();
    device->BeginRender();
    device->SetMatrix(1, 0, 0, 1, 0, 0);
    device->SetColor(255, 255, 255);
    device->SetAlpha(1);
  }
  void TearDown() override { glfwGraphicsSeq = 0; }

  // A surface of the given size with a texture, as LoadSurface leaves it.
  gxtkSurface* Sprite(int width, int height) {
    gxtkSurface* surface = gc_new<gxtkSurface>();
    unsigned char* pixels = static_cast<unsigned char*>(std::calloc(width * height, 4));
    surface->SetData(pixels, width, height, 4);
    surface->Bind();
    return surface;
  }

  // The segment count of the oval just drawn.
  int OvalSegments(float w, float h) {
    device->DrawOval(0, 0, w, h);
    int segments = device->primType;
    device->Cls(0, 0, 0);
    return segments;
  }
};

// A batch holds 256 quads; a change of primitive or texture ends one, while setting the
// state already in force keeps it.
TEST_F(GraphicsBatching, BatchesEndAtTheirSizeAndOnRealChangesOnly) {
  for (int i = 0; i < 300; ++i) device->DrawRect(i, 0, 1, 1);
  gxtkSurface* sprite = Sprite(8, 8);
  device->DrawSurface(sprite, 0, 0);
  device->DrawLine(0, 0, 5, 5);
  for (int i = 0; i < 600; ++i) {
    device->SetBlend(0);
    device->SetScissor(0, 0, 640, 480);
    device->SetColor(i % 256, 0, 0);
    device->DrawRect(0, 0, 2, 2);
  }
  device->EndRender();
  std::vector<std::vector<int>> batches;
  for (const RecordedDraw& draw : gl.draws) {
    batches.push_back({static_cast<int>(draw.mode), draw.count, draw.texture == sprite->texture});
  }
  EXPECT_EQ(batches, (std::vector<std::vector<int>>{{GL_TRIANGLES, 256 * 6, 0},
                                                    {GL_TRIANGLES, 44 * 6, 0},
                                                    {GL_TRIANGLES, 6, 1},
                                                    {GL_LINES, 2, 0},
                                                    {GL_TRIANGLES, 256 * 6, 0},
                                                    {GL_TRIANGLES, 256 * 6, 0},
                                                    {GL_TRIANGLES, 88 * 6, 0}}));
  EXPECT_EQ(gl.swaps, 1);
  // BeginRender set the blend itself and forgot the scissor, so only that reached OpenGL.
  EXPECT_EQ(gl.blends.size(), 1u);
  EXPECT_EQ(gl.scissorDisables, 1);

  // A real blend or scissor change flushes; a new frame resets OpenGL's blend.
  gl.draws.clear();
  device->BeginRender();
  device->DrawRect(0, 0, 1, 1);
  device->SetBlend(1);
  device->DrawRect(0, 0, 1, 1);
  device->SetScissor(10, 20, 100, 50);
  device->DrawRect(0, 0, 1, 1);
  device->SetBlend(7);  // any value but 1 is alpha blending
  device->EndRender();
  EXPECT_EQ(gl.draws.size(), 3u);
  EXPECT_EQ(std::vector<GLenum>(gl.blends.end() - 2, gl.blends.end()),
            (std::vector<GLenum>{GL_ONE, GL_ONE_MINUS_SRC_ALPHA}));
  EXPECT_EQ(gl.scissors, (std::vector<std::vector<GLint>>{{10, 480 - 20 - 50, 100, 50}}));
}

// Sizes and scales out of range, infinite or not numbers give a bounded number of segments.
TEST_F(GraphicsBatching, OvalsAndColoursStayInRangeWhateverTheyAreGiven) {
  const float infinity = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  const float sizes[][3] = {{4, 4, 12}, {100, 100, 100}, {infinity, 4, 1024}, {nan, nan, 12}};
  for (const auto& [w, h, segments] : sizes) EXPECT_EQ(OvalSegments(w, h), segments) << w;
  device->SetMatrix(1e30f, 0, 0, 1e30f, 0, 0);
  EXPECT_EQ(OvalSegments(40, 40), 1024);
  device->SetAlpha(2);
  device->SetColor(300, -5, std::nanf(""));
  EXPECT_EQ(device->color, 0xff0000ffu);
  device->SetAlpha(-1);
  EXPECT_EQ(device->color, 0u);
}

unsigned WindowPattern(int x, int y) {
  return 0xff000000u | (y << 12) | x;
}

TEST_F(GraphicsBatching, ReadPixelsFlipsRowsAndClipsAndWritePixelsClips) {
  gl.windowPixel = WindowPattern;
  Array<int> pixels(4 * 3);
  device->ReadPixels(pixels, 10, 20, 4, 3, 0, 4);
  // The top row of the rectangle is window row 480 - 20 - 1 counted from the bottom.
  EXPECT_EQ(static_cast<unsigned>(pixels[0]), WindowPattern(10, 459));
  EXPECT_EQ(static_cast<unsigned>(pixels[11]), WindowPattern(13, 457));

  // A rectangle hanging over the window's corner reads only what is inside and leaves the
  // rest of the array alone.
  Array<int> corner(3 * 3);
  for (int i = 0; i < 9; ++i) corner[i] = -7;
  device->ReadPixels(corner, -1, -1, 3, 3, 0, 3);
  EXPECT_EQ(corner[0], -7);
  EXPECT_EQ(corner[3], -7);
  EXPECT_EQ(static_cast<unsigned>(corner[4]), WindowPattern(0, 479));
  EXPECT_EQ(static_cast<unsigned>(corner[8]), WindowPattern(1, 478));

  // Offsets and pitches that point outside the array store only the values inside it.
  Array<int> small(5);
  device->ReadPixels(small, 0, 0, 4, 4, 3, 4);
  EXPECT_EQ(static_cast<unsigned>(small[4]), WindowPattern(1, 479));
  device->ReadPixels(small, 0, 0, 2, 2, -3, -100000);
  device->ReadPixels(small, 0, 0, 640, 480, 2000000000, 2000000000);

  // Writing clips to the surface and to the array.
  gxtkSurface* target = device->CreateSurface(8, 8);
  pixels = Array<int>(16);
  for (int i = 0; i < 16; ++i) pixels[i] = static_cast<int>(0xff000000u | i);
  device->DrawRect(0, 0, 1, 1);
  // A 4 x 4 rectangle hanging over the right and bottom edges keeps its 2 x 2 corner.
  device->WritePixels2(target, pixels, 6, 6, 4, 4, 0, 4);
  EXPECT_EQ(gl.draws.size(), 1u);
  ASSERT_EQ(gl.uploads.size(), 2u);
  EXPECT_EQ(gl.uploads[0].x, 6);
  EXPECT_EQ(gl.uploads[0].width, 2);
  EXPECT_EQ(target->data[(7 * 8 + 7) * 4 + 2], 5);
  // Rows whose source values run past the array's end are dropped.
  gl.uploads.clear();
  device->WritePixels2(target, pixels, 0, 0, 8, 8, 0, 4);
  ASSERT_EQ(gl.uploads.size(), 1u);
  EXPECT_EQ(gl.uploads[0].height, 3);
  device->WritePixels2(target, pixels, 0, 0, 8, 8, -2000000000, -2000000000);
  device->WritePixels2(nullptr, pixels, 0, 0, 8, 8, 0, 8);
  EXPECT_EQ(gl.uploads.size(), 1u);
}

}  // namespace
