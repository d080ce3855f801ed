// Fuzz target for the image loading path: the bytes go through the host's loader (file open,
// decoding with the file's own channel count) and then into a surface's premultiplication,
// with no OpenGL context (glfwGraphicsSeq stays 0, so Bind does nothing).

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

// <sys/mman.h> for memfd_create: the input becomes a file the loader opens by name.
#include <sys/mman.h>

#include "devices/surface.h"
#include "host/glfw_game.h"
#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Public functions

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static NxGlfwGame host;
  static const std::string path = "/proc/self/fd/" + std::to_string(memfd_create("image", 0));
  // Opening the file by its name again truncates it, so each input starts afresh.
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);

  int width = 0, height = 0, depth = 0;
  unsigned char* pixels = host.LoadImageData(String(path.c_str()), &width, &height, &depth);
  if (pixels != nullptr) {
    gxtkSurface* surface = gc_new<gxtkSurface>();
    surface->SetData(pixels, width, height, depth);
    surface->Bind();
    surface->Discard();
  }
  gc_collect();
  return 0;
}
