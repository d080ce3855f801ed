// PNG output through stb_image_write, whose encoder is compiled here and nowhere else.

// <cstdlib> for the buffers the encoder frees; zlib because its deflate packs the larger
// sheets about a third smaller than the encoder's own compressor, which keeps the committed
// data folder small.
#include "tools/png_writer.h"

#include <zlib.h>

#include <cstdlib>

#include "tools/output_files.h"

namespace {
// Level 9 saves a few per cent more but triples the generator's run time.
constexpr int kDeflateLevel = 6;
unsigned char* DeflateWithZlib(unsigned char* data, int length, int* outLength, int quality);
}  // namespace

#define STBIW_ZLIB_COMPRESS DeflateWithZlib
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// The encoder frees what this returns with its own STBIW_FREE, which is free().
unsigned char* DeflateWithZlib(unsigned char* data, int length, int* outLength, int) {
  uLongf size = compressBound(static_cast<uLong>(length));
  unsigned char* out = static_cast<unsigned char*>(std::malloc(size));
  if (out == nullptr) return nullptr;
  if (compress2(out, &size, data, static_cast<uLong>(length), kDeflateLevel) != Z_OK) {
    std::free(out);
    return nullptr;
  }
  *outLength = static_cast<int>(size);
  return out;
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
  CreateParentFolders(path);
  // The filter choice is pinned so a library default changing cannot change the bytes (the
  // encoder's compression level is not: zlib's deflate runs at kDeflateLevel).
  stbi_write_force_png_filter = -1;
  if (!stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4)) {
    FailWrite(path, "the encoder failed");
  }
}
