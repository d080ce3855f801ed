// The host's image loader: the file through the host's data paths, decoded by stb_image with
// the file's own channel count.

#include "host/glfw_game.h"

// <stb_image.h> without its implementation macro: the decoders are compiled once, with the
// project's format and size limits, in devices/decoders.cpp.
#include <stb_image.h>

#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Public functions

unsigned char* NxGlfwGame::LoadImageData(String path, int* width, int* height, int* depth) {
  FILE* file = OpenFile(path, String(u"rb"));
  if (file == nullptr) return nullptr;
  unsigned char* data = stbi_load_from_file(file, width, height, depth, 0);
  std::fclose(file);
  gc_force_sweep = true;
  return data;
}
