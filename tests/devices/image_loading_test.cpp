// The host's image loader: pictures decode with their own channel count, a header that asks
// for more than 4096 pixels a side is refused before the decoder allocates for it, and no
// stated length makes the decoder allocate what the file cannot back.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "host/glfw_game.h"

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

uint32_t Crc(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string BigEndian(uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
          static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::string Chunk(const std::string& type, const std::string& data) {
  return BigEndian(static_cast<uint32_t>(data.size())) + type + data + BigEndian(Crc(type + data));
}

// A valid grey PNG of the given size, every pixel `shade`, its pixels in one stored (not
// compressed) deflate block, which holds up to 65535 bytes.
std::string GreyPng(int width, int height, unsigned char shade) {
  std::string raw;
  for (int row = 0; row < height; ++row) {
    raw.push_back(0);  // no filter
    raw.append(static_cast<size_t>(width), static_cast<char>(shade));
  }
  uint32_t a = 1;
  uint32_t b = 0;
  for (unsigned char byte : raw) {
    a = (a + byte) % 65521u;
    b = (b + a) % 65521u;
  }
  auto size = static_cast<uint16_t>(raw.size());
  std::string deflate = std::string("\x78\x01\x01", 3) + static_cast<char>(size & 0xFF) +
                        static_cast<char>(size >> 8) + static_cast<char>(~size & 0xFF) +
                        static_cast<char>((~size >> 8) & 0xFF) + raw + BigEndian(b << 16 | a);
  std::string header = BigEndian(static_cast<uint32_t>(width)) +
                       BigEndian(static_cast<uint32_t>(height)) +
                       std::string("\x08\x00\x00\x00\x00", 5);
  return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", deflate) +
         Chunk("IEND", "");
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
  png.replace(33, 4, BigEndian(0x7FFFFFF0u));
  largestAllocation = 0;
  EXPECT_EQ(Load(png), "refused");
  EXPECT_LT(largestAllocation, size_t{1} << 20);
}

}  // namespace
