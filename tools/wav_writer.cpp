// The WAVE writer: the header is assembled byte by byte, so the output is little-endian and
// identical on every host.

// <cstdio> to write the file.
#include "tools/wav_writer.h"

#include <cstdio>

#include "tools/output_files.h"

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

void PutTag(std::vector<unsigned char>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

void Put16(std::vector<unsigned char>& out, uint32_t value) {
  out.push_back(static_cast<unsigned char>(value & 0xFF));
  out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void Put32(std::vector<unsigned char>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

void WriteWavFile(const std::string& path, int sampleRate, const std::vector<int16_t>& samples) {
  if (sampleRate <= 0 || samples.size() > 0x3FFFFFF0u / 2) {
    FailWrite(path, "sample rate or length out of range");
  }
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<unsigned char> out;
  out.reserve(44 + dataBytes);
  PutTag(out, "RIFF");
  Put32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // uncompressed PCM
  Put16(out, 1);  // mono
  Put32(out, static_cast<uint32_t>(sampleRate));
  Put32(out, static_cast<uint32_t>(sampleRate) * 2);
  Put16(out, 2);
  Put16(out, 16);
  PutTag(out, "data");
  Put32(out, dataBytes);
  for (int16_t sample : samples) Put16(out, static_cast<uint16_t>(sample));

  CreateParentFolders(path);
  std::FILE* handle = std::fopen(path.c_str(), "wb");
  if (!handle) FailWrite(path, "cannot open the file");
  const bool written = std::fwrite(out.data(), 1, out.size(), handle) == out.size();
  if (std::fclose(handle) != 0 || !written) FailWrite(path, "short write");
}
