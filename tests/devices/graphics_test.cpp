// The graphics device and its surfaces: batching, state changes, limits on what it is given,
// pixel read-back and write and partial uploads, through a recording OpenGL table; then against
// the real OpenGL of a window under the virtual display, and the host's image loader that feeds
// it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "devices/graphics.h"
#include "devices/surface.h"
#include "devices/graphics_recorder.h"
#include "host/glfw_game.h"
#include "support/picture_writer.h"
#include "support/window.h"

// The sanitizers' allocation hook, where the build has one: it shows what the decoder asked
// for even when the allocation succeeded.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*))
    __attribute__((weak));

namespace {

using Ints = std::vector<int>;
using Colours = std::vector<unsigned>;

// A device in a frame, white, opaque and untransformed; the window's pixels read back.
class DeviceTest : public ::testing::Test {
 protected:
  gxtkGraphics* device = nullptr;

  void StartFrame() {
    device->BeginRender();
    device->SetMatrix(1, 0, 0, 1, 0, 0);
    device->SetColor(255, 255, 255);
    device->SetAlpha(1);
    device->SetBlend(0);
  }
  unsigned Pixel(int x, int y) {
    Array<int> value(1);
    device->ReadPixels(value, x, y, 1, 1, 0, 1);
    return static_cast<unsigned>(value[0]);
  }
};

class GraphicsBatching : public DeviceTest {
 protected:
  GLRecorder gl;

  void SetUp() override {
    glfwGraphicsSeq = 1;
    device = gc_new<gxtkGraphics>();
    StartFrame();
  }
  void TearDown() override { glfwGraphicsSeq = 0; }

  // The segment count of the oval just drawn.
  int OvalSegments(float w, float h) {
    device->DrawOval(0, 0, w, h);
    int segments = device->primType;
    device->Cls(0, 0, 0);
    return segments;
  }
};
class SurfaceTexture : public GraphicsBatching {};

// A block of `size` bytes for a surface to take over, starting with `bytes`, zeros after.
unsigned char* Pixels(int size, std::vector<int> bytes = {}) {
  auto* data = static_cast<unsigned char*>(std::calloc(size, 1));
  std::copy(bytes.begin(), bytes.end(), data);
  return data;
}

gxtkSurface* Surface(int width, int height, int depth, std::vector<int> bytes = {}) {
  gxtkSurface* surface = gc_new<gxtkSurface>();
  surface->SetData(Pixels(width * height * depth, bytes), width, height, depth);
  return surface;
}

// A batch holds 256 quads; a change of primitive or texture ends one, while setting the
// state already in force keeps it.
TEST_F(GraphicsBatching, BatchesEndAtTheirSizeAndOnRealChangesOnly) {
  for (int i = 0; i < 300; ++i) device->DrawRect(i, 0, 1, 1);
  gxtkSurface* sprite = Surface(8, 8, 4);
  sprite->Bind();
  device->DrawSurface(sprite, 0, 0);
  device->DrawLine(0, 0, 5, 5);
  for (int i = 0; i < 600; ++i) {
    device->SetBlend(0);
    device->SetScissor(0, 0, 640, 480);
    device->SetColor(i % 256, 0, 0);
    device->DrawRect(0, 0, 2, 2);
  }
  device->EndRender();
  std::vector<Ints> batches;
  for (const RecordedDraw& draw : gl.draws) {
    batches.push_back({static_cast<int>(draw.mode), draw.count, draw.texture == sprite->texture});
  }
  EXPECT_EQ(batches, (std::vector<Ints>{{GL_TRIANGLES, 256 * 6, 0},
                                        {GL_TRIANGLES, 44 * 6, 0},
                                        {GL_TRIANGLES, 6, 1},
                                        {GL_LINES, 2, 0},
                                        {GL_TRIANGLES, 256 * 6, 0},
                                        {GL_TRIANGLES, 256 * 6, 0},
                                        {GL_TRIANGLES, 88 * 6, 0}}));
  // BeginRender set the blend itself and forgot the scissor, so only that reached OpenGL.
  EXPECT_EQ((Ints{gl.swaps, static_cast<int>(gl.blends.size()), gl.scissorDisables}),
            (Ints{1, 1, 1}));

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
  EXPECT_EQ(gl.scissors, (std::vector<Ints>{{10, 480 - 20 - 50, 100, 50}}));
}

// Sizes and scales out of range, infinite or not numbers give a bounded number of segments.
TEST_F(GraphicsBatching, OvalsAndColoursStayInRangeWhateverTheyAreGiven) {
  const float infinity = INFINITY, nan = NAN;
  const float sizes[][3] = {{4, 4, 12}, {100, 100, 100}, {infinity, 4, 1024}, {nan, nan, 12}};
  for (const auto& [w, h, segments] : sizes) EXPECT_EQ(OvalSegments(w, h), segments) << w;
  device->SetMatrix(1e30f, 0, 0, 1e30f, 0, 0);
  EXPECT_EQ(OvalSegments(40, 40), 1024);
  device->SetAlpha(2);
  device->SetColor(300, -5, nan);
  EXPECT_EQ(device->color, 0xff0000ffu);
  device->SetAlpha(-1);
  EXPECT_EQ(device->color, 0u);
}

int WindowPattern(int x, int y) {
  return static_cast<int>(0xff000000u | (y << 12) | x);
}

TEST_F(GraphicsBatching, ReadPixelsFlipsRowsAndClipsAndWritePixelsClips) {
  gl.windowPixel = [](int x, int y) { return static_cast<unsigned>(WindowPattern(x, y)); };
  Array<int> pixels(4 * 3);
  device->ReadPixels(pixels, 10, 20, 4, 3, 0, 4);
  // The top row of the rectangle is window row 480 - 20 - 1 counted from the bottom.
  EXPECT_EQ((Ints{pixels[0], pixels[11]}), (Ints{WindowPattern(10, 459), WindowPattern(13, 457)}));

  // A rectangle hanging over the window's corner reads only what is inside and leaves the
  // rest of the array alone.
  Array<int> corner(3 * 3);
  for (int i = 0; i < 9; ++i) corner[i] = -7;
  device->ReadPixels(corner, -1, -1, 3, 3, 0, 3);
  EXPECT_EQ((Ints{corner[0], corner[3], corner[4], corner[8]}),
            (Ints{-7, -7, WindowPattern(0, 479), WindowPattern(1, 478)}));

  // Offsets and pitches that point outside the array store only the values inside it.
  Array<int> small(5);
  device->ReadPixels(small, 0, 0, 4, 4, 3, 4);
  EXPECT_EQ(small[4], WindowPattern(1, 479));
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
  EXPECT_EQ(gl.uploads[0].area, (Ints{6, 6, 2, 1}));
  EXPECT_EQ(target->data[(7 * 8 + 7) * 4 + 2], 5);
  // Rows whose source values run past the array's end are dropped.
  gl.uploads.clear();
  device->WritePixels2(target, pixels, 0, 0, 8, 8, 0, 4);
  device->WritePixels2(target, pixels, 0, 0, 8, 8, -2000000000, -2000000000);
  device->WritePixels2(nullptr, pixels, 0, 0, 8, 8, 0, 8);
  ASSERT_EQ(gl.uploads.size(), 1u);
  EXPECT_EQ(gl.uploads[0].area, (Ints{0, 0, 8, 3}));
}

TEST_F(SurfaceTexture, SubDataUploadsWholeWidthAtOnceOtherwiseRowByRowAndLoadingReplaces) {
  gxtkSurface* surface = device->CreateSurface(4, 3);
  EXPECT_EQ(surface->data, nullptr);
  const unsigned int argb[] = {0x80ff8000u, 0xffffffffu, 0x00ffffffu, 0x01020304u,
                               0xff010203u, 0xff040506u, 0xff070809u, 0xff0a0b0cu};
  surface->SetSubData(0, 1, 4, 2, argb, 4);
  ASSERT_EQ(gl.uploads.size(), 1u);
  EXPECT_EQ(gl.uploads[0].area, (Ints{0, 1, 4, 2}));
  EXPECT_EQ(gl.uploads[0].bytes, (std::vector<unsigned char>{128, 64, 0, 128}));
  EXPECT_EQ((Ints{surface->data[(1 * 4 + 2) * 4 + 3], surface->data[(1 * 4 + 2) * 4]}),
            (Ints{0, 0}));

  gl.uploads.clear();
  surface->SetSubData(1, 0, 2, 3, argb, 2);
  ASSERT_EQ(gl.uploads.size(), 3u);
  EXPECT_EQ(gl.uploads[2].area, (Ints{1, 2, 2, 1}));

  // Only RGBA surfaces take part, and nothing outside the surface is written.
  gl.uploads.clear();
  surface->SetSubData(-2, -2, 3, 3, argb, 2);
  EXPECT_EQ(surface->data[0], 7);
  surface->SetSubData(4, 0, 5, 5, argb, 1);
  EXPECT_EQ(gl.uploads.size(), 1u);

  // Loading into a surface that already shows an image must show the new one.
  gxtkSurface* rgb = Surface(1, 1, 3, {1, 2, 3});
  rgb->Bind();
  GLuint old = rgb->texture;
  rgb->SetData(Pixels(4, {7, 8, 9, 255}), 1, 1, 4);
  EXPECT_EQ(gl.deleted, std::vector<GLuint>{old});
  rgb->Bind();
  EXPECT_EQ(gl.uploads.back().bytes, (std::vector<unsigned char>{7, 8, 9, 255}));

  // A window change reloads every image; the copies of the old surfaces must not pile up.
  // Counting only the small surface objects, no collection would ever run here.
  gl.deleted.clear();
  for (int i = 0; i < 60; ++i) {
    Surface(512, 512, 4)->Bind();
    gc_collect();
  }
  EXPECT_GE(gl.deleted.size(), 30u);
}

// A new window is a new OpenGL context, exactly as when the game switches to fullscreen.
class GraphicsOpenGL : public DeviceTest {
 protected:
  GLFWwindow* window = nullptr;

  void SetUp() override {
    window = OpenTestWindow(160, 120);
    if (window == nullptr) GTEST_SKIP() << "no display or no OpenGL window";
    device = gc_new<gxtkGraphics>();
    StartFrame();
    device->Cls(0, 0, 0);
  }
  void TearDown() override {
    if (window != nullptr) glfwDestroyWindow(window);
    glfwGraphicsSeq = 0;
  }
};

TEST_F(GraphicsOpenGL, PrimitivesBlendingScissorAndReadBack) {
  EXPECT_EQ(device->Width(), 160);
  device->SetColor(255, 0, 0);
  device->DrawRect(0, 0, 20, 3);
  device->SetColor(255, 255, 255);
  device->SetAlpha(0.5f);
  device->DrawRect(50, 10, 20, 20);
  device->SetColor(255, 0, 0);
  device->SetBlend(1);
  device->DrawOval(100, 10, 20, 20);
  device->DrawOval(100, 10, 20, 20);
  device->SetBlend(0);
  Array<int> block(4 * 4);
  device->ReadPixels(block, 0, 0, 4, 4, 0, 4);
  EXPECT_EQ((Ints{block[0], block[2 * 4 + 3], block[3 * 4]}),
            (Ints{int(0xffff0000u), int(0xffff0000u), int(0xff000000u)}));
  EXPECT_EQ((Colours{Pixel(60, 20), Pixel(110, 20)}), (Colours{0xff7f7f7fu, 0xfffe0000u}));

  // A clear throws away what was not drawn yet, and honours the scissor.
  device->SetAlpha(1);
  device->DrawRect(0, 60, 40, 40);
  device->Cls(0, 0, 255);
  EXPECT_EQ(Pixel(10, 70), 0xff0000ffu);
  device->SetScissor(0, 0, 20, 20);
  device->SetColor(255, 255, 255);
  device->DrawRect(0, 0, 160, 120);
  device->SetScissor(0, 0, 160, 120);
  EXPECT_EQ((Colours{Pixel(10, 10), Pixel(30, 30)}), (Colours{0xffffffffu, 0xff0000ffu}));
  device->EndRender();
}

// A picture written to a scratch file and its path; `channels` bytes a pixel.
std::string WritePng(int width, int height, int channels, const unsigned char* pixels) {
  char path[] = "/tmp/vexadrome-image-XXXXXX";
  int fd = mkstemp(path);
  if (fd >= 0) close(fd);
  stbi_write_png(path, width, height, channels, pixels, width * channels);
  return path;
}

TEST_F(GraphicsOpenGL, LoadedSurfaceIsDrawnAgainInANewContext) {
  // A gradient with one half-transparent orange pixel at (3, 2).
  std::vector<unsigned char> rgba;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 100; ++x)
      rgba.insert(rgba.end(),
                  {static_cast<unsigned char>(x * 2), static_cast<unsigned char>(y * 4), 50, 255});
  }
  std::copy_n("\xff\x80\x00\x80", 4, &rgba[(2 * 100 + 3) * 4]);
  std::string path = WritePng(100, 60, 4, rgba.data());

  NxGlfwGame host;
  EXPECT_EQ(device->LoadSurface(String(u"/nonexistent/image.png")), nullptr);
  gxtkSurface* surface = device->LoadSurface(String(path.c_str()));
  std::remove(path.c_str());
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ((Ints{surface->Width(), surface->depth}), (Ints{100, 4}));
  // Drawn in the first window, then again after a new window brought a new context.
  for (int context = 0; context < 2; ++context) {
    device->DrawSurface(surface, 10, 20);
    EXPECT_EQ((Colours{Pixel(10 + 3, 20 + 2), Pixel(10, 20), Pixel(10 + 99, 20 + 59),
                       Pixel(10 + 100, 20 + 60)}),
              (Colours{0xff804000u, 0xff000032u, 0xffc6ec32u, 0xff000000u}));
    device->DrawSurface2(surface, 0, 0, 50, 30, 4, 4);
    EXPECT_EQ(Pixel(1, 2), 0xff668032u);
    device->EndRender();
    glfwDestroyWindow(window);
    ASSERT_NE(window = OpenTestWindow(160, 120), nullptr);
    StartFrame();
    device->Cls(0, 0, 0);
  }
}

size_t largestAllocation = 0;

// A grey picture of the given size, every pixel `shade`, through the host's loader: the size
// and depth it reported and its last pixel, or "refused". `corrupt` edits the file's bytes.
std::string LoadGrey(int width, int height, unsigned char shade,
                     void (*corrupt)(std::string&) = nullptr) {
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height, shade);
  std::string path = WritePng(width, height, 1, pixels.data());
  if (corrupt != nullptr) {
    std::ifstream in(path, std::ios::binary);
    std::string png{std::istreambuf_iterator<char>(in), {}};
    corrupt(png);
    std::ofstream(path, std::ios::binary) << png;
  }
  NxGlfwGame host;
  int w = 0, h = 0, depth = 0;
  largestAllocation = 0;
  unsigned char* loaded = host.LoadImageData(String(path.c_str()), &w, &h, &depth);
  std::remove(path.c_str());
  if (loaded == nullptr) return "refused";
  std::string result = std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(depth) +
                       " " + std::to_string(loaded[w * h - 1]);
  std::free(loaded);
  return result;
}

// The decoder itself would take all four; past 4096 a side the header alone is enough to
// refuse the picture.
TEST(ImageLoading, PicturesUpTo4096PixelsASideLoadAndLargerOnesAreRefused) {
  EXPECT_EQ(LoadGrey(3, 2, 77), "3x2x1 77");
  EXPECT_EQ(LoadGrey(4096, 2, 9), "4096x2x1 9");
  EXPECT_EQ(LoadGrey(2, 4096, 9), "2x4096x1 9");
  EXPECT_EQ(LoadGrey(4097, 1, 9), "refused");
  EXPECT_EQ(LoadGrey(1, 4097, 9), "refused");
  EXPECT_EQ(LoadGrey(1, 1, 9, [](std::string& png) { png = "not a picture"; }), "refused");
}

// No stated length makes the decoder allocate what the file cannot back.
TEST(ImageLoading, ChunkThatStatesGigabytesCostsNoMoreThanTheFileHolds) {
  if (__sanitizer_install_malloc_and_free_hooks == nullptr) GTEST_SKIP() << "no allocation hook";
  __sanitizer_install_malloc_and_free_hooks(
      [](const volatile void*, size_t size) {
        largestAllocation = std::max(largestAllocation, size);
      },
      [](const volatile void*) {});
  // The picture's data chunk (after the signature and the header chunk) claims 2 GiB.
  EXPECT_EQ(LoadGrey(7, 6, 1, [](std::string& png) { png.replace(33, 4, "\x7F\xFF\xFF\xF0"); }),
            "refused");
  EXPECT_LT(largestAllocation, size_t{1} << 20);
}

}  // namespace
