// PNG output through stb_image_write, whose encoder is compiled here and nowhere else.

// <filesystem> to create the parent folders; <cstdio>/<cstdlib> to report a failed write.
#include "tools/png_writer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

[[noreturn]] void FailWrite(const std::string& path, const char* reason) {
  std::fprintf(stderr, "vexadrome_assets: cannot write %s: %s\n", path.c_str(), reason);
  std::exit(1);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

void WritePngFile(const std::string& path, int width, int height,
                  const std::vector<unsigned char>& rgba) {
  if (width <= 0 || height <= 0 ||
      rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
    FailWrite(path, "pixel buffer does not match the picture size");
  }
  std::filesystem::path file(path);
  if (file.has_parent_path()) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) FailWrite(path, error.message().c_str());
  }
  // The encoder's settings are pinned so a library default changing cannot change the bytes.
  stbi_write_png_compression_level = 8;
  stbi_write_force_png_filter = -1;
  if (!stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4)) {
    FailWrite(path, "the encoder failed");
  }
}
