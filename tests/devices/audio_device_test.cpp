// The audio device's channel bookkeeping against a real OpenAL Soft on its null backend: the
// state machine, suspension, settings on idle channels, deferred buffer deletion per device and
// which samples the collector may take.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "devices/audio.h"
#include "framework/audio.h"
#include "runtime/array.h"
#include "runtime/gc.h"
#include "support/collector.h"

namespace {

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

bool Discarded(ALuint buffer) {
  const std::vector<ALuint>& discarded = nx_audio_Discarded(device->alcDevice);
  return std::find(discarded.begin(), discarded.end(), buffer) != discarded.end();
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

TEST_F(AudioDevice, ChannelStatesFollowPlayPauseResumeStopAndTheEnd) {
  gxtkSample* sample = ToneSample();
  device->PlaySample(sample, 3, 2);  // any non-zero flags word loops
  EXPECT_EQ(device->ChannelState(3), 1);
  EXPECT_EQ(SourceInt(3, AL_LOOPING), 1);
  EXPECT_EQ(SourceInt(3, AL_BUFFER), static_cast<ALint>(sample->al_buffer));
  device->PauseChannel(3);
  EXPECT_EQ(device->ChannelState(3), 2);
  EXPECT_EQ(SourceInt(3, AL_SOURCE_STATE), AL_PAUSED);
  device->ResumeChannel(3);
  EXPECT_EQ(device->ChannelState(3), 1);
  EXPECT_EQ(SourceInt(3, AL_SOURCE_STATE), AL_PLAYING);
  device->StopChannel(3);
  device->ResumeChannel(3);
  EXPECT_EQ(device->ChannelState(3), 0);
  EXPECT_EQ(SourceInt(3, AL_SOURCE_STATE), AL_STOPPED);

  // A source that reached its end is AL_STOPPED, exactly as after alSourceStop.
  device->PlaySample(sample, 4, 0);
  EXPECT_EQ(SourceInt(4, AL_LOOPING), 0);
  alSourceStop(device->channels[4].source);
  device->PauseChannel(4);  // ended: stopped, not paused
  device->ResumeChannel(4);
  EXPECT_EQ(SourceInt(4, AL_SOURCE_STATE), AL_STOPPED);
  EXPECT_EQ(device->ChannelState(4), 0);
  device->PlaySample(sample, gxtkAudio::MusicChannel, 0);
  alSourceStop(device->channels[gxtkAudio::MusicChannel].source);
  EXPECT_EQ(device->MusicState(), 0);
}

TEST_F(AudioDevice, SuspendAndResumeLeaveChannelsPausedByTheGamePaused) {
  device->PlaySample(ToneSample(), 0, 1);
  device->PlaySample(ToneSample(), 1, 1);
  device->PlaySample(ToneSample(), gxtkAudio::MusicChannel, 1);
  device->PauseChannel(1);
  device->Suspend();
  EXPECT_EQ(SourceInt(0, AL_SOURCE_STATE), AL_PAUSED);
  EXPECT_EQ(SourceInt(gxtkAudio::MusicChannel, AL_SOURCE_STATE), AL_PAUSED);
  EXPECT_EQ(device->ChannelState(0), 1);
  device->Resume();
  EXPECT_EQ(SourceInt(0, AL_SOURCE_STATE), AL_PLAYING);
  EXPECT_EQ(SourceInt(gxtkAudio::MusicChannel, AL_SOURCE_STATE), AL_PLAYING);
  EXPECT_EQ(SourceInt(1, AL_SOURCE_STATE), AL_PAUSED);
  EXPECT_EQ(device->ChannelState(1), 2);
}

TEST_F(AudioDevice, SettingsOnAnIdleChannelLastAndChannelsOutsideTheBankAreIgnored) {
  ASSERT_EQ(device->channels[20].source, 0u);
  device->SetVolume(20, 0.25f);
  ASSERT_NE(device->channels[20].source, 0u);
  device->SetRate(20, 2.0f);
  device->SetPan(20, 0.0f);
  float x = 9, y = 9, z = 9;
  alGetSource3f(device->channels[20].source, AL_POSITION, &x, &y, &z);
  EXPECT_FLOAT_EQ(x, 0.0f);
  EXPECT_FLOAT_EQ(z, -1.0f);

  device->PlaySample(ToneSample(), 20, 0);
  float gain = 0, pitch = 0;
  alGetSourcef(device->channels[20].source, AL_GAIN, &gain);
  alGetSourcef(device->channels[20].source, AL_PITCH, &pitch);
  EXPECT_FLOAT_EQ(gain, 0.25f);
  EXPECT_FLOAT_EQ(pitch, 2.0f);

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
  EXPECT_TRUE(Discarded(buffer));

  device->PlaySample(other, 1, 1);  // flushes: the buffer still sounds
  EXPECT_TRUE(Discarded(buffer));
  EXPECT_TRUE(alIsBuffer(buffer));
  device->PauseChannel(0);
  device->PlaySample(other, 1, 1);  // a paused source still holds it
  EXPECT_TRUE(Discarded(buffer));

  // Stopped by the game: the channel reads 0 but its source still had the buffer attached.
  device->StopChannel(0);
  device->PlaySample(other, 1, 1);
  EXPECT_FALSE(Discarded(buffer));
  EXPECT_FALSE(alIsBuffer(buffer));

  // The collector keeps only sounding samples, each reachable only through the device.
  device->PlaySample(ToneSample(), 6, 1);
  device->PlaySample(ToneSample(), 7, 1);
  device->PauseChannel(7);
  device->PlaySample(ToneSample(), 8, 1);
  ALuint playing = device->channels[6].sample->al_buffer;
  ALuint paused = device->channels[7].sample->al_buffer;
  ALuint stopped = device->channels[8].sample->al_buffer;
  device->StopChannel(8);
  CollectEverything();
  EXPECT_FALSE(Discarded(playing));
  EXPECT_FALSE(Discarded(paused));
  EXPECT_TRUE(Discarded(stopped));
  EXPECT_EQ(device->channels[8].sample, nullptr);

  device->StopChannel(6);
  device->StopChannel(7);
  CollectEverything();
  EXPECT_TRUE(Discarded(playing));
  EXPECT_TRUE(Discarded(paused));
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

  later->FlushDiscarded();
  EXPECT_TRUE(alIsBuffer(name)) << "the later device's buffer of that name";
  EXPECT_TRUE(Discarded(name)) << "the first device keeps its own name";

  // The first device flushes while the later one's context is current: in its own context.
  device->FlushDiscarded();
  EXPECT_EQ(alcGetCurrentContext(), later->alcContext);
  EXPECT_TRUE(alIsBuffer(name));
  EXPECT_FALSE(Discarded(name));
  ASSERT_TRUE(alcMakeContextCurrent(device->alcContext));
  EXPECT_FALSE(alIsBuffer(name));
}

}  // namespace
