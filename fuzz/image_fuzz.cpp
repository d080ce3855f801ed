// Fuzz target for the image loading path: the bytes go through the host's loader (file open,
// decoding with the file's own channel count) and then into a surface's premultiplication,
// with no OpenGL context (glfwGraphicsSeq stays 0, so Bind does nothing).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// <sys/mman.h> for memfd_create: the input becomes a file the loader opens by name.
#include <sys/mman.h>
#include <unistd.h>

#include "devices/surface.h"
#include "host/glfw_game.h"
#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

int nx_imagefuzz_fd = -1;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static NxGlfwGame host;
  if (nx_imagefuzz_fd < 0) nx_imagefuzz_fd = memfd_create("image_fuzz", 0);
  if (nx_imagefuzz_fd < 0) return 0;
  if (ftruncate(nx_imagefuzz_fd, 0) != 0) return 0;
  size_t written = 0;
  while (written < size) {
    ssize_t step =
        pwrite(nx_imagefuzz_fd, data + written, size - written, static_cast<off_t>(written));
    if (step <= 0) return 0;
    written += static_cast<size_t>(step);
  }
  std::string path = "/proc/self/fd/" + std::to_string(nx_imagefuzz_fd);

  int width = 0;
  int height = 0;
  int depth = 0;
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
