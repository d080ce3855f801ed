// The graphics context against a device that records instead of drawing: matrix maths and
// its lazy hand-over, the stack's limits, drawing about the handle, and fonts; and the grab
// walk over an atlas with its error for frames outside the surface.

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "devices/graphics.h"
#include "devices/surface.h"
#include "framework/graphics.h"
#include "framework/image.h"
#include "support/child_process.h"

using ::testing::DoubleNear;
using ::testing::ElementsAre;
using ::testing::Pair;
using Ints = std::vector<int>;

namespace {

gxtkSurface* BlankSurface(int width, int height) {
  gxtkSurface* surface = gc_new<gxtkSurface>();
  surface->width = width;
  surface->height = height;
  return surface;
}

c_Image* Strip(int width, int height, int frames, int flags) {
  return gc_new<c_Image>()->m_new()->p_Init(BlankSurface(width, height), frames, flags);
}

class RecordingDevice : public gxtkGraphics {
 public:
  std::vector<std::pair<std::string, std::vector<double>>> calls;
  std::vector<std::string> loadedPaths;
  int surfaceWidth = 0;  // of the surfaces LoadSurface hands out; 0: the file is missing

  int Width() override { return 640; }
  int Height() override { return 480; }
  gxtkSurface* LoadSurface(String path) override {
    loadedPaths.push_back(path.ToUtf8());
    return surfaceWidth == 0 ? nullptr : BlankSurface(surfaceWidth, 8);
  }
  int SetScissor(int x, int y, int w, int h) override { return Record("Scissor", x, y, w, h); }
  int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) override {
    return Record("Matrix", ix, iy, jx, jy, tx, ty);
  }
  int DrawRect(float x, float y, float w, float h) override { return Record("Rect", x, y, w, h); }
  int DrawOval(float x, float y, float w, float h) override { return Record("Oval", x, y, w, h); }
  int DrawSurface(gxtkSurface*, float x, float y) override { return Record("Surface", x, y); }
  int DrawSurface2(gxtkSurface*, float x, float y, int sx, int sy, int sw, int sh) override {
    return Record("Surface2", x, y, sx, sy, sw, sh);
  }
  int ReadPixels(Array<int>, int x, int y, int w, int h, int offset, int pitch) override {
    return Record("ReadPixels", x, y, w, h, offset, pitch);
  }

  std::vector<double> Last(const std::string& name) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
      if (it->first == name) return it->second;
    return {};
  }
  // Where the matrix last sent puts (x, y).
  std::vector<double> Map(double x, double y) const {
    std::vector<double> m = Last("Matrix");
    if (m.size() != 6) return {};
    return {x * m[0] + y * m[2] + m[4], x * m[1] + y * m[3] + m[5]};
  }
  std::vector<double> MapAfterDraw(double x, double y) {
    nx_graphics_DrawRect(0, 0, 1, 1);
    return Map(x, y);
  }

 private:
  template <class... Values>
  int Record(const char* name, Values... values) {
    calls.push_back({name, {static_cast<double>(values)...}});
    return 0;
  }
};

// A fresh context with a recording device registered, inside a frame.
RecordingDevice* StartRecordingFrame() {
  nx_graphics_Init();
  RecordingDevice* device = gc_new<RecordingDevice>();
  nx_graphics_SetGraphicsDevice(device);
  nx_graphics_BeginRender();
  device->calls.clear();
  return device;
}

TEST(GraphicsContext, TransformsReachTheDeviceOnlyBeforeADrawAndArgumentsAreMadeSafe) {
  RecordingDevice* device = StartRecordingFrame();
  nx_graphics_Translate(10, 20);
  nx_graphics_Scale(2, 2);
  EXPECT_TRUE(device->calls.empty());
  EXPECT_THAT(device->MapAfterDraw(1, 1), ElementsAre(12, 22));
  nx_graphics_DrawEllipse(10, 20, 3, 4);
  EXPECT_EQ(device->calls.size(), 3u) << "one matrix for both draws";
  EXPECT_THAT(device->Last("Oval"), ElementsAre(7, 16, 6, 8));

  nx_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  EXPECT_EQ(nx_graphics_context->m_tformed, 0);

  nx_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  nx_graphics_Rotate(90);
  EXPECT_THAT(device->MapAfterDraw(1, 0), ElementsAre(DoubleNear(0, 1e-6), -1));

  // Scissor and read-back arguments are made safe.
  nx_graphics_SetScissor(1.9f, 2.5f, -3.7f, 1e20f);
  EXPECT_THAT(device->Last("Scissor"), ElementsAre(1, 2, -3, INT_MAX));
  nx_graphics_SetScissor(NAN, -1e20f, INFINITY, 0);
  EXPECT_THAT(device->Last("Scissor"), ElementsAre(0, INT_MIN, INT_MAX, 0));
  nx_graphics_ReadPixels(Array<int>(100), 1, 2, 7, 3, 4, 0);
  EXPECT_THAT(device->Last("ReadPixels"), ElementsAre(1, 2, 7, 3, 4, 7));
}

TEST(GraphicsContext, PopsStayPairedWithPushesPastTheThirtyTwoEntries) {
  StartRecordingFrame();
  c_GraphicsContext* context = nx_graphics_context;
  nx_graphics_Translate(5, 0);
  nx_graphics_PopMatrix();
  EXPECT_EQ(context->m_tx, 5.0f) << "a pop on an empty stack does nothing";
  // Before push n the matrix translates by n; 34 pushes overrun the stack by two.
  for (int n = 0; n < 34; ++n) {
    nx_graphics_SetMatrix(1, 0, 0, 1, float(n), 0);
    nx_graphics_PushMatrix();
  }
  nx_graphics_SetMatrix(1, 0, 0, 1, 99, 0);
  nx_graphics_PopMatrix();
  nx_graphics_PopMatrix();
  EXPECT_EQ(context->m_tx, 99.0f) << "pops of pushes that were not stored restore nothing";
  for (int n = 31; n >= 0; --n) {
    nx_graphics_PopMatrix();
    ASSERT_EQ(context->m_tx, float(n));
  }
  EXPECT_EQ(context->m_matrixSp, 0);
}

TEST(GraphicsContext, DrawImageUsesTheWholeSurfaceOrTheFrameAndDrawImage2TheHandle) {
  RecordingDevice* device = StartRecordingFrame();
  c_Image* whole = Strip(20, 10, 1, 0);
  whole->p_SetHandle(3, 4);
  nx_graphics_DrawImage(whole, 10, 10, 0);
  EXPECT_THAT(device->Last("Surface"), ElementsAre(7, 6));
  c_Image* strip = Strip(20, 10, 2, ImageFlagPadY);
  nx_graphics_DrawImage(strip, 10, 10, 1);
  EXPECT_THAT(device->Last("Surface2"), ElementsAre(10, 10, 10, 1, 10, 8));

  // Frames outside the strip and missing images draw nothing.
  device->calls.clear();
  nx_graphics_DrawImage(strip, 0, 0, 2);
  nx_graphics_DrawImage(strip, 0, 0, -1);
  nx_graphics_DrawImage(nullptr, 0, 0, 0);
  EXPECT_TRUE(device->calls.empty());

  // DrawImage2 turns and scales about the handle and keeps the matrix.
  c_Image* image = Strip(16, 16, 1, ImageFlagCentre);
  nx_graphics_Translate(1000, 0);
  // With the stack full, the caller's matrix must still come back.
  for (int n = 0; n < 32; ++n) nx_graphics_PushMatrix();
  nx_graphics_DrawImage2(image, 100, 50, 90, 2, 2, 0);
  EXPECT_THAT(device->Last("Surface"), ElementsAre(0, 0));
  EXPECT_THAT(device->Map(0, 0), ElementsAre(DoubleNear(1084, 1e-3), DoubleNear(66, 1e-3)));
  EXPECT_THAT(device->MapAfterDraw(0, 0), ElementsAre(1000, 0));
}

TEST(GraphicsContext, LoadingRefusesEmptyStripsAndTheDefaultFontLoadsOnce) {
  RecordingDevice* device = StartRecordingFrame();
  c_GraphicsContext* context = nx_graphics_context;
  device->surfaceWidth = 576;
  EXPECT_EQ(nx_graphics_LoadImage(String(u"a.png"), 0, 0), nullptr);
  EXPECT_TRUE(device->loadedPaths.empty());
  nx_graphics_SetFont(nullptr, 40);
  ASSERT_NE(context->m_font, nullptr);
  EXPECT_EQ(
      (Ints{context->m_font->m_frames.Length(), context->m_font->m_flags, context->m_firstChar}),
      (Ints{96, ImageFlagPadX, 32}));
  nx_graphics_SetFont(nullptr, 32);
  EXPECT_THAT(device->loadedPaths, ElementsAre("zarnik://data/tovu_font.png"));
}

std::vector<std::pair<int, int>> Places(c_Image* image, int count) {
  std::vector<std::pair<int, int>> places;
  for (int i = 0; i < count; ++i)
    places.emplace_back(image->m_frames[i]->m_x, image->m_frames[i]->m_y);
  return places;
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
