// Feeds arbitrary bytes to the WAVE loader as an open file.

#include "devices/sample_loading.h"
#include "fuzz/sample_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzSampleLoader(LoadWAV, data, size);
}
