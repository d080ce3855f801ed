// WAVE files built in memory, chunk by chunk, for the sound loaders' tests.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

using Bytes = std::vector<unsigned char>;

inline void PutLittleEndian(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A chunk with its tag and size, padded to an even length unless `pad` is false.
inline Bytes Chunk(const char* tag, const Bytes& body, bool pad = true) {
  Bytes out(tag, tag + 4);
  PutLittleEndian(out, static_cast<uint32_t>(body.size()), 4);
  out.insert(out.end(), body.begin(), body.end());
  if (pad && body.size() % 2 == 1) out.push_back(0);
  return out;
}

// A format chunk; `extra` bytes follow the plain PCM fields, as in the extended layouts.
inline Bytes Fmt(int channels, int hertz, int bits, int compression = 1, int extra = 0) {
  Bytes body;
  for (auto [value, bytes] : {std::pair{compression, 2},
                              {channels, 2},
                              {hertz, 4},
                              {hertz * channels * bits / 8, 4},
                              {channels * bits / 8, 2},
                              {bits, 2}}) {
    PutLittleEndian(body, static_cast<uint32_t>(value), bytes);
  }
  body.insert(body.end(), static_cast<size_t>(extra), 0x5A);
  return Chunk("fmt ", body);
}

inline Bytes Riff(const std::vector<Bytes>& chunks) {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  return Chunk("RIFF", body, false);
}
