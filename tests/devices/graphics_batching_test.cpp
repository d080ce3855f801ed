// The device's batching, colour packing, state changes and pixel read-back, seen through a
// recording OpenGL table.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
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

TEST_F(GraphicsBatching, RectanglesFillQuadBatchesOf256) {
  for (int i = 0; i < 300; ++i) device->DrawRect(i, 0, 1, 1);
  device->EndRender();
  ASSERT_EQ(gl.draws.size(), 2u);
  EXPECT_TRUE(gl.draws[0].indexed);
  EXPECT_EQ(gl.draws[0].mode, static_cast<GLenum>(GL_TRIANGLES));
  EXPECT_EQ(gl.draws[0].count, 256 * 6);
  EXPECT_EQ(gl.draws[1].count, 44 * 6);
  EXPECT_EQ(gl.swaps, 1);
  // The quad index list describes two triangles a quad.
  const uint16_t expected[] = {1020, 1021, 1022, 1020, 1022, 1023};
  EXPECT_EQ(0, std::memcmp(&device->quadIndices[255 * 6], expected, sizeof(expected)));
}

TEST_F(GraphicsBatching, TypeAndTextureChangesEndBatches) {
  gxtkSurface* sprite = Sprite(8, 8);
  device->DrawSurface(sprite, 0, 0);
  device->DrawSurface(sprite, 8, 0);
  device->DrawRect(0, 0, 4, 4);
  device->DrawSurface2(sprite, 0, 0, 1, 1, 2, 2);
  device->DrawLine(0, 0, 5, 5);
  device->DrawPoint(1, 1);
  device->EndRender();
  ASSERT_EQ(gl.draws.size(), 5u);
  EXPECT_EQ(gl.draws[0].texture, sprite->texture);
  EXPECT_EQ(gl.draws[0].count, 12);
  EXPECT_EQ(gl.draws[1].texture, 0u);
  EXPECT_EQ(gl.draws[2].texture, sprite->texture);
  EXPECT_EQ(gl.draws[3].mode, static_cast<GLenum>(GL_LINES));
  EXPECT_EQ(gl.draws[4].mode, static_cast<GLenum>(GL_POINTS));
  // Texturing is on only for the textured batches.
  EXPECT_FALSE(gl.texturing);
}

TEST_F(GraphicsBatching, SettingTheStateInForceKeepsTheBatch) {
  for (int i = 0; i < 2000; ++i) {
    device->SetBlend(0);
    device->SetScissor(0, 0, 640, 480);
    device->SetColor(i % 256, 0, 0);
    device->SetMatrix(1, 0, 0, 1, i, 0);
    device->DrawRect(0, 0, 2, 2);
  }
  device->EndRender();
  EXPECT_EQ(gl.draws.size(), 8u);
  // BeginRender set the premultiplied blend itself; the first full-window scissor is applied
  // once because BeginRender forgets what the scissor was.
  EXPECT_EQ(gl.blends.size(), 1u);
  EXPECT_EQ(gl.scissorDisables, 1);
  EXPECT_TRUE(gl.scissors.empty());
}

TEST_F(GraphicsBatching, RealBlendAndScissorChangesFlush) {
  device->DrawRect(0, 0, 1, 1);
  device->SetBlend(1);
  device->DrawRect(0, 0, 1, 1);
  device->SetBlend(1);
  device->SetScissor(10, 20, 100, 50);
  device->DrawRect(0, 0, 1, 1);
  device->SetScissor(10, 20, 100, 50);
  device->SetBlend(7);  // any value but 1 is alpha blending
  device->EndRender();
  EXPECT_EQ(gl.draws.size(), 3u);
  ASSERT_EQ(gl.blends.size(), 3u);
  EXPECT_EQ(gl.blends[1], static_cast<GLenum>(GL_ONE));
  EXPECT_EQ(gl.blends[2], static_cast<GLenum>(GL_ONE_MINUS_SRC_ALPHA));
  ASSERT_EQ(gl.scissors.size(), 1u);
  EXPECT_EQ(gl.scissors[0], (std::vector<GLint>{10, 480 - 20 - 50, 100, 50}));
  // A new frame resets OpenGL's blend, so asking for additive again must reach OpenGL.
  device->BeginRender();
  device->SetBlend(1);
  EXPECT_EQ(gl.blends.back(), static_cast<GLenum>(GL_ONE));
  EXPECT_EQ(gl.blends.size(), 5u);
}

TEST_F(GraphicsBatching, OvalSegmentCountsAndPointsRunCounterClockwiseFromTheRight) {
  const float infinity = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  const float sizes[][3] = {{4, 4, 12},           {100, 100, 100},     {1000, 1000, 1000},
                            {30, 11, 20},         {14, 14, 12},        {-100, 100, 100},
                            {1e30f, 1e30f, 1024}, {infinity, 4, 1024}, {nan, nan, 12}};
  for (const auto& [w, h, segments] : sizes) EXPECT_EQ(OvalSegments(w, h), segments) << w;
  // A scale of 3 makes a 40-wide circle's radius vectors 60 long each.
  device->SetMatrix(3, 0, 0, 3, 0, 0);
  EXPECT_EQ(OvalSegments(40, 40), 120);
  device->SetMatrix(1e30f, 0, 0, 1e30f, 0, 0);
  EXPECT_EQ(OvalSegments(40, 40), 1024);

  device->SetMatrix(1, 0, 0, 1, 100, 50);
  device->DrawOval(10, 20, 100, 100);
  ASSERT_EQ(device->primCount, 100);
  EXPECT_FLOAT_EQ(device->vertices[0].x, 100 + 110);
  EXPECT_FLOAT_EQ(device->vertices[0].y, 50 + 70);
  EXPECT_NEAR(device->vertices[25].x, 100 + 60, 1e-3);
  EXPECT_NEAR(device->vertices[25].y, 50 + 20, 1e-3);
  device->EndRender();
  ASSERT_EQ(gl.draws.size(), 1u);
  EXPECT_EQ(gl.draws[0].mode, static_cast<GLenum>(GL_TRIANGLE_FAN));
}

TEST_F(GraphicsBatching, PolygonsBatchByVertexCountAndTexturedOnesUseTexelScales) {
  float pentagon[10] = {0, 0, 4, 0, 5, 3, 2, 5, -1, 3};
  Array<float> five(pentagon, 10);
  device->DrawPoly(five);
  device->DrawPoly(five);
  device->DrawPoly(Array<float>(pentagon, 2));  // one vertex: a point
  device->DrawPoly(Array<float>(pentagon, 3));  // still one vertex
  device->DrawPoly(Array<float>(2 * 1026));     // too many: nothing
  device->DrawPoly(Array<float>());             // too few: nothing
  device->EndRender();
  ASSERT_EQ(gl.draws.size(), 3u);
  EXPECT_EQ(gl.draws[0].mode, static_cast<GLenum>(GL_TRIANGLE_FAN));
  EXPECT_EQ(gl.draws[1].first, 5);
  EXPECT_EQ(gl.draws[1].count, 5);
  EXPECT_EQ(gl.draws[2].mode, static_cast<GLenum>(GL_POINTS));
  EXPECT_EQ(gl.draws[2].count, 2);

  // A textured polygon takes its texture coordinates through the texel scales.
  gl.draws.clear();
  device->BeginRender();
  gxtkSurface* sprite = Sprite(16, 32);
  float quad[16] = {0, 0, 0, 0, 10, 0, 8, 0, 10, 10, 8, 8, 0, 10, 0, 8};
  device->DrawPoly2(Array<float>(quad, 16), sprite, 4, 2);
  EXPECT_EQ(device->primType, 4);
  EXPECT_FLOAT_EQ(device->vertices[2].u, 12.0f / 16);
  EXPECT_FLOAT_EQ(device->vertices[2].v, 10.0f / 32);
  device->DrawPoly2(Array<float>(quad, 16), nullptr, 0, 0);
  device->DrawSurface(nullptr, 0, 0);
  device->EndRender();
  ASSERT_EQ(gl.draws.size(), 1u);
  EXPECT_EQ(gl.draws[0].texture, sprite->texture);
}

TEST_F(GraphicsBatching, ColourIsPremultipliedAndClamped) {
  device->SetColor(255, 255, 255);
  device->SetAlpha(0.5f);
  EXPECT_EQ(device->color, 0x7f7f7f7fu);
  device->SetColor(255, 128, 0);
  device->SetAlpha(1);
  EXPECT_EQ(device->color, 0xff0080ffu);
  device->SetAlpha(-1);
  EXPECT_EQ(device->color, 0u);
  device->SetAlpha(2);
  device->SetColor(300, -5, std::nanf(""));
  EXPECT_EQ(device->color, 0xff0000ffu);
  // Every vertex keeps the colour current when its primitive was drawn.
  device->DrawRect(0, 0, 1, 1);
  device->SetColor(0, 0, 255);
  device->DrawRect(0, 0, 1, 1);
  EXPECT_EQ(device->vertices[3].color, 0xff0000ffu);
  EXPECT_EQ(device->vertices[4].color, 0xffff0000u);
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
  EXPECT_EQ(static_cast<unsigned>(small[3]), WindowPattern(0, 479));
  EXPECT_EQ(static_cast<unsigned>(small[4]), WindowPattern(1, 479));
  device->ReadPixels(small, 0, 0, 2, 2, -3, -100000);
  device->ReadPixels(small, 0, 0, 640, 480, 2000000000, 2000000000);
  device->ReadPixels(small, 0, 0, 2000000000, 2000000000, 0, 1);
  device->ReadPixels(small, 0, 0, 4, 0, 0, 4);

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
  device->WritePixels2(target, pixels, 0, 0, 8, 8, 20, 1);
  device->WritePixels2(nullptr, pixels, 0, 0, 8, 8, 0, 8);
  EXPECT_EQ(gl.uploads.size(), 1u);
}

}  // namespace
