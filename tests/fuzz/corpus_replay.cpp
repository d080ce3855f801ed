// Replays a fuzz target's checked-in seed corpus through its entry point: every input must be
// handled (null or silence is fine) without a crash or a sanitizer report.

// <filesystem> to walk the corpus folder; <fstream> to read each input whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(FuzzCorpus, EverySeedIsHandled) {
  std::vector<std::filesystem::path> inputs(
      std::filesystem::directory_iterator(VEXADROME_FUZZ_CORPUS), {});
  std::sort(inputs.begin(), inputs.end());
  ASSERT_FALSE(inputs.empty()) << "no seeds in " << VEXADROME_FUZZ_CORPUS;
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.string());
    std::ifstream file(input, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
  }
}
