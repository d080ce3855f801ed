// Sound: the WAVE reader on in-memory files and a cut Ogg Vorbis stream; the audio device's channel
// bookkeeping against a real OpenAL Soft on its null backend (suspension, settings on idle
// channels, deferred buffer deletion per device, which samples the collector may take); the device
// with no usable output; and what the player hears, captured through OpenAL Soft's wave backend.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
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
#include "devices/sample_loading.h"
#include "framework/audio.h"
#include "host/glfw_game.h"
#include "runtime/gc.h"
#include "support/collector.h"
#include "support/wave_capture.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Ints = std::vector<int>;

// WAVE files built in memory, chunk by chunk.
void PutLittleEndian(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A chunk with its tag and size, padded to an even length unless `pad` is false.
Bytes Chunk(const char* tag, const Bytes& body, bool pad = true) {
  Bytes out(tag, tag + 4);
  PutLittleEndian(out, static_cast<uint32_t>(body.size()), 4);
  out.insert(out.end(), body.begin(), body.end());
  if (pad && body.size() % 2 == 1) out.push_back(0);
  return out;
}

// A format chunk; `extra` bytes follow the plain PCM fields, as in the extended layouts.
Bytes Fmt(int channels, int hertz, int bits, int compression = 1, int extra = 0) {
  Bytes body;
  int field = 0;  // the rates are four bytes wide, the rest two
  for (int value :
       {compression, channels, hertz, hertz * channels * bits / 8, channels * bits / 8, bits}) {
    PutLittleEndian(body, static_cast<uint32_t>(value), field == 2 || field == 3 ? 4 : 2);
    ++field;
  }
  body.insert(body.end(), static_cast<size_t>(extra), 0x5A);
  return Chunk("fmt ", body);
}

Bytes Riff(const std::vector<Bytes>& chunks) {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  return Chunk("RIFF", body, false);
}

Bytes Ramp(size_t size) {
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<unsigned char>(i * 7 + 1);
  return out;
}

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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

TEST(LoadWAV, AcceptsPlainAndExtendedLayoutsAndRefusesBadOrCutHeaders) {
  Loaded second = Load(LoadWAV, Riff({Fmt(1, 44100, 16), Chunk("data", Ramp(88200))}));
  EXPECT_EQ((Ints{second.length, second.channels, second.format, second.hertz}),
            (Ints{44100, 1, 2, 44100}));
  EXPECT_EQ(second.data, Ramp(88200));

  // Extended format chunks, and chunks before the data: an odd-sized LIST with its pad byte,
  // and one whose writer left the pad out. 41 bytes of stereo 8-bit are 20 whole frames.
  Bytes pcm = Ramp(41);
  for (const Bytes& file :
       {Riff({Fmt(2, 22050, 8, 1, 24), Chunk("data", pcm)}),
        Riff({Fmt(2, 22050, 8), Chunk("LIST", Ramp(7)), Chunk("data", pcm)}),
        Riff({Fmt(2, 22050, 8), Chunk("LIST", Ramp(7), false), Chunk("data", pcm)})}) {
    Loaded loaded = Load(LoadWAV, file);
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

// A stream cut inside its last page still yields the frames of the pages before the cut.
TEST(LoadOGG, ACutStreamKeepsTheFramesBeforeTheCut) {
  Bytes whole = ReadAll("fuzz/corpus/ogg/noise_8000.ogg");
  Loaded full = Load(LoadOGG, whole);
  size_t lastPage = std::string(whole.begin(), whole.end()).rfind("OggS");
  Loaded cut =
      Load(LoadOGG, Bytes(whole.begin(), whole.begin() + static_cast<long>(lastPage) + 30));
  EXPECT_TRUE(cut.length > 0 && cut.length < full.length) << cut.length;
  EXPECT_EQ(cut.data,
            Bytes(full.data.begin(), full.data.begin() + static_cast<long>(cut.data.size())));
}

gxtkAudio* device = nullptr;

// One second of a mono tone, so nothing ends on its own during a test.
gxtkSample* ToneSample() {
  std::vector<int16_t> pcm(8000);
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>(8000 * std::sin(i * 0.3));
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  alBufferData(buffer, AL_FORMAT_MONO16, pcm.data(), static_cast<ALsizei>(pcm.size() * 2), 8000);
  return gc_new<gxtkSample>(buffer);
}

ALint SourceInt(int channel, ALenum parameter) {
  ALint value = -1;
  alGetSourcei(device->channels[channel].source, parameter, &value);
  return value;
}

// For each channel, its state as the game reads it and its source's state in OpenAL.
Ints States(std::initializer_list<int> channels) {
  Ints states;
  for (int c : channels)
    states.insert(states.end(), {device->ChannelState(c), SourceInt(c, AL_SOURCE_STATE)});
  return states;
}

// Whether each buffer waits on the device's list of discarded ones.
Ints Discarded(std::initializer_list<ALuint> buffers) {
  const std::vector<ALuint>& discarded = nx_audio_Discarded(device->alcDevice);
  Ints waiting;
  for (ALuint buffer : buffers)
    waiting.push_back(std::find(discarded.begin(), discarded.end(), buffer) != discarded.end());
  return waiting;
}

class AudioDevice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    nx_audio_Init();
    device = gc_new<gxtkAudio>();
    nx_audio_SetAudioDevice(device);
    ASSERT_NE(device->alcContext, nullptr);
  }
  void TearDown() override {
    for (int channel = 0; channel < gxtkAudio::ChannelCount; ++channel)
      device->StopChannel(channel);
  }
};

TEST_F(AudioDevice, SuspendAndResumeLeaveTheChannelsTheGamePausedPaused) {
  for (int channel : {0, 1, gxtkAudio::MusicChannel}) device->PlaySample(ToneSample(), channel, 1);
  device->PauseChannel(1);
  device->Suspend();
  EXPECT_EQ(States({0, gxtkAudio::MusicChannel}), (Ints{1, AL_PAUSED, 1, AL_PAUSED}));
  device->Resume();
  EXPECT_EQ(States({0, 1, gxtkAudio::MusicChannel}),
            (Ints{1, AL_PLAYING, 2, AL_PAUSED, 1, AL_PLAYING}));
}

TEST_F(AudioDevice, SettingsOnAnIdleChannelLastAndChannelsOutsideTheBankAreIgnored) {
  ASSERT_EQ(device->channels[20].source, 0u);
  device->SetVolume(20, 0.25f);
  ASSERT_NE(device->channels[20].source, 0u);
  device->SetRate(20, 2.0f);
  device->SetPan(20, 0.0f);
  device->PlaySample(ToneSample(), 20, 0);
  float position[3] = {9, 9, 9}, gain = 0, pitch = 0;
  alGetSourcefv(device->channels[20].source, AL_POSITION, position);
  alGetSourcef(device->channels[20].source, AL_GAIN, &gain);
  alGetSourcef(device->channels[20].source, AL_PITCH, &pitch);
  EXPECT_EQ((std::vector<float>{position[0], position[2], gain, pitch}),
            (std::vector<float>{0, -1, 0.25f, 2}));

  // Channels outside the bank and missing sounds are ignored.
  gxtkSample* sample = ToneSample();
  for (int channel : {-1, 33, INT_MIN}) {
    device->PlaySample(sample, channel, 1);
    device->PauseChannel(channel);
    device->ResumeChannel(channel);
    device->SetVolume(channel, 1);
    device->SetPan(channel, 1);
    device->SetRate(channel, 1);
    device->StopChannel(channel);
    EXPECT_EQ(device->ChannelState(channel), 0);
  }
  device->PlaySample(nullptr, 23, 0);
  nx_audio_PlaySound(nullptr, 23, 0);
  nx_audio_PlaySound(gc_new<c_Sound>()->m_new2(), 23, 0);
  EXPECT_EQ(device->ChannelState(23), 0);
}

TEST_F(AudioDevice, DiscardedBuffersWaitForTheirSourcesAndTheCollectorKeepsSoundingOnes) {
  gxtkSample* held = ToneSample();
  gxtkSample* other = ToneSample();
  ALuint buffer = held->al_buffer;
  device->PlaySample(held, 0, 1);
  held->Discard();
  EXPECT_EQ(held->al_buffer, 0u);
  EXPECT_EQ(Discarded({buffer}), Ints{1});
  device->PlaySample(other, 1, 1);  // flushes: the buffer still sounds
  EXPECT_EQ((Ints{Discarded({buffer})[0], alIsBuffer(buffer)}), (Ints{1, 1}));
  device->PauseChannel(0);
  device->PlaySample(other, 1, 1);  // a paused source still holds it
  EXPECT_EQ(Discarded({buffer}), Ints{1});
  // Stopped by the game: the channel reads 0 but its source still had the buffer attached.
  device->StopChannel(0);
  device->PlaySample(other, 1, 1);
  EXPECT_EQ((Ints{Discarded({buffer})[0], alIsBuffer(buffer)}), (Ints{0, 0}));

  // The collector keeps only sounding samples, each reachable only through the device.
  for (int channel : {6, 7, 8}) device->PlaySample(ToneSample(), channel, 1);
  device->PauseChannel(7);
  ALuint playing = device->channels[6].sample->al_buffer;
  ALuint paused = device->channels[7].sample->al_buffer;
  ALuint stopped = device->channels[8].sample->al_buffer;
  device->StopChannel(8);
  CollectEverything();
  EXPECT_EQ(Discarded({playing, paused, stopped}), (Ints{0, 0, 1}));
  EXPECT_EQ(device->channels[8].sample, nullptr);
  device->StopChannel(6);
  device->StopChannel(7);
  CollectEverything();
  EXPECT_EQ(Discarded({playing, paused}), (Ints{1, 1}));
  device->PlaySample(ToneSample(), 9, 0);
  EXPECT_TRUE(nx_audio_Discarded(device->alcDevice).empty());
}

// Buffer names are each device's own: a name one device discarded may be a live buffer of
// another, which neither device's flush may touch, whichever context is current.
TEST_F(AudioDevice, ADeviceDeletesOnlyTheBuffersItDiscarded) {
  gxtkSample* mine = ToneSample();
  ALuint name = mine->al_buffer;
  gxtkAudio* later = gc_new<gxtkAudio>();
  ASSERT_NE(later->alcContext, nullptr);
  // The later device makes buffers until one of them has the first device's name.
  for (int made = 0; made < 4096 && !alIsBuffer(name); ++made) ToneSample();
  ASSERT_TRUE(alIsBuffer(name));
  mine->Discard();
  // Neither touches the later device's buffer of that name; the first keeps its own name
  // until it flushes, in its own context while the later one's is current.
  later->FlushDiscarded();
  EXPECT_EQ((Ints{alIsBuffer(name), Discarded({name})[0]}), (Ints{1, 1}));
  device->FlushDiscarded();
  EXPECT_EQ(alcGetCurrentContext(), later->alcContext);
  EXPECT_EQ((Ints{alIsBuffer(name), Discarded({name})[0]}), (Ints{1, 0}));
  ASSERT_TRUE(alcMakeContextCurrent(device->alcContext));
  EXPECT_FALSE(alIsBuffer(name));
}

TEST(SilentAudioDevice, PrintsTheStartUpLineOnceAndGoesOnQuietly) {
  // A backend that does not exist leaves OpenAL Soft with no device to open.
  setenv("ALSOFT_DRIVERS", "no-such-backend", 1);
  testing::internal::CaptureStdout();
  gxtkAudio* device = gc_new<gxtkAudio>();
  nx_audio_SetAudioDevice(device);
  gxtkSample* silent = gc_new<gxtkSample>();
  // A name OpenAL never handed out: its deletion fails and it must stay queued, not loop.
  gxtkSample* foreign = gc_new<gxtkSample>(4242u);
  for (int channel = 0; channel < gxtkAudio::ChannelCount; ++channel) {
    device->SetVolume(channel, 0.5f);
    device->SetPan(channel, 1.0f);
    device->SetRate(channel, 1.5f);
    device->PlaySample(channel % 2 ? silent : foreign, channel, channel % 3);
    device->PauseChannel(channel);
    device->ResumeChannel(channel);
    EXPECT_EQ(device->ChannelState(channel), 0);
  }
  foreign->Discard();
  device->Suspend();
  device->Resume();
  device->PlaySample(silent, 0, 1);
  EXPECT_EQ(nx_audio_Discarded(nullptr).size(), 1u);
  device->mark();
  EXPECT_EQ(device->PlayMusic(String(u"missing.wav"), 1), -1);
  EXPECT_EQ(device->LoadSample(String(u"missing.ogg")), nullptr);
  EXPECT_EQ(nx_audio_LoadSound(String(u"missing.wav")), nullptr);
  EXPECT_EQ(device->MusicState(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "OpenAl error: alcOpenDevice failed\n");
  EXPECT_EQ(device->alcDevice, nullptr);
  EXPECT_EQ(device->alcContext, nullptr);
}

// Whether any captured 16-bit sample from byte `from` on is clearly more than silence; the
// threshold keeps the test independent of the mixer's dither noise.
bool SoundsFrom(const Bytes& capture, size_t from) {
  for (size_t i = from & ~size_t{1}; i + 1 < capture.size(); i += 2) {
    if (std::abs(static_cast<int16_t>(capture[i] | (capture[i + 1] << 8))) > 1000) return true;
  }
  return false;
}

// The mixer runs in real time: wait, within a bound, for what is being checked.
template <class Condition>
bool Within(double seconds, Condition condition) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end && !condition())
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return condition();
}

TEST(AudioOutput, PlayedSoundsReachTheOutputAndPausedOnesAreSilent) {
  std::string capture = StartWaveCapture();
  // A tenth of a second of a loud square wave, 44.1 kHz mono 16-bit. The extension test
  // ignores case, and only the extension chooses the reader: the same bytes as .ogg do not load.
  Bytes pcm;
  for (uint32_t i = 0; i < 4410; ++i)
    PutLittleEndian(pcm, (i / 50) % 2 ? 20000 : 0x10000 - 20000, 2);
  std::string tone = TempPath("TONE.WAV"), copy = TempPath("tone.ogg");
  Bytes wave = Riff({Fmt(1, 44100, 16), Chunk("data", pcm)});
  for (const std::string& path : {tone, copy}) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(wave.data()),
               static_cast<std::streamsize>(wave.size()));
  }

  NxGlfwGame host;
  nx_audio_Init();
  nx_audio_SetAudioDevice(gc_new<gxtkAudio>());
  ASSERT_NE(nx_audio_device->alcContext, nullptr);
  EXPECT_EQ(nx_audio_LoadSound(String(copy.c_str())), nullptr);
  c_Sound* sound = nx_audio_LoadSound(String(tone.c_str()));
  ASSERT_NE(sound, nullptr);
  ALint size = 0;
  alGetBufferi(sound->m_sample->al_buffer, AL_SIZE, &size);
  EXPECT_EQ(size, 8820);

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
  for (const std::string& path : {tone, copy, TempPath("alsoft.conf"), capture})
    std::remove(path.c_str());
}

}  // namespace
