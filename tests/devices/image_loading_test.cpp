// The host's image loader: pictures decode with their own channel count, a header that asks
// for more than 4096 pixels a side is refused before the decoder allocates for it, and no
// stated length makes the decoder allocate what the file cannot back.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "host/glfw_game.h"
#include "support/picture_writer.h"

// The sanitizers' allocation hook, where the build has one: it shows what the decoder asked
// for even when the allocation succeeded.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*))
    __attribute__((weak));

namespace {

size_t largestAllocation = 0;

void NoteAllocation(const volatile void*, size_t size) {
  if (size > largestAllocation) largestAllocation = size;
}

void NoteRelease(const volatile void*) {}

// A grey PNG of the given size, every pixel `shade`.
std::string GreyPng(int width, int height, unsigned char shade) {
  std::string png;
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height, shade);
  stbi_write_png_to_func(
      [](void* out, void* data, int size) {
        static_cast<std::string*>(out)->append(static_cast<char*>(data), static_cast<size_t>(size));
      },
      &png, width, height, 1, pixels.data(), width);
  return png;
}

// Writes the picture to a scratch file and loads it; the size and depth the loader reported,
// or "refused".
std::string Load(const std::string& png) {
  char path[] = "/tmp/vexadrome-image-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return "no scratch file";
  close(fd);
  std::ofstream(path, std::ios::binary) << png;
  NxGlfwGame host;
  int width = 0;
  int height = 0;
  int depth = 0;
  unsigned char* pixels = host.LoadImageData(String(path), &width, &height, &depth);
  unlink(path);
  if (pixels == nullptr) return "refused";
  std::string result = std::to_string(width) + "x" + std::to_string(height) + "x" +
                       std::to_string(depth) + " " + std::to_string(pixels[width * height - 1]);
  std::free(pixels);
  return result;
}

// The decoder itself would take all four; past 4096 a side the header alone is enough to
// refuse the picture.
TEST(ImageLoading, PicturesUpTo4096PixelsASideLoadAndLargerOnesAreRefused) {
  EXPECT_EQ(Load(GreyPng(3, 2, 77)), "3x2x1 77");
  EXPECT_EQ(Load(GreyPng(4096, 2, 9)), "4096x2x1 9");
  EXPECT_EQ(Load(GreyPng(2, 4096, 9)), "2x4096x1 9");
  EXPECT_EQ(Load(GreyPng(4097, 1, 9)), "refused");
  EXPECT_EQ(Load(GreyPng(1, 4097, 9)), "refused");
  EXPECT_EQ(Load("not a picture"), "refused");
}

TEST(ImageLoading, ChunkThatStatesGigabytesCostsNoMoreThanTheFileHolds) {
  if (__sanitizer_install_malloc_and_free_hooks == nullptr) GTEST_SKIP() << "no allocation hook";
  __sanitizer_install_malloc_and_free_hooks(NoteAllocation, NoteRelease);
  std::string png = GreyPng(7, 6, 1);
  // The picture's data chunk (after the signature and the header chunk) claims 2 GiB.
  png.replace(33, 4, std::string("\x7F\xFF\xFF\xF0", 4));
  largestAllocation = 0;
  EXPECT_EQ(Load(png), "refused");
  EXPECT_LT(largestAllocation, size_t{1} << 20);
}

}  // namespace
