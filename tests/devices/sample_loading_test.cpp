// The WAVE reader and the Ogg Vorbis front end on in-memory files: accepted layouts, refused
// headers, every truncation, and the decoded shape of real Vorbis streams.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "devices/sample_loading.h"
#include "support/wav_file.h"

namespace {

Bytes Ramp(size_t size) {
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<unsigned char>(i * 7 + 1);
  return out;
}

struct Loaded {
  Bytes data;
  bool ok = false;
  int length = -1, channels = -1, format = -1, hertz = -1;
};

Loaded Load(unsigned char* (*loader)(FILE*, int*, int*, int*, int*), const Bytes& bytes) {
  Loaded result;
  FILE* file = std::tmpfile();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::rewind(file);
  unsigned char* block =
      loader(file, &result.length, &result.channels, &result.format, &result.hertz);
  std::fclose(file);
  result.ok = block != nullptr;
  if (block != nullptr) {
    result.data.assign(block, block + result.length * result.channels * result.format);
    std::free(block);
  }
  return result;
}

Bytes ReadFile(const std::string& relative) {
  std::ifstream in(std::string(VEXADROME_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(LoadWAV, AcceptsPlainAndExtendedLayoutsAndRefusesBadOrCutHeaders) {
  Loaded second = Load(LoadWAV, Riff({Fmt(1, 44100, 16), Chunk("data", Ramp(88200))}));
  ASSERT_TRUE(second.ok);
  EXPECT_EQ(second.length, 44100);
  EXPECT_EQ(second.channels, 1);
  EXPECT_EQ(second.format, 2);
  EXPECT_EQ(second.hertz, 44100);
  EXPECT_EQ(second.data, Ramp(88200));

  // Extended format chunks, and chunks before the data: an odd-sized LIST with its pad byte,
  // and one whose writer left the pad out. 41 bytes of stereo 8-bit are 20 whole frames.
  Bytes pcm = Ramp(41);
  for (const Bytes& file :
       {Riff({Fmt(2, 22050, 8, 1, 24), Chunk("data", pcm)}),
        Riff({Fmt(2, 22050, 8), Chunk("LIST", Ramp(7)), Chunk("data", pcm)}),
        Riff({Fmt(2, 22050, 8), Chunk("LIST", Ramp(7), false), Chunk("data", pcm)})}) {
    Loaded loaded = Load(LoadWAV, file);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.length, 20);
    EXPECT_EQ(loaded.data, Bytes(pcm.begin(), pcm.begin() + 40));
  }
  EXPECT_EQ(Load(LoadWAV, Riff({Fmt(1, 8000, 16), Chunk("data", Bytes())})).length, 0);

  // Bad headers are refused without huge allocations, and so is every truncation.
  pcm = Ramp(16);
  Bytes huge_data = {'d', 'a', 't', 'a', 0xF0, 0xFF, 0xFF, 0x7F};
  Bytes huge_skip = {'L', 'I', 'S', 'T', 0xF0, 0xFF, 0xFF, 0x7F};
  Bytes negative = {'d', 'a', 't', 'a', 0xF0, 0xFF, 0xFF, 0xFF};
  int i = 0;
  for (const Bytes& file :
       {Riff({Chunk("data", pcm), Fmt(1, 8000, 16)}),     // no search for fmt
        Riff({Fmt(1, 8000, 32, 3), Chunk("data", pcm)}),  // floating point
        Riff({Fmt(0, 8000, 16), Chunk("data", pcm)}), Riff({Fmt(1, 0, 16), Chunk("data", pcm)}),
        Riff({Fmt(1, 8000, 16), huge_data}),
        Riff({Fmt(1, 8000, 16), huge_skip, Chunk("data", pcm)}),
        Riff({Fmt(1, 8000, 16), negative})}) {
    EXPECT_FALSE(Load(LoadWAV, file).ok) << "case " << i++;
  }
  Bytes whole = Riff({Fmt(1, 8000, 16, 1, 2), Chunk("LIST", Ramp(5)), Chunk("data", Ramp(12))});
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    EXPECT_FALSE(Load(LoadWAV, Bytes(whole.begin(), whole.begin() + static_cast<long>(cut))).ok)
        << "cut at " << cut;
  }
}

TEST(LoadOGG, DecodesMonoStereoAndCutStreamsAndRefusesWhatIsNotVorbis) {
  struct Case {
    const char* file;
    int channels, hertz, frames;
  };
  // Sine tones of 0.05 s and 1 s (the latter grows the buffer several times).
  for (Case c : {Case{"fuzz/corpus/ogg/stereo_44100.ogg", 2, 44100, 2205},
                 Case{"fuzz/corpus/ogg/mono_8000_1s.ogg", 1, 8000, 8000}}) {
    Loaded loaded = Load(LoadOGG, ReadFile(c.file));
    ASSERT_TRUE(loaded.ok) << c.file;
    EXPECT_EQ(loaded.channels, c.channels);
    EXPECT_EQ(loaded.format, 2);
    EXPECT_EQ(loaded.hertz, c.hertz);
    EXPECT_NEAR(loaded.length, c.frames, 1);
    auto* samples = reinterpret_cast<const int16_t*>(loaded.data.data());
    int peak = 0;
    for (size_t i = 0; i < loaded.data.size() / 2; ++i) peak = std::max(peak, std::abs(samples[i]));
    EXPECT_GT(peak, 16000) << c.file;  // a full-scale tone, not silence or a wrong layout
  }

  // A cut stream keeps the frames before the cut; what is not Vorbis is refused.
  Bytes whole = ReadFile("fuzz/corpus/ogg/noise_8000.ogg");
  Loaded full = Load(LoadOGG, whole);
  ASSERT_TRUE(full.ok);
  // Cut inside the last page: the pages before it still decode.
  size_t last_page = std::string(whole.begin(), whole.end()).rfind("OggS");
  Loaded cut =
      Load(LoadOGG, Bytes(whole.begin(), whole.begin() + static_cast<long>(last_page) + 30));
  ASSERT_TRUE(cut.ok);
  EXPECT_GT(cut.length, 0);
  EXPECT_LT(cut.length, full.length);
  EXPECT_EQ(cut.data,
            Bytes(full.data.begin(), full.data.begin() + static_cast<long>(cut.data.size())));

  EXPECT_FALSE(Load(LoadOGG, Bytes()).ok);
  EXPECT_FALSE(Load(LoadOGG, ReadFile("fuzz/corpus/wav/mono16.wav")).ok);
  EXPECT_FALSE(Load(LoadOGG, Bytes(whole.begin(), whole.begin() + 40)).ok);
}

}  // namespace
