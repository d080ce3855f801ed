// With no usable output the device says so once and then works silently: every operation is
// safe with no OpenAL context current, and nothing is reported as sounding.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "devices/audio.h"
#include "framework/audio.h"

namespace {

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
  std::string output = testing::internal::GetCapturedStdout();

  EXPECT_EQ(device->alcDevice, nullptr);
  EXPECT_EQ(device->alcContext, nullptr);
  EXPECT_EQ(output, "OpenAl error: alcOpenDevice failed\n");
}

}  // namespace
