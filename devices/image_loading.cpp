// The host's image loader: the file through the host's data paths, its header checked against
// the size limit, then decoded by stb_image with the file's own channel count.

#include "host/glfw_game.h"

// <stb_image.h> without its implementation macro: the decoders are compiled once, with the
// project's format and size limits, in devices/decoders.cpp.
#include <stb_image.h>

#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

// Far beyond any picture of the game (the largest is 2048 pixels a side). A header asking for
// more is broken or hostile, and the decoder would allocate for it before finding that out.
constexpr int nx_image_maxSide = 4096;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

unsigned char* NxGlfwGame::LoadImageData(String path, int* width, int* height, int* depth) {
  FILE* file = OpenFile(path, String(u"rb"));
  if (file == nullptr) return nullptr;
  unsigned char* data = nullptr;
  int headerWidth = 0;
  int headerHeight = 0;
  int headerDepth = 0;
  // The header read leaves the file where it was, so the decoder starts from the beginning.
  if (stbi_info_from_file(file, &headerWidth, &headerHeight, &headerDepth) == 1 &&
      headerWidth <= nx_image_maxSide && headerHeight <= nx_image_maxSide) {
    data = stbi_load_from_file(file, width, height, depth, 0);
  }
  std::fclose(file);
  gc_force_sweep = true;
  return data;
}
