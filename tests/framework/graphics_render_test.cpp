// The graphics context on the real device and OpenGL: a PNG written here is loaded as a
// strip, drawn plainly and turned about its handle, and read back from the window.

#include <GLFW/glfw3.h>

#include <gtest/gtest.h>

// The writer is header-only; its implementation lives in this test alone, and its own
// warnings are not ours.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <string>

#include "devices/graphics.h"
#include "framework/graphics.h"
#include "host/glfw_game.h"

namespace {

constexpr int WindowWidth = 64;
constexpr int WindowHeight = 48;
constexpr int Red = 0xff0000;
constexpr int Green = 0x00ff00;
constexpr int Black = 0x000000;

// Two frames of 4 x 2, red then green, side by side.
std::string WriteStrip() {
  std::string path = std::string(VEXADROME_BINARY_DIR) + "/graphics_render_strip.png";
  unsigned char pixels[8 * 2 * 4];
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 8; ++x) {
      unsigned char* pixel = &pixels[(y * 8 + x) * 4];
      pixel[0] = x < 4 ? 255 : 0;
      pixel[1] = x < 4 ? 0 : 255;
      pixel[2] = 0;
      pixel[3] = 255;
    }
  }
  stbi_write_png(path.c_str(), 8, 2, 4, pixels, 8 * 4);
  return path;
}

class GraphicsRender : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(glfwInit(), GLFW_TRUE);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 1);
    glfwWindowHint(GLFW_RED_BITS, 8);
    glfwWindowHint(GLFW_GREEN_BITS, 8);
    glfwWindowHint(GLFW_BLUE_BITS, 8);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    window_ = glfwCreateWindow(WindowWidth, WindowHeight, "graphics render", nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    glfwMakeContextCurrent(window_);
    ++glfwGraphicsSeq;
    nx_graphics_Init();
    device_ = gc_new<gxtkGraphics>();
    nx_graphics_SetGraphicsDevice(device_);
  }
  void TearDown() override {
    if (window_ != nullptr) glfwDestroyWindow(window_);
    glfwTerminate();
  }

  NxGlfwGame game_;
  GLFWwindow* window_ = nullptr;
  gxtkGraphics* device_ = nullptr;
};

TEST_F(GraphicsRender, DrawnFramesReadBackFromTheWindow) {
  c_Image* strip = nx_graphics_LoadImage(String(WriteStrip().c_str()), 2, ImageFlagCentre);
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(nx_graphics_DeviceWidth(), WindowWidth);
  EXPECT_EQ(nx_graphics_DeviceHeight(), WindowHeight);

  ASSERT_EQ(device_->BeginRender(), 1);
  nx_graphics_BeginRender();
  nx_graphics_Cls(0, 0, 0);
  // Green frame with its centre at (12, 11): pixels 10..13 x 10..11.
  nx_graphics_DrawImage(strip, 12, 11, 1);
  // Red frame doubled and turned a quarter about its centre: 4 wide and 8 tall round (30, 20).
  nx_graphics_DrawImage2(strip, 30, 20, 90, 2, 2, 0);
  // Back to the identity: a rectangle placed by window pixels.
  nx_graphics_SetColor(0, 255, 0);
  nx_graphics_DrawRect(50, 40, 2, 2);

  Array<int> pixels(WindowWidth * WindowHeight);
  nx_graphics_ReadPixels(pixels, 0, 0, WindowWidth, WindowHeight, 0, 0);
  nx_graphics_EndRender();
  device_->EndRender();

  auto at = [&](int x, int y) { return pixels[y * WindowWidth + x] & 0xffffff; };
  EXPECT_EQ(at(10, 10), Green);
  EXPECT_EQ(at(13, 11), Green);
  EXPECT_EQ(at(14, 11), Black);
  EXPECT_EQ(at(9, 10), Black);
  EXPECT_EQ(at(30, 16), Red);
  EXPECT_EQ(at(28, 23), Red);
  EXPECT_EQ(at(31, 23), Red);
  EXPECT_EQ(at(30, 15), Black);
  EXPECT_EQ(at(27, 20), Black);
  EXPECT_EQ(at(32, 20), Black);
  EXPECT_EQ(at(51, 41), Green);
  EXPECT_EQ(at(52, 41), Black);
}

}  // namespace
