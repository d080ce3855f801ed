// The device and its surfaces against the real OpenGL of a window under the virtual display:
// what is drawn is read back from the framebuffer.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "devices/graphics.h"
#include "host/glfw_game.h"
#include "support/picture_writer.h"
#include "support/window.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// The test image: a gradient with one half-transparent orange pixel at (3, 2).
std::vector<unsigned char> ImagePixel(int x, int y) {
  if (x == 3 && y == 2) return {255, 128, 0, 128};
  return {static_cast<unsigned char>(x * 2), static_cast<unsigned char>(y * 4), 50, 255};
}

class GraphicsOpenGL : public ::testing::Test {
 protected:
  GLFWwindow* window = nullptr;
  gxtkGraphics* device = nullptr;

  void SetUp() override {
    OpenWindow();
    if (window == nullptr) GTEST_SKIP() << "no display or no OpenGL window";
    device = gc_new<gxtkGraphics>();
    StartFrame();
  }
  void TearDown() override {
    if (window != nullptr) glfwDestroyWindow(window);
    glfwGraphicsSeq = 0;
  }

  // A new window is a new OpenGL context, exactly as when the game switches to fullscreen.
  void OpenWindow() {
    if (window != nullptr) glfwDestroyWindow(window);
    window = OpenTestWindow(kWidth, kHeight);
  }

  void StartFrame() {
    device->BeginRender();
    device->SetMatrix(1, 0, 0, 1, 0, 0);
    device->SetColor(255, 255, 255);
    device->SetAlpha(1);
    device->SetBlend(0);
    device->Cls(0, 0, 0);
  }

  unsigned Pixel(int x, int y) {
    Array<int> value(1);
    device->ReadPixels(value, x, y, 1, 1, 0, 1);
    return static_cast<unsigned>(value[0]);
  }
};

TEST_F(GraphicsOpenGL, PrimitivesBlendingScissorAndReadBack) {
  EXPECT_EQ(device->Width(), kWidth);
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
  EXPECT_EQ(static_cast<unsigned>(block[0]), 0xffff0000u);
  EXPECT_EQ(static_cast<unsigned>(block[2 * 4 + 3]), 0xffff0000u);
  EXPECT_EQ(static_cast<unsigned>(block[3 * 4]), 0xff000000u);
  EXPECT_EQ(Pixel(60, 20), 0xff7f7f7fu);
  EXPECT_EQ(Pixel(110, 20), 0xfffe0000u);

  // A clear throws away what was not drawn yet, and honours the scissor.
  device->SetAlpha(1);
  device->DrawRect(0, 60, 40, 40);
  device->Cls(0, 0, 255);
  EXPECT_EQ(Pixel(10, 70), 0xff0000ffu);
  device->SetScissor(0, 0, 20, 20);
  device->SetColor(255, 255, 255);
  device->DrawRect(0, 0, kWidth, kHeight);
  device->SetScissor(0, 0, kWidth, kHeight);
  EXPECT_EQ(Pixel(10, 10), 0xffffffffu);
  EXPECT_EQ(Pixel(30, 30), 0xff0000ffu);
  device->EndRender();
}

TEST_F(GraphicsOpenGL, LoadedSurfaceIsDrawnAgainInANewContext) {
  const int w = 100;
  const int h = 60;
  std::vector<unsigned char> rgba;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::vector<unsigned char> pixel = ImagePixel(x, y);
      rgba.insert(rgba.end(), pixel.begin(), pixel.end());
    }
  }
  std::string path = std::string(VEXADROME_BINARY_DIR) + "/graphics_opengl_test_image.png";
  ASSERT_NE(stbi_write_png(path.c_str(), w, h, 4, rgba.data(), w * 4), 0);

  NxGlfwGame host;
  EXPECT_EQ(device->LoadSurface(String(u"/nonexistent/image.png")), nullptr);
  gxtkSurface* surface = device->LoadSurface(String(path.c_str()));
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->Width(), w);
  EXPECT_EQ(surface->depth, 4);

  auto expectImage = [&] {
    device->DrawSurface(surface, 10, 20);
    EXPECT_EQ(Pixel(10 + 3, 20 + 2), 0xff804000u);
    EXPECT_EQ(Pixel(10, 20), 0xff000032u);
    EXPECT_EQ(Pixel(10 + 99, 20 + 59), 0xffc6ec32u);
    EXPECT_EQ(Pixel(10 + 100, 20 + 60), 0xff000000u);
    device->DrawSurface2(surface, 0, 0, 50, 30, 4, 4);
    EXPECT_EQ(Pixel(1, 2), 0xff668032u);
  };
  expectImage();
  device->EndRender();

  OpenWindow();
  ASSERT_NE(window, nullptr);
  StartFrame();
  expectImage();
  device->EndRender();
  std::remove(path.c_str());
}

}  // namespace
