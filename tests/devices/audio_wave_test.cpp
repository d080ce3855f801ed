// What the player hears, captured through OpenAL Soft's wave backend: a sound loaded from a
// file by the host reaches the output, keeps sounding while it loops, is silent while
// paused, and reads stopped once a one-shot sound has really ended.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "devices/audio.h"
#include "framework/audio.h"
#include "host/glfw_game.h"
#include "support/wav_file.h"
#include "support/wave_capture.h"

namespace {

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>());
}

// A tenth of a second of a loud square wave, 44.1 kHz mono 16-bit.
void WriteTone(const std::string& path) {
  Bytes pcm;
  for (uint32_t i = 0; i < 4410; ++i)
    PutLittleEndian(pcm, (i / 50) % 2 ? 20000 : 0x10000 - 20000, 2);
  Bytes file = Riff({Fmt(1, 44100, 16), Chunk("data", pcm)});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

// Whether any captured 16-bit sample from byte `from` on is clearly more than silence; the
// threshold keeps the test independent of the mixer's dither noise.
bool SoundsFrom(const std::vector<unsigned char>& capture, size_t from) {
  for (size_t i = from & ~size_t{1}; i + 1 < capture.size(); i += 2) {
    int16_t sample = static_cast<int16_t>(capture[i] | (capture[i + 1] << 8));
    if (std::abs(sample) > 1000) return true;
  }
  return false;
}

// The mixer runs in real time: wait, within a bound, for what is being checked.
template <class Condition>
bool Within(double seconds, Condition condition) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return condition();
}

TEST(AudioOutput, PlayedSoundsReachTheOutputAndPausedOnesAreSilent) {
  std::string capture = StartWaveCapture();
  std::string tone = TempPath("TONE.WAV");  // the extension test ignores case
  WriteTone(tone);

  NxGlfwGame host;
  nx_audio_Init();
  nx_audio_SetAudioDevice(gc_new<gxtkAudio>());
  ASSERT_NE(nx_audio_device->alcContext, nullptr);
  c_Sound* sound = nx_audio_LoadSound(String(tone.c_str()));
  ASSERT_NE(sound, nullptr);
  ASSERT_NE(sound->m_sample->al_buffer, 0u);
  ALint size = 0;
  alGetBufferi(sound->m_sample->al_buffer, AL_SIZE, &size);
  EXPECT_EQ(size, 8820);
  // Only the extension chooses the reader: the same bytes under another name do not load.
  std::string copy = TempPath("tone.ogg");
  std::ofstream(copy, std::ios::binary) << std::ifstream(tone, std::ios::binary).rdbuf();
  EXPECT_EQ(nx_audio_LoadSound(String(copy.c_str())), nullptr);
  std::remove(copy.c_str());

  nx_audio_PlaySound(sound, 0, 1);
  EXPECT_TRUE(Within(3.0, [&] { return SoundsFrom(ReadAll(capture), 44); }));
  // Three times the sample's length later, the looping channel still sounds.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(nx_audio_device->ChannelState(0), 1);

  nx_audio_device->PauseChannel(0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  size_t paused_at = ReadAll(capture).size();
  ASSERT_TRUE(Within(3.0, [&] { return ReadAll(capture).size() > paused_at + 8000; }));
  EXPECT_FALSE(SoundsFrom(ReadAll(capture), paused_at));

  nx_audio_StopChannel(0);
  nx_audio_PlaySound(sound, 1, 0);
  EXPECT_EQ(nx_audio_device->ChannelState(1), 1);
  EXPECT_TRUE(Within(3.0, [] { return nx_audio_device->ChannelState(1) == 0; }));

  std::remove(tone.c_str());
  std::remove(TempPath("alsoft.conf").c_str());
  std::remove(capture.c_str());
}

}  // namespace
