// The WAVE reader, the Ogg Vorbis front end and the host's audio loader. Both readers treat
// every number in the file as hostile: sizes are checked against what the file holds and
// against one cap before anything is allocated.

#include "devices/sample_loading.h"

// <cstdlib> for the malloc'd blocks the device frees; <cstring> for tag comparison.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/glfw_game.h"
#include "runtime/errors.h"
#include "runtime/gc.h"

// The Ogg Vorbis reference decoder. Our own stream callbacks are used, so the header's static
// ones (which -Wall reports as unused) are left out. The web build goes without it: every
// shipped sound is a WAVE file.
#if !VEXADROME_NO_VORBIS
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>
#endif

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

#if !VEXADROME_NO_VORBIS
// The largest Vorbis block yields this many frames, so this much room is always kept free
// ahead of the write position and a decoded packet always fits whole.
constexpr int nx_ogg_frame_room = 4096;
constexpr long nx_ogg_max_hertz = 384000;
// The block holds 16-bit samples in the machine's own byte order, as OpenAL takes them.
constexpr int nx_ogg_big_endian = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__ ? 1 : 0;
#endif

// ---------------------------------------------------------------------------------------------
// Internal functions

// Bytes from the current position to the end, or -1 when the stream cannot tell.
long nx_sample_RemainingBytes(FILE* file) {
  long position = std::ftell(file);
  if (position < 0) return -1;
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  long end = std::ftell(file);
  if (std::fseek(file, position, SEEK_SET) != 0 || end < position) return -1;
  return end - position;
}

bool nx_sample_ReadTag(FILE* file, char tag[4]) {
  return std::fread(tag, 1, 4, file) == 4;
}

bool nx_sample_TagIs(const char tag[4], const char* expected) {
  return std::memcmp(tag, expected, 4) == 0;
}

// Skips `size` bytes; false when the file ends first.
bool nx_sample_Skip(FILE* file, int size) {
  unsigned char scratch[512];
  while (size > 0) {
    size_t step =
        size < static_cast<int>(sizeof scratch) ? static_cast<size_t>(size) : sizeof scratch;
    if (std::fread(scratch, 1, step, file) != step) return false;
    size -= static_cast<int>(step);
  }
  return true;
}

// RIFF pads an odd-sized chunk with one zero byte. Some writers leave it out; a chunk tag
// never starts with a zero byte, so only a zero is taken as the pad.
void nx_sample_SkipPad(FILE* file, int size) {
  if ((size & 1) == 0) return;
  int next = std::fgetc(file);
  if (next != 0 && next != EOF) std::ungetc(next, file);
}

// The stream is read front to back: without a seek callback the decoder does not look for the
// end first, so a file cut short still yields what precedes the cut. The caller closes the FILE.
#if !VEXADROME_NO_VORBIS
size_t nx_ogg_Read(void* buffer, size_t size, size_t count, void* file) {
  return std::fread(buffer, size, count, static_cast<FILE*>(file));
}
#endif

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int readShort(FILE* file) {
  unsigned char bytes[2];
  if (std::fread(bytes, 1, 2, file) != 2) return -1;
  return bytes[0] | (bytes[1] << 8);
}

int readInt(FILE* file) {
  unsigned char bytes[4];
  if (std::fread(bytes, 1, 4, file) != 4) return -1;
  uint32_t value = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                   (static_cast<uint32_t>(bytes[2]) << 16) |
                   (static_cast<uint32_t>(bytes[3]) << 24);
  return static_cast<int32_t>(value);
}

unsigned char* LoadWAV(FILE* file, int* length, int* channels, int* format, int* hertz) {
  char tag[4];
  if (!nx_sample_ReadTag(file, tag) || !nx_sample_TagIs(tag, "RIFF")) return nullptr;
  readInt(file);
  if (!nx_sample_ReadTag(file, tag) || !nx_sample_TagIs(tag, "WAVE")) return nullptr;
  if (!nx_sample_ReadTag(file, tag) || !nx_sample_TagIs(tag, "fmt ")) return nullptr;

  int formatSize = readInt(file);
  if (formatSize < 16) return nullptr;
  if (readShort(file) != 1) return nullptr;
  int channelCount = readShort(file);
  int sampleRate = readInt(file);
  // Byte rate and block alignment follow from the rest; only their presence matters.
  if (readInt(file) == -1 || readShort(file) == -1) return nullptr;
  int bits = readShort(file);
  // Zero channels or sub-byte samples would make the frame size zero.
  if (channelCount < 1 || bits < 8 || sampleRate <= 0) return nullptr;
  if (!nx_sample_Skip(file, formatSize - 16)) return nullptr;
  nx_sample_SkipPad(file, formatSize);

  int bytesPerSample = bits / 8;
  unsigned char* data = nullptr;
  int dataSize = 0;
  for (;;) {
    if (!nx_sample_ReadTag(file, tag)) return nullptr;
    int size = readInt(file);
    if (size < 0) return nullptr;
    if (!nx_sample_TagIs(tag, "data")) {
      if (!nx_sample_Skip(file, size)) return nullptr;
      nx_sample_SkipPad(file, size);
      continue;
    }
    long remaining = nx_sample_RemainingBytes(file);
    if (size > nx_sample_max_bytes || (remaining >= 0 && size > remaining)) return nullptr;
    // One byte more than asked so an empty data chunk still yields a block, not null.
    data = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(size) + 1));
    if (data == nullptr) return nullptr;
    if (std::fread(data, 1, static_cast<size_t>(size), file) != static_cast<size_t>(size)) {
      std::free(data);
      return nullptr;
    }
    dataSize = size;
    break;
  }

  // Whole frames only: a trailing partial frame never reaches the device.
  *format = bytesPerSample;
  *length = dataSize / (channelCount * bytesPerSample);
  *channels = channelCount;
  *hertz = sampleRate;
  return data;
}

#if !VEXADROME_NO_VORBIS
unsigned char* LoadOGG(FILE* file, int* length, int* channels, int* format, int* hertz) {
  long remaining = nx_sample_RemainingBytes(file);
  if (remaining < 0 || remaining > nx_sample_max_ogg_file_bytes) return nullptr;

  OggVorbis_File decoder;
  ov_callbacks callbacks = {nx_ogg_Read, nullptr, nullptr, nullptr};
  if (ov_open_callbacks(file, &decoder, nullptr, 0, callbacks) != 0) return nullptr;
  vorbis_info* info = ov_info(&decoder, -1);
  if (info == nullptr || info->channels < 1 || info->channels > 2 || info->rate < 1 ||
      info->rate > nx_ogg_max_hertz) {
    ov_clear(&decoder);
    return nullptr;
  }

  int channelCount = info->channels;
  int hertzRead = static_cast<int>(info->rate);
  int64_t frameBytes = static_cast<int64_t>(channelCount) * static_cast<int64_t>(sizeof(short));
  int64_t room = frameBytes * nx_ogg_frame_room;
  auto* samples = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(room)));
  if (samples == nullptr) {
    ov_clear(&decoder);
    return nullptr;
  }
  int64_t written = 0;
  for (;;) {
    int link = 0;
    long bytes = ov_read(&decoder, reinterpret_cast<char*>(samples + written),
                         static_cast<int>(room - written), nx_ogg_big_endian, 2, 1, &link);
    // A hole is a gap in the stream that decoding continues past; any other error ends the
    // stream there, keeping what was decoded.
    if (bytes == OV_HOLE) continue;
    if (bytes <= 0) break;
    // A chained stream may change its channel count or rate; the block holds one layout.
    vorbis_info* linkInfo = ov_info(&decoder, link);
    if (linkInfo == nullptr || linkInfo->channels != channelCount || linkInfo->rate != info->rate) {
      break;
    }
    written += bytes - bytes % frameBytes;
    if (written + frameBytes * nx_ogg_frame_room > room) {
      // Past the cap the stream is cut here, keeping what was decoded, as for a stream that
      // stops part-way.
      if (room * 2 > nx_sample_max_bytes) break;
      auto* grown =
          static_cast<unsigned char*>(std::realloc(samples, static_cast<size_t>(room) * 2));
      if (grown == nullptr) break;
      samples = grown;
      room *= 2;
    }
  }
  ov_clear(&decoder);

  *length = static_cast<int>(written / frameBytes);
  *channels = channelCount;
  *format = 2;
  *hertz = hertzRead;
  return samples;
}

#endif

unsigned char* NxGlfwGame::LoadAudioData(String path, int* length, int* channels, int* format,
                                         int* hertz) {
  FILE* file = OpenFile(path, String(u"rb"));
  if (file == nullptr) return nullptr;
  String lower = path.ToLower();
  unsigned char* data = nullptr;
  if (lower.EndsWith(String(u".wav"))) {
    data = LoadWAV(file, length, channels, format, hertz);
  } else if (lower.EndsWith(String(u".ogg"))) {
#if VEXADROME_NO_VORBIS
    nxPrint(String(u"Ogg Vorbis sounds are not supported in this build; convert ") + path +
            String(u" to a WAVE file"));
#else
    data = LoadOGG(file, length, channels, format, hertz);
#endif
  }
  std::fclose(file);
  gc_force_sweep = true;
  return data;
}
