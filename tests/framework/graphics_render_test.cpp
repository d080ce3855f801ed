// The graphics context on the real device and OpenGL: a PNG written here is loaded as a
// strip, drawn plainly and turned about its handle, and read back from the window.

#include <gtest/gtest.h>

#include <string>

#include "devices/graphics.h"
#include "framework/graphics.h"
#include "host/glfw_game.h"
#include "support/picture_writer.h"
#include "support/window.h"

namespace {

TEST(GraphicsRender, DrawnFramesReadBackFromTheWindow) {
  // Two frames of 4 x 2, red then green, side by side.
  std::string path = std::string(VEXADROME_BINARY_DIR) + "/graphics_render_strip.png";
  unsigned char png[8 * 2 * 4];
  for (int i = 0; i < 16; ++i) {
    bool red = i % 8 < 4;
    png[i * 4 + 0] = red ? 255 : 0;
    png[i * 4 + 1] = red ? 0 : 255;
    png[i * 4 + 2] = 0;
    png[i * 4 + 3] = 255;
  }
  ASSERT_NE(stbi_write_png(path.c_str(), 8, 2, 4, png, 8 * 4), 0);

  GLFWwindow* window = OpenTestWindow(64, 48);
  ASSERT_NE(window, nullptr);
  NxGlfwGame game;
  nx_graphics_Init();
  gxtkGraphics* device = gc_new<gxtkGraphics>();
  nx_graphics_SetGraphicsDevice(device);

  c_Image* strip = nx_graphics_LoadImage(String(path.c_str()), 2, ImageFlagCentre);
  ASSERT_NE(strip, nullptr);
  ASSERT_EQ(device->BeginRender(), 1);
  nx_graphics_BeginRender();
  nx_graphics_Cls(0, 0, 0);
  // Green frame centred on (12, 11): pixels 10..13 x 10..11.
  nx_graphics_DrawImage(strip, 12, 11, 1);
  // Red frame doubled and turned a quarter about its centre: 4 wide and 8 tall round (30, 20).
  nx_graphics_DrawImage2(strip, 30, 20, 90, 2, 2, 0);
  // The matrix is the identity again: a green rectangle placed by window pixels.
  nx_graphics_SetColor(0, 255, 0);
  nx_graphics_DrawRect(50, 40, 2, 2);
  Array<int> pixels(64 * 48);
  nx_graphics_ReadPixels(pixels, 0, 0, 64, 48, 0, 0);
  nx_graphics_EndRender();
  device->EndRender();
  glfwDestroyWindow(window);
  glfwTerminate();

  auto at = [&](int x, int y) { return pixels[y * 64 + x] & 0xffffff; };
  for (auto [x, y] : {std::pair{10, 10}, {13, 11}, {50, 40}, {51, 41}}) {
    EXPECT_EQ(at(x, y), 0x00ff00) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{30, 16}, {28, 23}, {31, 23}}) {
    EXPECT_EQ(at(x, y), 0xff0000) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{14, 11}, {9, 10}, {30, 15}, {27, 20}, {32, 20}, {52, 41}}) {
    EXPECT_EQ(at(x, y), 0) << x << "," << y;
  }
}

}  // namespace
