// Surfaces: premultiplication, lazy textures per context, the power-of-two retry, partial
// updates and the release of textures and pixel copies, through a recording OpenGL table.

#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <vector>

#include "devices/graphics.h"
#include "devices/surface.h"
#include "host/glfw_game.h"
#include "graphics_recorder.h"

namespace {

class SurfaceTexture : public ::testing::Test {
 protected:
  GLRecorder gl;

  void SetUp() override { glfwGraphicsSeq = 1; }
  void TearDown() override { glfwGraphicsSeq = 0; }

  static unsigned char* Pixels(std::initializer_list<int> bytes) {
    unsigned char* data = static_cast<unsigned char*>(std::malloc(bytes.size()));
    int i = 0;
    for (int byte : bytes) data[i++] = static_cast<unsigned char>(byte);
    return data;
  }
};

TEST_F(SurfaceTexture, PixelsArePremultipliedByDepth) {
  struct Case {
    int depth;
    GLenum format;
    std::vector<int> in, out;  // one or two pixels
  };
  for (const Case& c :
       {Case{4, GL_RGBA, {255, 128, 0, 128, 200, 100, 50, 0}, {128, 64, 0, 128, 0, 0, 0, 0}},
        Case{2, GL_LUMINANCE_ALPHA, {200, 51}, {40, 51}}, Case{3, GL_RGB, {9, 8, 7}, {9, 8, 7}},
        Case{1, GL_LUMINANCE, {9}, {9}}}) {
    gxtkSurface* surface = gc_new<gxtkSurface>();
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(c.in.size()));
    std::copy(c.in.begin(), c.in.end(), pixels);
    surface->SetData(pixels, static_cast<int>(c.in.size()) / c.depth, 1, c.depth);
    EXPECT_EQ(surface->format, static_cast<unsigned>(c.format)) << c.depth;
    EXPECT_EQ(std::vector<int>(surface->data, surface->data + c.out.size()), c.out) << c.depth;
  }
}

TEST_F(SurfaceTexture, RefusedSizeIsRetriedAtPowersOfTwo) {
  gxtkSurface* any = gc_new<gxtkSurface>();
  any->SetData(static_cast<unsigned char*>(std::calloc(100 * 60, 4)), 100, 60, 4);
  any->Bind();
  EXPECT_FLOAT_EQ(any->uScale, 1.0f / 100);

  gl.refuseNonPowerOfTwo = true;
  gxtkSurface* old = gc_new<gxtkSurface>();
  old->SetData(static_cast<unsigned char*>(std::calloc(100 * 60, 4)), 100, 60, 4);
  old->Bind();
  EXPECT_EQ(gl.allocatedWidth, 128);
  EXPECT_EQ(gl.allocatedHeight, 64);
  // The image fills the top-left corner, and a whole drawing of it reaches just that corner.
  ASSERT_FALSE(gl.uploads.empty());
  EXPECT_EQ(gl.uploads.back().width, 100);
  EXPECT_EQ(gl.uploads.back().height, 60);
  gxtkGraphics* device = gc_new<gxtkGraphics>();
  device->BeginRender();
  device->DrawSurface(old, 0, 0);
  EXPECT_FLOAT_EQ(device->vertices[2].u, 100.0f / 128);
  EXPECT_FLOAT_EQ(device->vertices[2].v, 60.0f / 64);
}

TEST_F(SurfaceTexture, NewContextMakesTheTextureAgainFromTheCopyAndNoContextNone) {
  gxtkSurface* surface = gc_new<gxtkSurface>();
  surface->SetData(Pixels({10, 20, 30, 255}), 1, 1, 4);
  surface->Bind();
  surface->Bind();
  GLuint first = surface->texture;
  EXPECT_EQ(gl.uploads.size(), 1u);

  glfwGraphicsSeq = 2;
  surface->Bind();
  EXPECT_NE(surface->texture, first);
  ASSERT_EQ(gl.uploads.size(), 2u);
  EXPECT_EQ(gl.uploads[1].bytes, (std::vector<unsigned char>{10, 20, 30, 255}));
  // The old context took its texture with it: nothing of it is deleted.
  EXPECT_TRUE(gl.deleted.empty());
  GLuint second = surface->texture;
  surface->Discard();
  EXPECT_EQ(gl.deleted, std::vector<GLuint>{second});
  EXPECT_EQ(surface->data, nullptr);
  EXPECT_EQ(surface->seq, -1);

  // Without a context nothing reaches OpenGL.
  glfwGraphicsSeq = 0;
  GLuint next = gl.nextTexture;
  surface->SetData(Pixels({1, 2, 3, 4}), 1, 1, 4);
  surface->Bind();
  EXPECT_EQ(surface->seq, -1);
  EXPECT_EQ(gl.nextTexture, next);
  surface->Discard();
  EXPECT_EQ(gl.deleted, std::vector<GLuint>{second});
}

TEST_F(SurfaceTexture, SubDataUploadsWholeWidthAtOnceOtherwiseRowByRowAndLoadingReplaces) {
  gxtkGraphics* device = gc_new<gxtkGraphics>();
  gxtkSurface* surface = device->CreateSurface(4, 3);
  EXPECT_EQ(surface->data, nullptr);
  const unsigned int argb[] = {0x80ff8000u, 0xffffffffu, 0x00ffffffu, 0x01020304u,
                               0xff010203u, 0xff040506u, 0xff070809u, 0xff0a0b0cu};
  surface->SetSubData(0, 1, 4, 2, argb, 4);
  ASSERT_EQ(gl.uploads.size(), 1u);
  EXPECT_EQ(gl.uploads[0].height, 2);
  EXPECT_EQ(gl.uploads[0].bytes, (std::vector<unsigned char>{128, 64, 0, 128}));
  EXPECT_EQ(surface->data[(1 * 4 + 2) * 4 + 3], 0);
  EXPECT_EQ(surface->data[(1 * 4 + 2) * 4 + 0], 0);

  gl.uploads.clear();
  surface->SetSubData(1, 0, 2, 3, argb, 2);
  ASSERT_EQ(gl.uploads.size(), 3u);
  EXPECT_EQ((std::vector<int>{gl.uploads[2].x, gl.uploads[2].y, gl.uploads[2].width}),
            (std::vector<int>{1, 2, 2}));

  // Only RGBA surfaces take part, and nothing outside the surface is written.
  gl.uploads.clear();
  surface->SetSubData(-2, -2, 3, 3, argb, 2);
  EXPECT_EQ(surface->data[0], 7);
  surface->SetSubData(4, 0, 5, 5, argb, 1);
  EXPECT_EQ(gl.uploads.size(), 1u);
  gxtkSurface* rgb = gc_new<gxtkSurface>();
  rgb->SetData(Pixels({1, 2, 3}), 1, 1, 3);

  // Loading into a surface that already shows an image must show the new one.
  rgb->Bind();
  GLuint old = rgb->texture;
  rgb->SetData(Pixels({7, 8, 9, 255}), 1, 1, 4);
  EXPECT_EQ(gl.deleted, std::vector<GLuint>{old});
  rgb->Bind();
  EXPECT_EQ(gl.uploads.back().bytes, (std::vector<unsigned char>{7, 8, 9, 255}));
}

TEST_F(SurfaceTexture, UnreachableReloadedSurfacesAreDestroyed) {
  // A window change reloads every image; the copies of the old surfaces must not pile up.
  const int reloads = 60;
  for (int i = 0; i < reloads; ++i) {
    gxtkSurface* surface = gc_new<gxtkSurface>();
    surface->SetData(static_cast<unsigned char*>(std::calloc(512 * 512, 4)), 512, 512, 4);
    surface->Bind();
    gc_collect();
  }
  // Counting only the small surface objects, no collection would ever run here.
  EXPECT_GE(gl.deleted.size(), static_cast<size_t>(reloads / 2));
}

}  // namespace
