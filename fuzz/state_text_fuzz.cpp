// Fuzzes the text decoder the state file is read with. Besides surviving any bytes, whatever
// text it yields must survive a save and a reload unchanged, or a load-save cycle would
// silently change the player's saved state.

// <cstdlib> for abort, which the fuzzer reports as a finding.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "runtime/string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  String text = String::Load(data, static_cast<int>(size));
  if (_str_load_err != nullptr && text.Length() != static_cast<int>(size)) std::abort();

  // A leading U+FEFF is written as a byte-order mark, which a reload skips by design.
  if (text.Length() > 0 && text[0] == 0xFEFF) return 0;
  std::vector<unsigned char> encoded;
  text.Save(encoded);
  String reloaded = String::Load(encoded.data(), static_cast<int>(encoded.size()));
  if (!(reloaded == text)) std::abort();
  return 0;
}
