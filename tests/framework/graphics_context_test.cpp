// The graphics context against a recording device: matrix maths and its lazy hand-over,
// the matrix stack's limits, state forwarding, drawing about the handle, fonts and roots.

#include <climits>
#include <cmath>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/recording_graphics_device.h"
#include "host/game.h"

using ::testing::ElementsAre;
using ::testing::FloatNear;
using ::testing::Pointwise;

namespace {

MATCHER(Near, "") {
  return std::fabs(std::get<0>(arg) - std::get<1>(arg)) < 1e-4f;
}

std::vector<float> MappedAfterDraw(RecordingDevice* device, float x, float y) {
  nx_graphics_DrawRect(0, 0, 1, 1);
  return MapThroughDevice(device, x, y);
}

TEST(GraphicsContext, TransformsApplyToCoordinatesBeforeTheCurrentMatrix) {
  RecordingDevice* device = StartRecordingFrame();
  nx_graphics_Translate(10, 20);
  nx_graphics_Scale(2, 2);
  EXPECT_THAT(MappedAfterDraw(device, 1, 1), ElementsAre(12.0f, 22.0f));

  nx_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  nx_graphics_Scale(2, 2);
  nx_graphics_Translate(10, 20);
  EXPECT_THAT(MappedAfterDraw(device, 1, 1), ElementsAre(22.0f, 42.0f));

  nx_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  nx_graphics_Rotate(90);
  EXPECT_THAT(MappedAfterDraw(device, 1, 0), Pointwise(Near(), {0.0f, -1.0f}));

  float matrix[6] = {0, 1, -1, 0, 5, 6};
  nx_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  nx_graphics_Transform2(Array<float>(matrix, 6));
  EXPECT_THAT(MappedAfterDraw(device, 1, 2), ElementsAre(3.0f, 7.0f));
}

TEST(GraphicsContext, MatrixReachesTheDeviceOnlyWhenChangedAndADrawFollows) {
  RecordingDevice* device = StartRecordingFrame();
  nx_graphics_DrawRect(1, 2, 3, 4);
  nx_graphics_DrawLine(1, 2, 3, 4);
  nx_graphics_DrawEllipse(10, 20, 3, 4);
  EXPECT_THAT(device->Names(), ElementsAre("SetMatrix", "DrawRect", "DrawLine", "DrawOval"));
  EXPECT_THAT(device->Last("DrawOval").values, ElementsAre(7.0f, 16.0f, 6.0f, 8.0f));

  device->calls.clear();
  nx_graphics_Translate(5, 5);
  nx_graphics_Rotate(30);
  nx_graphics_SetColor(1, 2, 3);
  EXPECT_EQ(device->Count("SetMatrix"), 0);
  nx_graphics_DrawRect(0, 0, 1, 1);
  nx_graphics_DrawRect(0, 0, 1, 1);
  EXPECT_EQ(device->Count("SetMatrix"), 1);
  EXPECT_EQ(nx_graphics_context->m_tformed, 1);

  nx_graphics_SetMatrix2(Array<float>(std::vector<float>{1, 0, 0, 1, 0, 0}.data(), 6));
  EXPECT_EQ(nx_graphics_context->m_tformed, 0);
  EXPECT_EQ(nx_graphics_context->m_matDirty, 1);
}

TEST(GraphicsContext, BeginRenderResetsAndSendsTheFrameState) {
  RecordingDevice* device = StartRecordingFrame();
  nx_graphics_SetColor(1, 2, 3);
  nx_graphics_SetAlpha(0.5f);
  nx_graphics_SetBlend(1);
  nx_graphics_Translate(3, 4);
  nx_graphics_PushMatrix();
  nx_graphics_EndRender();
  EXPECT_EQ(nx_graphics_renderDevice, nullptr);

  device->calls.clear();
  nx_graphics_BeginRender();
  EXPECT_EQ(nx_graphics_renderDevice, device);
  EXPECT_THAT(device->Names(), ElementsAre("SetColor", "SetAlpha", "SetBlend", "SetScissor"));
  EXPECT_THAT(device->calls[0].values, ElementsAre(255.0f, 255.0f, 255.0f));
  EXPECT_THAT(device->calls[1].values, ElementsAre(1.0f));
  EXPECT_THAT(device->calls[2].values, ElementsAre(0.0f));
  EXPECT_THAT(device->scissor, ElementsAre(0, 0, 640, 480));
  EXPECT_EQ(nx_graphics_context->m_matrixSp, 0);
  EXPECT_EQ(nx_graphics_context->m_tformed, 0);
  nx_graphics_DrawRect(0, 0, 1, 1);
  EXPECT_THAT(device->Last("SetMatrix").values, ElementsAre(1, 0, 0, 1, 0, 0));
}

TEST(GraphicsContext, ScissorIsTruncatedAndClampedIntoIntegers) {
  RecordingDevice* device = StartRecordingFrame();
  nx_graphics_SetScissor(1.9f, 2.5f, -3.7f, 1e20f);
  EXPECT_THAT(device->scissor, ElementsAre(1, 2, -3, INT_MAX));
  EXPECT_EQ(nx_graphics_context->m_scissor_x, 1.9f);
  nx_graphics_SetScissor(NAN, -1e20f, INFINITY, 0);
  EXPECT_THAT(device->scissor, ElementsAre(0, INT_MIN, INT_MAX, 0));
}

TEST(GraphicsContext, ReadPixelsPitchZeroMeansTheWidth) {
  RecordingDevice* device = StartRecordingFrame();
  Array<int> pixels(100);
  nx_graphics_ReadPixels(pixels, 1, 2, 7, 3, 4, 0);
  EXPECT_THAT(device->Last("ReadPixels").values, ElementsAre(1, 2, 7, 3, 4, 7));
  nx_graphics_ReadPixels(pixels, 1, 2, 7, 3, 4, 9);
  EXPECT_EQ(device->Last("ReadPixels").values[5], 9.0f);
}

TEST(GraphicsContext, PopRestoresPushesAndTheStackStopsAtThirtyTwo) {
  StartRecordingFrame();
  c_GraphicsContext* context = nx_graphics_context;
  nx_graphics_Translate(5, 0);
  nx_graphics_PopMatrix();
  EXPECT_EQ(context->m_matrixSp, 0);
  EXPECT_EQ(context->m_tx, 5.0f) << "a pop on an empty stack does nothing";

  // Before push n the matrix translates by n; 34 pushes overrun the 32 entries by two.
  for (int n = 0; n < 34; ++n) {
    nx_graphics_SetMatrix(1, 0, 0, 1, float(n), 0);
    nx_graphics_PushMatrix();
  }
  nx_graphics_SetMatrix(1, 0, 0, 1, 99, 0);
  EXPECT_EQ(context->m_matrixStack.Length(), 192);

  nx_graphics_PopMatrix();
  nx_graphics_PopMatrix();
  EXPECT_EQ(context->m_tx, 99.0f) << "pops of pushes that were not stored restore nothing";
  for (int n = 31; n >= 0; --n) {
    nx_graphics_PopMatrix();
    ASSERT_EQ(context->m_tx, float(n));
  }
  EXPECT_EQ(context->m_matrixSp, 0);
  nx_graphics_PopMatrix();
  EXPECT_EQ(context->m_tx, 0.0f);
  EXPECT_EQ(context->m_matrixSp, 0);
}

TEST(GraphicsContext, DrawImageUsesTheWholeSurfaceCallOrTheFrameAndSkipsBadFrames) {
  RecordingDevice* device = StartRecordingFrame();
  gxtkSurface* surface = BlankSurface(20, 10);
  c_Image* whole = gc_new<c_Image>()->m_new()->p_Init(surface, 1, 0);
  whole->p_SetHandle(3, 4);
  nx_graphics_DrawImage(whole, 10, 10, 0);
  EXPECT_THAT(device->Last("DrawSurface").values, ElementsAre(7.0f, 6.0f));
  EXPECT_EQ(device->Last("DrawSurface").surface, surface);

  c_Image* strip = gc_new<c_Image>()->m_new()->p_Init(surface, 2, ImageFlagPadY);
  nx_graphics_DrawImage(strip, 10, 10, 1);
  EXPECT_THAT(device->Last("DrawSurface2").values, ElementsAre(10, 10, 10, 1, 10, 8));

  device->calls.clear();
  nx_graphics_Translate(1, 1);
  nx_graphics_DrawImage(strip, 0, 0, 2);
  nx_graphics_DrawImage(strip, 0, 0, -1);
  nx_graphics_DrawImage(nullptr, 0, 0, 0);
  nx_graphics_DrawImage2(strip, 0, 0, 0, 1, 1, 5);
  nx_graphics_DrawImage2(nullptr, 0, 0, 0, 1, 1, 0);
  EXPECT_TRUE(device->calls.empty());
}

TEST(GraphicsContext, DrawImage2TurnsAndScalesAboutTheHandleAndRestoresTheMatrix) {
  RecordingDevice* device = StartRecordingFrame();
  c_Image* image = gc_new<c_Image>()->m_new()->p_Init(BlankSurface(16, 16), 1, ImageFlagCentre);
  nx_graphics_Translate(1000, 0);
  // With the stack full the image's own save must still hold.
  for (int n = 0; n < 32; ++n) nx_graphics_PushMatrix();

  nx_graphics_DrawImage2(image, 100, 50, 90, 2, 2, 0);
  EXPECT_THAT(device->Last("DrawSurface").values, ElementsAre(0.0f, 0.0f));
  EXPECT_THAT(MapThroughDevice(device, 8, 8), Pointwise(Near(), {1100.0f, 50.0f}));
  EXPECT_THAT(MapThroughDevice(device, 0, 0), Pointwise(Near(), {1084.0f, 66.0f}));
  EXPECT_THAT(MapThroughDevice(device, 16, 8), Pointwise(Near(), {1100.0f, 34.0f}));

  nx_graphics_DrawRect(0, 0, 1, 1);
  EXPECT_THAT(device->Last("SetMatrix").values, ElementsAre(1, 0, 0, 1, 1000, 0));
}

TEST(GraphicsContext, LoadImageMapsThePathAndRefusesEmptyStrips) {
  RecordingDevice* device = StartRecordingFrame();
  device->surfaceWidth = 64;
  device->surfaceHeight = 32;
  EXPECT_EQ(nx_graphics_LoadImage(String(u"a.png"), 0, 0), nullptr);
  EXPECT_TRUE(device->loadedPaths.empty());

  c_Image* strip = nx_graphics_LoadImage(String(u"a.png"), 4, 0);
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(device->loadedPaths.back(), nx_data_FixDataPath(String(u"a.png")).ToUtf8());
  EXPECT_EQ(strip->m_width, 16);

  c_Image* atlas = nx_graphics_LoadImage2(String(u"b.png"), 16, 16, 8, ImageFlagCentre);
  ASSERT_NE(atlas, nullptr);
  EXPECT_EQ(atlas->m_frames.Length(), 8);
  EXPECT_EQ(atlas->m_frames[5]->m_y, 16);
  EXPECT_EQ(atlas->m_handleX, 8.0f);
  ASSERT_NE(atlas->m_source, nullptr);
  EXPECT_EQ(atlas->m_surface, atlas->m_source->m_surface);

  device->surfaceWidth = 0;
  EXPECT_EQ(nx_graphics_LoadImage(String(u"missing.png"), 1, 0), nullptr);
  EXPECT_EQ(nx_graphics_LoadImage2(String(u"missing.png"), 16, 16, 8, 0), nullptr);
}

TEST(GraphicsContext, SetFontLoadsTheDefaultFontOnceAndCopesWithoutIt) {
  RecordingDevice* device = StartRecordingFrame();
  c_GraphicsContext* context = nx_graphics_context;
  nx_graphics_SetFont(nullptr, 40);
  EXPECT_EQ(context->m_font, nullptr);
  EXPECT_EQ(context->m_firstChar, 32);
  ASSERT_EQ(device->loadedPaths.size(), 1u);
  EXPECT_THAT(device->loadedPaths[0], ::testing::EndsWith("tovu_font.png"));

  device->surfaceWidth = 576;
  device->surfaceHeight = 8;
  nx_graphics_SetFont(nullptr, 40);
  c_Image* font = context->m_font;
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font, context->m_defaultFont);
  EXPECT_EQ(font->m_frames.Length(), 96);
  EXPECT_EQ(font->m_flags, ImageFlagPadX);
  EXPECT_EQ(context->m_firstChar, 32);

  c_Image* other = gc_new<c_Image>()->m_new()->p_Init(BlankSurface(8, 8), 1, 0);
  nx_graphics_SetFont(other, 65);
  EXPECT_EQ(context->m_font, other);
  EXPECT_EQ(context->m_firstChar, 65);
  nx_graphics_SetFont(nullptr, 65);
  EXPECT_EQ(context->m_font, font);
  EXPECT_EQ(device->loadedPaths.size(), 2u);
}

TEST(GraphicsContext, GlobalsAndWhatTheyHoldSurviveCollection) {
  RecordingDevice* device = StartRecordingFrame();
  device->surfaceWidth = 576;
  device->surfaceHeight = 8;
  nx_graphics_SetFont(nullptr, 32);
  c_GraphicsContext* context = nx_graphics_context;
  c_Image* font = context->m_font;
  gxtkSurface* surface = font->m_surface;
  c_Frame* frame = font->m_frames[95];
  for (int round = 0; round < 3; ++round) gc_collect_all();
  EXPECT_TRUE(gc_is_object(context));
  EXPECT_TRUE(gc_is_object(device));
  EXPECT_TRUE(gc_is_object(font));
  EXPECT_TRUE(gc_is_object(surface));
  EXPECT_TRUE(gc_is_object(frame));
  EXPECT_TRUE(gc_is_object(context->m_matrixStack.Body()));
}

}  // namespace
