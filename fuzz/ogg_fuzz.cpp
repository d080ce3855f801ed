// Feeds arbitrary bytes to the Ogg Vorbis loader as an open file, the way the host hands it a
// sound file; any memory fault, leak or undefined behaviour is a finding.

// <cstdio> for fmemopen; <cstdlib> to free the block a successful load returns.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "devices/sample_loading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // fmemopen does not write through a read-only stream, so the input stays untouched.
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (file == nullptr) return 0;
  int length = 0;
  int channels = 0;
  int format = 0;
  int hertz = 0;
  std::free(LoadOGG(file, &length, &channels, &format, &hertz));
  std::fclose(file);
  return 0;
}
