// Fuzzes the text decoder the state file is read with. Besides surviving any bytes, a clean
// UTF-8 decode without a byte-order mark must encode back to exactly the same bytes, or a
// load-save cycle would silently change the player's saved state.

// <cstdlib> for abort, which the fuzzer reports as a finding.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  String text = String::Load(data, static_cast<int>(size));
  std::vector<unsigned char> encoded;
  text.Save(encoded);

  bool has_mark = size >= 2 && ((data[0] == 0xFE && data[1] == 0xFF) ||
                                (data[0] == 0xFF && data[1] == 0xFE) ||
                                (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF));
  if (_str_load_err == nullptr && !has_mark) {
    if (encoded.size() != size || (size > 0 && std::memcmp(encoded.data(), data, size) != 0)) {
      std::abort();
    }
  }
  if (_str_load_err != nullptr && text.Length() != static_cast<int>(size)) std::abort();
  return 0;
}
