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

namespace {

using Bytes = std::vector<unsigned char>;

void Put16(Bytes& out, int value) {
  out.push_back(static_cast<unsigned char>(value));
  out.push_back(static_cast<unsigned char>(value >> 8));
}

void Put32(Bytes& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<unsigned char>(value >> shift));
}

void PutTag(Bytes& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

Bytes Chunk(const char* tag, const Bytes& body, bool pad = true) {
  Bytes out;
  PutTag(out, tag);
  Put32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (pad && body.size() % 2 == 1) out.push_back(0);
  return out;
}

Bytes FormatChunk(int channels, int hertz, int bits, int compression = 1, int extra = 0) {
  Bytes body;
  Put16(body, compression);
  Put16(body, channels);
  Put32(body, static_cast<uint32_t>(hertz));
  Put32(body, static_cast<uint32_t>(hertz * channels * bits / 8));
  Put16(body, channels * bits / 8);
  Put16(body, bits);
  body.insert(body.end(), static_cast<size_t>(extra), 0x5A);
  return Chunk("fmt ", body);
}

Bytes Riff(const std::vector<Bytes>& chunks) {
  Bytes body;
  PutTag(body, "WAVE");
  for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  Bytes out;
  PutTag(out, "RIFF");
  Put32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes Ramp(size_t size) {
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<unsigned char>(i * 7 + 1);
  return out;
}

struct Loaded {
  unsigned char* data = nullptr;
  int length = -1;
  int channels = -1;
  int format = -1;
  int hertz = -1;

  Loaded() = default;
  Loaded(const Loaded&) = delete;
  Loaded& operator=(const Loaded&) = delete;
  ~Loaded() { std::free(data); }
};

using Loader = unsigned char* (*)(FILE*, int*, int*, int*, int*);

void LoadBytes(Loader loader, const Bytes& bytes, Loaded& result) {
  // tmpfile rather than fmemopen: an empty input must still be a valid stream.
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::rewind(file);
  result.data = loader(file, &result.length, &result.channels, &result.format, &result.hertz);
  std::fclose(file);
}

Bytes ReadFile(const std::string& relative) {
  std::ifstream in(std::string(VEXADROME_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ReadNumbers, LittleEndianWithMinusOneAtTheEnd) {
  Bytes bytes = {0xFE, 0xFF, 0x01, 0x02, 0x03, 0x80, 0x07};
  FILE* file = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::rewind(file);
  EXPECT_EQ(readShort(file), 0xFFFE);  // unsigned, never negative
  EXPECT_EQ(readInt(file), static_cast<int32_t>(0x80030201u));
  EXPECT_EQ(readShort(file), -1);  // one byte left: cannot be read
  EXPECT_EQ(readInt(file), -1);
  std::fclose(file);
}

TEST(LoadWAV, ReadsTheShapeOfAMonoSixteenBitSecond) {
  Loaded loaded;
  Bytes pcm = Ramp(88200);
  LoadBytes(LoadWAV, Riff({FormatChunk(1, 44100, 16), Chunk("data", pcm)}), loaded);
  ASSERT_NE(loaded.data, nullptr);
  EXPECT_EQ(loaded.length, 44100);
  EXPECT_EQ(loaded.channels, 1);
  EXPECT_EQ(loaded.format, 2);
  EXPECT_EQ(loaded.hertz, 44100);
  EXPECT_EQ(Bytes(loaded.data, loaded.data + pcm.size()), pcm);
}

TEST(LoadWAV, AcceptsExtendedFormatAndChunksBeforeTheData) {
  Bytes pcm = Ramp(40);
  // An odd-sized LIST chunk is followed by its pad byte; some writers leave the pad out.
  Bytes odd_list = Ramp(7);
  std::vector<std::vector<Bytes>> layouts = {
      {FormatChunk(2, 22050, 8, 1, 2), Chunk("data", pcm)},
      {FormatChunk(2, 22050, 8, 1, 24), Chunk("data", pcm)},
      {FormatChunk(2, 22050, 8), Chunk("LIST", odd_list), Chunk("fact", Ramp(4)),
       Chunk("data", pcm)},
      {FormatChunk(2, 22050, 8), Chunk("LIST", odd_list, false), Chunk("data", pcm)},
  };
  for (size_t i = 0; i < layouts.size(); ++i) {
    SCOPED_TRACE(i);
    Loaded loaded;
    LoadBytes(LoadWAV, Riff(layouts[i]), loaded);
    ASSERT_NE(loaded.data, nullptr);
    EXPECT_EQ(loaded.length, 20);
    EXPECT_EQ(loaded.channels, 2);
    EXPECT_EQ(loaded.format, 1);
    EXPECT_EQ(loaded.hertz, 22050);
    EXPECT_EQ(Bytes(loaded.data, loaded.data + pcm.size()), pcm);
  }
}

TEST(LoadWAV, CountsOnlyWholeFrames) {
  Loaded loaded;
  LoadBytes(LoadWAV, Riff({FormatChunk(2, 8000, 16), Chunk("data", Ramp(10))}), loaded);
  ASSERT_NE(loaded.data, nullptr);
  EXPECT_EQ(loaded.length, 2);  // 10 bytes of 4-byte frames

  Loaded empty;
  LoadBytes(LoadWAV, Riff({FormatChunk(1, 8000, 16), Chunk("data", Bytes())}), empty);
  ASSERT_NE(empty.data, nullptr);  // an empty sound is still a sound
  EXPECT_EQ(empty.length, 0);
}

TEST(LoadWAV, RefusesBadHeaders) {
  Bytes pcm = Ramp(16);
  Bytes wrong_riff = Riff({FormatChunk(1, 8000, 16), Chunk("data", pcm)});
  wrong_riff[0] = 'r';
  Bytes huge_data;
  PutTag(huge_data, "data");
  Put32(huge_data, 0x7FFFFFF0u);
  Bytes huge_skip;
  PutTag(huge_skip, "LIST");
  Put32(huge_skip, 0x7FFFFFF0u);
  Bytes negative_size;
  PutTag(negative_size, "data");
  Put32(negative_size, 0xFFFFFFF0u);
  std::vector<Bytes> files = {
      wrong_riff,
      Riff({Chunk("data", pcm), FormatChunk(1, 8000, 16)}),     // the reader does not search
      Riff({FormatChunk(1, 8000, 32, 3), Chunk("data", pcm)}),  // floating point
      Riff({FormatChunk(0, 8000, 16), Chunk("data", pcm)}),
      Riff({FormatChunk(1, 8000, 4), Chunk("data", pcm)}),
      Riff({FormatChunk(1, 0, 16), Chunk("data", pcm)}),
      Riff({FormatChunk(1, 8000, 16)}),  // no data at all
      Riff({FormatChunk(1, 8000, 16), huge_data}),
      Riff({FormatChunk(1, 8000, 16), huge_skip, Chunk("data", pcm)}),
      Riff({FormatChunk(1, 8000, 16), negative_size}),
  };
  for (size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(i);
    Loaded loaded;
    LoadBytes(LoadWAV, files[i], loaded);
    EXPECT_EQ(loaded.data, nullptr);
  }
}

TEST(LoadWAV, EveryTruncationFails) {
  Bytes whole =
      Riff({FormatChunk(1, 8000, 16, 1, 2), Chunk("LIST", Ramp(5)), Chunk("data", Ramp(12))});
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    Loaded loaded;
    LoadBytes(LoadWAV, Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)), loaded);
    EXPECT_EQ(loaded.data, nullptr);
  }
}

TEST(LoadOGG, DecodesMonoAndStereoStreams) {
  struct Case {
    const char* file;
    int channels;
    int hertz;
    int frames;
  };
  // The seeds are sine tones of 0.05 s and 1 s; the 1 s one grows the buffer several times.
  for (Case c : {Case{"fuzz/corpus/ogg/mono_22050.ogg", 1, 22050, 1103},
                 Case{"fuzz/corpus/ogg/stereo_44100.ogg", 2, 44100, 2205},
                 Case{"fuzz/corpus/ogg/mono_8000_1s.ogg", 1, 8000, 8000}}) {
    SCOPED_TRACE(c.file);
    Loaded loaded;
    LoadBytes(LoadOGG, ReadFile(c.file), loaded);
    ASSERT_NE(loaded.data, nullptr);
    EXPECT_EQ(loaded.channels, c.channels);
    EXPECT_EQ(loaded.format, 2);
    EXPECT_EQ(loaded.hertz, c.hertz);
    EXPECT_NEAR(loaded.length, c.frames, 1);
    auto* samples = reinterpret_cast<const int16_t*>(loaded.data);
    int peak = 0;
    for (int i = 0; i < loaded.length * loaded.channels; ++i)
      peak = std::max(peak, std::abs(samples[i]));
    EXPECT_GT(peak, 16000);  // a full-scale tone, not silence or noise from a wrong layout
  }
}

TEST(LoadOGG, KeepsWhatDecodedBeforeTheStreamStops) {
  Bytes whole = ReadFile("fuzz/corpus/ogg/noise_8000.ogg");
  Loaded full;
  LoadBytes(LoadOGG, whole, full);
  ASSERT_NE(full.data, nullptr);
  EXPECT_NEAR(full.length, 12000, 1);
  // Cut inside the last page: the pages before it still decode.
  std::string text(whole.begin(), whole.end());
  size_t last_page = text.rfind("OggS");
  ASSERT_NE(last_page, std::string::npos);
  Loaded cut;
  LoadBytes(LoadOGG, Bytes(whole.begin(), whole.begin() + static_cast<long>(last_page) + 30), cut);
  ASSERT_NE(cut.data, nullptr);
  EXPECT_GT(cut.length, 0);
  EXPECT_LT(cut.length, full.length);
  EXPECT_EQ(Bytes(cut.data, cut.data + cut.length * 2),
            Bytes(full.data, full.data + cut.length * 2));
}

TEST(LoadOGG, RefusesWhatIsNotVorbis) {
  Bytes vorbis = ReadFile("fuzz/corpus/ogg/mono_22050.ogg");
  Bytes headers_cut(vorbis.begin(), vorbis.begin() + 40);
  for (const Bytes& bytes : {Bytes(), ReadFile("fuzz/corpus/wav/mono16.wav"), headers_cut}) {
    Loaded loaded;
    LoadBytes(LoadOGG, bytes, loaded);
    EXPECT_EQ(loaded.data, nullptr);
  }
}

}  // namespace
