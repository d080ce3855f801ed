// The body the sound loader fuzz targets share: the input becomes an open read-only file, the
// way the host hands a loader a sound file; any memory fault, leak or undefined behaviour is a
// finding.
#pragma once

// <cstdio> for fmemopen; <cstdlib> to free the block a successful load returns.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using SampleLoader = unsigned char* (*)(FILE*, int*, int*, int*, int*);

inline int FuzzSampleLoader(SampleLoader loader, const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // fmemopen does not write through a read-only stream, so the input stays untouched.
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (file == nullptr) return 0;
  int length = 0, channels = 0, format = 0, hertz = 0;
  std::free(loader(file, &length, &channels, &format, &hertz));
  std::fclose(file);
  return 0;
}
